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
void PrintTo(const LocaleCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class UserLocaleNames : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(UserLocaleNames, Lcid) {
    EXPECT_EQ(LcidOfLocaleName(GetParam().name), GetParam().lcid);
}

// identifiers of the default locale map, Spain's own (modern) one that it lacks, English ones,
// languages alone, other spellings, and what is not known
INSTANTIATE_TEST_SUITE_P(
    UserLocale, UserLocaleNames,
    ::testing::Values(LocaleCase{"fr_FR.UTF-8", 1036}, LocaleCase{"fr_CA.utf8", 3084},
                      LocaleCase{"fr_LU", 5132}, LocaleCase{"de_AT", 3079}, LocaleCase{"de_LI", 5127},
                      LocaleCase{"it_CH", 2064}, LocaleCase{"es_AR", 11274}, LocaleCase{"es_MX.UTF-8", 2058},
                      LocaleCase{"es_PR", 20490}, LocaleCase{"es_VE", 8202}, LocaleCase{"pt_PT", 2070},
                      LocaleCase{"pt_BR@x", 1046}, LocaleCase{"nl_BE.UTF-8@euro", 2067},
                      LocaleCase{"es_ES.UTF-8", 3082}, LocaleCase{"en_US", 1033}, LocaleCase{"en_GB", 2057},
                      LocaleCase{"en_AU", 3081}, LocaleCase{"en_CA", 4105}, LocaleCase{"fr", 1036},
                      LocaleCase{"es", 1034}, LocaleCase{"fr_XX", 1036}, LocaleCase{"FR_fr", 1036},
                      LocaleCase{"de-AT", 3079}, LocaleCase{"C", 1033}, LocaleCase{"POSIX", 1033},
                      LocaleCase{"", 1033}, LocaleCase{"xx_YY", 1033}, LocaleCase{"_FR", 1033}));

TEST(UserLocale, VariablesInPosixOrder) {
    auto lcid = [](std::map<std::string, std::string> values) {
        return UserDefaultLCID([&values](const std::string& name) -> std::optional<std::string> {
            const auto it = values.find(name);
            return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
        });
    };
    EXPECT_EQ(lcid({{"LC_ALL", "de_AT"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "it_IT"}}), 3079);
    EXPECT_EQ(lcid({{"LC_MESSAGES", "fr_CA"}, {"LANG", "it_IT"}}), 3084);
    EXPECT_EQ(lcid({{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "nl_BE"}}), 2067); // empty means unset
    EXPECT_EQ(lcid({{"LC_ALL", "C"}, {"LANG", "fr_FR"}}), 1033);
    EXPECT_EQ(lcid({}), 1033);
}

} // namespace
} // namespace corvane
