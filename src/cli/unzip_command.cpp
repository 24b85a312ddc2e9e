// the unzip command: the archive's folder beside it, every entry through the extraction gate
#include "cli/commands.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>

#include "core/common/environment.h"
#include "core/project/paths.h"
#include "core/restore/restore.h"

namespace corvane {

namespace {

constexpr const char* kUnzipHelp =
    "Usage: corvane-cli unzip ARCHIVE.zip [--password-env VAR | --password-file FILE] [limits]\n"
    "Unpacks the archive into a folder beside it named after it (ARCHIVE.zip into ARCHIVE/), each entry\n"
    "under its stored path; files already there are replaced. Entries that would land outside that\n"
    "folder refuse the whole archive. A bare file name not found in the current folder is looked for\n"
    "in the last backup folder. Prints the folder.\n\n"
    "  --password-env VAR    the password of an encrypted archive, from the environment variable VAR\n"
    "  --password-file FILE  the password of an encrypted archive, the first line of FILE\n"
    "  --max-entries N       refuse an archive of more than N entries (default 65536)\n"
    "  --max-size BYTES      stop once all entries together inflate to more than BYTES (default 8 GiB)\n"
    "  --max-entry-size BYTES  stop at an entry that inflates to more than BYTES (default 4 GiB)\n"
    "  --max-ratio R         stop at an entry that inflates to more than R times its stored size\n"
    "                        (default 1000)\n\n"
    "Ctrl-C stops the extraction; files completed before it stay.\n\n"
    "Exit status: 0 extracted, 1 the extraction failed, 2 bad arguments, no such archive or a missing\n"
    "password, 130 cancelled.\n";

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// A bare name the user took from an earlier archive run's output is most likely in that run's folder.
std::string FindArchive(const std::string& name, const SettingsLocation& location) {
    if (IsFile(name) || name.find('/') != std::string::npos)
        return name;
    SettingsStore settings(location);
    const SettingsResult lastDir = ReadLastBackupFolder(settings);
    if (lastDir.ok() && !lastDir.value().empty() && IsFile(JoinPath(lastDir.value(), name)))
        return JoinPath(lastDir.value(), name);
    return name;
}

} // namespace

int RunUnzip(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
             std::ostream& err) {
    PasswordSource passwordSource;
    UnzipOptions options;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool matched = false;
        auto error = ParsePasswordOption(args, i, passwordSource, matched);
        if (!error && !matched)
            error = ParseUnzipLimitOption(args, i, options.limits, matched);
        if (error) {
            err << *error << "\n" << kUnzipHelp;
            return kUsageExit;
        }
        if (matched)
            continue;
        if (args[i] == "--help" || args[i] == "-h") {
            out << kUnzipHelp;
            return 0;
        }
        if (args[i].size() > 1 && args[i][0] == '-') {
            err << "Unknown option: " << args[i] << "\n" << kUnzipHelp;
            return kUsageExit;
        }
        names.push_back(args[i]);
    }
    if (names.size() != 1) {
        err << (names.empty() ? "No archive given.\n" : "Give exactly one archive.\n") << kUnzipHelp;
        return kUsageExit;
    }
    if (KindOfInput(names.front()) != InputKind::Archive) {
        err << names.front() << " is not a .zip file.\n";
        return kUsageExit;
    }
    const Result<std::string> password = ReadPassword(passwordSource, context.env);
    if (!password) {
        err << password.error() << "\n";
        return kUsageExit;
    }
    const std::string chosen = FindArchive(names.front(), context.settings);
    const std::string folder = ExtractionFolderOf(chosen).value_or(chosen);
    // the name with a lower-case ".zip" is the one the desktop program opens; on a file system that
    // tells case apart only the name as given may exist
    const std::string archive = IsFile(folder + ".zip") ? folder + ".zip" : chosen;
    if (!IsFile(archive)) {
        err << "The archive " << chosen << " does not exist.\n";
        return kUsageExit;
    }

    ProgressLine progressLine(err, context.showProgress);
    bool passwordMissing = false;
    options.askPassword = [&]() -> std::optional<std::string> {
        if (!passwordSource.given()) {
            passwordMissing = true;
            return std::nullopt;
        }
        return *password;
    };
    options.progress = [&](double fraction) { progressLine.Show(FileNameOfPath(archive), fraction); };
    options.cancelRequested = context.ArmCancel();
    const Result<int> extracted = ExtractArchive(archive, folder, options);
    progressLine.Clear();
    if (passwordMissing) {
        err << "The archive " << archive
            << " is encrypted: pass --password-env VAR or --password-file FILE.\n";
        return kUsageExit;
    }
    if (extracted.cancelled()) {
        err << "Cancelled: files extracted before the cancel stay in " << folder << ".\n";
        return kCancelledExit;
    }
    if (!extracted) {
        err << extracted.error() << "\n";
        return 1;
    }
    out << folder << "\n";
    return 0;
}

Command MakeUnzipCommand(RunContext context) {
    return {"unzip", "unpack a backup archive into a folder beside it",
            [context](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
                return RunUnzip(args, context, out, err);
            }};
}

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
