// named text settings kept the way the Windows registry kept them, in one file per root
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "core/common/environment.h"
#include "core/common/error.h"

namespace corvane {

// The file that stands for each registry root. The text form of these files is described in
// core/settings_format.h; core/settings_file.h says how they are replaced safely.
struct SettingsLocation {
    std::string localMachineFile; // HKEY_LOCAL_MACHINE
    std::string currentUserFile;  // HKEY_CURRENT_USER
    // On Windows the registry itself, the files unused. A machine-wide write that the registry refuses
    // (an ordinary user may not write below HKEY_LOCAL_MACHINE) goes to the user's own root instead, as
    // the files keep it on Linux; machine-wide reads look there first.
    bool systemRegistry = false;
};

// The registry where the system has one. Elsewhere SettingsFolder()/machine.settings and
// SettingsFolder()/user.settings: a user's settings are their
// own even where the tool kept a setting for the whole machine, since a package installs the program
// where users cannot write. Both empty when there is no such folder: reads then give their
// defaults and writes fail.
SettingsLocation DefaultSettingsLocation(const EnvLookup& env);

// Errors carry the numbers and texts the program has always raised, for callers that need them, and
// the failure of the store's file behind them (its path and the system's reason) for telling a user.
struct SettingsError {
    std::int32_t number;
    std::string description;
    std::optional<Error> cause;
};

// 0x80040000 + offset, as a signed 32-bit number.
constexpr std::int32_t SettingsErrorNumber(std::uint32_t offset) {
    return static_cast<std::int32_t>(0x80040000u + offset);
}
// The offset of the status or type codes added to errors of the store itself.
inline constexpr std::uint32_t kStoreErrorOffset = 2000;
// The status reported whenever a settings file cannot be opened, created or written.
inline constexpr std::uint32_t kAccessDeniedStatus = 5;

class SettingsResult {
public:
    SettingsResult(std::string value) : m_state(std::move(value)) {}
    SettingsResult(SettingsError error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<std::string>(m_state); }
    const std::string& value() const { return std::get<std::string>(m_state); }
    const SettingsError& error() const { return std::get<SettingsError>(m_state); }

private:
    std::variant<std::string, SettingsError> m_state;
};

class SettingsStore {
public:
    explicit SettingsStore(SettingsLocation where);

    // Stores value as text under "SOFTWARE\" + Trim(appName) + "\Settings\" + Trim(section), value
    // name key exactly as given (Trim removes spaces only). Nothing on success.
    std::optional<SettingsError> RegSaveSetting(const std::string& appName, const std::string& section,
                                                const std::string& key, const std::string& value,
                                                bool localMachine);
    // The stored text, or defaultValue when the key or the value does not exist.
    SettingsResult RegGetSetting(const std::string& appName, const std::string& section,
                                 const std::string& key, const std::string& defaultValue, bool localMachine);

    // What the caller may tell the user about a settings file that was found damaged (and set aside)
    // since the last call; nothing when all went well.
    std::optional<std::string> TakeNotice();

private:
    const std::string& FileOf(bool localMachine) const;
    std::optional<SettingsError> SaveToRegistry(const std::string& keyPath, const std::string& key,
                                                const std::string& value, bool localMachine);
    SettingsResult GetFromRegistry(const std::string& keyPath, const std::string& key,
                                   const std::string& defaultValue, bool localMachine);
    void AddNotice(const std::string& text);

    SettingsLocation m_where;
    std::optional<std::string> m_notice;
};

// The one setting: the folder the last backup went to, machine-wide, shared by the desktop program
// and the command line. Empty when none was remembered.
SettingsResult ReadLastBackupFolder(SettingsStore& store);
std::optional<SettingsError> RememberLastBackupFolder(SettingsStore& store, const std::string& folder);

} // namespace corvane
