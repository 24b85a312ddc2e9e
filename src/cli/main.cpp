// corvane-cli: the command table and the process's streams
#include <iostream>

#include "cli/command.h"
#include "cli/info_command.h"

int main(int argc, char** argv) {
    const corvane::CliEnvironment environment = corvane::CliEnvironment::FromProcess();
    const std::vector<corvane::Command> commands = {
        corvane::MakeInfoCommand(environment),
    };
    return corvane::RunCli(std::vector<std::string>(argv + 1, argv + argc), commands, std::cout, std::cerr);
}
