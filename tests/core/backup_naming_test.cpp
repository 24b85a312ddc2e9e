// backup names from a fixed clock, and the job state that selecting a project or a group member gives
#include "core/backup_naming.h"
#include "vb_project_fixture.h"

namespace corvane {
namespace {

TEST(BackupNaming, DefaultNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Dev\\App\\App.vbp", "App"},           {"C:\\Dev\\App\\App.VBP", "App.VBP"},
        {"C:\\Dev\\my.vbproject\\App.vbp", "App"},  {"a.vbpx.vbp", "ax"},
        {"/home/u/Billing/Billing.vbp", "Billing"}, {"x.v.vbpbp", "x.vbp"}, // one pass, not repeated
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(DefaultProjectName(path), name) << path;
}

// the stamp is local time, padded; the names are sanitised, the base name is not
TEST(BackupNaming, NamesAreStampedAndSanitised) {
    JobState state;
    state.gProjectName = "What? A: Tool", state.gMajorVer = "2", state.gMinorVer = "1";
    state.gRevisionVer = "7", state.gTimeStamp = FormatTimeStamp(testing::LocalMoment(2001, 1, 2, 23, 0, 0));
    EXPECT_EQ(BackupBaseName(state), "What? A: Tool 2.1.7.20010102230000");
    ApplyBackupNames(state);
    EXPECT_EQ(state.gZipName, "What_ A_ Tool 2.1.7.20010102230000.zip");
    EXPECT_EQ(state.gNewVbpName, "What_ A_ Tool 2.1.7.20010102230000.vbp");
}

TEST(BackupNaming, SelectingAProject) {
    testing::ScratchFolder scratch;
    const Result<ProjectSelection> selection =
        SelectSingleProject(scratch.Write("App/App.vbp", "Type=Exe\r\nMinorVer=4\r\nForm=frmMain.frm\r\n"),
                            testing::BackupMoment);
    ASSERT_TRUE(selection.ok()) << selection.error();
    EXPECT_EQ(selection->state.gNewVbpName, "App 0.4.0.20250717095823.vbp");
    EXPECT_EQ(selection->state.gLineCount, 3);
    EXPECT_FALSE(selection->state.gIsGroup);
    EXPECT_EQ(selection->savePath, scratch.Path("App") + "/Sources.Backup/");
}

} // namespace
} // namespace corvane
