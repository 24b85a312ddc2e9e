// reads one file from disk and turns it into a raw deflate stream with its CRC, as a zip entry holds it
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace corvane {

struct DeflatedFile {
    std::string bytes; // raw deflate (no zlib header), ready to be copied into an entry
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    // non-zero when the file could not be opened (`openFailed`) or read: the system's error number
    int systemError = 0;
    bool openFailed = false;
    bool stopped = false; // `stop` was raised before the file was done
};

// Deflates at `level` with the window and memory settings libzip itself uses, so the archive does
// not change size with the path a file took. `stop` is polled between blocks.
DeflatedFile DeflateFile(const std::string& path, std::uint64_t expectedSize, int level,
                         const std::atomic<bool>& stop);

} // namespace corvane
