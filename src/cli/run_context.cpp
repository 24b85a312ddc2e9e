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
#include "core/platform/terminal.h"
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
    context.askTerminal = ReadSecretFromTerminal;
    return context;
}

std::function<bool()> RunContext::ArmCancel() const {
    return watchInterrupt ? WatchInterrupt() : cancelRequested;
}

namespace {

Result<std::string> AskAtTerminal(const RunContext& context, PasswordUse use) {
    const auto ask = [&context](const std::string& prompt) -> Result<std::string> {
        if (!context.askTerminal)
            return fail(ErrorKind::Refused, "There is no terminal to ask for the password on.");
        return context.askTerminal(prompt);
    };
    const Result<std::string> typed = ask("Password: ");
    if (!typed)
        return fail(ErrorKind::Refused, typed.error() + " Pass --password-env VAR or --password-file FILE instead.");
    if (typed->empty())
        return fail(ErrorKind::Refused, "No password was typed.");
    if (use == PasswordUse::Open)
        return typed;
    const Result<std::string> again = ask("The same password again: ");
    if (!again)
        return again.failure();
    if (*again != *typed)
        return fail(ErrorKind::Refused, "The two passwords typed differ; nothing was written.");
    return typed;
}

} // namespace

Result<std::string> ReadPassword(const PasswordSource& source, const RunContext& context, PasswordUse use) {
    const EnvLookup& env = context.env;
    if (source.prompt)
        return AskAtTerminal(context, use);
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
    std::ifstream in(FsPath(source.file), std::ios::binary);
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
