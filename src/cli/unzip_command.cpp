// the unzip command: the archive's folder beside it (or --to), every entry through the extraction gate
#include "cli/commands.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/archive_args.h"
#include "cli/options.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

constexpr const char* kUnzipDescription =
    "Unpacks the archive into a folder beside it named after it (ARCHIVE.zip into ARCHIVE/), or\n"
    "into DIR, each entry under its stored path. The entries are written into a hidden folder\n"
    "beside the target first, which takes the target's place only once every entry was unpacked\n"
    "and checked: a refused, damaged or cancelled archive leaves the target as it was. Entries\n"
    "that would land outside the target refuse the whole archive. Prints the folder.";

constexpr const char* kUnzipFooter =
    "Ctrl-C stops the extraction; the target stays as it was.\n\n"
    "Exit status: 0 extracted, 1 the extraction failed or the target holds files, 2 bad arguments, no\n"
    "such archive or a missing password, 130 cancelled.";

struct UnzipWords {
    ArchiveWords archive;
    std::optional<std::string> folder;
    bool overwrite = false;
};

int Unzip(const UnzipWords& words, const RunContext& context, std::ostream& out, std::ostream& err) {
    ArchiveRun run;
    UnzipOptions options;
    if (words.overwrite)
        options.existing = ExistingFolder::Replace;
    const std::optional<std::string>& chosenFolder = words.folder;
    if (const auto ended = StartArchiveRun(words.archive, context, run, err))
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

} // namespace

int RunUnzip(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
             std::ostream& err) {
    return RunCommand(MakeUnzipCommand(context), args, out, err);
}

Command MakeUnzipCommand(RunContext context) {
    return {"unzip", "unpack a backup archive into a folder beside it or elsewhere",
            [context](CLI::App& app) -> Runner {
                app.description(kUnzipDescription);
                app.footer(kUnzipFooter);
                auto words = std::make_shared<UnzipWords>();
                DeclareArchiveWords(app, words->archive);
                app.add_option("--to", words->folder, "unpack into DIR instead")->type_name("DIR")->check(NonEmpty());
                app.add_flag("--overwrite", words->overwrite,
                             "replace a target folder that already holds files (by default it is\n"
                             "left alone and the command fails)");
                return [words, context](std::ostream& out, std::ostream& err) {
                    return Unzip(*words, context, out, err);
                };
            }};
}

} // namespace corvane
