// where the program's own files live: its folder, its language files and the data of the settings store
#pragma once

#include <string>

#include "core/environment.h"
#include "core/result.h"

namespace corvane {

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

// Implemented per platform.
Result<std::string> ExecutablePath();
bool IsWritableFolder(const std::string& folder);

} // namespace corvane
