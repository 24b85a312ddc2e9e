// language and INI files of any bytes: sections, keys, the default, and the message table
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
    fuzzing::Require(testing::CheckMessageTable(loaded));
    const IniFile parsed = IniFile::Parse(bytes);
    for (const std::string& name : testing::ProbedSections(bytes)) {
        if (parsed.Section(name) != loaded.Section(name))
            fuzzing::Require("the file and its bytes read differently in section " + testing::Shown(name));
    }
    return 0;
}
