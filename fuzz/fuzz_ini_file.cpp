// language and INI files of any bytes: sections, keys, the default, and the message table
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "oracles.h"

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
