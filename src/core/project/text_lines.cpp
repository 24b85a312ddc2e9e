// line splitting and whole-file text input and output
#include "core/project/text.h"

#include "core/platform/regular_file.h"
#include "core/platform/open_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace corvane {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Reason(int error) {
    return error != 0 ? std::error_code(error, std::generic_category()).message() : "unknown error";
}

} // namespace

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const char c = bytes[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.push_back(bytes.substr(start, pos - start));
        pos += (c == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < bytes.size()) {
        lines.push_back(bytes.substr(start));
    }
    return lines;
}

Result<std::string> ReadTextFile(const std::string& path) {
    return ReadRegularFile(path, kMaxTextFileBytes);
}

Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    errno = 0;
    FilePtr file(OpenFile(path, "wb"));
    if (!file) {
        return fail(KindOfSystemError(errno, ErrorKind::NotWritable),
                    "Cannot write the file " + path + ": " + Reason(errno) + ".", path, errno);
    }
    for (const std::string& line : lines) {
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size() ||
            std::fwrite("\r\n", 1, 2, file.get()) != 2) {
            return fail(ErrorKind::Io, "Cannot write the file " + path + ": " + Reason(errno) + ".", path,
                        errno);
        }
    }
    const int closed = std::fclose(file.release());
    if (closed != 0) {
        return fail(ErrorKind::Io, "Cannot write the file " + path + ": " + Reason(errno) + ".", path, errno);
    }
    return Status::success();
}

} // namespace corvane
