// the person's console on Windows: its own input, echo off while a secret is typed
#include "core/platform/terminal_session.h"

#include <optional>

#include "core/platform/windows/windows_text.h"

namespace corvane {

namespace {

// The console the program runs in, opened by name so that redirected standard handles (a pipe under a
// scheduled task) are never mistaken for a person typing.
class Console : public TerminalSession {
public:
    Console()
        : m_input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr)),
          m_output(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Console() override {
        if (m_echoOff)
            SetConsoleMode(m_input, m_savedMode);
        for (HANDLE handle : {m_input, m_output})
            if (handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    bool open() const {
        DWORD mode = 0;
        return m_input != INVALID_HANDLE_VALUE && m_output != INVALID_HANDLE_VALUE &&
               GetConsoleMode(m_input, &mode);
    }

    bool EchoOff() override {
        if (!GetConsoleMode(m_input, &m_savedMode))
            return false;
        // a whole line at a time, as typed, but not shown
        const DWORD quiet = (m_savedMode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT;
        m_echoOff = SetConsoleMode(m_input, quiet) != 0;
        return m_echoOff;
    }

    void Write(const std::string& text) override {
        const std::wstring wide = Wide(text);
        DWORD written = 0;
        WriteConsoleW(m_output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }

    std::optional<std::string> ReadLine() override {
        std::optional<std::string> line = ReadUntilEnter();
        Write("\r\n"); // the Enter key is not echoed either
        return line;
    }

private:
    std::optional<std::string> ReadUntilEnter() const {
        std::wstring line;
        for (wchar_t c;;) {
            DWORD read = 0;
            if (!ReadConsoleW(m_input, &c, 1, &read, nullptr) || read == 0)
                return line.empty() ? std::nullopt : std::optional(Utf8(line));
            if (c == L'\n')
                return Utf8(line);
            if (c != L'\r')
                line += c;
        }
    }

    HANDLE m_input;
    HANDLE m_output;
    DWORD m_savedMode = 0;
    bool m_echoOff = false;
};

} // namespace

std::unique_ptr<TerminalSession> OpenTerminal() {
    auto console = std::make_unique<Console>();
    if (!console->open())
        return nullptr;
    return console;
}

} // namespace corvane
