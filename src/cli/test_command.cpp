// the test command: every entry decrypted, inflated and checked, nothing written
#include "cli/commands.h"

#include "cli/archive_args.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

const std::string kTestHelp =
    std::string("Usage: corvane-cli test ARCHIVE.zip [--password-env VAR | --password-file FILE] [limits]\n"
                "Reads every entry of the archive as unzip would: names and layout checked, data decrypted\n"
                "and inflated, CRC and authentication code compared, sizes matched against the directory.\n"
                "Nothing is written. Prints the number of entries checked.\n\n") +
    kPasswordOptionsHelp + kLimitOptionsHelp +
    "\nExit status: 0 every entry is sound, 1 the archive is refused or damaged, 2 bad arguments, no such\n"
    "archive or a missing password, 130 cancelled.\n";

} // namespace

int RunTest(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
            std::ostream& err) {
    ArchiveRun run;
    if (const auto ended = StartArchiveRun(args, kTestHelp, nullptr, context, run, out, err))
        return *ended;
    const std::string& archive = run.archive;
    ProgressLine progressLine(err, context.showProgress);
    UnzipOptions options;
    options.limits = run.limits;
    options.askPassword = run.password.Asker();
    options.progress = [&](double fraction) { progressLine.Show(FileNameOfPath(archive), fraction); };
    options.cancelRequested = context.ArmCancel();
    const Result<int> checked = TestArchive(archive, options);
    progressLine.Clear();
    if (!checked)
        return ReportReadFailure(checked.failure(), run, err);
    out << archive << ": " << *checked << " entries OK\n";
    return 0;
}

Command MakeTestCommand(RunContext context) {
    return CommandOf("test", "check every entry of a backup archive without unpacking it", RunTest,
                     std::move(context));
}

} // namespace corvane
