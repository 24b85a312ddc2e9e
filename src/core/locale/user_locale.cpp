// the user's locale as a Windows locale identifier
#include "core/locale/locale.h"

#include <optional>
#include <string_view>

#include "core/common/ascii_case.h"
#include "core/platform/system_locale.h"

namespace corvane {

namespace {

struct LanguageId {
    std::string_view language;
    std::int32_t primary; // the low ten bits of every identifier of the language
};

struct CountryLcid {
    std::string_view language;
    std::string_view country;
    std::int32_t lcid;
};

constexpr LanguageId kLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E},
    {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14},
    {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C},
    {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"id", 0x21}, {"uk", 0x22}, {"sl", 0x24}, {"et", 0x25},
    {"lv", 0x26}, {"lt", 0x27}, {"vi", 0x2A}, {"eu", 0x2D}, {"hi", 0x39}, {"gl", 0x56}, {"be", 0x23},
    {"mk", 0x2F}, {"kk", 0x3F}, {"ky", 0x40}, {"tt", 0x44}, {"mn", 0x50}, {"fa", 0x29}, {"ur", 0x20},
    {"az", 0x2C}, {"uz", 0x43}, {"sr", 0x1A}, {"bs", 0x1A},
};

// the countries whose identifier differs from the language's primary one, and a few that equal it
constexpr CountryLcid kCountries[] = {
    {"fr", "FR", 1036},  {"fr", "BE", 2060},  {"fr", "CA", 3084},  {"fr", "CH", 4108},  {"fr", "LU", 5132},
    {"fr", "MC", 6156},  {"de", "DE", 1031},  {"de", "CH", 2055},  {"de", "AT", 3079},  {"de", "LU", 4103},
    {"de", "LI", 5127},  {"it", "IT", 1040},  {"it", "CH", 2064},  {"es", "ES", 3082},  {"es", "MX", 2058},
    {"es", "GT", 4106},  {"es", "CR", 5130},  {"es", "PA", 6154},  {"es", "DO", 7178},  {"es", "VE", 8202},
    {"es", "CO", 9226},  {"es", "PE", 10250}, {"es", "AR", 11274}, {"es", "EC", 12298}, {"es", "CL", 13322},
    {"es", "UY", 14346}, {"es", "PY", 15370}, {"es", "BO", 16394}, {"es", "SV", 17418}, {"es", "HN", 18442},
    {"es", "NI", 19466}, {"es", "PR", 20490}, {"es", "US", 21514}, {"pt", "BR", 1046},  {"pt", "PT", 2070},
    {"nl", "NL", 1043},  {"nl", "BE", 2067},  {"en", "US", 1033},  {"en", "GB", 2057},  {"en", "AU", 3081},
    {"en", "CA", 4105},  {"en", "NZ", 5129},  {"en", "IE", 6153},  {"en", "ZA", 7177},  {"en", "JM", 8201},
    {"en", "BZ", 10249}, {"en", "TT", 11273}, {"en", "ZW", 12297}, {"en", "PH", 13321}, {"en", "IN", 16393},
    {"en", "MY", 17417}, {"en", "SG", 18441}, {"zh", "TW", 1028},  {"zh", "CN", 2052},  {"zh", "HK", 3076},
    {"zh", "SG", 4100},  {"sr", "RS", 10266}, {"sv", "FI", 2077},  {"ar", "EG", 3073},  {"ru", "RU", 1049},
    {"ja", "JP", 1041},
};

std::optional<std::int32_t> PrimaryLcidOf(std::string_view language) {
    for (const LanguageId& entry : kLanguages) {
        if (entry.language == language)
            return 0x0400 | entry.primary;
    }
    return std::nullopt;
}

} // namespace

std::int32_t LcidOfLocaleName(const std::string& localeName) {
    // language[_country][.codeset][@modifier]; "-" is accepted in place of "_"
    std::string_view name(localeName);
    name = name.substr(0, name.find_first_of(".@"));
    const std::size_t separator = name.find_first_of("_-");
    const std::string language = LowerAscii(name.substr(0, separator));
    const std::string country =
        separator == std::string_view::npos ? std::string() : UpperAscii(name.substr(separator + 1));

    for (const CountryLcid& entry : kCountries) {
        if (entry.language == language && entry.country == country)
            return entry.lcid;
    }
    return PrimaryLcidOf(language).value_or(kFallbackLcid);
}

std::int32_t UserDefaultLCID(const EnvLookup& env) {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (std::optional<std::string> value = NonEmptyVariable(env, variable))
            return LcidOfLocaleName(*value);
    }
    // Windows keeps the user's locale itself (its programs see no such variables unless a shell sets them)
    return SystemUserLcid().value_or(kFallbackLcid);
}

} // namespace corvane
