// the user's locale as a Windows locale identifier, the number the locale map is keyed by
#pragma once

#include <cstdint>
#include <string>

#include "core/environment.h"

namespace corvane {

// United States English, for every locale that is not known.
inline constexpr std::int32_t kFallbackLcid = 1033;

// The locale the user's messages are shown in: the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty, as a Windows locale identifier.
std::int32_t UserDefaultLCID(const EnvLookup& env);

// A POSIX locale name ("fr_FR.UTF-8", "de_CH", "pt_BR@euro", "fr", "C") as a Windows locale
// identifier. A language without a country, or with a country not known for it, gives the
// language's primary locale (sublanguage 1: "fr" gives 1036, "es" 1034); anything else 1033.
std::int32_t LcidOfLocaleName(const std::string& localeName);

} // namespace corvane
