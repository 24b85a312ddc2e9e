// reading a small text file as lines, for the group file readers
#include "core/group_file_lines.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace corvane {

namespace {

std::string SystemReason(int error) {
    return std::error_code(error, std::generic_category()).message();
}

} // namespace

// note: kept local because group files need nothing more than this; a shared line splitter can take
// its place once one exists in core
std::vector<std::string> SplitGroupLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            current += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(current));
        current.clear();
    }
    // the last line may lack its end; a file ending in a line end has no empty line after it
    if (!current.empty())
        lines.push_back(std::move(current));
    return lines;
}

Result<std::vector<std::string>> ReadGroupLines(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return fail("Cannot read the group file \"" + path + "\": it is a folder.");

    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return fail("Cannot open the group file \"" + path + "\": " + SystemReason(errno) + ".");

    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool readFailed = std::ferror(file) != 0;
    const int readError = errno;
    std::fclose(file);
    if (readFailed)
        return fail("Cannot read the group file \"" + path + "\": " + SystemReason(readError) + ".");
    return SplitGroupLines(text);
}

} // namespace corvane
