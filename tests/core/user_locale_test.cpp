// the user's locale, from the environment, as the Windows identifier the locale map is keyed by
#include <map>

#include <gtest/gtest.h>

#include "core/user_locale.h"

namespace corvane {
namespace {

// codesets and modifiers ignored, Spain's modern identifier (the map lacks it), a language alone or
// with an unknown country, other spellings, and what is not known
TEST(UserLocale, LcidOfLocaleName) {
    const std::pair<std::string, std::int32_t> cases[] = {{"fr_FR.UTF-8", 1036},
                                                          {"es_AR", 11274},
                                                          {"pt_BR@x", 1046},
                                                          {"es_ES.UTF-8", 3082},
                                                          {"en_US", 1033},
                                                          {"es", 1034},
                                                          {"fr_XX", 1036},
                                                          {"FR_fr", 1036},
                                                          {"de-AT", 3079},
                                                          {"C", 1033},
                                                          {"", 1033},
                                                          {"xx_YY", 1033},
                                                          {"_FR", 1033},
                                                          {"nl_BE.UTF-8@euro", 2067}};
    for (const auto& [name, lcid] : cases)
        EXPECT_EQ(LcidOfLocaleName(name), lcid) << '"' << name << '"';
}

TEST(UserLocale, VariablesInPosixOrder) {
    auto lcid = [](std::map<std::string, std::string> values) {
        return UserDefaultLCID([&values](const std::string& name) {
            return values.count(name) ? std::optional(values.at(name)) : std::nullopt;
        });
    };
    EXPECT_EQ(lcid({{"LC_ALL", "de_AT"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "it_IT"}}), 3079);
    EXPECT_EQ(lcid({{"LC_MESSAGES", "fr_CA"}, {"LANG", "it_IT"}}), 3084);
    EXPECT_EQ(lcid({{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "nl_BE"}}), 2067); // empty means unset
    EXPECT_EQ(lcid({}), 1033);
}

} // namespace
} // namespace corvane
