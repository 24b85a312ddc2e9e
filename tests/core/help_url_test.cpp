// the help page's address through the translation proxy
#include <string>

#include <gtest/gtest.h>

#include "core/help_url.h"

namespace corvane {
namespace {

const std::string kQueryFr = "?_x_tr_sl=auto&_x_tr_tl=fr&_x_tr_hl=fr&_x_tr_pto=wapp";

struct UrlCase {
    std::string address;
    std::string expected; // for the language fr
};
void PrintTo(const UrlCase& c, std::ostream* os) {
    *os << c.address;
}

class HelpUrlTranslate : public ::testing::TestWithParam<UrlCase> {};

TEST_P(HelpUrlTranslate, ProxyAddress) {
    EXPECT_EQ(TranslatePageUrl(GetParam().address, "fr"), GetParam().expected + kQueryFr);
}

INSTANTIATE_TEST_SUITE_P(
    HelpUrl, HelpUrlTranslate,
    ::testing::Values(UrlCase{"https://a.b.c/Help/Corvane/", "https://a-b-c.translate.goog/Help/Corvane/"},
                      UrlCase{"https://x.y.z.w/p", "https://x-y-z-w.translate.goog/p"},
                      UrlCase{"https://a.b", "https://a-b.translate.goog"},
                      UrlCase{"http://My-Site.Example/x", "https://My-Site-Example.translate.goog/x"},
                      // every occurrence of the host goes, also inside the path
                      UrlCase{"https://a.b/a.b/x", "https://a-b.translate.goog//x"},
                      UrlCase{"a.b/Help/", "https://a-b.translate.goog/Help/"}));

TEST(HelpUrl, HostOfUrl) {
    EXPECT_EQ(HostOfUrl("https://corvane.dev/Help/Corvane/"), "corvane.dev");
    EXPECT_EQ(HostOfUrl("https://corvane.dev"), "corvane.dev");
    EXPECT_EQ(HostOfUrl("https:///corvane.dev/x"), "corvane.dev");
    EXPECT_EQ(HostOfUrl("https:\\\\corvane.dev\\Help"), "corvane.dev");
    EXPECT_EQ(HostOfUrl("https://"), "");
}

TEST(HelpUrl, OnlyExactEnglishSkipsTheProxy) {
    const std::string proxied = "https://corvane-dev.translate.goog/Help/Corvane/?_x_tr_sl=auto&_x_tr_tl=";
    EXPECT_EQ(HelpPageAddress("en"), kHelpPageUrl);
    EXPECT_EQ(HelpPageAddress("EN"), proxied + "EN&_x_tr_hl=EN&_x_tr_pto=wapp");
    EXPECT_EQ(HelpPageAddress("eng"), proxied + "eng&_x_tr_hl=eng&_x_tr_pto=wapp");
    EXPECT_EQ(HelpPageAddress(""), proxied + "&_x_tr_hl=&_x_tr_pto=wapp");
}

} // namespace
} // namespace corvane
