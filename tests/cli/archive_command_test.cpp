// corvane-cli archive in-process: exit codes, output shapes, groups, passwords, settings, and Ctrl-C for real
#include <csignal>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

#include "cli_run_support.h"

extern char** environ;

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr const char* kZipName = "Billing 2.1.0.20250717095823.zip";

struct UsageCase {
    const char* label;
    std::vector<std::string> args; // "<vbp>" stands for the sample project
    const char* inErr;
};

class ArchiveUsageTest : public CommandTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ArchiveUsageTest, RefusedWithExitTwoAndNothingWritten) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg == "<vbp>")
            arg = m_project.path;
    const CliRun run = Archive(args);
    EXPECT_EQ(run.code, kUsageExit);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().inErr), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(m_project.folder + "/Sources.Backup"));
    EXPECT_FALSE(fs::exists(m_context.settings.localMachineFile)); // nothing remembered
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ArchiveUsageTest,
    ::testing::Values(UsageCase{"NoPath", {}, "No project or group file given."},
                      UsageCase{"TwoPaths", {"<vbp>", "<vbp>"}, "Give exactly one"},
                      UsageCase{"NotAProject", {"notes.txt"}, "is not a .vbp, .vbpgroup or .vbg file"},
                      UsageCase{"UnknownOption", {"<vbp>", "--fast"}, "Unknown option: --fast"},
                      UsageCase{"DestWithoutValue", {"<vbp>", "--dest"}, "--dest needs a folder."},
                      UsageCase{"UnsetVariable", {"<vbp>", "--password-env", "NOPE"}, "NOPE is not set"},
                      UsageCase{"TwoPasswordOptions",
                                {"<vbp>", "--password-env", "PW", "--password-file", "f"},
                                "one password option"},
                      UsageCase{"MissingPasswordFile", {"<vbp>", "--password-file", "/nonexistent/pw"}, "pw"},
                      UsageCase{"MissingProject", {"/nonexistent/Gone.vbp"}, "Gone.vbp"},
                      UsageCase{"MissingGroup", {"/nonexistent/Suite.vbpgroup"}, "Suite.vbpgroup"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(CommandTest, JsonIsOneObjectWithArchivesAndWarnings) {
    m_scratch.Write("blocker", "x");
    m_context.settings.localMachineFile = m_scratch.Path("blocker/machine.settings");
    const CliRun run = Archive({m_project.path, "--dest", m_scratch.Path("out"), "--json", "--no-verify"});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::string prefix = "{\"archives\":[\"" + m_scratch.Path("out/") + kZipName +
                               "\"],\"warnings\":[\"The last backup folder could not be remembered: ";
    EXPECT_EQ(run.out.rfind(prefix, 0), 0u) << run.out;
    EXPECT_EQ(run.out.substr(run.out.size() - 4), "\"]}\n");
    EXPECT_NE(run.err.find("warning: The last backup folder could not be remembered"), std::string::npos);
}

TEST_F(CommandTest, FailingProjectExitsOneNamingItsLineAndReason) {
    m_context.environment.driveMap = DriveMap(); // D: no longer reachable
    const CliRun run = Archive({m_project.path, "--json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "{\"archives\":[],\"warnings\":[]}\n");
    EXPECT_NE(run.err.find("Line : Module=modTools; D:\\Lib\\modTools.bas\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("CORVANE_DRIVE_MAP"), std::string::npos) << run.err;
    EXPECT_TRUE(FileNamesIn(m_project.folder + "/Sources.Backup").empty());
}

// The real program, interrupted while it compresses a large file: it must exit 130 and leave nothing.
TEST_F(CommandTest, CtrlCInTheRealProgramLeavesNothing) {
    WriteFile(m_scratch.Path("big/Big.res"), RandomBytes(48 << 20, 11));
    const std::string project =
        m_scratch.Write("big/Big.vbp", CrLf({"ResFile32=\"Big.res\"", "Name=\"Big\""}));
    const std::string home = "CORVANE_HOME=" + m_scratch.Path("home");
    fs::create_directories(m_scratch.Path("home"));
    std::vector<char*> environment = {const_cast<char*>(home.c_str())};
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment.push_back(*variable);
    environment.push_back(nullptr);
    std::string words[] = {CORVANE_CLI_PATH, "archive", project, "--dest", m_scratch.Path("out")};
    std::vector<char*> argv = {words[0].data(), words[1].data(), words[2].data(),
                               words[3].data(), words[4].data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, CORVANE_CLI_PATH, nullptr, nullptr, argv.data(), environment.data()), 0);
    // wait until the write has begun: its temporary file appears beside the archive
    for (int i = 0;
         i < 400 && (!fs::exists(m_scratch.Path("out")) || FileNamesIn(m_scratch.Path("out")).empty()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of cancelling";
    EXPECT_EQ(WEXITSTATUS(status), kCancelledExit);
    EXPECT_TRUE(FileNamesIn(m_scratch.Path("out")).empty());
}

} // namespace
} // namespace corvane
