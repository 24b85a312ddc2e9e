// the maker's web addresses and their translation proxy form
#include "core/locale/locale.h"

#include <algorithm>

namespace corvane {

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty())
        return text;
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

} // namespace

std::string HostOfUrl(const std::string& address) {
    std::string text = ReplaceAll(address, "\\", "/");
    // without a scheme the address is taken as host and path
    if (text.find("://") != std::string::npos)
        text.erase(0, text.find('/') + 1);
    text.erase(0, std::min(text.find_first_not_of('/'), text.size()));
    const std::size_t slash = text.find('/');
    if (slash != std::string::npos)
        text.erase(slash);
    return text;
}

std::string TranslatePageUrl(const std::string& address, const std::string& language) {
    const std::string query = ReplaceAll(kTranslationQueryTemplate, "XXX", language);
    const std::string host = HostOfUrl(address);
    const std::string proxyHost = ReplaceAll(host, ".", "-");
    const std::size_t scheme = address.find("://");
    std::string rest = scheme == std::string::npos ? address : address.substr(scheme + 3);
    rest = ReplaceAll(rest, host, "");
    return "https://" + proxyHost + kTranslationProxySuffix + rest + query;
}

std::string HelpPageAddress(const std::string& helpLanguage) {
    if (helpLanguage == "en")
        return kHelpPageUrl;
    return TranslatePageUrl(kHelpPageUrl, helpLanguage);
}

} // namespace corvane
