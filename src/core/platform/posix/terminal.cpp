// asking the person at the terminal for a secret: /dev/tty with echo off
#include "core/platform/terminal.h"

#include <cerrno>
#include <csignal>
#include <optional>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace corvane {

namespace {

// A Ctrl-C while the password is typed ends the program as ever, but must not leave the shell without
// echo: the handler puts the terminal back first. Only async-signal-safe calls, on these copies.
int g_echoOffTerminal = -1;
termios g_echoOnSettings{};

void RestoreEchoAndStop(int signal) {
    ::tcsetattr(g_echoOffTerminal, TCSAFLUSH, &g_echoOnSettings);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

class Terminal {
public:
    Terminal() : m_descriptor(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Terminal() {
        if (m_echoOff)
            ::tcsetattr(m_descriptor, TCSAFLUSH, &m_saved);
        if (m_guarded)
            for (int i = 0; i < 3; ++i)
                ::sigaction(kSignals[i], &m_savedActions[i], nullptr);
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool open() const { return m_descriptor >= 0; }

    bool EchoOff() {
        if (::tcgetattr(m_descriptor, &m_saved) != 0)
            return false;
        g_echoOffTerminal = m_descriptor;
        g_echoOnSettings = m_saved;
        struct sigaction restore {};
        restore.sa_handler = RestoreEchoAndStop;
        sigemptyset(&restore.sa_mask);
        for (int i = 0; i < 3; ++i) // before echo goes off: no moment is left unguarded
            ::sigaction(kSignals[i], &restore, &m_savedActions[i]);
        m_guarded = true;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL; // the Enter key still moves to the next line
        m_echoOff = ::tcsetattr(m_descriptor, TCSAFLUSH, &quiet) == 0;
        return m_echoOff;
    }

    void Write(const std::string& text) const {
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t written = ::write(m_descriptor, text.data() + done, text.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return;
            done += static_cast<std::size_t>(written);
        }
    }

    // up to the end of the line; nothing when the terminal went away first
    std::optional<std::string> ReadLine() const {
        std::string line;
        for (char c;;) {
            const ssize_t read = ::read(m_descriptor, &c, 1);
            if (read < 0 && errno == EINTR)
                continue;
            if (read <= 0)
                return line.empty() ? std::nullopt : std::optional(line);
            if (c == '\n' || c == '\r')
                return line;
            line += c;
        }
    }

private:
    int m_descriptor;
    termios m_saved{};
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_savedActions[3] {};
    bool m_guarded = false;
    bool m_echoOff = false;
};

} // namespace

Result<std::string> ReadSecretFromTerminal(const std::string& prompt) {
    Terminal terminal;
    if (!terminal.open())
        return fail(ErrorKind::Refused, "There is no terminal to ask for the password on.");
    if (!terminal.EchoOff())
        return fail(ErrorKind::Refused, "The terminal cannot hide the password as it is typed.");
    terminal.Write(prompt);
    const std::optional<std::string> line = terminal.ReadLine();
    if (!line)
        return fail(ErrorKind::Refused, "The terminal closed before a password was typed.");
    return *line;
}

} // namespace corvane
