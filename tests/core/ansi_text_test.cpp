// code page conversion both ways, and what happens to bytes the code page cannot hold
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/ansi_text.h"

namespace corvane {
namespace {

struct ConversionCase {
    std::string ansi;
    CodePage codePage;
    std::string utf8;
};

class AnsiConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(AnsiConversionTest, ToUtf8) {
    EXPECT_EQ(AnsiToUtf8(GetParam().ansi, GetParam().codePage), GetParam().utf8);
}
TEST_P(AnsiConversionTest, RoundTrips) {
    EXPECT_EQ(Utf8ToAnsi(GetParam().utf8, GetParam().codePage), GetParam().ansi);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, AnsiConversionTest,
    ::testing::Values(ConversionCase{"frmMain.frm", CodePage::Windows1252, "frmMain.frm"},
                      ConversionCase{"\xE9t\xE9", CodePage::Windows1252, "\xC3\xA9t\xC3\xA9"},
                      ConversionCase{"\x80 \x8A\x9F", CodePage::Windows1252, "\xE2\x82\xAC \xC5\xA0\xC5\xB8"},
                      ConversionCase{"\x93q\x94", CodePage::Windows1252, "\xE2\x80\x9Cq\xE2\x80\x9D"},
                      // the five holes of the table survive as C1 controls
                      ConversionCase{"\x81\x8D\x8F\x90\x9D", CodePage::Windows1252,
                                     "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
                      ConversionCase{"\x80\xFF", CodePage::Latin1, "\xC2\x80\xC3\xBF"},
                      ConversionCase{"\xC3\xA9\xE2\x82\xAC", CodePage::Utf8, "\xC3\xA9\xE2\x82\xAC"},
                      ConversionCase{"", CodePage::Windows1252, ""}));

TEST(AnsiText, EveryByteOf1252RoundTrips) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, CodePage::Windows1252), CodePage::Windows1252), all);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, CodePage::Latin1), CodePage::Latin1), all);
}

TEST(AnsiText, UnrepresentableAndInvalidBecomeMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\xE2\x82\xAC"
                         "b",
                         CodePage::Latin1),
              "a?b");                                                  // euro sign is not Latin-1
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD", CodePage::Windows1252), "?"); // CJK
    EXPECT_EQ(Utf8ToAnsi("a\xFF"
                         "b",
                         CodePage::Windows1252),
              "a?b");                                                              // not UTF-8
    EXPECT_EQ(AnsiToUtf8("a\xC3", CodePage::Utf8), "a\xEF\xBF\xBD");               // cut sequence
    EXPECT_EQ(AnsiToUtf8("\xC0\xAF", CodePage::Utf8), "\xEF\xBF\xBD\xEF\xBF\xBD"); // overlong "/"
    EXPECT_EQ(AnsiToUtf8("\xED\xA0\x80", CodePage::Utf8),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"); // surrogate
}

TEST(AnsiText, CodePageNames) {
    EXPECT_EQ(CodePageFromName("1252"), CodePage::Windows1252);
    EXPECT_EQ(CodePageFromName("28591"), CodePage::Latin1);
    EXPECT_EQ(CodePageFromName("ISO-8859-1"), CodePage::Latin1);
    EXPECT_EQ(CodePageFromName("utf-8"), CodePage::Utf8);
    EXPECT_EQ(CodePageFromName("UTF8"), CodePage::Utf8);
    EXPECT_EQ(CodePageFromName("koi8-r"), CodePage::Windows1252);
    ::setenv("CORVANE_ANSI_CODEPAGE", "utf-8", 1);
    EXPECT_EQ(CodePageFromEnvironment(), CodePage::Utf8);
    ::unsetenv("CORVANE_ANSI_CODEPAGE");
    EXPECT_EQ(CodePageFromEnvironment(), CodePage::Windows1252);
}

} // namespace
} // namespace corvane
