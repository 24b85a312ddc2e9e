// files and folders created below an extraction folder without ever following a symbolic link
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

// A file being written beside its final name; it takes that name only on Commit, so a reader never
// sees a partial file and an existing file is replaced whole. Dropped uncommitted, it is removed.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    Status Write(const char* data, std::size_t size);
    Status Commit(std::time_t modificationTime);

private:
    friend class ExtractTarget;
    void Discard();

    int m_folderFd = -1;
    int m_fd = -1;
    std::string m_tempName;
    std::string m_finalName;
    std::string m_displayPath; // for messages
};

// The extraction folder, opened once; every path below it is walked one folder at a time, refusing
// symbolic links, so an entry can never be redirected outside it.
class ExtractTarget {
public:
    ExtractTarget() = default;
    ExtractTarget(ExtractTarget&& other) noexcept;
    ExtractTarget& operator=(ExtractTarget&& other) noexcept;
    ExtractTarget(const ExtractTarget&) = delete;
    ExtractTarget& operator=(const ExtractTarget&) = delete;
    ~ExtractTarget();

    // Creates the folder (and its parents) when missing.
    static Result<ExtractTarget> Open(const std::string& folder);

    Status MakeFolders(const std::vector<std::string>& components);
    Result<PendingFile> CreateFile(const std::vector<std::string>& components);

private:
    // an open descriptor of the folder the components name, created as needed
    Result<int> OpenFolder(const std::vector<std::string>& components, std::size_t count);
    void Close();

    int m_fd = -1;
    std::string m_folder;
};

} // namespace corvane
