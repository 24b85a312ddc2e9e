// one declaration per command: the words of a command line bound to a run, help and completion from it
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace corvane {

// Exit code for a command line that cannot be understood.
constexpr int kUsageExit = 2;

// One run of a command, its options already bound; returns the exit code.
using Runner = std::function<int(std::ostream& out, std::ostream& err)>;

struct Command {
    std::string name;
    std::string summary; // one line for the command list
    // Declares the command's options and arguments on `app`, bound to the values of one run, and
    // returns that run. Parsing, help and the completion script all read this one declaration.
    std::function<Runner(CLI::App& app)> declare;
};

// args are the words after the program's name. "--help" (or "help [COMMAND]") prints the generated help
// and "--version" the program's name and version (exit 0); no command prints the help to err; a command
// line that cannot be understood gets one line and a pointer to --help (exit kUsageExit); otherwise the
// command's exit code.
int RunCli(const std::vector<std::string>& args, const std::vector<Command>& commands, std::ostream& out,
           std::ostream& err);

// The one way an argument error is told: the message, then where the options are explained.
int ArgumentError(std::ostream& err, const std::string& command, const std::string& message);

// A bash completion script offering the commands, and after a command its options, as declared.
std::string BashCompletion(const std::vector<Command>& commands);

} // namespace corvane
