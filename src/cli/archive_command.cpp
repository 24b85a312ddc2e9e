// the archive command: selection as the desktop program makes it, then one run, reported as text or JSON
#include "cli/commands.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/json_writer.h"
#include "cli/options.h"
#include "core/backup/backup.h"
#include "core/backup/retention.h"
#include "core/group/group.h"
#include "core/platform/platform.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

constexpr const char* kArchiveDescription =
    "Archives a Visual Basic 6 project (.vbp), or every project of a group (.vbpgroup, or Visual Basic's\n"
    ".vbg), into ZIP archives named after the project's name, version and the current time, each with\n"
    "a rewritten project file at its root. A group's archives go into DIR/<group name>/<time stamp>/.\n"
    "The backup folder is remembered as the last one, for the desktop program and 'unzip'.";

constexpr const char* kArchiveFooter =
    "Drive letters and the ANSI code page are read as for 'info' (CORVANE_DRIVE_MAP,\n"
    "CORVANE_ANSI_CODEPAGE). Ctrl-C stops the run; the archive being written is discarded.\n\n"
    "Exit status: 0 all archived, 1 a project failed, 2 bad arguments or unreadable input, 130 cancelled.";

struct ArchiveArguments {
    std::string path;
    std::optional<std::string> destination;
    PasswordSource password;
    bool noVerify = false;
    bool json = false;
    bool keepGoing = false;
    bool ifChanged = false;
    bool quiet = false;
    int keep = 0; // 0: every older backup stays
};

void Declare(CLI::App& app, ArchiveArguments& arguments) {
    app.description(kArchiveDescription);
    app.footer(kArchiveFooter);
    app.add_option("PATH", arguments.path, "the project (.vbp) or group (.vbpgroup, .vbg)")->required();
    app.add_option("--dest", arguments.destination,
                   "the backup folder (created when missing); by default \"Sources.Backup\"\n"
                   "beside the project, or the group's own backup folder")
        ->type_name("DIR")
        ->check(NonEmpty());
    DeclarePasswordOptions(app, arguments.password, "encrypt with AES-256");
    app.add_flag("--no-verify", arguments.noVerify, "do not read each archive back before giving it its name");
    app.add_option("--keep", arguments.keep,
                   "after a successful run, keep the N newest backups of the project (or runs of\n"
                   "the group) in the backup folder and remove the older ones; only names this\n"
                   "program gives its backups are touched")
        ->type_name("N")
        ->check(CLI::Range(1, 999999));
    app.add_flag("--keep-going", arguments.keepGoing,
                 "in a group, archive the other projects when one fails (exit 1 all the same)");
    app.add_flag("--if-changed", arguments.ifChanged,
                 "write no new backup of a project whose newest backup in the backup folder holds\n"
                 "the same files (names, sizes, CRC-32), the same project file and the same\n"
                 "encryption; say \"unchanged since ARCHIVE\" instead. A group decides per project");
    app.add_flag("-q,--quiet", arguments.quiet, "tell no warnings and no progress; failures are still told");
    app.add_flag("--json", arguments.json,
                 "print {\"archives\": [...], \"removed\": [...], \"warnings\": [...], \"failures\": [...]}\n"
                 "instead of one path a line; with --if-changed, \"unchanged\": [...] as well");
}

// ".." is taken off the text, as Windows and Visual Basic do, not off the folders the links lead to
std::string AbsolutePath(const std::string& path) {
    return Utf8OfPath(FsPath(AbsolutePathAsTyped(path)).lexically_normal());
}

std::string AbsoluteFolder(const std::string& path) {
    std::string folder = AbsolutePath(path);
    // the system's own separator: the core makes a folder's every level up to the last one it sees
    if (folder.empty() || (folder.back() != '/' && folder.back() != NativeSeparator()))
        folder += NativeSeparator();
    return folder;
}

