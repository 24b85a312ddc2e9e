// what the commands take from the process environment, gathered once so tests can pass their own
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "core/backup/naming.h"
#include "core/common/environment.h"
#include "core/project/references.h"
#include "core/project/text.h"
#include "core/settings/settings.h"

namespace corvane {

struct CliEnvironment {
    DriveMap driveMap;
    CodePage codePage = CodePage::Windows1252;

    // Fails when CORVANE_ANSI_CODEPAGE names no known code page: no command runs then.
    static Result<CliEnvironment> FromProcess(const EnvLookup& env);
};

// Exit code of a run stopped by Ctrl-C, as shells report a process ended by SIGINT.
constexpr int kCancelledExit = 130;

struct RunContext {
    CliEnvironment environment;
    EnvLookup env;                         // for --password-env
    SettingsLocation settings;             // where "LastDir" is kept, shared with the desktop program
    bool showProgress = false;             // stderr is a terminal: a progress line is welcome there
    bool watchInterrupt = false;           // Ctrl-C cancels the run (the real process only)
    std::function<bool()> cancelRequested; // for tests; used when watchInterrupt is false
    Clock clock = SystemClock();
    // for --password-prompt: the question asked at the terminal; tests give scripted answers
    std::function<Result<std::string>(const std::string& prompt)> askTerminal;

    static RunContext FromProcess(CliEnvironment environment);
    // The cancel poll of one run; arms the Ctrl-C watch when asked to.
    std::function<bool()> ArmCancel() const;
};

// "--password-env VAR", "--password-file FILE" or "--password-prompt", as parsed from the command line.
struct PasswordSource {
    std::string variable;
    std::string file;
    bool prompt = false;
    bool given() const { return !variable.empty() || !file.empty() || prompt; }
};

// Whether a password is read to open an archive, or to encrypt a new one: a new one is typed twice at
// the terminal, since a typing slip nobody saw would lock the backup for good.
enum class PasswordUse { Open, Encrypt };

// The password a source names: the variable's value, the file's first line without its ending, or
// what was typed at the terminal. Failures say what is missing, for a usage error.
Result<std::string> ReadPassword(const PasswordSource& source, const RunContext& context, PasswordUse use);

// One line on a terminal, rewritten in place and cleared when done.
class ProgressLine {
public:
    ProgressLine(std::ostream& stream, bool enabled) : m_stream(stream), m_enabled(enabled) {}
    ~ProgressLine() { Clear(); }
    void Show(const std::string& label, double fraction);
    void Clear();

private:
    std::ostream& m_stream;
    bool m_enabled;
    int m_lastPercent = -1;
    std::string m_lastLabel;
    std::size_t m_width = 0;
};

} // namespace corvane
