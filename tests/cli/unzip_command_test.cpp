// corvane-cli unzip in-process: the folder beside the archive, passwords, hostile archives, exit codes
#include "cli_run_support.h"
#include "core/paths.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class UnzipCommandTest : public CommandTest {
protected:
    std::string Archived(const std::string& password = "") {
        std::vector<std::string> args = {m_project.path, "--dest", m_scratch.Path("backups")};
        if (!password.empty()) {
            m_variables["PW"] = password;
            args.insert(args.end(), {"--password-env", "PW"});
        }
        const CliRun run = Archive(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return run.out.substr(0, run.out.size() - 1);
    }
};

// A bare name is looked for in the last backup folder, which the archive command remembered.
TEST_F(UnzipCommandTest, RoundTripByBareNameGivesTheProjectBackBesideTheArchive) {
    const std::string archive = Archived();
    const CliRun run = Unzip({FileNameOfPath(archive)});
    const std::string folder = archive.substr(0, archive.size() - 4);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, folder + "\n");
    EXPECT_EQ(ReadFile(folder + "/FileNotInRootPath/Disk_D_/Lib/modTools.bas"),
              ReadFile(m_project.driveD + "/Lib/modTools.bas"));
    EXPECT_EQ(ReadFile(folder + "/Billing 2.1.0.20250717095823.vbp"), BillingProject::Rewritten());
}

struct PasswordCase {
    const char* label;
    std::vector<std::string> args; // after the archive
    int code;
    const char* inErr;
};

class UnzipPasswordTest : public UnzipCommandTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(UnzipPasswordTest, EncryptedArchive) {
    const std::string archive = Archived("right one");
    m_variables["WRONG"] = "wrong";
    m_scratch.Write("pw", "right one\n");
    std::vector<std::string> args = {archive};
    for (const std::string& arg : GetParam().args)
        args.push_back(arg == "<file>" ? m_scratch.Path("pw") : arg);
    const CliRun run = Unzip(args);
    EXPECT_EQ(run.code, GetParam().code) << run.err;
    EXPECT_NE(run.err.find(GetParam().inErr), std::string::npos) << run.err;
    const std::string folder = archive.substr(0, archive.size() - 4);
    EXPECT_EQ(fs::exists(folder + "/frmMain.frm"), GetParam().code == 0);
}

INSTANTIATE_TEST_SUITE_P(Passwords, UnzipPasswordTest,
                         ::testing::Values(PasswordCase{"Missing",
                                                        {},
                                                        kUsageExit,
                                                        "pass --password-env VAR or --password-file FILE"},
                                           PasswordCase{"Wrong", {"--password-env", "WRONG"}, 1, ""},
                                           PasswordCase{"FromVariable", {"--password-env", "PW"}, 0, ""},
                                           PasswordCase{"FromFile", {"--password-file", "<file>"}, 0, ""}),
                         [](const auto& info) { return std::string(info.param.label); });

struct RefusalCase {
    const char* label;
    std::string name;              // of the archive, which holds two entries unless it is "gone.zip"
    std::vector<std::string> args; // after the archive
    int code;
    const char* inErr;
};

class UnzipRefusalTest : public UnzipCommandTest, public ::testing::WithParamInterface<RefusalCase> {};

// A refused archive creates nothing at all, not even the folder named after it.
TEST_P(UnzipRefusalTest, WritesNothing) {
    const RefusalCase& c = GetParam();
    fs::create_directories(m_scratch.Path("in"));
    std::vector<std::string> args = {m_scratch.Path("in/" + c.name)};
    if (c.name != "gone.zip")
        MakeArchive(args.front(), {RawEntry("a.bas"), RawEntry("b.bas")});
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto before = Snapshot(m_scratch.Path());
    const CliRun run = Unzip(args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.inErr), std::string::npos) << run.err;
    EXPECT_EQ(Snapshot(m_scratch.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, UnzipRefusalTest,
    ::testing::Values(
        RefusalCase{"NotAZipName", "d.rar", {}, kUsageExit, "is not a .zip file"},
        RefusalCase{"NoSuchArchive", "gone.zip", {}, kUsageExit, "does not exist"},
        RefusalCase{"CountWithSuffix", "a.zip", {"--max-entries", "10k"}, kUsageExit, "whole number above 0"},
        RefusalCase{"ZeroSize", "a.zip", {"--max-size", "0"}, kUsageExit, "--max-size needs a whole number"},
        RefusalCase{"RatioBelowOne", "a.zip", {"--max-ratio", "0.5"}, kUsageExit, "at least 1, not \"0.5\""},
        RefusalCase{
            "MissingValue", "a.zip", {"--max-entry-size"}, kUsageExit, "--max-entry-size needs a value"},
        RefusalCase{
            "LoweredEntryCap", "a.zip", {"--max-entries", "1"}, 1, "2 entries, more than the limit of 1"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace corvane
