// the web addresses of the maker's pages, and the address of a page through the translation proxy
#pragma once

#include <string>

namespace corvane {

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
