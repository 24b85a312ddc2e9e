// the archive command: selection as the desktop program makes it, then one run, reported as text or JSON
#include "cli/commands.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "cli/json_writer.h"
#include "core/backup/backup.h"
#include "core/backup/retention.h"
#include "core/group/group.h"
#include "core/platform/platform.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

constexpr const char* kArchiveHelp =
    "Usage: corvane-cli archive PATH [--dest DIR] [--password-env VAR | --password-file FILE]\n"
    "                           [--no-verify] [--keep N] [--keep-going] [--json]\n"
    "Archives a Visual Basic 6 project (.vbp), or every project of a group (.vbpgroup, or Visual Basic's\n"
    ".vbg), into ZIP archives named after the project's name, version and the current time, each with\n"
    "a rewritten project file at its root. A group's archives go into DIR/<group name>/<time stamp>/.\n"
    "The backup folder is remembered as the last one, for the desktop program and 'unzip'.\n\n"
    "  --dest DIR            the backup folder (created when missing); by default \"Sources.Backup\"\n"
    "                        beside the project, or the group's own backup folder\n"
    "  --password-env VAR    encrypt with AES-256, the password taken from the environment variable VAR\n"
    "  --password-file FILE  encrypt with AES-256, the password being the first line of FILE\n"
    "  --no-verify           do not read each archive back before giving it its name\n"
    "  --keep N              after a successful run, keep the N newest backups of the project (or runs of\n"
    "                        the group) in the backup folder and remove the older ones; only names this\n"
    "                        program gives its backups are touched\n"
    "  --keep-going          in a group, archive the other projects when one fails (exit 1 all the same)\n"
    "  --json                print {\"archives\": [...], \"warnings\": [...], \"failures\": [...]} instead of\n"
    "                        one path a line\n\n"
    "Drive letters and the ANSI code page are read as for 'info' (CORVANE_DRIVE_MAP,\n"
    "CORVANE_ANSI_CODEPAGE). Ctrl-C stops the run; the archive being written is discarded.\n\n"
    "Exit status: 0 all archived, 1 a project failed, 2 bad arguments or unreadable input, 130 cancelled.\n";

struct ArchiveArguments {
    std::string path;
    std::optional<std::string> destination;
    PasswordSource password;
    bool verify = true;
    bool json = false;
    bool keepGoing = false;
    int keep = 0; // 0: every older backup stays
};

// A usage message, or nothing when the arguments are understood.
std::optional<std::string> Parse(const std::vector<std::string>& args, ArchiveArguments& parsed, bool& help) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool matched = false;
        if (auto error = ParsePasswordOption(args, i, parsed.password, matched))
            return error;
        if (matched)
            continue;
        if (arg == "--help" || arg == "-h") {
            help = true;
            return std::nullopt;
        }
        if (arg == "--dest") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return std::string("--dest needs a folder.");
            parsed.destination = args[++i];
        } else if (arg == "--no-verify") {
            parsed.verify = false;
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "--keep-going") {
            parsed.keepGoing = true;
        } else if (arg == "--keep") {
            const std::string value = i + 1 < args.size() ? args[++i] : std::string();
            if (value.empty() || value.size() > 6 || value.find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(value) < 1)
                return "--keep needs a whole number of backups above 0, not \"" + value + "\".";
            parsed.keep = std::stoi(value);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "Unknown option: " + arg;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 1)
        return std::string(paths.empty() ? "No project or group file given."
                                         : "Give exactly one project or group file.");
    parsed.path = paths.front();
    return std::nullopt;
}

// ".." is taken off the text, as Windows and Visual Basic do, not off the folders the links lead to
std::string AbsolutePath(const std::string& path) {
    return std::filesystem::path(AbsolutePathAsTyped(path)).lexically_normal().string();
}

