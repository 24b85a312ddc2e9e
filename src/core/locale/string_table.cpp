// the numbered messages of the chosen language
#include "core/locale/string_table.h"

#include "core/common/environment.h"
#include "core/project/text.h"

namespace corvane {

StringTable StringTable::LoadStringTable(const std::string& languageCode, const std::string& languageFolder,
                                         CodePage codePage) {
    const std::string path = JoinPath(languageFolder, languageCode + ".lng");
    return FromIniFile(IniFile::Load(path), codePage);
}

StringTable StringTable::FromIniFile(const IniFile& languageFile, CodePage codePage) {
    StringTable table;
    for (int i = 1; i <= kMaxMessageKeys; ++i) {
        std::string text = languageFile.Get("Strings", "String" + std::to_string(i), "");
        if (text == kEndOfMessages)
            break;
        // the table always reaches one index past the last message read
        table.m_entries.resize(static_cast<std::size_t>(i) + 2);
        table.m_entries[static_cast<std::size_t>(i)] = AnsiToUtf8(text, codePage);
    }
    return table;
}

std::string StringTable::GetString(int n, const std::string& english) const {
    if (n >= 0 && static_cast<std::size_t>(n) < m_entries.size() &&
        !m_entries[static_cast<std::size_t>(n)].empty())
        return ExpandLineBreaks(m_entries[static_cast<std::size_t>(n)]);
    return ExpandLineBreaks(english);
}

std::string ExpandLineBreaks(const std::string& text) {
    std::string expanded;
    expanded.reserve(text.size());
    for (char c : text) {
        if (c == '|')
            expanded += "\r\n";
        else
            expanded += c;
    }
    return expanded;
}

} // namespace corvane
