// the person's terminal through POSIX: /dev/tty, echo off while a secret is typed
#include "core/platform/terminal_session.h"

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

class Terminal : public TerminalSession {
public:
    explicit Terminal(int descriptor) : m_descriptor(descriptor) {}
    ~Terminal() override {
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

    bool EchoOff() override {
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

    void Write(const std::string& text) override {
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t written = ::write(m_descriptor, text.data() + done, text.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return;
            done += static_cast<std::size_t>(written);
        }
    }

    // ECHONL has already moved the cursor to the next line
    std::optional<std::string> ReadLine() override {
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

std::unique_ptr<TerminalSession> OpenTerminal() {
    const int descriptor = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    return std::make_unique<Terminal>(descriptor);
}

} // namespace corvane