void PrintResult(const RunOutcome& outcome, const Pruned& pruned, const ArchiveArguments& arguments,
                 CodePage codePage, std::ostream& out) {
    if (!arguments.json) {
        for (const std::string& archive : outcome.archives)
            out << archive << "\n";
        for (const UnchangedProject& unchanged : outcome.unchanged)
            out << "unchanged since " << unchanged.archive << "\n";
        return;
    }
    JsonWriter writer(out);
    writer.BeginObject().Key("archives").BeginArray();
    for (const std::string& archive : outcome.archives)
        writer.String(archive);
    writer.EndArray().Key("removed").BeginArray();
    for (const std::string& removed : pruned.removed)
        writer.String(removed);
    writer.EndArray().Key("warnings").BeginArray();
    for (const RunWarning& warning : outcome.warnings)
        writer.String(warning.text);
    for (const Error& failure : pruned.failures)
        writer.String(failure.message);
    // a script reading the JSON learns why without parsing the error stream
    writer.EndArray().Key("failures").BeginArray();
    for (const ProjectFailure& failure : outcome.failures)
        writer.BeginObject()
            .Key("project")
            .String(failure.projectPath)
            .Key("line")
            .String(AnsiToUtf8(failure.outcome.stepLabel, codePage))
            .Key("error")
            .String(failure.outcome.error.message)
            .EndObject();
    writer.EndArray();
    if (arguments.ifChanged) {
        writer.Key("unchanged").BeginArray();
        for (const UnchangedProject& unchanged : outcome.unchanged)
            writer.String(unchanged.archive);
        writer.EndArray();
    }
    writer.EndObject();
    out << "\n";
}

int Report(const RunOutcome& outcome, const Pruned& pruned, const std::vector<std::string>& projects,
           const ArchiveArguments& arguments, CodePage codePage, std::ostream& out, std::ostream& err) {
    PrintResult(outcome, pruned, arguments, codePage, out);
    if (!arguments.quiet) {
        for (const RunWarning& warning : outcome.warnings)
            err << "warning: " << warning.text << "\n";
        for (const std::string& removed : pruned.removed)
            err << "removed an older backup: " << removed << "\n";
        for (const Error& failure : pruned.failures)
            err << "warning: " << failure.message << "\n";
    }
    switch (outcome.kind) {
    case RunOutcome::Kind::Completed:
        return 0;
    case RunOutcome::Kind::Cancelled:
        err << "Cancelled: the archive being written was discarded.\n";
        return kCancelledExit;
    case RunOutcome::Kind::Refused:
        err << outcome.error.message << "\n";
        return kUsageExit;
    case RunOutcome::Kind::ProjectFailed:
        break;
    }
    for (const ProjectFailure& failure : outcome.failures) {
        if (!failure.projectPath.empty())
            err << "Archive creation error in " << failure.projectPath << "\n";
        err << "An error appears to have occurred...\n"
            << "Line : " << AnsiToUtf8(failure.outcome.stepLabel, codePage) << "\n"
            << failure.outcome.error.message << "\n";
    }
    if (outcome.failures.size() > 1 || (projects.size() > 1 && outcome.projectsDone > 0))
        err << outcome.failures.size() << " of " << projects.size() << " projects failed; "
            << outcome.projectsDone << " archived.\n";
    return 1;
}

// A run that ends before any project was tried: on err as always, and for --json on out as well, so
// that a script reading only the JSON still learns why.
int InputError(const ArchiveArguments& arguments, const std::string& message, int code, std::ostream& out,
               std::ostream& err) {
    err << message << "\n";
    if (arguments.json) {
        JsonWriter(out).BeginObject().Key("error").String(message).Key("project").String(arguments.path).Key("line").Null().EndObject();
        out << "\n";
    }
    return code;
}

std::vector<std::string> StillNeeded(const RunOutcome& outcome) {
    std::vector<std::string> archives;
    for (const UnchangedProject& unchanged : outcome.unchanged)
        archives.push_back(unchanged.archive);
    return archives;
}

