// reading files that must be regular files: project files, group files and every file a backup stores
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "core/common/error.h"

namespace corvane {

// What tells one version of a file from the next: a rewrite changes the size or the time, a file
// swapped for another (saved by renaming a new copy over it) changes the identity.
struct FileState {
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0; // since the epoch
    std::uint64_t device = 0;
    std::uint64_t fileId = 0;

    std::time_t ModificationTime() const { return static_cast<std::time_t>(modifiedNanoseconds / 1000000000); }
    friend bool operator==(const FileState&, const FileState&) = default;
};

// A regular file open for reading. Opening never waits: a named pipe, a device, a socket or a folder is
// refused for what it is before a byte is read, so a file swapped for a pipe cannot hang a run.
class RegularFile {
public:
    // The error's message is the reason alone ("it is a named pipe, not a file", "permission denied"),
    // for the caller to put after the path in its own sentence.
    static Result<RegularFile> Open(const std::string& path);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    const std::string& Path() const { return m_path; }
    // as it was when opened
    const FileState& OpenedState() const { return m_opened; }
    // as it is now, asked of the open file (a rename over the path does not change it)
    Result<FileState> StateNow() const;
    // Up to `length` bytes; 0 at the end. The error's message is the reason alone.
    Result<std::size_t> Read(char* buffer, std::size_t length);
    // Up to `length` bytes from `offset`, leaving the position Read() goes on from where it was: one
    // system call for a header in the middle of a file.
    Result<std::size_t> ReadAt(std::uint64_t offset, char* buffer, std::size_t length);

private:
    RegularFile(int descriptor, std::string path, FileState opened);
    void Close();

    int m_descriptor = -1;
    std::string m_path;
    FileState m_opened;
};

// The whole of a regular file, refused (before it is read) past maxBytes. The error's message is a
// whole sentence naming the path.
Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

} // namespace corvane
