// what the archive and unzip commands take from the process: settings, terminal, clock, Ctrl-C
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli_environment.h"
#include "core/backup_naming.h"
#include "core/environment.h"
#include "core/settings_store.h"

namespace corvane {

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

    static RunContext FromProcess();
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

// Implemented per platform.
bool StandardErrorIsTerminal();
// Installs a SIGINT handler that only raises a flag (a second Ctrl-C ends the process as usual) and
// returns the poll of that flag.
std::function<bool()> WatchInterrupt();

} // namespace corvane
