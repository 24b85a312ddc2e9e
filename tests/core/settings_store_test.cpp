// the settings store: its errors, addressing, typed values, text round trips and damaged files
#include <filesystem>

#include <gtest/gtest.h>

#include "core/settings_format.h"
#include "core/settings_store.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

const std::string kFilesKey = "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n";

// a value, an error as its number and text, or "" for a save that worked
std::string Text(const SettingsError& error) {
    return std::to_string(error.number) + " " + error.description;
}
std::string Text(const SettingsResult& result) {
    return result.ok() ? result.value() : Text(result.error());
}
std::string Text(const std::optional<SettingsError>& error) {
    return error ? Text(*error) : "";
}

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string Get(const std::string& key, bool machine = true) {
        return Text(m_store.RegGetSetting("Corvane", "Files", key, "default", machine));
    }
    std::string Save(const std::string& key, const std::string& value, bool machine = true) {
        return Text(m_store.RegSaveSetting("Corvane", "Files", key, value, machine));
    }
    std::string Machine() const { return ReadFile(m_machineFile); }

    ScratchFolder m_folder;
    std::string m_machineFile = m_folder.Path("data/machine.settings");
    SettingsStore m_store{SettingsLocation{m_machineFile, m_folder.Path("config/user.settings")}};
};

TEST_F(SettingsStoreTest, FirstFailingNameWins) {
    const struct {
        std::string appName, section, key;
        bool read;
        std::string expected;
    } cases[] = {{"  ", "", "", false, "-2147220504 AppName doit être renseigné"},
                 {"Corvane", "   ", "", false, "-2147220503 Section doit être renseigné"},
                 {"Corvane", "Files", " ", false, "-2147220502 Key doit être renseigné"},
                 {"Corvane", "Files", "", true, "-2147220502 Key  doit être renseigné"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.read ? Text(m_store.RegGetSetting(c.appName, c.section, c.key, "d", true))
                         : Text(m_store.RegSaveSetting(c.appName, c.section, c.key, "v", true)),
                  c.expected);
    EXPECT_FALSE(std::filesystem::exists(m_machineFile));
}

TEST_F(SettingsStoreTest, DefaultsAndAddressing) {
    EXPECT_EQ(Get("LastDir"), "default"); // no file yet
    ASSERT_EQ(Text(m_store.RegSaveSetting("  Corvane  ", " Files", "LastDir", "/b/", true)), "");
    EXPECT_EQ(Get("LastDir", false) + Text(m_store.RegGetSetting("Corvane", "Other", "LastDir", "d", true)),
              "defaultd");
    // names compare without case, as in the registry; the key is not trimmed
    ASSERT_EQ(Text(m_store.RegSaveSetting("corvane", "FILES", "LASTDIR", "/c/", true)) +
                  Save(" LastDir", "spaced"),
              "");
    EXPECT_EQ(Get("lastdir") + "|" + Get(" LastDir"), "/c/|spaced");
    EXPECT_NE(Machine().find(kFilesKey), std::string::npos) << Machine();
    EXPECT_FALSE(m_store.TakeNotice());
}

// values and value names come back unchanged, and the file keeps one line per key and value and no byte
// that never occurs in UTF-8
TEST_F(SettingsStoreTest, AnyTextRoundTrips) {
    for (const std::string& text :
         {std::string(), std::string("two\nlines\r\nand\rmore\tend"),
          std::string("quote \" and \\\" and \\x41"),
          std::string("caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"),
          std::string("not utf-8: \xE9\xFF\xC0\x80\xED\xA0\x80\xC3"), std::string("nul\0\x7F", 5),
          std::string("[\"K\"]\n\"v\"=1:\"x\""), std::string(5000, 'z')}) {
        ASSERT_EQ(Save("LastDir", text) + Save("n" + text, text), "");
        EXPECT_EQ(Get("LastDir"), text);
        EXPECT_EQ(Get("n" + text), text);
        EXPECT_EQ(Machine().find_first_of("\xC0\xC1\xF5\xFF"), std::string::npos) << text;
        for (char c : Machine())
            ASSERT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
    }
}

TEST_F(SettingsStoreTest, ValuesOfOtherTypesAreErrorsAndKept) {
    m_folder.Write("data/machine.settings",
                   kFilesKey + "\"LastDir\"=4:\"*\\x00\\x00\\x00\"\n\"Odd\"=77:\"\\xFF\"\n");
    const std::string notText = " Les données de la clef de registre ne sont pas une chaine de caractères";
    EXPECT_EQ(Get("LastDir"), "-2147219500" + notText); // 0x800407D0 + the type
    EXPECT_EQ(Get("Odd"), "-2147219427" + notText);
    ASSERT_EQ(Save("New", "n") + Save("LastDir", "/x/"), "");
    EXPECT_NE(Machine().find("\"Odd\"=77:\"\\xFF\"\n"), std::string::npos);
    EXPECT_EQ(Get("LastDir"), "/x/");
}

TEST_F(SettingsStoreTest, DamagedFileSetAside) {
    const std::string damaged = kFilesKey + "\"LastDir\"=1:\"/cut";
    m_folder.Write("data/machine.settings", damaged);
    EXPECT_EQ(Get("LastDir"), "default");
    EXPECT_NE(m_store.TakeNotice().value_or("").find("machine.settings.corrupt-"), std::string::npos);
    EXPECT_FALSE(m_store.TakeNotice());
    const std::vector<std::string> names = FileNamesIn(m_folder.Path("data"));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(ReadFile(m_folder.Path("data/" + names[0])), damaged);
    // damage found by a write, twice in the same second: distinct names, the new value stored
    for (const char* garbage : {"garbage", "more garbage"}) {
        m_folder.Write("data/machine.settings", garbage);
        ASSERT_EQ(Save("LastDir", "/w/"), "");
        EXPECT_TRUE(m_store.TakeNotice());
    }
    EXPECT_EQ(Get("LastDir"), "/w/");
    EXPECT_EQ(FileNamesIn(m_folder.Path("data")).size(), 5u);
}

TEST_F(SettingsStoreTest, UnusableFilesGiveStatusFive) {
    m_folder.Write("data", "not a folder");   // nothing can be made below it, whoever runs this
    m_folder.Write("config/user.settings/x"); // a folder where the file should be cannot be read
    EXPECT_EQ(Save("LastDir", "/x/"), "-2147219499 Impossible d'ouvrir ou de créer la clef de registre");
    EXPECT_EQ(Get("LastDir", false), "-2147219499 Impossible d'ouvrir cette clef de registre");
}

TEST(SettingsFormat, DamageIsRejected) {
    for (const char* damage :
         {"[\"K\"\n", "[K]\n", "\"v\"=1:\"x\"\n", "[\"K\"]\n\"v\"=sz:\"x\"\n",
          "[\"K\"]\n\"v\"=4294967296:\"x\"\n", "[\"K\"]\n\"v\"=1:\"x\n", "[\"K\"]\n\"v\"=1:\"\\q\"\n",
          "[\"K\"]\n\"v\"=1:\"\\x4\"\n", "[\"K\"]\n\"v\"=1:\"x\" \n", "[\"K\"]\n[\"k\"]\n",
          "[\"K\"]\n\"v\"=1:\"x\"\n\"V\"=1:\"y\"\n", "[\"K\"]\nhello\n"})
        EXPECT_FALSE(SettingsDocument::Parse(std::string("; ok\n") + damage)) << damage;
}

} // namespace
} // namespace corvane
