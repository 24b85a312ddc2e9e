// the settings store on the real registry: what RegSaveSetting writes RegGetSetting reads, missing keys and
// values give the default, and a value that is not text gives the error the tool has always raised
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/settings/settings.h"

namespace corvane {
namespace {

// an application name of its own per test, removed with everything below it afterwards
class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStoreTest() : m_app("CorvaneTest" + std::to_string(std::random_device{}())) {}
    ~RegistryStoreTest() override {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            RegDeleteTreeA(root, ("SOFTWARE\\" + m_app).c_str());
    }
    std::string KeyOf(const std::string& section) const { return "SOFTWARE\\" + m_app + "\\Settings\\" + section; }
    void SetDword(HKEY root, const std::string& section, const std::string& name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, KeyOf(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // what a program using the ANSI calls, as the old tool did, reads back
    std::string ReadAnsi(HKEY root, const std::string& section, const std::string& name) {
        char buffer[512] = {};
        DWORD size = sizeof buffer, type = 0;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, KeyOf(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no key>";
        const LSTATUS status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer, size - 1) : "<no text>";
    }

    std::string m_app;
    SettingsStore m_store{DefaultSettingsLocation(ProcessEnvironment())};
};

// written to either root, read back whatever the case and the blanks around the names; an empty text
// stays empty, and what is not there gives the default
TEST_F(RegistryStoreTest, WhatIsWrittenReadsBackFromEitherRoot) {
    EXPECT_TRUE(DefaultSettingsLocation(ProcessEnvironment()).systemRegistry);
    EXPECT_EQ(m_store.RegGetSetting(m_app, "Files", "LastDir", "fallback", true).value(), "fallback"); // no key
    for (const bool machine : {true, false}) {
        const std::string folder = machine ? "C:\\Backups\\Billing\\" : "D:\\Über\\Sources.Backup";
        ASSERT_FALSE(m_store.RegSaveSetting("  " + m_app + "  ", " Files", "LastDir", folder, machine).has_value());
        const SettingsResult read = m_store.RegGetSetting(m_app, "Files", "LastDir", "default", machine);
        ASSERT_TRUE(read.ok()) << read.error().description;
        EXPECT_EQ(read.value(), folder);
    }
    // the machine's root holds the machine-wide value, as the tool always kept it
    EXPECT_EQ(ReadAnsi(HKEY_LOCAL_MACHINE, "Files", "LastDir"), "C:\\Backups\\Billing\\");
    // the value's name is not trimmed: another value, which is not there
    EXPECT_EQ(m_store.RegGetSetting(m_app, "Files", " LastDir", "none", true).value(), "none");
    ASSERT_FALSE(m_store.RegSaveSetting(m_app, "Files", "LastDir", "", true).has_value());
    const SettingsResult empty = m_store.RegGetSetting(m_app, "Files", "LastDir", "default", true);
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value(), "");
}

// the errors the tool has always raised: a value that is not text, and empty names before the registry is
// touched
TEST_F(RegistryStoreTest, ErrorsAreTheToolsOwn) {
    const auto appMissing = m_store.RegSaveSetting("   ", "", "", "x", true);
    ASSERT_TRUE(appMissing.has_value());
    EXPECT_EQ(appMissing->number, static_cast<std::int32_t>(0x800403E8u));
    const SettingsResult keyMissing = m_store.RegGetSetting(m_app, "Files", " ", "", true);
    ASSERT_FALSE(keyMissing.ok());
    EXPECT_EQ(keyMissing.error().number, static_cast<std::int32_t>(0x800403EAu));
    EXPECT_EQ(keyMissing.error().description, "Key  doit être renseigné");
    EXPECT_EQ(ReadAnsi(HKEY_LOCAL_MACHINE, "Files", "LastDir"), "<no key>");
    SetDword(HKEY_LOCAL_MACHINE, "Files", "LastDir", 7);
    const SettingsResult read = m_store.RegGetSetting(m_app, "Files", "LastDir", "", true);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().number, static_cast<std::int32_t>(0x800407D4u)); // 0x800407D0 + REG_DWORD
    EXPECT_EQ(read.error().description, "Les données de la clef de registre ne sont pas une chaine de caractères");
}

// a user who could not write the machine's root kept the value in their own: once the machine's root
// takes a write again, the user's copy must not hide it
TEST_F(RegistryStoreTest, AMachineWideWriteRetiresTheUsersOwnCopy) {
    ASSERT_FALSE(m_store.RegSaveSetting(m_app, "Files", "LastDir", "old", false).has_value());
    EXPECT_EQ(m_store.RegGetSetting(m_app, "Files", "LastDir", "", true).value(), "old");
    ASSERT_FALSE(m_store.RegSaveSetting(m_app, "Files", "LastDir", "new", true).has_value());
    EXPECT_EQ(m_store.RegGetSetting(m_app, "Files", "LastDir", "", true).value(), "new");
    EXPECT_EQ(ReadAnsi(HKEY_CURRENT_USER, "Files", "LastDir"), "<no text>");
}

} // namespace
} // namespace corvane
