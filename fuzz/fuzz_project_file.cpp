// project files of any bytes: reading, reference classification and mapping, name and version
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "support/oracles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    const std::string path = fuzzing::WriteInput("input.vbp", fuzzing::Bytes(data, size));
    const Result<ProjectFile> project = ReadProjectFile(path);
    if (!project.ok()) {
        fuzzing::Require(project.error().empty() ? "a refused project file gave no reason" : "");
        return 0;
    }
    fuzzing::Require(testing::CheckProjectFile(project.value()));
    JobState state;
    const Result<std::int16_t> count = ReadProjectInfo(path, state);
    if (!count.ok() || static_cast<std::size_t>(count.value()) != project->lines.size())
        fuzzing::Require("ReadProjectInfo did not count every line");
    return 0;
}
