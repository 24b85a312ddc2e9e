// INI files read by the rules of the Windows profile functions the language files were written for
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace corvane {

// The rules, as translators and users editing these files expect them:
// - lines end with CR LF, LF or CR; a UTF-8 byte order mark at the start is skipped;
// - "[name]" opens a section; a section may appear twice, its keys then merge;
// - "key=value" sets a key; a line starting with ";" is a comment; other lines are ignored;
// - section and key names are compared without regard to ASCII letter case;
// - blanks (spaces, tabs) around names and values are trimmed, then one matching pair of enclosing
//   quotation marks, double or single, is removed from the value;
// - the first occurrence of a key in a section wins; a line naming the key without "=" counts as
//   an occurrence whose reading gives the default;
// - every result, the default included, is cut to kMaxIniValueLength bytes, and trailing spaces
//   are removed from the default;
// - bytes in, bytes out: no code page conversion.
inline constexpr std::size_t kMaxIniValueLength = 254;

class IniFile {
public:
    // A file that does not exist or cannot be read gives an empty IniFile.
    static IniFile Load(const std::string& path);
    static IniFile Parse(const std::string& bytes);

    std::string Get(const std::string& section, const std::string& key,
                    const std::string& defaultValue) const;
    // Every key of the section with the value Get would give, in the order the keys first appear;
    // keys without "=" are left out.
    std::vector<std::pair<std::string, std::string>> Section(const std::string& name) const;

private:
    struct Entry {
        std::string key;
        std::optional<std::string> value;
    };
    struct SectionData {
        std::vector<Entry> entries;
        std::unordered_map<std::string, std::size_t> indexByKey; // lower-case key -> entry
    };

    const SectionData* FindSection(const std::string& name) const;
    void AddEntry(const std::string& section, Entry entry);

    std::vector<SectionData> m_sections;
    std::unordered_map<std::string, std::size_t> m_indexBySection; // lower-case name -> section
};

// One value of an INI file, as the program reads each of its settings: the value found, or the
// default when the file, the section or the key is missing.
std::string ReadIniString(const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& filePath);

} // namespace corvane
