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

    static RunContext FromProcess(CliEnvironment environment);
    // The cancel poll of one run; arms the Ctrl-C watch when asked to.
    std::function<bool()> ArmCancel() const;
};

// "--password-env VAR" or "--password-file FILE", as parsed from the command line.
struct PasswordSource {
    std::string variable;
    std::string file;
    bool given() const { return !variable.empty() || !file.empty(); }
};

// The password a source names: the variable's value, or the file's first line without its ending.
// Failures say what is missing, for a usage error.
Result<std::string> ReadPassword(const PasswordSource& source, const EnvLookup& env);

// Parses a password option at args[i] (advancing i past its value). Nothing when args[i] is none;
// a message when it is one but malformed or repeated.
std::optional<std::string> ParsePasswordOption(const std::vector<std::string>& args, std::size_t& i,
                                               PasswordSource& source, bool& matched);

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
