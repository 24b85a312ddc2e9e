// what the commands that read an archive (unzip, list, test) share: their options and the archive's path
#include "cli/archive_args.h"

#include <charconv>
#include <cstdint>
#include <filesystem>

#include "cli/commands.h"
#include "core/common/environment.h"
#include "core/project/paths.h"

namespace corvane {

const char* const kPasswordOptionsHelp =
    "  --password-env VAR    the password of an encrypted archive, from the environment variable VAR\n"
    "  --password-file FILE  the password of an encrypted archive, the first line of FILE\n";

const char* const kLimitOptionsHelp =
    "  --max-entries N       refuse an archive of more than N entries (default 65536)\n"
    "  --max-size BYTES      refuse an archive whose entries together declare more than BYTES\n"
    "                        (default: no cap beyond the free space of the disk)\n"
    "  --max-ratio R         stop an entry past 256 MiB that inflates to more than R times its stored\n"
    "                        size (default 2000; deflate never passes 1032)\n";

namespace {

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

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
    std::uint64_t* count = name == "--max-entries" ? &limits.maxEntries
                           : name == "--max-size"  ? &limits.maxTotalBytes
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

namespace {

std::optional<int> ParseArchiveArgs(const std::vector<std::string>& args, const std::string& help,
                                    const OwnOption& own, PasswordSource& password, UnzipLimits& limits,
                                    std::string& archive, std::ostream& out, std::ostream& err) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool matched = false;
        auto error = ParsePasswordOption(args, i, password, matched);
        if (!error && !matched)
            error = ParseUnzipLimitOption(args, i, limits, matched);
        if (!error && !matched && own)
            error = own(args, i, matched);
        if (error) {
            err << *error << "\n" << help;
            return kUsageExit;
        }
        if (matched)
            continue;
        if (args[i] == "--help" || args[i] == "-h") {
            out << help;
            return 0;
        }
        if (args[i].size() > 1 && args[i][0] == '-') {
            err << "Unknown option: " << args[i] << "\n" << help;
            return kUsageExit;
        }
        names.push_back(args[i]);
    }
    if (names.size() != 1) {
        err << (names.empty() ? "No archive given.\n" : "Give exactly one archive.\n") << help;
        return kUsageExit;
    }
    if (KindOfInput(names.front()) != InputKind::Archive) {
        err << names.front() << " is not a .zip file.\n";
        return kUsageExit;
    }
    archive = names.front();
    return std::nullopt;
}

std::optional<std::string> LocateArchive(const std::string& name, const SettingsLocation& settings,
                                         std::ostream& err) {
    // the file as named wins: where letter case counts, "B.ZIP" and "B.zip" are two archives; what is
    // not a file is refused by the reading, with its reason
    std::error_code error;
    if (std::filesystem::exists(name, error))
        return name;
    // a bare name the user took from an earlier archive run's output is most likely in that run's folder
    if (name.find('/') == std::string::npos) {
        SettingsStore store(settings);
        const SettingsResult lastDir = ReadLastBackupFolder(store);
        if (lastDir.ok() && !lastDir.value().empty() && IsFile(JoinPath(lastDir.value(), name)))
            return JoinPath(lastDir.value(), name);
    }
    err << "The archive " << name << " does not exist.\n";
    return std::nullopt;
}

} // namespace

std::function<std::optional<std::string>(int)> PasswordAnswer::Asker() {
    return [this](int) -> std::optional<std::string> {
        missing = !password.has_value();
        return password;
    };
}

std::optional<int> StartArchiveRun(const std::vector<std::string>& args, const std::string& help,
                                   const OwnOption& own, const RunContext& context, ArchiveRun& run,
                                   std::ostream& out, std::ostream& err) {
    PasswordSource source;
    std::string name;
    if (const auto ended = ParseArchiveArgs(args, help, own, source, run.limits, name, out, err))
        return ended;
    if (source.given()) {
        const Result<std::string> password = ReadPassword(source, context.env);
        if (!password) {
            err << password.error() << "\n";
            return kUsageExit;
        }
        run.password.password = *password;
    }
    const std::optional<std::string> archive = LocateArchive(name, context.settings, err);
    if (!archive)
        return kUsageExit;
    run.archive = *archive;
    return std::nullopt;
}

int ReportReadFailure(const Error& error, const ArchiveRun& run, std::ostream& err) {
    if (run.password.missing) {
        err << "The archive " << run.archive
            << " is encrypted: pass --password-env VAR or --password-file FILE.\n";
        return kUsageExit;
    }
    if (error.kind == ErrorKind::Cancelled) {
        err << "Cancelled.\n";
        return kCancelledExit;
    }
    err << error.message << "\n";
    return 1;
}

} // namespace corvane
