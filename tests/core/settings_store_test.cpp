// the settings store: its errors, addressing, typed values, text round trips and damaged files
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_format.h"
#include "core/settings_store.h"
#include "file_snapshot.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string Get(const std::string& key, bool machine = true) {
        SettingsResult result = m_store.RegGetSetting("Corvane", "Files", key, "default", machine);
        return result.ok() ? result.value() : "error " + std::to_string(result.error().number);
    }
    bool Save(const std::string& key, const std::string& value) {
        return !m_store.RegSaveSetting("Corvane", "Files", key, value, true);
    }
    std::string Machine() const { return FileBytes(m_machineFile); }

    ScratchFolder m_folder;
    std::string m_machineFile = m_folder.Path("data/machine.settings");
    SettingsStore m_store{SettingsLocation{m_machineFile, m_folder.Path("config/user.settings")}};
};

TEST_F(SettingsStoreTest, FirstFailingNameWins) {
    const struct {
        std::string appName, section, key;
        bool read;
        std::int32_t number;
        std::string description;
    } cases[] = {{"  ", "", "", false, -2147220504, "AppName doit être renseigné"},
                 {"", " ", " ", true, -2147220504, "AppName doit être renseigné"},
                 {"Corvane", "   ", "", false, -2147220503, "Section doit être renseigné"},
                 {"Corvane", "", "LastDir", true, -2147220503, "Section doit être renseigné"},
                 {"Corvane", "Files", " ", false, -2147220502, "Key doit être renseigné"},
                 {"Corvane", "Files", "", true, -2147220502, "Key  doit être renseigné"}};
    for (const auto& c : cases) {
        const SettingsError error =
            c.read ? m_store.RegGetSetting(c.appName, c.section, c.key, "d", true).error()
                   : m_store.RegSaveSetting(c.appName, c.section, c.key, "v", true).value();
        EXPECT_EQ(error.number, c.number) << c.description;
        EXPECT_EQ(error.description, c.description);
    }
    EXPECT_FALSE(std::filesystem::exists(m_machineFile));
}

TEST_F(SettingsStoreTest, DefaultsAndAddressing) {
    EXPECT_EQ(Get("LastDir"), "default"); // no file yet
    ASSERT_FALSE(m_store.RegSaveSetting("  Corvane  ", " Files", "LastDir", "/b/", true));
    EXPECT_EQ(Get("LastDir"), "/b/");
    EXPECT_EQ(Get("LastDir", false), "default");
    EXPECT_EQ(m_store.RegGetSetting("Corvane", "Other", "LastDir", "default", true).value(), "default");
    // names compare without case, as in the registry; the key is not trimmed
    ASSERT_FALSE(m_store.RegSaveSetting("corvane", "FILES", "LASTDIR", "/c/", true));
    EXPECT_EQ(Get(" LastDir"), "default");
    ASSERT_TRUE(Save(" LastDir", "spaced"));
    EXPECT_EQ(Get("lastdir"), "/c/");
    EXPECT_EQ(Get(" LastDir"), "spaced");
    EXPECT_NE(Machine().find("[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n"), std::string::npos)
        << Machine();
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
        ASSERT_TRUE(Save("LastDir", text));
        ASSERT_TRUE(Save("n" + text, text));
        EXPECT_EQ(Get("LastDir"), text);
        EXPECT_EQ(Get("n" + text), text);
        EXPECT_EQ(Machine().find_first_of("\xC0\xC1\xF5\xFF"), std::string::npos) << text;
        for (char c : Machine())
            ASSERT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
    }
}

TEST_F(SettingsStoreTest, ValuesOfOtherTypesAreErrorsAndKept) {
    m_folder.Write("data/machine.settings", "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n"
                                            "\"LastDir\"=4:\"*\\x00\\x00\\x00\"\n\"Odd\"=77:\"\\xFF\"\n");
    SettingsResult dword = m_store.RegGetSetting("Corvane", "Files", "LastDir", "", true);
    ASSERT_FALSE(dword.ok());
    EXPECT_EQ(dword.error().number, -2147219500); // 0x800407D4
    EXPECT_EQ(dword.error().description,
              "Les données de la clef de registre ne sont pas une chaine de caractères");
    EXPECT_EQ(Get("Odd"), "error " + std::to_string(-2147219427)); // 0x800407D0 + 77
    ASSERT_TRUE(Save("New", "n"));
    EXPECT_NE(Machine().find("\"Odd\"=77:\"\\xFF\"\n"), std::string::npos);
    ASSERT_TRUE(Save("LastDir", "/x/"));
    EXPECT_EQ(Get("LastDir"), "/x/");
}

TEST_F(SettingsStoreTest, DamagedFileSetAside) {
    const std::string damaged = "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n\"LastDir\"=1:\"/cut";
    m_folder.Write("data/machine.settings", damaged);
    EXPECT_EQ(Get("LastDir"), "default");
    std::optional<std::string> notice = m_store.TakeNotice();
    EXPECT_NE(notice.value_or("").find("machine.settings.corrupt-"), std::string::npos);
    EXPECT_FALSE(m_store.TakeNotice());
    std::vector<std::string> names = FileNamesIn(m_folder.Path("data"));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].size(), std::string("machine.settings.corrupt-").size() + 14) << names[0];
    EXPECT_EQ(FileBytes(m_folder.Path("data/" + names[0])), damaged);
    EXPECT_EQ(names[1], "machine.settings.lock");
    // damage found by a write, twice in the same second: distinct names, the new value stored
    for (const char* garbage : {"garbage", "more garbage"}) {
        m_folder.Write("data/machine.settings", garbage);
        ASSERT_TRUE(Save("LastDir", "/w/"));
        EXPECT_TRUE(m_store.TakeNotice());
    }
    EXPECT_EQ(Get("LastDir"), "/w/");
    EXPECT_EQ(FileNamesIn(m_folder.Path("data")).size(), 5u);
}

TEST_F(SettingsStoreTest, UnusableFilesGiveStatusFive) {
    m_folder.Write("data", "not a folder");   // nothing can be made below it, whoever runs this
    m_folder.Write("config/user.settings/x"); // a folder where the file should be cannot be read
    std::optional<SettingsError> error = m_store.RegSaveSetting("Corvane", "Files", "LastDir", "/x/", true);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, -2147219499); // 0x800407D5
    EXPECT_EQ(error->description, "Impossible d'ouvrir ou de créer la clef de registre");
    SettingsResult read = m_store.RegGetSetting("Corvane", "Files", "LastDir", "", false);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().number, -2147219499);
    EXPECT_EQ(read.error().description, "Impossible d'ouvrir cette clef de registre");
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
