// the process environment and where the program's own files live, as values callers can replace
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvane {

// The value of an environment variable, or nothing when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Reads the real environment of this process.
EnvLookup ProcessEnvironment();

// The value when set and not empty, else nothing: most variables we read treat "" as unset.
std::optional<std::string> NonEmptyVariable(const EnvLookup& env, const std::string& name);

// The folder of the running executable, without a trailing "/" ("." when that cannot be found out).
std::string ProgramFolder();

// Where the settings are kept: $CORVANE_HOME when set (a portable copy, a test), else
// $XDG_CONFIG_HOME/corvane, else ~/.config/corvane, the home folder being $HOME or, without it, the
// user's entry in the password database. Empty when no home folder can be found at all.
std::string SettingsFolder(const EnvLookup& env);

// folder + "/" + name, without doubling a separator the folder already ends with.
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace corvane
