// project references of any bytes mapped to archive entry names
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "support/oracles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    fuzzing::Require(testing::CheckArchivePath(fuzzing::Bytes(data, size)));
    return 0;
}
