// the user's locale, from the environment, as the Windows identifier the locale map is keyed by
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "core/user_locale.h"

namespace corvane {
namespace {

struct LocaleCase {
    std::string name;
    std::int32_t lcid;
};
void PrintTo(const LocaleCase& c, std::ostream* os) { *os << '"' << c.name << '"'; }

class UserLocaleNames : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(UserLocaleNames, Lcid) { EXPECT_EQ(LcidOfLocaleName(GetParam().name), GetParam().lcid); }

INSTANTIATE_TEST_SUITE_P(
    UserLocale, UserLocaleNames,
    ::testing::Values(
        // every identifier of the default locale map but 1034, which no POSIX locale names
        LocaleCase{"fr_FR.UTF-8", 1036}, LocaleCase{"fr_BE", 2060}, LocaleCase{"fr_CA.utf8", 3084},
        LocaleCase{"fr_LU", 5132}, LocaleCase{"fr_CH", 4108}, LocaleCase{"de_DE.UTF-8", 1031},
        LocaleCase{"de_AT", 3079}, LocaleCase{"de_LI", 5127}, LocaleCase{"de_CH", 2055},
        LocaleCase{"it_IT", 1040}, LocaleCase{"it_CH", 2064}, LocaleCase{"es_AR", 11274},
        LocaleCase{"es_BO", 16394}, LocaleCase{"es_CL", 13322}, LocaleCase{"es_CO", 9226},
        LocaleCase{"es_CR", 5130}, LocaleCase{"es_DO", 7178}, LocaleCase{"es_EC", 12298},
        LocaleCase{"es_GT", 4106}, LocaleCase{"es_HN", 18442}, LocaleCase{"es_MX.UTF-8", 2058},
        LocaleCase{"es_NI", 19466}, LocaleCase{"es_PA", 6154}, LocaleCase{"es_PE", 10250},
        LocaleCase{"es_PR", 20490}, LocaleCase{"es_PY", 15370}, LocaleCase{"es_SV", 17418},
        LocaleCase{"es_UY", 14346}, LocaleCase{"es_VE", 8202}, LocaleCase{"pt_PT", 2070},
        LocaleCase{"pt_BR@x", 1046}, LocaleCase{"nl_NL", 1043}, LocaleCase{"nl_BE.UTF-8@euro", 2067},
        // Spain's own identifier is the modern one, absent from the map
        LocaleCase{"es_ES.UTF-8", 3082},
        // English
        LocaleCase{"en_US.UTF-8", 1033}, LocaleCase{"en_GB", 2057}, LocaleCase{"en_AU", 3081},
        LocaleCase{"en_CA", 4105}, LocaleCase{"en_NZ", 5129}, LocaleCase{"en_IE", 6153},
        LocaleCase{"en_ZA", 7177}, LocaleCase{"en_IN", 16393},
        // language alone or with an unknown country: the language's primary locale
        LocaleCase{"fr", 1036}, LocaleCase{"de", 1031}, LocaleCase{"es", 1034}, LocaleCase{"pt", 1046},
        LocaleCase{"fr_XX", 1036}, LocaleCase{"ja_JP.eucJP", 1041}, LocaleCase{"ru", 1049},
        // spellings
        LocaleCase{"FR_fr", 1036}, LocaleCase{"de-AT", 3079},
        // nothing known
        LocaleCase{"C", 1033}, LocaleCase{"C.UTF-8", 1033}, LocaleCase{"POSIX", 1033}, LocaleCase{"", 1033},
        LocaleCase{"xx_YY", 1033}, LocaleCase{"_FR", 1033}, LocaleCase{"@euro", 1033}));

EnvLookup FakeEnvironment(std::map<std::string, std::string> values)
{
    return [values](const std::string& name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    };
}

TEST(UserLocale, VariablesInPosixOrder)
{
    EXPECT_EQ(UserDefaultLCID(FakeEnvironment({{"LC_ALL", "de_AT"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "it_IT"}})),
              3079);
    EXPECT_EQ(UserDefaultLCID(FakeEnvironment({{"LC_MESSAGES", "fr_CA"}, {"LANG", "it_IT"}})), 3084);
    EXPECT_EQ(UserDefaultLCID(FakeEnvironment({{"LANG", "it_CH.UTF-8"}})), 2064);
    // set but empty means unset
    EXPECT_EQ(UserDefaultLCID(FakeEnvironment({{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "nl_BE"}})), 2067);
    EXPECT_EQ(UserDefaultLCID(FakeEnvironment({})), 1033);
    EXPECT_EQ(UserDefaultLCID(FakeEnvironment({{"LC_ALL", "C"}, {"LANG", "fr_FR"}})), 1033);
}

} // namespace
} // namespace corvane
