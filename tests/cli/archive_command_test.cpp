// corvane-cli archive in-process: exit codes, output shapes, groups, passwords, settings, and Ctrl-C for real
#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "cli_run_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr const char* kZipName = "Billing 2.1.0.20250717095823.zip";

TEST_F(CommandTest, ArgumentErrorsExitTwoAndWriteNothing) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        // "<vbp>": the sample project
        {{}, "No project or group file given."},
        {{"<vbp>", "<vbp>"}, "Give exactly one"},
        {{"notes.txt"}, "is not a .vbp, .vbpgroup or .vbg file"},
        {{"<vbp>", "--fast"}, "Unknown option: --fast"},
        {{"<vbp>", "--dest"}, "--dest needs a folder."},
        {{"<vbp>", "--password-env", "NOPE"}, "NOPE is not set"},
        {{"<vbp>", "--password-env", "PW", "--password-file", "f"}, "one password option"},
        {{"<vbp>", "--password-file", "/nonexistent/pw"}, "pw"},
        {{"/nonexistent/Suite.vbpgroup"}, "Suite.vbpgroup"}};
    for (auto [args, inErr] : cases) {
        std::ranges::replace(args, std::string("<vbp>"), m_project.path);
        const CliRun run = Archive(args);
        EXPECT_EQ(run.code, kUsageExit) << inErr;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(inErr), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(m_project.folder + "/Sources.Backup"));
    EXPECT_FALSE(fs::exists(m_context.settings.localMachineFile)); // nothing remembered
}

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
    EXPECT_TRUE(FileNamesIn(m_project.folder + "/Sources.Backup").empty());
}

// The real program, interrupted while it compresses a large file: it must exit 130 and leave nothing.
TEST_F(CommandTest, CtrlCInTheRealProgramLeavesNothing) {
    WriteFile(m_scratch.Path("big/Big.res"), RandomBytes(48 << 20, 11));
    const std::string project =
        m_scratch.Write("big/Big.vbp", CrLf({"ResFile32=\"Big.res\"", "Name=\"Big\""}));
    fs::create_directories(m_scratch.Path("home"));
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("CORVANE_HOME", m_scratch.Path("home").c_str(), 1);
        ::execl(CORVANE_CLI_PATH, CORVANE_CLI_PATH, "archive", project.c_str(), "--dest",
                m_scratch.Path("out").c_str(), nullptr);
        ::_exit(127);
    }
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
