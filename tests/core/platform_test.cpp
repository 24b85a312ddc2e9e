// what the core asks of each system, held to the same answers on Linux and on Windows
#include <cerrno>
#include <cstdio>
#include <ctime>

#include <gtest/gtest.h>

#include "core/platform/extract_output.h"
#include "core/platform/open_file.h"
#include "core/platform/platform.h"
#include "core/platform/regular_file.h"
#include "core/platform/staging_folder.h"
#include "support/scratch_folder.h"

namespace corvane::testing {
namespace {

// a backup is never replaced, not even by a run that finishes at the same moment: neither a rename nor an
// exclusive creation takes a name in use, and neither changes a file
TEST(PlatformTest, NoNameInUseIsTakenAndNeitherFileChanges) {
    ScratchFolder scratch;
    const std::string older = scratch.Write("Billing.zip", "older backup");
    const std::string newer = scratch.Write("Billing.zip.part", "newer backup");
    const Status refused = RenameNoReplace(newer, older);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().kind, ErrorKind::Refused);
    EXPECT_EQ(refused.failure().systemError, EEXIST);
    errno = 0;
    EXPECT_EQ(OpenFile(older, "wbx"), nullptr);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadFile(older) + "|" + ReadFile(newer), "older backup|newer backup");

    const std::string free = scratch.Path("Billing (2).zip");
    ASSERT_TRUE(RenameNoReplace(newer, free).ok());
    EXPECT_EQ(ReadFile(free), "newer backup");
    EXPECT_FALSE(fs::exists(newer));
    std::FILE* created = OpenFile(scratch.Path("new.zip"), "wbx");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(std::fwrite("PK", 1, 2, created), 2u);
    EXPECT_EQ(std::fclose(created), 0);
    EXPECT_EQ(ReadFile(scratch.Path("new.zip")), "PK");
}

TEST(PlatformTest, RegularFileReadsFilesRefusesFoldersAndSeesARewrite) {
    ScratchFolder scratch;
    const std::string path = scratch.Write("Forms/frmMain.frm", "VERSION 5.00\r\n");
    Result<RegularFile> file = RegularFile::Open(path);
    ASSERT_TRUE(file.ok()) << file.error();
    EXPECT_EQ(file->OpenedState().size, 14u);
    char buffer[64];
    Result<std::size_t> read = file.value().Read(buffer, sizeof buffer);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(std::string(buffer, *read), "VERSION 5.00\r\n");
    WriteFile(path, "VERSION 5.00\r\nBegin\r\n");
    Result<FileState> now = file->StateNow();
    ASSERT_TRUE(now.ok());
    EXPECT_NE(*now, file->OpenedState());

    const Result<RegularFile> folder = RegularFile::Open(scratch.Path("Forms"));
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error(), "it is a folder, not a file");
    const Result<RegularFile> missing = RegularFile::Open(scratch.Path("none.frm"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().kind, ErrorKind::NotFound);
}

// a reader never sees a part of a file, and a file given up leaves nothing behind; a folder of them replaces
// another whole
TEST(PlatformTest, ExtractedFilesAppearWholeWithTheirTimeOrNotAtAll) {
    ScratchFolder scratch;
    Result<ExtractTarget> target = ExtractTarget::Open(scratch.Path("out"));
    ASSERT_TRUE(target.ok()) << target.error();
    {
        Result<PendingFile> dropped = target.value().CreateFile({"Forms", "dropped.frm"});
        ASSERT_TRUE(dropped.ok()) << dropped.error();
        ASSERT_TRUE(dropped.value().Write("half", 4).ok());
    }
    EXPECT_TRUE(FileNamesIn(scratch.Path("out/Forms")).empty());

    Result<PendingFile> kept = target.value().CreateFile({"Forms", "frmMain.frm"});
    ASSERT_TRUE(kept.ok()) << kept.error();
    ASSERT_TRUE(kept.value().Write("whole", 5).ok());
    const std::time_t when = 1752745103; // 2025-07-17 09:38:23 UTC
    ASSERT_TRUE(kept.value().Commit(when).ok());
    EXPECT_EQ(FileNamesIn(scratch.Path("out/Forms")), std::vector<std::string>{"frmMain.frm"});
    EXPECT_EQ(ReadFile(scratch.Path("out/Forms/frmMain.frm")), "whole");
    Result<RegularFile> written = RegularFile::Open(scratch.Path("out/Forms/frmMain.frm"));
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written->OpenedState().ModificationTime(), when);
    // the replacing of a whole folder at once
    scratch.Write("staging/a.bas", "new");
    scratch.Write("target/a.bas", "old");
    ASSERT_TRUE(ExchangeFolders(scratch.Path("staging"), scratch.Path("target")).ok());
    EXPECT_EQ(ReadFile(scratch.Path("target/a.bas")) + ReadFile(scratch.Path("staging/a.bas")), "newold");
}

} // namespace
} // namespace corvane::testing
