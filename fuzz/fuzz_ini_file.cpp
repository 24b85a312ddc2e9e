// language and INI files of any bytes: sections, keys, the default, and the message table
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/common/ascii_case.h"
#include "core/locale/ini_file.h"
#include "core/locale/string_table.h"
#include "core/project/text.h"
#include "fuzz_support.h"
#include "support/oracles.h"

namespace corvane::testing {

// The names of up to `most` sections the bytes seem to open, "Strings" always among them.
inline std::vector<std::string> ProbedSections(const std::string& bytes, std::size_t most = 16) {
    std::vector<std::string> names = {"Strings"};
    for (const std::string& line : SplitLines(bytes)) {
        const std::size_t open = line.find('[');
        if (open == std::string::npos || names.size() >= most)
            continue;
        const std::size_t close = line.find(']', open);
        names.push_back(
            line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
    }
    return names;
}

// Every key a section lists reads the same through Get, whatever the letter case of the names; a
// missing key gives the default, cut and trimmed.
inline std::string CheckIniFile(const std::string& bytes, const IniFile& ini) {
    for (const std::string& name : ProbedSections(bytes)) {
        for (const auto& [key, value] : ini.Section(name)) {
            if (value.size() > kMaxIniValueLength)
                return "the value of " + Shown(key) + " is longer than the limit";
            if (ini.Get(name, key, "\x01") != value ||
                ini.Get(UpperAscii(name), UpperAscii(key), "\x01") != value)
                return "the key " + Shown(key) + " of section " + Shown(name) +
                       " reads differently through Get";
        }
        // no key can hold a line break, so this one is always missing
        const std::string fallback = std::string(300, 'd') + "  ";
        if (ini.Get(name, "\n", fallback) != std::string(kMaxIniValueLength, 'd'))
            return "a missing key of section " + Shown(name) + " did not give the default, cut";
    }
    return "";
}

// The message table agrees with its language file and falls back to the English text outside it;
// without the end marker this reads 32,000 keys, so it is the slow check. Read in a double-byte code page,
// whose lead bytes without a trail byte any input is full of.
inline std::string CheckMessageTable(const IniFile& ini) {
    const CodePage japanese = CodePage::FromNumber(932).value();
    const StringTable table = StringTable::FromIniFile(ini, japanese);
    if (table.size() == 1)
        return "the message table spans one index";
    const std::string english = "en|x";
    const int last = static_cast<int>(table.size()) - 1;
    for (int n : {-1, 0, last, last + 1}) {
        if (table.GetString(n, english) != "en\r\nx")
            return "message " + std::to_string(n) + " is not the English text";
    }
    for (int n = 1; n < std::min(last, 64); ++n) {
        const std::string text = ini.Get("Strings", "String" + std::to_string(n), "");
        if (table.GetString(n, english) !=
            ExpandLineBreaks(text.empty() ? english : AnsiToUtf8(text, japanese)))
            return "message " + std::to_string(n) + " differs from the language file";
    }
    return "";
}

} // namespace corvane::testing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    const std::string bytes = fuzzing::Bytes(data, size);
    const std::string path = fuzzing::WriteInput("input.lng", bytes);
    const IniFile loaded = IniFile::Load(path);
    fuzzing::Require(testing::CheckIniFile(bytes, loaded));
    // without the end marker the table reads 32,000 keys, slow enough to starve the search, so only
    // one such input in 64 (by size, so that a finding replays) builds it
    const auto messages = loaded.Section("Strings");
    const bool marked = std::any_of(messages.begin(), messages.end(),
                                    [](const auto& message) { return message.second == kEndOfMessages; });
    if (marked || size % 64 == 0)
        fuzzing::Require(testing::CheckMessageTable(loaded));
    const IniFile parsed = IniFile::Parse(bytes);
    for (const std::string& name : testing::ProbedSections(bytes)) {
        if (parsed.Section(name) != loaded.Section(name))
            fuzzing::Require("the file and its bytes read differently in section " + testing::Shown(name));
    }
    return 0;
}
