// reading, locking and replacing one settings file so that processes never see half a file
#pragma once

#include <optional>
#include <string>

#include "core/common/error.h"

namespace corvane {

// The whole file; nothing when it does not exist; a failure when it exists but cannot be read.
Result<std::optional<std::string>> ReadSettingsFile(const std::string& path);

// An exclusive lock on path + ".lock", held while the object lives. Writers hold it around their
// read-modify-write so that no update is lost; readers need it only to set a damaged file aside.
class SettingsFileLock {
public:
    // Creates the lock file (and its folder) when missing and waits for the lock.
    static Result<SettingsFileLock> Acquire(const std::string& path);

    SettingsFileLock(SettingsFileLock&& other) noexcept;
    SettingsFileLock& operator=(SettingsFileLock&& other) noexcept;
    SettingsFileLock(const SettingsFileLock&) = delete;
    SettingsFileLock& operator=(const SettingsFileLock&) = delete;
    ~SettingsFileLock();

private:
    explicit SettingsFileLock(int descriptor) : m_descriptor(descriptor) {}
    // closing the descriptor releases the lock
    void Release();
    int m_descriptor = -1;
};

// Replaces the file's content all at once: the bytes go to a temporary file in the same folder, which
// is flushed to disk and renamed over the file, then the folder is flushed. On failure the old file is
// untouched and the temporary file removed.
Status ReplaceSettingsFile(const std::string& path, const std::string& bytes);

// Removes what writes killed before their rename left beside the file (ReplaceSettingsFile's temporaries).
// Only with the lock held: then no other write is under way.
void RemoveStaleSettingsTemporaries(const std::string& path);

// Renames the file to path + ".corrupt-" + local time "yyyymmddhhnnss" (plus "-2", "-3"... when that
// name is taken) and returns the new name.
Result<std::string> SetSettingsFileAside(const std::string& path);

} // namespace corvane
