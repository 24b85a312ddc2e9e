// the archive writer's temporary files, named after their process
#include "core/zip/zip.h"

#include <cctype>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/platform/platform.h"
#include "core/project/paths.h"

namespace corvane {
namespace {

constexpr std::string_view kPrefix = ".corvane-";
constexpr std::string_view kSuffix = ".zip.tmp";
constexpr std::size_t kRandomDigits = 16;
constexpr std::size_t kLibzipSuffix = 7; // "." + mkstemp's six characters

template <typename Test> bool AllOf(std::string_view text, Test test) {
    for (char c : text) {
        if (!test(static_cast<unsigned char>(c)))
            return false;
    }
    return !text.empty();
}
bool IsDigit(unsigned char c) {
    return std::isdigit(c) != 0;
}
bool IsHexDigit(unsigned char c) {
    return std::isxdigit(c) != 0;
}
bool IsAlphanumeric(unsigned char c) {
    return std::isalnum(c) != 0;
}

// The writing process of a temporary of ours; nothing for any other name.
std::optional<long> WriterOf(std::string_view name) {
    if (name.substr(0, kPrefix.size()) != kPrefix)
        return std::nullopt;
    name.remove_prefix(kPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash > 9 || !AllOf(name.substr(0, dash), IsDigit))
        return std::nullopt;
    const std::string_view pid = name.substr(0, dash);
    name.remove_prefix(dash + 1);
    if (name.size() < kRandomDigits + kSuffix.size() || !AllOf(name.substr(0, kRandomDigits), IsHexDigit))
        return std::nullopt;
    name.remove_prefix(kRandomDigits);
    if (name.substr(0, kSuffix.size()) != kSuffix)
        return std::nullopt;
    name.remove_prefix(kSuffix.size());
    if (!name.empty() &&
        (name.size() != kLibzipSuffix || name[0] != '.' || !AllOf(name.substr(1), IsAlphanumeric)))
        return std::nullopt;
    return std::stol(std::string(pid));
}

} // namespace

std::string ZipTempName() {
    return UniqueTempName(std::string(kPrefix) + std::to_string(CurrentProcessId()) + "-",
                          std::string(kSuffix));
}

void RemoveStaleZipTemporaries(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    const long self = CurrentProcessId();
    for (fs::directory_iterator it(FsPath(folder), error), end; !error && it != end; it.increment(error)) {
        const std::optional<long> writer = WriterOf(Utf8OfPath(it->path().filename()));
        // this process's own may belong to a build on another thread
        if (!writer || *writer == self || ProcessIsRunning(*writer))
            continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored))
            fs::remove(it->path(), ignored);
    }
}

} // namespace corvane
