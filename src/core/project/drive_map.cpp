// drive letters and shares mapped to folders, from Wine's prefix and the user's own list
#include "core/project/references.h"

#include <filesystem>
#include <system_error>

#include <cctype>

#include "core/platform/platform.h"

namespace corvane {

namespace {

std::string NormalisedKey(std::string key) {
    for (char& c : key) {
        c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    while (!key.empty() && (key.back() == '\\' || key.back() == ':')) {
        key.pop_back();
    }
    return key;
}

bool IsDriveLetter(const std::string& key) {
    return key.size() == 1 && std::isalpha(static_cast<unsigned char>(key[0]));
}

} // namespace

DriveMap DriveMap::FromEnvironment(const EnvLookup& lookup) {
    DriveMap map;
    // Windows resolves its drives itself: only CORVANE_DRIVE_MAP's entries stand in for them there
    if (NativeSeparator() == '\\') {
        if (const std::optional<std::string> list = lookup("CORVANE_DRIVE_MAP")) {
            map.AddEntries(*list);
        }
        return map;
    }
    std::optional<std::string> prefix = NonEmptyVariable(lookup, "WINEPREFIX");
    if (!prefix) {
        if (const std::optional<std::string> home = NonEmptyVariable(lookup, "HOME")) {
            prefix = *home + "/.wine";
        }
    }
    if (prefix) {
        map.SetDosDevices(*prefix + "/dosdevices");
    }
    if (const std::optional<std::string> list = lookup("CORVANE_DRIVE_MAP")) {
        map.AddEntries(*list);
    }
    return map;
}

void DriveMap::Set(const std::string& key, std::string folder) {
    m_folders[NormalisedKey(key)] = std::move(folder);
}

void DriveMap::AddEntries(const std::string& list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string entry = list.substr(start, end - start);
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos && equals > 0) {
            Set(entry.substr(0, equals), entry.substr(equals + 1));
        }
        start = end + 1;
    }
}

std::optional<std::string> DriveMap::Find(const std::string& key) const {
    const std::string normalised = NormalisedKey(key);
    const auto found = m_folders.find(normalised);
    if (found != m_folders.end()) {
        return found->second;
    }
    if (IsDriveLetter(normalised) && !m_dosDevices.empty()) {
        const std::string drive = m_dosDevices + "/" +
                                  static_cast<char>(std::tolower(static_cast<unsigned char>(normalised[0]))) + ":";
        // only a drive Wine has: a folder made below an invented one would hold a backup nobody finds
        std::error_code error;
        if (std::filesystem::is_directory(FsPath(drive), error))
            return drive;
    }
    return std::nullopt;
}

} // namespace corvane
