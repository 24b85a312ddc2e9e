// named text settings kept the way the Windows registry kept them
#include "core/settings/settings.h"

#include <utility>

#include "core/common/environment.h"
#include "core/platform/registry.h"
#include "core/platform/settings_file.h"
#include "core/settings/format.h"

namespace corvane {

namespace {

const char* const kAppNameMissing = "AppName doit être renseigné";
const char* const kSectionMissing = "Section doit être renseigné";
const char* const kKeyMissingOnWrite = "Key doit être renseigné";
const char* const kKeyMissingOnRead = "Key  doit être renseigné"; // two spaces, as it always read
const char* const kCannotCreateKey = "Impossible d'ouvrir ou de créer la clef de registre";
const char* const kCannotOpenKey = "Impossible d'ouvrir cette clef de registre";
const char* const kCannotWriteValue = "Impossible d'écrire la clef de registre";
const char* const kNotText = "Les données de la clef de registre ne sont pas une chaine de caractères";

std::string TrimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<SettingsError> Validate(const std::string& appName, const std::string& section,
                                      const std::string& key, const char* keyMissing) {
    if (TrimSpaces(appName).empty())
        return SettingsError{SettingsErrorNumber(1000), kAppNameMissing, std::nullopt};
    if (TrimSpaces(section).empty())
        return SettingsError{SettingsErrorNumber(1001), kSectionMissing, std::nullopt};
    if (TrimSpaces(key).empty())
        return SettingsError{SettingsErrorNumber(1002), keyMissing, std::nullopt};
    return std::nullopt;
}

std::string KeyPath(const std::string& appName, const std::string& section) {
    return "SOFTWARE\\" + TrimSpaces(appName) + "\\Settings\\" + TrimSpaces(section);
}

SettingsError StoreError(std::uint32_t code, const char* description, std::optional<Error> cause = {}) {
    return SettingsError{SettingsErrorNumber(kStoreErrorOffset + code), description, std::move(cause)};
}

// A document, or the reason the file could not be used.
using Loaded = std::variant<SettingsDocument, std::string>;

// Reads the file while its lock is held; a damaged file is set aside and reads as empty.
Loaded LoadUnderLock(const std::string& path, std::optional<std::string>& notice) {
    Result<std::optional<std::string>> bytes = ReadSettingsFile(path);
    if (!bytes)
        return bytes.error();
    if (!bytes->has_value())
        return SettingsDocument();
    Result<SettingsDocument> parsed = SettingsDocument::Parse(**bytes);
    if (parsed)
        return std::move(parsed).value();
    Result<std::string> aside = SetSettingsFileAside(path);
    if (!aside)
        return "The settings file " + path + " is damaged (" + parsed.error() + ") and " + aside.error();
    notice = "The settings file " + path + " was damaged (" + parsed.error() + "). It was kept as " + *aside +
             " and the settings start again empty.";
    return SettingsDocument();
}

} // namespace

SettingsLocation DefaultSettingsLocation(const EnvLookup& env) {
    if (SystemHasRegistry())
        return SettingsLocation{{}, {}, true};
    const std::string folder = SettingsFolder(env);
    if (folder.empty())
        return SettingsLocation{};
    return SettingsLocation{JoinPath(folder, "machine.settings"), JoinPath(folder, "user.settings")};
}

SettingsStore::SettingsStore(SettingsLocation where) : m_where(std::move(where)) {}

const std::string& SettingsStore::FileOf(bool localMachine) const {
    return localMachine ? m_where.localMachineFile : m_where.currentUserFile;
}

void SettingsStore::AddNotice(const std::string& text) {
    m_notice = m_notice ? *m_notice + "\n" + text : text;
}

std::optional<std::string> SettingsStore::TakeNotice() {
    return std::exchange(m_notice, std::nullopt);
}

std::optional<SettingsError> SettingsStore::RegSaveSetting(const std::string& appName,
                                                           const std::string& section, const std::string& key,
                                                           const std::string& value, bool localMachine) {
    if (std::optional<SettingsError> invalid = Validate(appName, section, key, kKeyMissingOnWrite))
        return invalid;
    if (m_where.systemRegistry)
        return SaveToRegistry(KeyPath(appName, section), key, value, localMachine);
    const std::string& path = FileOf(localMachine);
    if (path.empty())
        return StoreError(kAccessDeniedStatus, kCannotCreateKey,
                          fail(ErrorKind::NotWritable, "There is no home folder to keep the settings in."));
    Result<SettingsFileLock> lock = SettingsFileLock::Acquire(path);
    if (!lock) { // the lock file is ours; the user knows the settings file
        Error cause = lock.failure();
        cause.path = path;
        return StoreError(kAccessDeniedStatus, kCannotCreateKey, std::move(cause));
    }
    RemoveStaleSettingsTemporaries(path);

    std::optional<std::string> notice;
    Loaded loaded = LoadUnderLock(path, notice);
    if (notice)
        AddNotice(*notice);
    if (!std::holds_alternative<SettingsDocument>(loaded))
        return StoreError(kAccessDeniedStatus, kCannotCreateKey,
                          fail(ErrorKind::NotReadable, std::get<std::string>(loaded), path));

    SettingsDocument& document = std::get<SettingsDocument>(loaded);
    // every backup of the same project remembers the same folder: rewriting the file would cost two
    // flushes to the disk for nothing
    if (const SettingsValue* stored = document.FindValue(KeyPath(appName, section), key);
        stored != nullptr && stored->type == kRegSz && stored->data == value)
        return std::nullopt;
    document.SetValue(KeyPath(appName, section), key, kRegSz, value);
    if (Status replaced = ReplaceSettingsFile(path, document.Serialize()); !replaced)
        return StoreError(kAccessDeniedStatus, kCannotCreateKey, replaced.failure());
    return std::nullopt;
}

SettingsResult SettingsStore::RegGetSetting(const std::string& appName, const std::string& section,
                                            const std::string& key, const std::string& defaultValue,
                                            bool localMachine) {
    if (std::optional<SettingsError> invalid = Validate(appName, section, key, kKeyMissingOnRead))
        return *invalid;
    if (m_where.systemRegistry)
        return GetFromRegistry(KeyPath(appName, section), key, defaultValue, localMachine);
    const std::string& path = FileOf(localMachine);

    // files are replaced whole, so reading needs no lock unless the file turns out damaged
    Result<std::optional<std::string>> bytes = ReadSettingsFile(path);
    if (!bytes)
        return StoreError(kAccessDeniedStatus, kCannotOpenKey);
    if (!bytes->has_value())
        return defaultValue;
    Result<SettingsDocument> parsed = SettingsDocument::Parse(**bytes);
    if (!parsed) {
        // look again under the lock: a writer may have replaced the file meanwhile
        Result<SettingsFileLock> lock = SettingsFileLock::Acquire(path);
        if (!lock) {
            AddNotice("The settings file " + path + " is damaged (" + parsed.error() + ") and " +
                      lock.error());
            return defaultValue;
        }
        std::optional<std::string> notice;
        Loaded loaded = LoadUnderLock(path, notice);
        if (notice)
            AddNotice(*notice);
        if (!std::holds_alternative<SettingsDocument>(loaded)) {
            AddNotice(std::get<std::string>(loaded));
            return defaultValue;
        }
        parsed = std::move(std::get<SettingsDocument>(loaded));
    }

    const SettingsValue* found = parsed->FindValue(KeyPath(appName, section), key);
    if (!found)
        return defaultValue;
    if (found->type != kRegSz)
        return StoreError(found->type, kNotText);
    return found->data;
}

std::optional<SettingsError> SettingsStore::SaveToRegistry(const std::string& keyPath, const std::string& key,
                                                           const std::string& value, bool localMachine) {
    const RegistryRoot root = localMachine ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    std::optional<RegistryWriteFailure> failed = RegistryWriteText(root, keyPath, key, value);
    if (localMachine && !failed) {
        // a value the user's root held while the machine's refused would hide this one
        RegistryRemoveValue(RegistryRoot::CurrentUser, keyPath, key);
        return std::nullopt;
    }
    if (localMachine && failed->step == RegistryWriteFailure::Step::OpenOrCreateKey &&
        failed->status == kAccessDeniedStatus &&
        !RegistryWriteText(RegistryRoot::CurrentUser, keyPath, key, value))
        return std::nullopt;
    if (!failed)
        return std::nullopt;
    return StoreError(failed->status,
                      failed->step == RegistryWriteFailure::Step::OpenOrCreateKey ? kCannotCreateKey
                                                                                  : kCannotWriteValue);
}

SettingsResult SettingsStore::GetFromRegistry(const std::string& keyPath, const std::string& key,
                                              const std::string& defaultValue, bool localMachine) {
    RegistryRead read{RegistryRead::Outcome::Missing, {}, 0};
    if (localMachine) // the user's own copy of a machine-wide value exists only while the machine's is refused
        read = RegistryReadText(RegistryRoot::CurrentUser, keyPath, key);
    if (read.outcome == RegistryRead::Outcome::Missing || read.outcome == RegistryRead::Outcome::CannotOpen)
        read = RegistryReadText(localMachine ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser, keyPath, key);
    switch (read.outcome) {
    case RegistryRead::Outcome::Text:
        return read.text;
    case RegistryRead::Outcome::Missing:
        return defaultValue;
    case RegistryRead::Outcome::NotText:
        return StoreError(read.code, kNotText);
    case RegistryRead::Outcome::CannotOpen:
        break;
    }
    return StoreError(read.code, kCannotOpenKey);
}

namespace {
// where the old tool kept it, so that a store both tools read stays one store
const char* const kAppName = "Corvane";
const char* const kSection = "Files";
const char* const kLastDir = "LastDir";
} // namespace

SettingsResult ReadLastBackupFolder(SettingsStore& store) {
    return store.RegGetSetting(kAppName, kSection, kLastDir, "", true);
}

std::optional<SettingsError> RememberLastBackupFolder(SettingsStore& store, const std::string& folder) {
    return store.RegSaveSetting(kAppName, kSection, kLastDir, folder, true);
}

} // namespace corvane
