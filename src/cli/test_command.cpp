// the test command: every entry decrypted, inflated and checked, nothing written
#include "cli/commands.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/archive_args.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

constexpr const char* kTestDescription =
    "Reads every entry of the archive as unzip would: names and layout checked, data decrypted\n"
    "and inflated, CRC and authentication code compared, sizes matched against the directory.\n"
    "Nothing is written. Prints the number of entries checked.";

constexpr const char* kTestFooter =
    "Exit status: 0 every entry is sound, 1 the archive is refused or damaged, 2 bad arguments, no such\n"
    "archive or a missing password, 130 cancelled.";

int Test(const ArchiveWords& words, const RunContext& context, std::ostream& out, std::ostream& err) {
    ArchiveRun run;
    if (const auto ended = StartArchiveRun(words, context, run, err))
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

} // namespace

int RunTest(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
            std::ostream& err) {
    return RunCommand(MakeTestCommand(context), args, out, err);
}

Command MakeTestCommand(RunContext context) {
    return {"test", "check every entry of a backup archive without unpacking it", [context](CLI::App& app) -> Runner {
                app.description(kTestDescription);
                app.footer(kTestFooter);
                auto words = std::make_shared<ArchiveWords>();
                DeclareArchiveWords(app, *words);
                return [words, context](std::ostream& out, std::ostream& err) {
                    return Test(*words, context, out, err);
                };
            }};
}

} // namespace corvane
