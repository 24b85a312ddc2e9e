// backup names from a fixed clock, and the job state that selecting a project or a group member gives
#include <algorithm>
#include <ctime>

#include <gtest/gtest.h>

#include "core/backup_naming.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

// 17 July 2025, 09:58:23 on this machine's clock, whatever its time zone
std::chrono::system_clock::time_point SelectionMoment() {
    std::tm local{};
    local.tm_year = 2025 - 1900;
    local.tm_mon = 6;
    local.tm_mday = 17;
    local.tm_hour = 9;
    local.tm_min = 58;
    local.tm_sec = 23;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

Clock FixedClock() {
    return [] { return SelectionMoment(); };
}

TEST(BackupNaming, TimeStampIsLocalAndPadded) {
    EXPECT_EQ(FormatTimeStamp(SelectionMoment()), "20250717095823");
    std::tm local{};
    local.tm_year = 2001 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 23;
    local.tm_isdst = -1;
    EXPECT_EQ(FormatTimeStamp(std::chrono::system_clock::from_time_t(std::mktime(&local))), "20010102230000");
}

TEST(BackupNaming, DefaultNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Dev\\App\\App.vbp", "App"},           {"C:\\Dev\\App\\App.VBP", "App.VBP"},
        {"C:\\Dev\\my.vbproject\\App.vbp", "App"},  {"a.vbpx.vbp", "ax"},
        {"/home/u/Billing/Billing.vbp", "Billing"}, {"x.v.vbpbp", "x.vbp"}, // one pass, not repeated
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(DefaultProjectName(path), name) << path;
    }
}

TEST(BackupNaming, NamesAreSanitisedBaseNames) {
    JobState state;
    state.gProjectName = "What? A: Tool";
    state.gMajorVer = "2";
    state.gMinorVer = "1";
    state.gRevisionVer = "7";
    state.gTimeStamp = "20250717095823";
    EXPECT_EQ(BackupBaseName(state), "What? A: Tool 2.1.7.20250717095823");
    ApplyBackupNames(state);
    EXPECT_EQ(state.gZipName, "What_ A_ Tool 2.1.7.20250717095823.zip");
    EXPECT_EQ(state.gNewVbpName, "What_ A_ Tool 2.1.7.20250717095823.vbp");
}

class SelectionTest : public ::testing::Test {
protected:
    testing::ScratchFolder m_scratch;
};

TEST_F(SelectionTest, SingleProjectFromItsFile) {
    const std::string path =
        m_scratch.Write("Billing/Billing.vbp", "Type=Exe\r\nName=\"Billing\"\r\nMajorVer=2\r\nMinorVer=1\r\n"
                                               "RevisionVer=7\r\nForm=frmMain.frm\r\n");
    const Result<ProjectSelection> selection = SelectSingleProject(path, FixedClock());
    ASSERT_TRUE(selection.ok()) << selection.error();
    const JobState& state = selection->state;
    EXPECT_EQ(state.gProjectFolder, m_scratch.Path("Billing"));
    EXPECT_EQ(state.gZipName, "Billing 2.1.7.20250717095823.zip");
    EXPECT_EQ(state.gNewVbpName, "Billing 2.1.7.20250717095823.vbp");
    EXPECT_EQ(state.gLineCount, 6);
    EXPECT_FALSE(state.gIsGroup);
    EXPECT_EQ(selection->savePath, m_scratch.Path("Billing") + "/Sources.Backup/");
}

TEST_F(SelectionTest, SingleProjectWithoutNameOrVersion) {
    const std::string path = m_scratch.Write("App/App.vbp", "Type=Exe\n");
    const Result<ProjectSelection> selection = SelectSingleProject(path, FixedClock());
    ASSERT_TRUE(selection.ok()) << selection.error();
    EXPECT_EQ(selection->state.gZipName, "App 0.0.0.20250717095823.zip");
    EXPECT_EQ(selection->state.gLineCount, 1);
}

TEST_F(SelectionTest, UnreadableProjectIsAFailure) {
    const Result<ProjectSelection> selection = SelectSingleProject(m_scratch.Path("Gone.vbp"), FixedClock());
    ASSERT_FALSE(selection.ok());
    EXPECT_NE(selection.error().find("Gone.vbp"), std::string::npos);
}

TEST_F(SelectionTest, GroupProjectIsNamedAfterItsPath) {
    const std::string path = m_scratch.Write("Acc/Acc.vbp", "MinorVer=4\r\n");
    const Result<JobState> state = PrepareGroupProject(path, "20250717095823");
    ASSERT_TRUE(state.ok()) << state.error();
    EXPECT_TRUE(state->gIsGroup);
    EXPECT_EQ(state->gProjectFolder, m_scratch.Path("Acc"));
    EXPECT_EQ(state->gProjectName, m_scratch.Path("Acc/Acc"));
    std::string flat = m_scratch.Path("Acc/Acc");
    std::replace(flat.begin(), flat.end(), '/', '_');
    EXPECT_EQ(state->gZipName, flat + " 0.4.0.20250717095823.zip");
}

} // namespace
} // namespace corvane
