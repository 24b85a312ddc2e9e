// what the commands that read an archive (unzip, list, test) share: their options and the archive's path
#include "cli/archive_args.h"

#include <filesystem>

#include <CLI/CLI.hpp>

#include "cli/command_line.h"
#include "cli/options.h"
#include "core/common/environment.h"
#include "core/platform/platform.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(FsPath(path), error);
}

std::optional<std::string> LocateArchive(const std::string& name, const SettingsLocation& settings,
                                         std::ostream& err) {
    // the file as named wins: where letter case counts, "B.ZIP" and "B.zip" are two archives; what is
    // not a file is refused by the reading, with its reason
    std::error_code error;
    if (std::filesystem::exists(FsPath(name), error))
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

void DeclareArchiveWords(CLI::App& app, ArchiveWords& words) {
    app.add_option("ARCHIVE", words.name, "the backup archive (.zip); a bare name not found here is looked for\n"
                                          "in the last backup folder")
        ->required();
    DeclarePasswordOptions(app, words.password, "open an encrypted archive");
    DeclareLimitOptions(app, words.limits);
}

std::optional<int> StartArchiveRun(const ArchiveWords& words, const RunContext& context, ArchiveRun& run,
                                   std::ostream& err) {
    if (KindOfInput(words.name) != InputKind::Archive) {
        err << words.name << " is not a .zip file.\n";
        return kUsageExit;
    }
    run.limits = words.limits;
    if (words.password.given()) {
        const Result<std::string> password = ReadPassword(words.password, context, PasswordUse::Open);
        if (!password) {
            err << password.error() << "\n";
            return kUsageExit;
        }
        run.password.password = *password;
    }
    const std::optional<std::string> archive = LocateArchive(words.name, context.settings, err);
    if (!archive)
        return kUsageExit;
    run.archive = *archive;
    return std::nullopt;
}

int ReportReadFailure(const Error& error, const ArchiveRun& run, std::ostream& err) {
    if (run.password.missing) {
        err << "The archive " << run.archive
            << " is encrypted: pass --password-env VAR, --password-file FILE or --password-prompt.\n";
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