std::string AbsoluteFolder(const std::string& path) {
    std::string folder = AbsolutePath(path);
    // the system's own separator: the core makes a folder's every level up to the last one it sees
    if (folder.empty() || (folder.back() != '/' && folder.back() != NativeSeparator()))
        folder += NativeSeparator();
    return folder;
}

void PrintResult(const RunOutcome& outcome, const Pruned& pruned, bool json, CodePage codePage,
                 std::ostream& out) {
    if (!json) {
        for (const std::string& archive : outcome.archives)
            out << archive << "\n";
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
    writer.EndArray().EndObject();
    out << "\n";
}

int Report(const RunOutcome& outcome, const Pruned& pruned, const std::vector<std::string>& projects,
           const ArchiveArguments& arguments, CodePage codePage, std::ostream& out, std::ostream& err) {
    PrintResult(outcome, pruned, arguments.json, codePage, out);
    for (const RunWarning& warning : outcome.warnings)
        err << "warning: " << warning.text << "\n";
    for (const std::string& removed : pruned.removed)
        err << "removed an older backup: " << removed << "\n";
    for (const Error& failure : pruned.failures)
        err << "warning: " << failure.message << "\n";
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

} // namespace

int RunArchive(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
               std::ostream& err) {
    ArchiveArguments arguments;
    bool help = false;
    if (auto usage = Parse(args, arguments, help)) {
        err << *usage << "\n" << kArchiveHelp;
        return kUsageExit;
    }
    if (help) {
        out << kArchiveHelp;
        return 0;
    }
    // the desktop program always works with full paths: they name group projects and "LastDir"
    arguments.path = AbsolutePath(arguments.path);
    const InputKind kind = KindOfInput(arguments.path);
    if (kind != InputKind::Project && !IsGroupInput(kind)) {
        err << arguments.path << " is not a .vbp, .vbpgroup or .vbg file.\n";
        return kUsageExit;
    }
    const Result<std::string> password = ReadPassword(arguments.password, context.env);
    if (!password) {
        err << password.error() << "\n";
        return kUsageExit;
    }

    SettingsStore settings(context.settings);
    ProgressLine progressLine(err, context.showProgress);
    RunOptions options;
    options.archive.driveMap = context.environment.driveMap;
    options.archive.codePage = context.environment.codePage;
    options.archive.verify = arguments.verify;
    options.settings = &settings;
    options.clock = context.clock;
    options.cancelRequested = context.ArmCancel();
    options.progress = [&progressLine](const RunProgress& progress) {
        const std::string label = "[" + std::to_string(progress.projectIndex + 1) + "/" +
                                  std::to_string(progress.projectCount) + "] " +
                                  FileNameOfPath(progress.projectPath);
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
            err << selection.error() << "\n";
            return kUsageExit;
        }
        projects = {arguments.path};
        namePrefix = AnsiToUtf8(SanitizeFileName(selection->state.gProjectName + " "), context.environment.codePage);
        outcome = RunSingleProject(
            {arguments.path, selection->state, destination(selection->savePath), *password}, options);
    } else {
        const Result<GroupSelection> written = ReadGroupAsWritten(arguments.path, context.environment.codePage);
        if (!written) {
            err << written.error() << "\n";
            return kUsageExit;
        }
        // a file that reads but names what this machine cannot reach is a failed run, not a wrong argument
        const Result<GroupSelection> group =
            LocateGroupPaths(written.value(), arguments.path, context.environment.driveMap);
        if (!group) {
            err << group.error() << "\n";
            return 1;
        }
        if (destination(group->savePath).empty()) {
            err << "The group names no backup folder and no project to put one beside; pass --dest DIR.\n";
            return kUsageExit;
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
                                            : PruneGroupRuns(outcome.backupFolder, arguments.keep);
    return Report(outcome, pruned, projects, arguments, context.environment.codePage, out, err);
}

Command MakeArchiveCommand(RunContext context) {
    return {"archive", "archive a project or a group into ZIP backups",
            [context](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
                return RunArchive(args, context, out, err);
            }};
}

} // namespace corvane
