// INI files read by the rules of the Windows profile functions
#include "core/locale/ini_file.h"

#include <filesystem>
#include <fstream>
#include <string_view>

#include "core/common/ascii_case.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string CutToLimit(std::string value) {
    if (value.size() > kMaxIniValueLength)
        value.resize(kMaxIniValueLength);
    return value;
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// Splits on CR LF, LF and CR alike.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

} // namespace

IniFile IniFile::Load(const std::string& path) {
    // istream::read turns the stream buffer's exceptions (a folder, a read error) into a failed state
    std::ifstream in(FsPath(path), std::ios::binary);
    if (!in)
        return {};
    std::string bytes;
    char buffer[8192];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return {};
    return Parse(bytes);
}

IniFile IniFile::Parse(const std::string& bytes) {
    IniFile file;
    std::string_view text(bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::optional<std::string> section; // lines before the first section belong to none
    for (std::string_view raw : SplitLines(text)) {
        const std::string_view line = TrimBlanks(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section =
                std::string(TrimBlanks(line.substr(1, close == std::string_view::npos ? close : close - 1)));
            continue;
        }
        if (!section)
            continue;
        const std::size_t equals = line.find('=');
        Entry entry;
        entry.key = std::string(TrimBlanks(line.substr(0, equals)));
        if (entry.key.empty())
            continue;
        if (equals != std::string_view::npos)
            entry.value = std::string(TrimBlanks(line.substr(equals + 1)));
        file.AddEntry(*section, std::move(entry));
    }
    return file;
}

void IniFile::AddEntry(const std::string& section, Entry entry) {
    const std::string sectionKey = LowerAscii(section);
    auto [sectionIt, newSection] = m_indexBySection.try_emplace(sectionKey, m_sections.size());
    if (newSection)
        m_sections.emplace_back();
    SectionData& data = m_sections[sectionIt->second];
    auto [entryIt, newKey] = data.indexByKey.try_emplace(LowerAscii(entry.key), data.entries.size());
    if (newKey)
        data.entries.push_back(std::move(entry));
}

const IniFile::SectionData* IniFile::FindSection(const std::string& name) const {
    const auto it = m_indexBySection.find(LowerAscii(TrimBlanks(name)));
    return it == m_indexBySection.end() ? nullptr : &m_sections[it->second];
}

std::string IniFile::Get(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const {
    if (const SectionData* data = FindSection(section)) {
        const auto it = data->indexByKey.find(LowerAscii(TrimBlanks(key)));
        if (it != data->indexByKey.end()) {
            const Entry& entry = data->entries[it->second];
            if (entry.value)
                return CutToLimit(Unquote(*entry.value));
        }
    }
    std::string_view fallback(defaultValue);
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.remove_suffix(1);
    return CutToLimit(std::string(fallback));
}

std::vector<std::pair<std::string, std::string>> IniFile::Section(const std::string& name) const {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (const SectionData* data = FindSection(name)) {
        for (const Entry& entry : data->entries) {
            if (entry.value)
                pairs.emplace_back(entry.key, CutToLimit(Unquote(*entry.value)));
        }
    }
    return pairs;
}

std::string ReadIniString(const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& filePath) {
    return IniFile::Load(filePath).Get(section, key, defaultValue);
}

} // namespace corvane
