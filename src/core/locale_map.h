// the locale map "Lng/Local.ini" and the choice of the user-interface language at start-up
#pragma once

#include <cstdint>
#include <string>

#include "core/result.h"

namespace corvane {

// The language used when nothing better is found; its language file is never required.
inline constexpr const char* kDefaultLanguage = "eng";

// programFolder + "/Lng/Local.ini".
std::string LocaleMapPath(const std::string& programFolder);

// The map written on first start: 37 lines, each ended by CR LF.
std::string DefaultLocaleMapText();

// Writes the default map when no map exists, creating the "Lng" folder as needed; an existing map
// is never rewritten. Fails, with the reason, when the map cannot be written; the language then
// stays the default one.
Status EnsureLocaleMap(const std::string& programFolder);

// The three-letter language code for a Windows locale identifier: the map's "Force" entry when it
// is not empty, else the identifier's entry, else "eng"; "eng" too when the language file
// "Lng/<code>.lng" does not exist. Creates the map first when it is missing.
std::string ChooseLanguage(std::int32_t lcid, const std::string& programFolder);

} // namespace corvane
