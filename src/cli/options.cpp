// options more than one command declares: where a password comes from, the limits on what an archive may
// hold, and values that must not be empty
#include "cli/options.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include <CLI/CLI.hpp>

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

void DeclareCount(CLI::App& app, const std::string& name, const std::string& value, std::uint64_t& count,
                  const std::string& description) {
    app.add_option_function<std::string>(
           name, [&count](const std::string& text) { count = *ParseCount(text); }, description)
        ->type_name(value)
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseCount(text) ? std::string()
                                        : "needs a whole number above 0, not \"" + text + "\"";
            },
            ""));
}

} // namespace

const CLI::Validator& NonEmpty() {
    static const CLI::Validator kNonEmpty(
        [](std::string& text) { return text.empty() ? std::string("needs a value") : std::string(); }, "");
    return kNonEmpty;
}

void DeclarePasswordOptions(CLI::App& app, PasswordSource& source, const std::string& use) {
    CLI::Option* variable =
        app.add_option("--password-env", source.variable,
                       use + ", the password being the value of the environment variable VAR")
            ->type_name("VAR")
            ->check(NonEmpty());
    CLI::Option* file =
        app.add_option("--password-file", source.file, use + ", the password being the first line of FILE")
            ->type_name("FILE")
            ->check(NonEmpty());
    CLI::Option* prompt =
        app.add_flag("--password-prompt", source.prompt,
                     use + ", the password typed at the terminal, unseen" +
                         (use.starts_with("encrypt") ? std::string(" (twice)") : std::string()) +
                         "; one of the three password options at most");
    for (CLI::Option* option : {variable, file, prompt})
        for (CLI::Option* other : {variable, file, prompt})
            if (option != other)
                option->excludes(other);
}

void DeclareLimitOptions(CLI::App& app, UnzipLimits& limits) {
    DeclareCount(app, "--max-entries", "N", limits.maxEntries,
                 "refuse an archive of more than N entries (default 65536)");
    DeclareCount(app, "--max-size", "BYTES", limits.maxTotalBytes,
                 "refuse an archive whose entries together declare more than BYTES\n"
                 "(default: no cap beyond the free space of the disk)");
    app.add_option_function<std::string>(
           "--max-ratio", [&limits](const std::string& text) { limits.maxRatio = *ParseRatio(text); },
           "stop an entry past 256 MiB that inflates to more than R times its stored size\n"
           "(default 2000; deflate never passes 1032)")
        ->type_name("R")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseRatio(text) ? std::string()
                                        : "needs a number of at least 1, not \"" + text + "\"";
            },
            ""));
}

} // namespace corvane
