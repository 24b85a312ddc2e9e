// the text form of one settings file: keys of the registry stand-in and their typed values
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

// One file per root (machine, user), UTF-8 text, lines ended by LF:
//
//   ; Corvane settings
//   ["SOFTWARE\\Corvane\\Settings\\Files"]
//   "LastDir"=1:"/home/ann/Billing/Sources.Backup/"
//   "Runs"=4:"*\x00\x00\x00"
//
// - a line "[" quoted-text "]" opens a key, named by its path below the root;
// - a line quoted-name "=" type ":" quoted-data is a value of the key above it; type is the registry
//   type number in decimal (1 text, 4 32-bit number; other numbers are kept as they are) and the
//   data are the value's bytes (for text: the text, without a terminating NUL);
// - a quoted text stands between double quotes; inside, \\ \" \n \r \t stand for themselves and \xHH
//   (two hex digits) for any byte; writers use \xHH for the other control bytes and for bytes that are
//   not part of valid UTF-8, so any text round-trips and the file stays UTF-8;
// - empty lines and lines starting with ";" are comments; a CR before the LF is allowed;
// - key paths and value names are compared without regard to ASCII letter case, as the registry
//   does, and keep the spelling they were first written with.
// A key or a value that appears twice, a value before any key, or any other line makes the whole
// file unreadable.

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

struct SettingsValue {
    std::string name;
    std::uint32_t type = kRegSz;
    std::string data;
};

struct SettingsKey {
    std::string path;
    std::vector<SettingsValue> values;
};

class SettingsDocument {
public:
    // Fails with the line number and what is wrong there.
    static Result<SettingsDocument> Parse(const std::string& text);
    std::string Serialize() const;

    const SettingsKey* FindKey(const std::string& path) const;
    const SettingsValue* FindValue(const std::string& path, const std::string& name) const;
    // Creates the key and the value as needed; an existing value takes the new type and data.
    void SetValue(const std::string& path, const std::string& name, std::uint32_t type, std::string data);

    const std::vector<SettingsKey>& keys() const { return m_keys; }

private:
    SettingsKey* FindKeyForUpdate(const std::string& path);

    std::vector<SettingsKey> m_keys;
};

// The bytes as a quoted text of the form above.
std::string QuoteSettingsText(const std::string& bytes);

} // namespace corvane
