// corvane-cli unzip against the table of hostile archives: a refusal that names the entry, and nothing
// changed
#include <sstream>
#include <tuple>

#include "../core/hostile_archives.h"
#include "cli/unzip_command.h"
#include "core/extract_path_gate.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// The options that move the caps a row lowers.
std::vector<std::string> LimitOptions(const UnzipLimits& limits) {
    const UnzipLimits defaults;
    std::vector<std::string> args;
    for (const auto& [value, fallback, option] :
         {std::tuple(limits.maxEntries, defaults.maxEntries, "--max-entries"),
          std::tuple(limits.maxTotalBytes, defaults.maxTotalBytes, "--max-size"),
          std::tuple(limits.maxEntryBytes, defaults.maxEntryBytes, "--max-entry-size")})
        if (value != fallback)
            args.insert(args.end(), {option, std::to_string(value)});
    if (limits.maxRatio != defaults.maxRatio)
        args.insert(args.end(), {"--max-ratio", std::to_string(limits.maxRatio)});
    return args;
}

// The user must learn which entry was refused, or which archive, or its count of entries.
bool NamesTheCulprit(const std::string& err, const HostileCase& row, const std::string& archive) {
    for (const RawEntry& entry : row.entries)
        if (err.find("\"" + DisplayEntryName(entry.name)) != std::string::npos)
            return true;
    return err.find("\"" + archive + "\"") != std::string::npos ||
           (row.entries.empty() && err.find(std::to_string(kManyEntries) + " entries") != std::string::npos);
}

class UnzipHostileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(UnzipHostileTest, IsRefusedAndChangesNothing) {
    const HostileCase& row = GetParam();
    ExtractionScene scene;
    ASSERT_EQ(ExtractionFolderOf(scene.Archive()), scene.Target());
    MakeArchive(scene.Archive(), row.entries);
    if (row.tamper)
        row.tamper(scene);
    const auto before = Snapshot(scene.Root());
    std::vector<std::string> args = LimitOptions(row.limits);
    args.push_back(scene.Archive());
    std::ostringstream out, err;
    EXPECT_EQ(RunUnzip(args, RunContext{}, out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find(row.messagePart), std::string::npos) << err.str();
    EXPECT_TRUE(NamesTheCulprit(err.str(), row, scene.Archive())) << err.str();
    EXPECT_EQ(Snapshot(scene.Root()), before);
    EXPECT_FALSE(fs::exists("/tmp/corvane-evil.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, UnzipHostileTest, ::testing::ValuesIn(HostileArchives()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace corvane
