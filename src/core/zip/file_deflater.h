// reads one file from disk and turns it into a raw deflate stream with its CRC, as a zip entry holds it
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <optional>
#include <vector>

#include <zlib.h>

#include "core/common/error.h"
#include "core/zip/source_file.h"
#include "core/zip/winzip_aes.h"

namespace corvane {

// What an entry must hold to give back the bytes read from its file: their number and CRC-32.
struct EntryDigest {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

struct DeflatedFile {
    std::string bytes; // raw deflate (no zlib header), ready to be copied into an entry
    EntryDigest digest; // of the bytes read from the file
    // why the file could not be read, or was not the version inspected, as a whole sentence
    std::optional<Error> failure;
    bool stopped = false; // `stop` was raised before the file was done
    // set when `bytes` were encrypted: the entry's salt and keys, for reading the archive back
    std::optional<WinZipAesKeys> keys;
};

// One per thread: zlib's tables and the read block are kept from one file to the next.
class FileDeflater {
public:
    explicit FileDeflater(int level);
    ~FileDeflater();
    FileDeflater(const FileDeflater&) = delete;
    FileDeflater& operator=(const FileDeflater&) = delete;

    // The file is read to its end and must stay the version inspected. `stop` is polled between blocks.
    DeflatedFile Deflate(const SourceFile& file, const std::atomic<bool>& stop);

private:
    bool Feed(std::size_t length, bool finish, std::string& output, std::size_t& used);

    z_stream m_stream{};
    bool m_ready = false;
    std::vector<char> m_block;
};

} // namespace corvane
