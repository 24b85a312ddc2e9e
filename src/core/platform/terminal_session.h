// the person's terminal as each system reaches it, for the conversation terminal.cpp holds with it
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace corvane {

class TerminalSession {
public:
    virtual ~TerminalSession() = default; // puts the terminal back as it was
    virtual bool EchoOff() = 0;
    virtual void Write(const std::string& text) = 0;
    // Up to the end of the line, the cursor then on the next one; nothing when the terminal went away
    // first.
    virtual std::optional<std::string> ReadLine() = 0;
};

// The process's own terminal, never a redirected standard handle; nullptr when it has none.
std::unique_ptr<TerminalSession> OpenTerminal();

} // namespace corvane
