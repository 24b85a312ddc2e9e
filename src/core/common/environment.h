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

// The folder the program's files sit beside, without a trailing "/": $CORVANE_HOME when set, else
// the folder of the running executable ("." when that cannot be found out).
std::string ProgramFolder(const EnvLookup& env);

// programFolder + "/Lng": the locale map and the language files.
std::string LanguageFolder(const std::string& programFolder);

// Where the machine-wide settings are kept: $CORVANE_HOME when set; else the program folder when it
// can be written to (the program's own folder, as the tool has always done); else
// $XDG_DATA_HOME/corvane, ~/.local/share/corvane by default.
std::string DataFolder(const EnvLookup& env);
// The choice DataFolder makes, with the facts it depends on passed in.
std::string ChooseDataFolder(const std::string& programFolder, bool programFolderWritable,
                             const EnvLookup& env);

// Where per-user settings are kept: $XDG_CONFIG_HOME/corvane, ~/.config/corvane by default.
std::string UserConfigFolder(const EnvLookup& env);

// folder + "/" + name, without doubling a separator the folder already ends with.
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace corvane
