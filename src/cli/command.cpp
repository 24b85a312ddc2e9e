// the program's commands, and one of them run on its own as the program runs it after its name
#include "cli/commands.h"

namespace corvane {

std::vector<Command> ProgramCommands(const CliEnvironment& environment, const RunContext& context) {
    return {MakeInfoCommand(environment), MakeCheckCommand(environment), MakeArchiveCommand(context),
            MakeUnzipCommand(context),    MakeListCommand(context),        MakeTestCommand(context)};
}

int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
    std::vector<std::string> words{command.name};
    words.insert(words.end(), args.begin(), args.end());
    return RunCli(words, {command}, out, err);
}

} // namespace corvane
