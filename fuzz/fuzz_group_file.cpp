// group files of any bytes: both readers, and a stable write and read of what the editor read
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "oracles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    const std::string bytes = fuzzing::Bytes(data, size);
    const std::string path = fuzzing::WriteInput("input.vbpgroup", bytes);
    const std::string copy = (fuzzing::ProcessFolder::Path() / "copy.vbpgroup").string();
    fuzzing::Require(testing::CheckGroupFile(path, copy));
    // the same bytes as Visual Basic's own group format
    const std::string vbg = fuzzing::WriteInput("input.vbg", bytes);
    (void)ReadAnyGroup(vbg);
    return 0;
}
