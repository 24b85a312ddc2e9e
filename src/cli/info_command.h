// "corvane-cli info": what a project file names and where those files are on this machine
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_environment.h"
#include "cli/command.h"

namespace corvane {

Command MakeInfoCommand(CliEnvironment environment);

// Exit 0 when the project file was read, 1 when it could not be, kUsageExit for bad arguments.
int RunInfo(const std::vector<std::string>& args, const CliEnvironment& environment, std::ostream& out,
            std::ostream& err);

} // namespace corvane
