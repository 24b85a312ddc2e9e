// reads one file from disk and turns it into a raw deflate stream with its CRC, as a zip entry holds it
#include "core/file_deflater.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include <zlib.h>

namespace corvane {
namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

class Deflater {
public:
    explicit Deflater(int level) {
        m_ready = deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater() {
        if (m_ready)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool ready() const { return m_ready; }
    std::size_t Bound(std::uint64_t size) { return deflateBound(&m_stream, static_cast<uLong>(size)); }

    // appends what `input` compresses to; `finish` closes the stream
    bool Feed(const char* input, std::size_t length, bool finish, std::string& output) {
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
        m_stream.avail_in = static_cast<uInt>(length);
        const int flush = finish ? Z_FINISH : Z_NO_FLUSH;
        for (;;) {
            if (output.size() == output.capacity())
                output.reserve(output.capacity() * 2 + kBlockSize);
            const std::size_t used = output.size();
            output.resize(output.capacity());
            m_stream.next_out = reinterpret_cast<Bytef*>(output.data() + used);
            m_stream.avail_out = static_cast<uInt>(output.size() - used);
            const int result = deflate(&m_stream, flush);
            output.resize(output.size() - m_stream.avail_out);
            if (result == Z_STREAM_END)
                return true;
            if (result != Z_OK && result != Z_BUF_ERROR)
                return false;
            if (!finish && m_stream.avail_in == 0 && m_stream.avail_out != 0)
                return true;
        }
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

} // namespace

DeflatedFile DeflateFile(const std::string& path, std::uint64_t expectedSize, int level,
                         const std::atomic<bool>& stop) {
    DeflatedFile result;
    std::unique_ptr<std::FILE, StreamCloser> stream(std::fopen(path.c_str(), "rb"));
    if (!stream) {
        result.systemError = errno != 0 ? errno : ENOENT;
        result.openFailed = true;
        return result;
    }
    Deflater deflater(level);
    if (!deflater.ready()) {
        result.systemError = ENOMEM;
        return result;
    }
    result.bytes.reserve(deflater.Bound(expectedSize));
    std::vector<char> block(kBlockSize);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            result.stopped = true;
            return result;
        }
        const std::size_t read = std::fread(block.data(), 1, block.size(), stream.get());
        if (read < block.size() && std::ferror(stream.get())) {
            result.systemError = errno != 0 ? errno : EIO;
            return result;
        }
        const bool last = read < block.size();
        crc = crc32(crc, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(read));
        result.size += read;
        if (!deflater.Feed(block.data(), read, last, result.bytes)) {
            result.systemError = ENOMEM;
            return result;
        }
        if (last)
            break;
    }
    result.crc = static_cast<std::uint32_t>(crc);
    result.bytes.shrink_to_fit();
    return result;
}

} // namespace corvane
