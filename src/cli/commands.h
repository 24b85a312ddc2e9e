// the subcommands of corvane-cli
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/run_context.h"
#include "core/restore/restore.h"

namespace corvane {

// Runs one command as the program would after its name: `RunCommand(MakeInfoCommand(e), {"a.vbp"}, ...)`.
int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err);

// Every command of the program, in the order its help lists them.
std::vector<Command> ProgramCommands(const CliEnvironment& environment, const RunContext& context);

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
