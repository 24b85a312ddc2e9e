// corvane-cli: the command table and the process's streams
#include <iostream>

#include "cli/commands.h"
#include "core/platform/platform.h"

int main(int argc, char** argv) {
    corvane::TuneAllocatorForArchiving();
    corvane::UseUtf8Console();
    // decided once, before any command reads a file: a code page no one meant would name every file wrongly
    const corvane::Result<corvane::CliEnvironment> environment =
        corvane::CliEnvironment::FromProcess(corvane::ProcessEnvironment());
    if (!environment) {
        std::cerr << environment.error() << "\n";
        return corvane::kUsageExit;
    }
    const std::vector<corvane::Command> commands =
        corvane::ProgramCommands(*environment, corvane::RunContext::FromProcess(*environment));
    return corvane::RunCli(corvane::ProgramArguments(argc, argv), commands, std::cout, std::cerr);
}
