// corvane-cli: the command table and the process's streams
#include <iostream>

#include "cli/commands.h"
#include "core/platform/platform.h"

int main(int argc, char** argv) {
    corvane::TuneAllocatorForArchiving();
    const corvane::CliEnvironment environment = corvane::CliEnvironment::FromProcess();
    const std::vector<corvane::Command> commands = {
        corvane::MakeInfoCommand(environment),
        corvane::MakeArchiveCommand(corvane::RunContext::FromProcess()),
        corvane::MakeUnzipCommand(corvane::RunContext::FromProcess()),
        corvane::MakeListCommand(corvane::RunContext::FromProcess()),
        corvane::MakeTestCommand(corvane::RunContext::FromProcess()),
    };
    return corvane::RunCli(std::vector<std::string>(argv + 1, argv + argc), commands, std::cout, std::cerr);
}
