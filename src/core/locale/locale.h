// the user's language: the locale, the language file chosen for it, and the help page in it
#pragma once

#include <cstdint>
#include <string>

#include "core/common/environment.h"
#include "core/common/error.h"
#include "core/project/code_page.h"

namespace corvane {

// The language used when nothing better is found; its language file is never required.
inline constexpr const char* kDefaultLanguage = "eng";

// Where the language files and the locale map are, and whether the map may be written there.
struct LanguageFiles {
    std::string folder;       // empty when the program has no language files
    bool mapWritable = false; // the folder is the user's own and the map is made on first start
};

// A folder "Lng" beside the program is a portable copy, the user's own: its map is written there on
// first start, as the tool has always done. Otherwise the installed folder "../share/corvane/lng"
// beside the program's folder (which the build tree links to the sources' "lng"): its map comes with
// the package and nothing is ever written into it.
LanguageFiles FindLanguageFiles(const std::string& programFolder);

// languageFolder + "/Local.ini".
std::string LocaleMapPath(const std::string& languageFolder);

// The map written on first start: 37 lines, each ended by CR LF.
std::string DefaultLocaleMapText();

// Writes the default map when no map exists, creating the folder as needed; an existing map is never
// rewritten. Fails, with the reason, when the map cannot be written.
Status EnsureLocaleMap(const std::string& languageFolder);

// The three-letter language code for a Windows locale identifier: the map's "Force" entry when it
// is not empty, else the identifier's entry, else "eng"; "eng" too when the language file
// "<code>.lng" does not exist. Creates the map first when it is missing and may be written; a map
// that is missing all the same is read as the default one.
std::string ChooseLanguage(std::int32_t lcid, const LanguageFiles& languages);

// The code page the language file of a language is written in: that of the locale it was chosen for
// when the map gives the user's locale this language, else that of the first locale the map gives it
// (a "Force" entry names a language, not a locale), else that of the user's locale.
CodePage LanguageCodePage(const std::string& languageCode, std::int32_t lcid,
                          const std::string& languageFolder);

// United States English, for every locale that is not known.
inline constexpr std::int32_t kFallbackLcid = 1033;

// The locale the user's messages are shown in: the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty, as a Windows locale identifier; else, on Windows, the user's locale
// (GetUserDefaultLCID); else 1033.
std::int32_t UserDefaultLCID(const EnvLookup& env);

// A POSIX locale name ("fr_FR.UTF-8", "de_CH", "pt_BR@euro", "fr", "C") as a Windows locale
// identifier. A language without a country, or with a country not known for it, gives the
// language's primary locale (sublanguage 1: "fr" gives 1036, "es" 1034); anything else 1033.
std::int32_t LcidOfLocaleName(const std::string& localeName);

// The ANSI code page Windows gives a locale: 1250 for Central Europe, 1251 for Cyrillic, 932 for Japan,
// 936 or 950 for Chinese by country, and so on; 1252 for Western locales and every locale not known.
CodePage AnsiCodePageOfLcid(std::int32_t lcid);

// The code page the user's project and group files are read in, decided once per process for the
// window and the command line alike: CORVANE_ANSI_CODEPAGE when set, else the one of the user's locale
// (UserDefaultLCID), as a Windows machine of that locale writes them; on Windows, when no locale
// variable is set, the system's own ANSI code page (GetACP). A value that names no known code
// page fails, listing the accepted ones.
Result<CodePage> ChooseAnsiCodePage(const EnvLookup& env);

inline constexpr const char* kHomePageUrl = "https://corvane.dev";
inline constexpr const char* kHelpPageUrl = "https://corvane.dev/Help/Corvane/";
// The proxy serves a page of host a.b.c at a-b-c + this suffix.
inline constexpr const char* kTranslationProxySuffix = ".translate.goog";
// The proxy's query; each "XXX" stands for the target language.
inline constexpr const char* kTranslationQueryTemplate =
    "?_x_tr_sl=auto&_x_tr_tl=XXX&_x_tr_hl=XXX&_x_tr_pto=wapp";

// The address of the page through the translation proxy, always over "https://":
// "https://" + host with "." turned into "-" + proxy suffix + the rest of the address without its
// host + the query for the language. Every comparison is exact.
std::string TranslatePageUrl(const std::string& address, const std::string& language);

// The host of scheme://host/path, "\" counting as "/". For an address without "://" it is the text
// up to the first "/" after any leading ones.
std::string HostOfUrl(const std::string& address);

// The address the help command opens: the help page itself for "en", else the page through the proxy.
std::string HelpPageAddress(const std::string& helpLanguage);

} // namespace corvane
