// one declaration per command: the words of a command line bound to a run, help and completion from it
#include "cli/command_line.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>

#include <CLI/CLI.hpp>

namespace corvane {

namespace {

constexpr const char* kProgram = "corvane-cli";

// The program's help lists each command by its one-line summary; the command's own help starts with the
// longer description its declaration gives. An option shows the name of its value and nothing more: the
// descriptions say in words what is required, what goes with what and which numbers are taken, and
// CLI11's own notes ("TEXT REQUIRED", "INT in [1 - 999999]", "Excludes: ...") only crowd them.
class HelpFormatter : public CLI::Formatter {
public:
    std::map<std::string, std::string> summaries;

    std::string make_subcommand(const CLI::App* sub) const override {
        std::ostringstream out;
        const auto summary = summaries.find(sub->get_name());
        CLI::detail::format_help(out, sub->get_name(), summary != summaries.end() ? summary->second : "",
                                 get_column_width());
        return out.str();
    }

    std::string make_option_opts(const CLI::Option* option) const override {
        if (!option->nonpositional() || option->get_type_size() == 0)
            return {};
        const std::string type = option->get_type_name(); // its validators' notes follow a colon
        return " " + type.substr(0, type.find(':'));
    }
};

// The program's app with every command declared on it; the runners are those of this parse.
struct Declared {
    CLI::App app{"Backs up Visual Basic 6 projects into ZIP archives.", kProgram};
    std::map<const CLI::App*, Runner> runners;

    explicit Declared(const std::vector<Command>& commands) {
        app.footer("Run 'corvane-cli COMMAND --help' for a command's options.");
        app.set_version_flag("--version", std::string(kProgram) + " " + CORVANE_VERSION,
                             "Print the program's name and version");
        app.set_help_flag("-h,--help", "Print this help");
        app.require_subcommand(1);
        auto formatter = std::make_shared<HelpFormatter>();
        for (const Command& command : commands)
            formatter->summaries.emplace(command.name, command.summary);
        app.formatter(formatter);
        for (const Command& command : commands) {
            CLI::App* sub = app.add_subcommand(command.name, command.summary);
            runners.emplace(sub, command.declare(*sub));
        }
    }
};

// CLI11 ends the help with the footer's last character
std::string EndedLine(std::string text) {
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return text;
}

// "help COMMAND" is "COMMAND --help", as git and cargo take it
std::vector<std::string> WithHelpWord(const std::vector<std::string>& args) {
    if (args.empty() || args.front() != "help")
        return args;
    if (args.size() == 1)
        return {"--help"};
    return {args[1], "--help"};
}

} // namespace

int ArgumentError(std::ostream& err, const std::string& command, const std::string& message) {
    const std::string program =
        command.empty() ? std::string(kProgram) : std::string(kProgram) + " " + command;
    err << message << "\nsee '" << program << " --help'\n";
    return kUsageExit;
}

int RunCli(const std::vector<std::string>& args, const std::vector<Command>& commands, std::ostream& out,
           std::ostream& err) {
    Declared declared(commands);
    if (args.empty()) {
        err << EndedLine(declared.app.help());
        return kUsageExit;
    }
    const std::vector<std::string> words = WithHelpWord(args);
    const auto named = [&words](const Command& command) { return command.name == words.front(); };
    if (!words.front().starts_with("-") && std::none_of(commands.begin(), commands.end(), named))
        return ArgumentError(err, std::string(), "Unknown command: " + words.front());
    std::vector<std::string> reversed(words.rbegin(), words.rend()); // the order CLI11 consumes them in
    try {
        declared.app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << EndedLine(declared.app.help());
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        const std::vector<CLI::App*> chosen = declared.app.get_subcommands();
        return ArgumentError(err, chosen.empty() ? std::string() : chosen.front()->get_name(), error.what());
    }
    return declared.runners.at(declared.app.get_subcommands().front())(out, err);
}

std::string BashCompletion(const std::vector<Command>& commands) {
    Declared declared(commands);
    std::string names, cases;
    for (const Command& command : commands) {
        names += (names.empty() ? "" : " ") + command.name;
        std::string options;
        for (const CLI::Option* option : declared.app.get_subcommand(command.name)->get_options())
            for (const std::string& name : option->get_lnames())
                options += (options.empty() ? "--" : " --") + name;
        cases += "        " + command.name + ") words=\"" + options + "\" ;;\n";
    }
    return "# bash completion for corvane-cli; made from the commands' declarations, checked by the tests\n"
           "_corvane_cli() {\n"
           "    local current=${COMP_WORDS[COMP_CWORD]} words\n"
           "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
           "        COMPREPLY=($(compgen -W \"" +
           names +
           " help --help --version\" -- \"$current\"))\n"
           "        return\n"
           "    fi\n"
           "    case \"$current\" in\n"
           "    -*)\n"
           "        case \"${COMP_WORDS[1]}\" in\n" +
           cases +
           "        *) words=\"--help\" ;;\n"
           "        esac\n"
           "        COMPREPLY=($(compgen -W \"$words\" -- \"$current\")) ;;\n"
           "    *)\n"
           "        COMPREPLY=($(compgen -f -- \"$current\")) ;;\n"
           "    esac\n"
           "}\n"
           "complete -o filenames -F _corvane_cli corvane-cli\n";
}

} // namespace corvane
