// the unzip command's options that move the caps hostile archives are measured against
#include "cli/unzip_limit_options.h"

#include <charconv>
#include <cstdint>

namespace corvane {

namespace {

// Whole-string parses only: "10k" or "1e6" silently read as 10 or 1 would lift a cap the user meant to keep.
std::optional<std::uint64_t> ParseCount(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0)
        return std::nullopt;
    return value;
}

std::optional<double> ParseRatio(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= 1.0))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> ParseUnzipLimitOption(const std::vector<std::string>& args, std::size_t& i,
                                                 UnzipLimits& limits, bool& matched) {
    const std::string& name = args[i];
    std::uint64_t* count = name == "--max-entries"      ? &limits.maxEntries
                           : name == "--max-size"       ? &limits.maxTotalBytes
                           : name == "--max-entry-size" ? &limits.maxEntryBytes
                                                        : nullptr;
    matched = count != nullptr || name == "--max-ratio";
    if (!matched)
        return std::nullopt;
    if (i + 1 >= args.size())
        return name + " needs a value.";
    const std::string& text = args[++i];
    if (count == nullptr) {
        const std::optional<double> ratio = ParseRatio(text);
        if (!ratio)
            return name + " needs a number of at least 1, not \"" + text + "\".";
        limits.maxRatio = *ratio;
        return std::nullopt;
    }
    const std::optional<std::uint64_t> value = ParseCount(text);
    if (!value)
        return name + " needs a whole number above 0, not \"" + text + "\".";
    *count = *value;
    return std::nullopt;
}

} // namespace corvane
