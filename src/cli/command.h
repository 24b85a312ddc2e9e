// the subcommands of corvane-cli and the dispatcher that picks one from the command line
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace corvane {

struct Command {
    std::string name;
    std::string summary; // one line for the command list
    // args are the words after the command's name; returns the exit code
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)> run;
};

// Exit code for a command line that cannot be understood.
constexpr int kUsageExit = 2;

// args are the words after the program's name. "--help" lists the commands (exit 0); no command or an
// unknown one prints the list to err and exits kUsageExit; otherwise the command's exit code.
int RunCli(const std::vector<std::string>& args, const std::vector<Command>& commands, std::ostream& out,
           std::ostream& err);

} // namespace corvane
