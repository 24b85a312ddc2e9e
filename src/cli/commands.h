// the subcommands of corvane-cli and the dispatcher that picks one from the command line
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/run_context.h"
#include "core/restore/restore.h"

namespace corvane {

struct Command {
    std::string name;
    std::string summary; // one line for the command list
    // args are the words after the command's name; returns the exit code
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)> run;
};

// A command whose run takes the process's context as a value given once here.
template <typename Context>
Command CommandOf(std::string name, std::string summary,
                  int (*run)(const std::vector<std::string>&, const Context&, std::ostream&, std::ostream&),
                  Context context) {
    return {std::move(name), std::move(summary),
            [run, context = std::move(context)](const std::vector<std::string>& args, std::ostream& out,
                                                std::ostream& err) { return run(args, context, out, err); }};
}

// Exit code for a command line that cannot be understood.
constexpr int kUsageExit = 2;

// args are the words after the program's name. "--help" lists the commands and "--version" prints the
// program's name and version (exit 0); no command or an unknown one prints the list to err and exits
// kUsageExit; otherwise the command's exit code.
int RunCli(const std::vector<std::string>& args, const std::vector<Command>& commands, std::ostream& out,
           std::ostream& err);

Command MakeArchiveCommand(RunContext context);

// Exit 0 every project archived, 1 a project failed, kUsageExit bad arguments or unreadable input,
// kCancelledExit stopped by Ctrl-C.
int RunArchive(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
               std::ostream& err);

Command MakeInfoCommand(CliEnvironment environment);

// Exit 0 when the project file was read, 1 when it could not be, kUsageExit for bad arguments.
int RunInfo(const std::vector<std::string>& args, const CliEnvironment& environment, std::ostream& out,
            std::ostream& err);

Command MakeCheckCommand(CliEnvironment environment);

// Exit 0 when every file is there, 1 when one is missing or a project cannot be read, kUsageExit for bad
// arguments.
int RunCheck(const std::vector<std::string>& args, const CliEnvironment& environment, std::ostream& out,
             std::ostream& err);

Command MakeUnzipCommand(RunContext context);

// Exit 0 extracted, 1 the extraction failed or the target holds files, kUsageExit bad arguments, a
// missing archive or a missing password, kCancelledExit stopped by Ctrl-C.
int RunUnzip(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
             std::ostream& err);

Command MakeListCommand(RunContext context);

// Exit 0 listed, 1 the archive cannot be read, kUsageExit bad arguments or a missing archive.
int RunList(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
            std::ostream& err);

Command MakeTestCommand(RunContext context);

// Exit 0 every entry read back whole and checked, 1 one did not, kUsageExit bad arguments, a missing
// archive or password, kCancelledExit stopped by Ctrl-C.
int RunTest(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
            std::ostream& err);

} // namespace corvane
