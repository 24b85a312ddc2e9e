// the help page's address through the translation proxy
#include <string>

#include <gtest/gtest.h>

#include "core/help_url.h"

namespace corvane {
namespace {

struct UrlCase {
    std::string address;
    std::string language;
    std::string expected;
};
void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.address << " / " << c.language; }

class HelpUrlTranslate : public ::testing::TestWithParam<UrlCase> {};

TEST_P(HelpUrlTranslate, ProxyAddress)
{
    EXPECT_EQ(TranslatePageUrl(GetParam().address, GetParam().language), GetParam().expected);
}

const std::string kQueryFr = "?_x_tr_sl=auto&_x_tr_tl=fr&_x_tr_hl=fr&_x_tr_pto=wapp";

INSTANTIATE_TEST_SUITE_P(
    HelpUrl, HelpUrlTranslate,
    ::testing::Values(
        UrlCase{"https://a.b.c/Help/Corvane/", "fr", "https://a-b-c.translate.goog/Help/Corvane/" + kQueryFr},
        UrlCase{"https://x.y.z.w/p", "fr", "https://x-y-z-w.translate.goog/p" + kQueryFr},
        UrlCase{"https://a.b", "fr", "https://a-b.translate.goog" + kQueryFr},
        UrlCase{"http://a.b/x", "fr", "https://a-b.translate.goog/x" + kQueryFr},
        UrlCase{"https://My-Site.Example.com/x", "fr", "https://My-Site-Example-com.translate.goog/x" + kQueryFr},
        // every occurrence of the host goes, also inside the path
        UrlCase{"https://a.b/a.b/x", "fr", "https://a-b.translate.goog//x" + kQueryFr},
        UrlCase{"https://a.b/", "de",
                "https://a-b.translate.goog/?_x_tr_sl=auto&_x_tr_tl=de&_x_tr_hl=de&_x_tr_pto=wapp"},
        UrlCase{"https://a.b/", "", "https://a-b.translate.goog/?_x_tr_sl=auto&_x_tr_tl=&_x_tr_hl=&_x_tr_pto=wapp"},
        UrlCase{"a.b/Help/", "fr", "https://a-b.translate.goog/Help/" + kQueryFr}));

struct HostCase {
    std::string address;
    std::string host;
};
void PrintTo(const HostCase& c, std::ostream* os) { *os << c.address; }

class HelpUrlHost : public ::testing::TestWithParam<HostCase> {};

TEST_P(HelpUrlHost, Host) { EXPECT_EQ(HostOfUrl(GetParam().address), GetParam().host); }

INSTANTIATE_TEST_SUITE_P(HelpUrl, HelpUrlHost,
                         ::testing::Values(HostCase{"https://corvane.dev/Help/Corvane/", "corvane.dev"},
                                           HostCase{"https://corvane.dev", "corvane.dev"},
                                           HostCase{"https:///corvane.dev/x", "corvane.dev"},
                                           HostCase{"https:\\\\corvane.dev\\Help", "corvane.dev"},
                                           HostCase{"https://host:8080/x?q=a/b", "host:8080"},
                                           HostCase{"https://", ""}, HostCase{"corvane.dev/Help", "corvane.dev"},
                                           HostCase{"corvane.dev", "corvane.dev"}));

TEST(HelpUrl, OnlyExactEnglishSkipsTheProxy)
{
    EXPECT_EQ(HelpPageAddress("en"), kHelpPageUrl);
    EXPECT_EQ(HelpPageAddress("EN"), "https://corvane-dev.translate.goog/Help/Corvane/"
                                     "?_x_tr_sl=auto&_x_tr_tl=EN&_x_tr_hl=EN&_x_tr_pto=wapp");
    EXPECT_EQ(HelpPageAddress("eng"), "https://corvane-dev.translate.goog/Help/Corvane/"
                                      "?_x_tr_sl=auto&_x_tr_tl=eng&_x_tr_hl=eng&_x_tr_pto=wapp");
    // the fixed parts of the addresses
    EXPECT_EQ(std::string(kHelpPageUrl).rfind("https://", 0), 0u);
    EXPECT_EQ(std::string(kHelpPageUrl).substr(std::string(kHelpPageUrl).size() - 14), "/Help/Corvane/");
    EXPECT_EQ(std::string(kHomePageUrl).find('/', 8), std::string::npos);
    EXPECT_EQ(kTranslationProxySuffix[0], '.');
}

} // namespace
} // namespace corvane
