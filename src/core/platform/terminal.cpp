// asking the person at the terminal for a secret, the same conversation on every system
#include "core/platform/terminal.h"

#include "core/platform/terminal_session.h"

namespace corvane {

Result<std::string> ReadSecretFromTerminal(const std::string& prompt) {
    const std::unique_ptr<TerminalSession> terminal = OpenTerminal();
    if (!terminal)
        return fail(ErrorKind::Refused, "There is no terminal to ask for the password on.");
    if (!terminal->EchoOff())
        return fail(ErrorKind::Refused, "The terminal cannot hide the password as it is typed.");
    terminal->Write(prompt);
    const std::optional<std::string> line = terminal->ReadLine();
    if (!line)
        return fail(ErrorKind::Refused, "The terminal closed before a password was typed.");
    return *line;
}

} // namespace corvane
