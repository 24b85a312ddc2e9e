// dispatching the command line to one subcommand
#include "cli/commands.h"

#include <algorithm>

namespace corvane {

namespace {

void PrintUsage(const std::vector<Command>& commands, std::ostream& stream) {
    stream << "Usage: corvane-cli COMMAND [ARGUMENTS...]\n"
              "Backs up Visual Basic 6 projects into ZIP archives.\n\n"
              "Commands:\n";
    std::size_t width = 0;
    for (const Command& command : commands) {
        width = std::max(width, command.name.size());
    }
    for (const Command& command : commands) {
        stream << "  " << command.name << std::string(width - command.name.size() + 2, ' ') << command.summary
               << "\n";
    }
    stream << "\nRun 'corvane-cli COMMAND --help' for a command's arguments, 'corvane-cli --version' for the "
              "version.\n";
}

} // namespace

int RunCli(const std::vector<std::string>& args, const std::vector<Command>& commands, std::ostream& out,
           std::ostream& err) {
    if (args.empty()) {
        err << "No command given.\n";
        PrintUsage(commands, err);
        return kUsageExit;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        if (name == "help" && args.size() > 1) {
            return RunCli({args[1], "--help"}, commands, out, err);
        }
        PrintUsage(commands, out);
        return 0;
    }
    if (name == "--version") {
        out << "corvane-cli " << CORVANE_VERSION << "\n";
        return 0;
    }
    const auto found =
        std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return c.name == name; });
    if (found == commands.end()) {
        err << "Unknown command: " << name << "\n";
        PrintUsage(commands, err);
        return kUsageExit;
    }
    return found->run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
}

} // namespace corvane
