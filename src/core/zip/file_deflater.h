// reads one file from disk and turns it into a raw deflate stream with its CRC, as a zip entry holds it
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

namespace corvane {

// What an entry made from a deflated file must hold: the file's size and CRC, and the length and
// CRC-32 of the deflate stream itself, so that the stored stream can be checked without inflating it.
struct DeflatedDigest {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint64_t packedSize = 0;
    std::uint32_t packedCrc = 0;
};

struct DeflatedFile {
    std::string bytes; // raw deflate (no zlib header), ready to be copied into an entry
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint32_t packedCrc = 0; // of `bytes`
    // non-zero when the file could not be opened (`openFailed`) or read: the system's error number
    int systemError = 0;
    bool openFailed = false;
    bool stopped = false; // `stop` was raised before the file was done
};

// One per thread: zlib's tables and the read block are kept from one file to the next.
class FileDeflater {
public:
    explicit FileDeflater(int level);
    ~FileDeflater();
    FileDeflater(const FileDeflater&) = delete;
    FileDeflater& operator=(const FileDeflater&) = delete;

    // `expectedSize` only sizes the output; the file is read to its end. `stop` is polled between blocks.
    DeflatedFile Deflate(const std::string& path, std::uint64_t expectedSize, const std::atomic<bool>& stop);

private:
    bool Feed(std::size_t length, bool finish, std::string& output, std::size_t& used, uLong& packedCrc);

    z_stream m_stream{};
    bool m_ready = false;
    std::vector<char> m_block;
};

} // namespace corvane
