// the help page's address through the translation proxy
#include <string>

#include <gtest/gtest.h>

#include "core/help_url.h"

namespace corvane {
namespace {

TEST(HelpUrl, TranslatePageUrl) {
    const std::pair<std::string, std::string> cases[] = {
        {"https://a.b.c/Help/Corvane/", "https://a-b-c.translate.goog/Help/Corvane/"},
        {"https://a.b", "https://a-b.translate.goog"},
        {"http://My-Site.Example/x", "https://My-Site-Example.translate.goog/x"},
        {"https://a.b/a.b/x", "https://a-b.translate.goog//x"}, // every occurrence of the host goes
        {"a.b/Help/", "https://a-b.translate.goog/Help/"}};
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(TranslatePageUrl(address, "fr"),
                  expected + "?_x_tr_sl=auto&_x_tr_tl=fr&_x_tr_hl=fr&_x_tr_pto=wapp");
    for (const char* url : {"https:///corvane.dev/x", "https:\\\\corvane.dev\\Help"})
        EXPECT_EQ(HostOfUrl(url), "corvane.dev") << url;
    EXPECT_EQ(HostOfUrl("https://"), "");
}

TEST(HelpUrl, OnlyExactEnglishSkipsTheProxy) {
    const std::string proxied = "https://corvane-dev.translate.goog/Help/Corvane/?_x_tr_sl=auto&_x_tr_tl=";
    EXPECT_EQ(HelpPageAddress("en"), kHelpPageUrl);
    EXPECT_EQ(HelpPageAddress("EN"), proxied + "EN&_x_tr_hl=EN&_x_tr_pto=wapp");
    EXPECT_EQ(HelpPageAddress(""), proxied + "&_x_tr_hl=&_x_tr_pto=wapp");
}

} // namespace
} // namespace corvane
