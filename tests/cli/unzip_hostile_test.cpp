// corvane-cli unzip against the table of hostile archives: a refusal that names the entry, and nothing changed
#include <sstream>

#include "../core/hostile_archives.h"
#include "cli/unzip_command.h"
#include "core/extract_path_gate.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// The command takes no limits, so only the rows the default limits must catch run through it.
std::vector<HostileCase> RowsWithDefaultLimits() {
    std::vector<HostileCase> rows;
    for (HostileCase& row : HostileArchives())
        if (row.UsesDefaultLimits())
            rows.push_back(std::move(row));
    return rows;
}

// The user must learn which entry was refused; an archive that cannot be opened at all is named itself.
bool NamesTheCulprit(const std::string& err, const HostileCase& row, const std::string& archive) {
    for (const RawEntry& entry : row.entries)
        if (err.find("\"" + DisplayEntryName(entry.name)) != std::string::npos)
            return true;
    return err.find("\"" + archive + "\"") != std::string::npos;
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
    std::ostringstream out, err;
    const int code = RunUnzip({scene.Archive()}, RunContext{}, out, err);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find(row.messagePart), std::string::npos) << err.str();
    EXPECT_TRUE(NamesTheCulprit(err.str(), row, scene.Archive())) << err.str();
    EXPECT_EQ(Snapshot(scene.Root()), before);
    EXPECT_FALSE(fs::exists("/tmp/corvane-evil.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, UnzipHostileTest, ::testing::ValuesIn(RowsWithDefaultLimits()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace corvane
