// the process facts the archive and unzip commands use, password options and the progress line
#include "cli/run_context.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/common/environment.h"
#include "core/locale/locale.h"
#include "core/platform/platform.h"
#include "core/project/text.h"

namespace corvane {

Result<CliEnvironment> CliEnvironment::FromProcess(const EnvLookup& env) {
    Result<CodePage> codePage = ChooseAnsiCodePage(env);
    if (!codePage)
        return codePage.failure();
    return CliEnvironment{DriveMap::FromEnvironment(env), *codePage};
}

RunContext RunContext::FromProcess(CliEnvironment environment) {
    RunContext context;
    context.environment = std::move(environment);
    context.env = ProcessEnvironment();
    context.settings = DefaultSettingsLocation(context.env);
    context.showProgress = StandardErrorIsTerminal();
    context.watchInterrupt = true;
    return context;
}

std::function<bool()> RunContext::ArmCancel() const {
    return watchInterrupt ? WatchInterrupt() : cancelRequested;
}

Result<std::string> ReadPassword(const PasswordSource& source, const EnvLookup& env) {
    if (!source.variable.empty()) {
        const std::optional<std::string> value = env ? env(source.variable) : std::nullopt;
        if (!value)
            return fail(ErrorKind::Refused, "The environment variable " + source.variable + " is not set.");
        if (value->empty())
            return fail(ErrorKind::Refused, "The environment variable " + source.variable + " is empty.");
        return *value;
    }
    if (source.file.empty())
        return std::string();
    // not ReadTextFile: a password is often handed over through a pipe ("--password-file <(pass show x)")
    // so that it never rests on a disk, and only its first line is wanted
    errno = 0;
    std::ifstream in(std::filesystem::path(source.file), std::ios::binary);
    std::string line;
    const bool read = in.is_open() && std::getline(in, line);
    if (!in.is_open() || (!read && errno != 0)) { // a folder opens, then fails to read
        const int error = errno;
        return fail(KindOfSystemError(error, ErrorKind::NotReadable),
                    "Cannot read the file " + source.file + ": " +
                        (error != 0 ? std::strerror(error) : "it cannot be opened") + ".",
                    source.file, error);
    }
    line = line.substr(0, line.find('\r')); // CR LF and a lone CR end the line too
    if (line.empty())
        return fail(ErrorKind::Refused,
                    "The password file " + source.file + " holds no password on its first line.");
    return line;
}

std::optional<std::string> ParsePasswordOption(const std::vector<std::string>& args, std::size_t& i,
                                               PasswordSource& source, bool& matched) {
    matched = args[i] == "--password-env" || args[i] == "--password-file";
    if (!matched)
        return std::nullopt;
    if (source.given())
        return "Give one password option only.";
    if (i + 1 >= args.size() || args[i + 1].empty())
        return args[i] + " needs a value.";
    (args[i] == "--password-env" ? source.variable : source.file) = args[i + 1];
    ++i;
    return std::nullopt;
}

void ProgressLine::Show(const std::string& label, double fraction) {
    if (!m_enabled)
        return;
    const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100));
    if (percent == m_lastPercent && label == m_lastLabel)
        return;
    m_lastPercent = percent;
    m_lastLabel = label;
    std::string text = label + "  " + std::to_string(percent) + "%";
    const std::size_t width = text.size();
    text.append(m_width > width ? m_width - width : 0, ' ');
    m_width = width;
    m_stream << '\r' << text << std::flush;
}

void ProgressLine::Clear() {
    if (!m_enabled || m_width == 0)
        return;
    m_stream << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
    m_width = 0;
    m_lastPercent = -1;
}

} // namespace corvane
