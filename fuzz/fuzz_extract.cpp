// archives of any bytes unpacked into a sandbox folder
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "support/oracles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    fuzzing::Require(testing::CheckExtraction(fuzzing::Bytes(data, size), fuzzing::ProcessFolder::Path()));
    return 0;
}
