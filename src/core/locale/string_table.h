// the numbered messages of the chosen language, and the message lookup every window uses
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/locale/ini_file.h"
#include "core/project/code_page.h"

namespace corvane {

// The most message keys ("String1" ...) read from a language file without an end marker.
inline constexpr int kMaxMessageKeys = 32000;
// The value that ends the list of messages; compared with letter case.
inline constexpr const char* kEndOfMessages = "###END###";

// The table is loaded once at start-up and held by the program as a value; an empty table (no
// language file loaded) makes every message its English text.
class StringTable {
public:
    StringTable() = default;

    // Reads section "Strings" of "<code>.lng" in the language folder, written in the given code page
    // (LanguageCodePage); the table holds the messages in UTF-8.
    static StringTable LoadStringTable(const std::string& languageCode, const std::string& languageFolder,
                                       CodePage codePage);
    // The same from a language file already read: messages 1 .. k-1 when the key "String" + k holds
    // the end marker, giving the indexes 0 .. k with 0 and k empty; none when the marker is the first
    // key; without a marker every key up to kMaxMessageKeys, the indexes then reaching
    // kMaxMessageKeys + 1. A key with an empty value or missing does not end the list.
    static StringTable FromIniFile(const IniFile& languageFile, CodePage codePage);

    // Message n, or the English text when the table has no entry n or the entry is empty; in either
    // text every "|" becomes CR LF. UTF-8 in and out.
    std::string GetString(int n, const std::string& english) const;

    // Number of indexes the table spans (0 when it holds no entry).
    std::size_t size() const { return m_entries.size(); }

private:
    std::vector<std::string> m_entries;
};

// Every "|" replaced by CR LF.
std::string ExpandLineBreaks(const std::string& text);

} // namespace corvane