int Archive(ArchiveArguments arguments, const RunContext& context, std::ostream& out, std::ostream& err) {
    // the desktop program always works with full paths: they name group projects and "LastDir"
    arguments.path = AbsolutePath(arguments.path);
    const InputKind kind = KindOfInput(arguments.path);
    if (kind != InputKind::Project && !IsGroupInput(kind)) {
        return InputError(arguments, arguments.path + " is not a .vbp, .vbpgroup or .vbg file.", kUsageExit, out, err);
    }
    const Result<std::string> password = ReadPassword(arguments.password, context, PasswordUse::Encrypt);
    if (!password) {
        return InputError(arguments, password.error(), kUsageExit, out, err);
    }

    SettingsStore settings(context.settings);
    ProgressLine progressLine(err, context.showProgress && !arguments.quiet);
    RunOptions options;
    options.archive.driveMap = context.environment.driveMap;
    options.archive.codePage = context.environment.codePage;
    options.archive.verify = !arguments.noVerify;
    options.settings = &settings;
    options.clock = context.clock;
    options.skipUnchanged = arguments.ifChanged;
    options.cancelRequested = context.ArmCancel();
    options.progress = [&progressLine](const RunProgress& progress) {
        const ArchiveProgress& archive = progress.archive;
        const std::string step = archive.phase == ArchiveProgress::Phase::Lines
                                     ? "line " + std::to_string(archive.line) + "/" + std::to_string(archive.lineCount)
                                 : archive.phase == ArchiveProgress::Phase::Write ? std::string("writing")
                                                                                  : std::string("checking");
        const std::string label = "[" + std::to_string(progress.projectIndex + 1) + "/" +
                                  std::to_string(progress.projectCount) + "] " +
                                  FileNameOfPath(progress.projectPath) + ": " + step;
        progressLine.Show(label, progress.archive.fraction);
    };
    // the command line names a folder even without a trailing separator
    const auto destination = [&arguments](const std::string& proposed) {
        return arguments.destination ? AbsoluteFolder(*arguments.destination) : proposed;
    };

    std::vector<std::string> projects;
    RunOutcome outcome;
    std::string namePrefix; // of the project's archive names, for --keep
    if (kind == InputKind::Project) {
        // names and time stamp are taken now, as the desktop program takes them when a project is chosen
        const Result<ProjectSelection> selection = SelectSingleProject(arguments.path, context.clock);
        if (!selection) {
            return InputError(arguments, selection.error(), kUsageExit, out, err);
        }
        projects = {arguments.path};
        namePrefix = ProjectArchivePrefix(selection->state, context.environment.codePage);
        outcome = RunSingleProject(
            {arguments.path, selection->state, destination(selection->savePath), *password}, options);
    } else {
        const Result<GroupSelection> written = ReadGroupAsWritten(arguments.path, context.environment.codePage);
        if (!written) {
            return InputError(arguments, written.error(), kUsageExit, out, err);
        }
        // a file that reads but names what this machine cannot reach is a failed run, not a wrong argument
        const Result<GroupSelection> group =
            LocateGroupPaths(written.value(), arguments.path, context.environment.driveMap);
        if (!group) {
            return InputError(arguments, group.error(), 1, out, err);
        }
        if (destination(group->savePath).empty()) {
            return InputError(arguments, "The group names no backup folder and no project to put one beside; pass --dest DIR.",
                              kUsageExit, out, err);
        }
        projects = group->projects;
        outcome =
            RunGroup({projects, destination(group->savePath), group->subfolderName, *password, arguments.keepGoing},
                     options);
    }
    progressLine.Clear();
    Pruned pruned;
    if (arguments.keep > 0 && outcome.kind == RunOutcome::Kind::Completed && !outcome.archives.empty())
        pruned = kind == InputKind::Project ? PruneProjectArchives(outcome.archives.front(), namePrefix, arguments.keep)
                                            : PruneGroupRuns(outcome.backupFolder, arguments.keep, StillNeeded(outcome));
    return Report(outcome, pruned, projects, arguments, context.environment.codePage, out, err);
}

} // namespace

int RunArchive(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
               std::ostream& err) {
    return RunCommand(MakeArchiveCommand(context), args, out, err);
}

Command MakeArchiveCommand(RunContext context) {
    return {"archive", "archive a project or a group into ZIP backups", [context](CLI::App& app) -> Runner {
                auto arguments = std::make_shared<ArchiveArguments>();
                Declare(app, *arguments);
                return [arguments, context](std::ostream& out, std::ostream& err) {
                    return Archive(*arguments, context, out, err);
                };
            }};
}

} // namespace corvane
