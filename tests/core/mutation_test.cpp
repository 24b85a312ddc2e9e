// good inputs with about one byte in a hundred corrupted, thousands of times over: the project reader, the
// archive path mapping and the extractor keep their promises whatever the damage

#include "support/oracles.h"
#include "support/zip_test_support.h"

namespace corvane::testing {
namespace {

constexpr int kMutantsPerInput = 2000;

const fs::path kExampleProject =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "examples/Billing/Billing.vbp";

// One byte up to one in a hundred changed, from the engine's raw output (not a distribution's, which is the
// library's choice) so a seed makes the same mutants everywhere; more damage hardly ever passes a check.
std::string Mutate(const std::string& good, std::mt19937& random) {
    std::string bad = good;
    const std::size_t changes = 1 + random() % std::max<std::size_t>(1, good.size() / 100);
    for (std::size_t i = 0; i < changes; ++i) {
        const std::size_t at = random() % bad.size();
        // never the same byte again: every change is a change
        bad[at] = static_cast<char>(bad[at] ^ (1 + random() % 255));
    }
    return bad;
}

// The broken promise, if any, and whether the mutant got past the first refusal into the code behind it.
struct Verdict {
    std::string broken;
    bool reachedDeep = false;
};

Verdict CheckProjectBytes(const ScratchFolder& scratch, const std::string& bytes) {
    fs::remove(scratch.Path("input.vbp")); // some file systems flush a truncated file on close: slow
    const std::string path = scratch.Write("input.vbp", bytes);
    const auto project = ReadProjectFile(path);
    if (!project.ok())
        return {"a project file of " + std::to_string(bytes.size()) +
                " bytes was refused: " + project.error()};
    JobState state;
    const auto count = ReadProjectInfo(path, state);
    if (!count.ok() || static_cast<std::size_t>(count.value()) != project->lines.size())
        return {"ReadProjectInfo did not count every line"};
    const bool references = std::any_of(project->lines.begin(), project->lines.end(), [](const auto& line) {
        const auto reference = ClassifyReferenceLine(line);
        return reference && !reference->malformed;
    });
    return {CheckProjectFile(project.value()), references};
}

Verdict CheckArchiveBytes(const ScratchFolder& scratch, const std::string& bytes) {
    bool deep = false;
    return {CheckExtraction(bytes, scratch.Path(), &deep), deep};
}

// The example project, or a backup's shape as an archive, encrypted with the sandbox's password when asked.
std::string GoodInput(const ScratchFolder& scratch, const std::string& name) {
    const std::string project = ReadFile(kExampleProject);
    if (name == "ExampleProject")
        return project;
    const std::string password = name == "EncryptedArchive" ? kSandboxPassword : "";
    const RawEntry::Kind file = RawEntry::Kind::File;
    MakeArchive(
        scratch.Path("good.zip"),
        {{"frmMain.frm", "VERSION 5.00\r\nBegin VB.Form frmMain\r\nEnd\r\n", file, password},
         {"frmMain.frx", RandomBytes(300, 3), file, password},
         {"Forms/", "", RawEntry::Kind::Folder},
         {"Forms/frmAbout.frm", std::string(400, 'a'), file, password},
         {"FileNotInRootPath/--/Shared/modUtil.bas", "Attribute VB_Name = \"modUtil\"\r\n", file, password},
         {"Billing.vbp", project, file, password}});
    std::string bytes = ReadFile(scratch.Path("good.zip"));
    fs::remove(scratch.Path("good.zip"));
    return bytes;
}

class MutationTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MutationTest, EveryMutantKeepsTheOracles) {
    ScratchFolder scratch;
    const std::string good = GoodInput(scratch, GetParam());
    const auto check = GetParam() == "ExampleProject" ? CheckProjectBytes : CheckArchiveBytes;
    // the good input itself must pass, or every mutant's failure would say nothing
    const Verdict original = check(scratch, good);
    ASSERT_EQ(original.broken, "");
    ASSERT_TRUE(original.reachedDeep);
    std::mt19937 random(20250717);
    int failures = 0, deep = 0;
    for (int i = 0; i < kMutantsPerInput && failures < 3; ++i) {
        const Verdict verdict = check(scratch, Mutate(good, random));
        deep += verdict.reachedDeep;
        failures += !verdict.broken.empty();
        EXPECT_EQ(verdict.broken, "") << "mutant " << i;
    }
    // mutants that all fail at the door would prove nothing about what lies behind it
    EXPECT_GE(deep, kMutantsPerInput / 20) << "too few mutants got past the first refusal";
}

INSTANTIATE_TEST_SUITE_P(Inputs, MutationTest,
                         ::testing::Values("ExampleProject", "Archive", "EncryptedArchive"),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace corvane::testing
