// the unzip command: the archive's folder beside it (or --to), every entry through the extraction gate
#include "cli/commands.h"

#include "cli/archive_args.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

const std::string kUnzipHelp =
    std::string("Usage: corvane-cli unzip ARCHIVE.zip [--to DIR] [--overwrite]\n"
                "                         [--password-env VAR | --password-file FILE] [limits]\n"
                "Unpacks the archive into a folder beside it named after it (ARCHIVE.zip into ARCHIVE/), or\n"
                "into DIR, each entry under its stored path. The entries are written into a hidden folder\n"
                "beside the target first, which takes the target's place only once every entry was unpacked\n"
                "and checked: a refused, damaged or cancelled archive leaves the target as it was. Entries\n"
                "that would land outside the target refuse the whole archive. A bare file name not found in\n"
                "the current folder is looked for in the last backup folder. Prints the folder.\n\n"
                "  --to DIR              unpack into DIR instead\n"
                "  --overwrite           replace a target folder that already holds files (by default it is\n"
                "                        left alone and the command fails)\n") +
    kPasswordOptionsHelp + kLimitOptionsHelp +
    "\nCtrl-C stops the extraction; the target stays as it was.\n\n"
    "Exit status: 0 extracted, 1 the extraction failed or the target holds files, 2 bad arguments, no\n"
    "such archive or a missing password, 130 cancelled.\n";

} // namespace

int RunUnzip(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
             std::ostream& err) {
    ArchiveRun run;
    std::optional<std::string> chosenFolder;
    UnzipOptions options;
    const OwnOption own = [&](const std::vector<std::string>& words, std::size_t& i,
                              bool& matched) -> std::optional<std::string> {
        matched = words[i] == "--overwrite" || words[i] == "--to";
        if (words[i] == "--overwrite")
            options.existing = ExistingFolder::Replace;
        if (words[i] == "--to" && (i + 1 >= words.size() || words[i + 1].empty()))
            return std::string("--to needs a folder.");
        if (words[i] == "--to")
            chosenFolder = words[++i];
        return std::nullopt;
    };
    if (const auto ended = StartArchiveRun(args, kUnzipHelp, own, context, run, out, err))
        return *ended;
    const std::string& archive = run.archive;
    std::string folder;
    if (chosenFolder) {
        folder = *chosenFolder;
    } else if (const Result<std::string> beside = ExtractionFolderOf(archive); beside) {
        folder = *beside;
    } else {
        err << beside.error() << " Pick a folder with --to DIR.\n";
        return kUsageExit;
    }

    ProgressLine progressLine(err, context.showProgress);
    options.limits = run.limits;
    options.askPassword = run.password.Asker();
    options.progress = [&](double fraction) { progressLine.Show(FileNameOfPath(archive), fraction); };
    options.cancelRequested = context.ArmCancel();
    const Result<int> extracted = ExtractArchive(archive, folder, options);
    progressLine.Clear();
    if (extracted.ok()) {
        out << folder << "\n";
        return 0;
    }
    if (run.password.missing)
        return ReportReadFailure(extracted.failure(), run, err);
    if (extracted.failure().kind == ErrorKind::Exists) {
        err << extracted.error() << " Pass --overwrite to replace it, or --to DIR to unpack elsewhere.\n";
        return 1;
    }
    if (extracted.cancelled()) {
        err << "Cancelled: " << folder << " was left as it was.\n";
        return kCancelledExit;
    }
    return ReportReadFailure(extracted.failure(), run, err);
}

Command MakeUnzipCommand(RunContext context) {
    return CommandOf("unzip", "unpack a backup archive into a folder beside it or elsewhere", RunUnzip,
                     std::move(context));
}

} // namespace corvane
