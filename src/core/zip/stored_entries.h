// what a written archive holds, read from its central directory without inflating what it can avoid
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

struct StoredEntry {
    std::string name; // as stored, "/" between folders
    std::uint64_t size = 0;
    std::uint32_t crc = 0; // of the content; 0 for an encrypted entry read without a password
    bool encrypted = false;
};

// The entries of the archive at `path`. An encrypted entry's CRC, which WinZip AES leaves out of the
// directory, is computed from its decrypted content when a password is given; a password that does not
// open it fails the read.
Result<std::vector<StoredEntry>> ReadStoredEntries(const std::string& path, const std::string& password);

// The CRC-32 zip files use, of the bytes read so far and `length` more.
std::uint32_t Crc32(std::uint32_t crc, const char* bytes, std::size_t length);

} // namespace corvane
