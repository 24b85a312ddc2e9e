// code page conversion both ways, and what happens to bytes the code page cannot hold
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/ansi_text.h"

namespace corvane {
namespace {

using CP = CodePage;

TEST(AnsiText, ConvertsBothWays) {
    const struct {
        std::string ansi;
        CodePage codePage;
        std::string utf8;
    } cases[] = {
        {"\x80 \x8A\x9F\x93", CP::Windows1252, "\xE2\x82\xAC \xC5\xA0\xC5\xB8\xE2\x80\x9C"},
        {"\x81\x8D\x8F\x90\x9D", CP::Windows1252, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}, // the holes
        {"\x80\xFF", CP::Latin1, "\xC2\x80\xC3\xBF"},
        {"\xC3\xA9\xE2\x82\xAC", CP::Utf8, "\xC3\xA9\xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiToUtf8(c.ansi, c.codePage), c.utf8) << c.ansi;
        EXPECT_EQ(Utf8ToAnsi(c.utf8, c.codePage), c.ansi) << c.ansi;
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    for (CodePage codePage : {CP::Windows1252, CP::Latin1})
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, codePage), codePage), all);
}

TEST(AnsiText, UnrepresentableAndInvalidBecomeMarks) {
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8ToAnsi("a\xE2\x82\xAC!", CP::Latin1), "a?!");       // euro sign is not Latin-1
    EXPECT_EQ(Utf8ToAnsi("a\xFF!", CP::Windows1252), "a?!");          // not UTF-8
    EXPECT_EQ(AnsiToUtf8("a\xC3", CP::Utf8), "a" + bad);              // cut sequence
    EXPECT_EQ(AnsiToUtf8("\xC0\xAF", CP::Utf8), bad + bad);           // overlong "/"
    EXPECT_EQ(AnsiToUtf8("\xED\xA0\x80", CP::Utf8), bad + bad + bad); // surrogate
}

TEST(AnsiText, CodePageNames) {
    const std::pair<const char*, CodePage> cases[] = {
        {"1252", CP::Windows1252}, {"28591", CP::Latin1}, {"ISO-8859-1", CP::Latin1},
        {"utf-8", CP::Utf8},       {"UTF8", CP::Utf8},    {"koi8-r", CP::Windows1252}};
    for (const auto& [name, codePage] : cases)
        EXPECT_EQ(CodePageFromName(name), codePage) << name;
    ::setenv("CORVANE_ANSI_CODEPAGE", "utf-8", 1);
    EXPECT_EQ(CodePageFromEnvironment(), CP::Utf8);
    ::unsetenv("CORVANE_ANSI_CODEPAGE");
    EXPECT_EQ(CodePageFromEnvironment(), CP::Windows1252);
}

} // namespace
} // namespace corvane
