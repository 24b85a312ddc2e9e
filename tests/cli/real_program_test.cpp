// corvane-cli as a user runs it, a process of its own: backups never replace one another, inputs that are
// no files (pipes, devices, files rewritten while they are read) end the run at once with a message that
// names them, Ctrl-C and the terminal's password prompt for real
#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/zip/stored_entries.h"
#include "support/vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

struct ProgramRun {
    int code = -1; // -1: it had to be killed
    std::string out, err;
    std::chrono::milliseconds took{0};
};

using Variables = std::vector<std::pair<std::string, std::string>>;
struct Started {
    pid_t child;
    std::string name; // of its output files
    std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now();
};

// Starts the program with its settings in "home", its output in `name`.out and .err, and, given a
// `terminal`, that terminal as its own: otherwise it has none, as under cron, and nothing may wait for a
// person to type.
Started Start(const std::vector<std::string>& args, const ScratchFolder& scratch, const std::string& name,
              const Variables& variables = {}, const std::string& terminal = "") {
    const std::string out = scratch.Path(name + ".out"), err = scratch.Path(name + ".err");
    fs::create_directories(scratch.Path("home"));
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        if (!terminal.empty())
            ::dup2(::open(terminal.c_str(), O_RDWR), 0); // a session leader's first terminal becomes its own
        ::setenv("CORVANE_HOME", scratch.Path("home").c_str(), 1);
        ::setenv("HOME", scratch.Path("home").c_str(), 1); // no Wine drives but the test's own
        for (const auto& [variable, value] : variables)
            ::setenv(variable.c_str(), value.c_str(), 1);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(CORVANE_CLI_PATH)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(CORVANE_CLI_PATH, argv.data());
        ::_exit(127);
    }
    return {child, name};
}

// Kills the program ten seconds after its start, so that a hang fails the test instead of stopping the suite.
ProgramRun Finish(const Started& started, const ScratchFolder& scratch) {
    ProgramRun run;
    int status = 0;
    while (::waitpid(started.child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - started.at > std::chrono::seconds(10)) {
            ::kill(started.child, SIGKILL);
            ::waitpid(started.child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started.at);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(scratch.Path(started.name + ".out"));
    run.err = ReadFile(scratch.Path(started.name + ".err"));
    return run;
}

ProgramRun RunProgram(const std::vector<std::string>& args, const ScratchFolder& scratch,
                      const Variables& variables = {}) {
    return Finish(Start(args, scratch, "run", variables), scratch);
}

std::string SmallProject(const ScratchFolder& scratch, const std::string& folder, const std::string& name) {
    scratch.Write(folder + "/m.bas", "Attribute VB_Name = \"m\"\r\n");
    return scratch.Write(folder + "/" + name + ".vbp",
                         "Type=Exe\r\nModule=m; m.bas\r\nName=\"" + name + "\"\r\n");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Runs side by side in the same second: each keeps its own archive and prints the name it wrote.
TEST(RealProgram, BackupsInTheSameSecondAreAllKept) {
    ScratchFolder scratch;
    const std::string project = SmallProject(scratch, "p", "P"), out = scratch.Path("out");
    std::vector<Started> runs;
    for (const char* name : {"a", "b", "c"})
        runs.push_back(Start({"archive", project, "--dest", out}, scratch, name));
    std::set<std::string> printed;
    for (const Started& started : runs) {
        const ProgramRun run = Finish(started, scratch);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_TRUE(fs::is_regular_file(Lines(run.out).at(0))) << run.out;
        printed.insert(run.out);
    }
    EXPECT_EQ(printed.size(), 3u) << "two runs printed one name";
    EXPECT_EQ(FileNamesIn(out).size(), 3u);
}

// The code page is decided before any command runs: an unknown one ends every command with exit 2 and the
// list of the accepted ones, touching nothing; a known one names the archive from the project's bytes.
TEST(RealProgram, TheCodePageIsChosenBeforeAnyCommand) {
    ScratchFolder scratch;
    scratch.Write("p/m.bas", "Attribute VB_Name = \"m\"\r\n");
    const std::string project =
        scratch.Write("p/P.vbp", "Type=Exe\r\nModule=m; m.bas\r\nName=\"\xD3\xF7\xB8\xF2\"\r\n"); // "Учёт"
    const std::vector<std::string> archive = {"archive", project, "--dest", scratch.Path("out")};
    for (const auto& args : {archive, std::vector<std::string>{"info", project}}) {
        const ProgramRun run = RunProgram(args, scratch, {{"CORVANE_ANSI_CODEPAGE", "koi8-r"}});
        EXPECT_EQ(run.code, 2) << args[0];
        EXPECT_NE(run.err.find("\"koi8-r\" is not a code page"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("1250, 1251, 1252"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_FALSE(fs::exists(scratch.Path("out")));
    const ProgramRun run = RunProgram(archive, scratch, {{"CORVANE_ANSI_CODEPAGE", "windows-1251"}});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(FileNamesIn(scratch.Path("out")).size(), 1u);
    EXPECT_EQ(FileNamesIn(scratch.Path("out")).at(0).rfind("\xD0\xA3\xD1\x87\xD1\x91\xD1\x82 0.0.0.", 0), 0u);
}

// Whatever stands where a file belongs, the run ends within two seconds, exit 1 or 2, naming it and
// what it is. "check" lists every file a backup would miss, with project, line and reason, for a project
// or each project of a group, and says 0 only when nothing is missing.
TEST(RealProgram, WhatIsNotAFileEndsTheRunAtOnceAndCheckListsIt) {
    ScratchFolder scratch;
    const std::string pipe = scratch.Path("pipe.vbp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string good = SmallProject(scratch, "good", "Good");
    const std::string group =
        scratch.Write("S.vbpgroup", "S\r\n" + good + "\r\n[PATH]" + scratch.Path("g/") + "\r\n" + pipe + "\r\n");
    fs::create_directories(scratch.Path("bad/Forms"));
    ASSERT_EQ(::mkfifo(scratch.Path("bad/pipe.bas").c_str(), 0600), 0);
    const std::string bad = scratch.Write(
        "bad/Bad.vbp", "Type=Exe\r\nModule=b; pipe.bas\r\nModule=a; gone.bas\r\nModule=c; Q:\\x.bas\r\n"
                       "Form=Forms\r\nName=\"Bad\"\r\n");
    fs::create_symlink("/dev/zero", scratch.Path("zero.vbp"));
    const struct {
        std::vector<std::string> args;
        std::string names, says;
    } cases[] = {
        {{"info", pipe}, pipe, "named pipe"},
        {{"archive", pipe}, pipe, "named pipe"},
        {{"archive", group, "--dest", scratch.Path("g")}, pipe, "named pipe"},
        {{"archive", bad}, scratch.Path("bad/pipe.bas"), "named pipe"},
        {{"archive", scratch.Path("zero.vbp")}, scratch.Path("zero.vbp"), "device"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.args, scratch);
        EXPECT_TRUE(run.code == 1 || run.code == 2) << run.code << " " << c.args[1];
        EXPECT_LT(run.took, std::chrono::seconds(2)) << c.args[1];
        EXPECT_NE(run.err.find(c.names), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }

    EXPECT_EQ(RunProgram({"check", good}, scratch).code, 0);
    const ProgramRun run = RunProgram({"check", bad}, scratch);
    EXPECT_EQ(run.code, 1);
    EXPECT_LT(run.took, std::chrono::seconds(2));
    EXPECT_EQ(run.out, bad + ":2: pipe.bas (" + scratch.Path("bad/pipe.bas") + "): it is a named pipe, not a file\n" +
                           bad + ":3: gone.bas (" + scratch.Path("bad/gone.bas") + "): no such file or folder\n" +
                           bad + ":4: Q:\\x.bas: no folder of this machine stands for its drive or share\n" + bad +
                           ":5: Forms (" + scratch.Path("bad/Forms") + "): it is a folder, not a file\n"
                           "4 files are missing or unreadable.\n");
    const std::string gone =
        scratch.Write("G.vbpgroup", "G\r\n" + good + "\r\n" + scratch.Path("gone/Gone.vbp") + "\r\n");
    const ProgramRun grouped = RunProgram({"check", gone, "--json"}, scratch);
    EXPECT_EQ(grouped.code, 1);
    EXPECT_NE(grouped.out.find("\"error\":null,\"missing\":[]}"), std::string::npos) << grouped.out;
    EXPECT_NE(grouped.out.find("Cannot read the file " + scratch.Path("gone/Gone.vbp")), std::string::npos);
    EXPECT_TRUE(grouped.out.ends_with("\"missing\":1}\n")) << grouped.out;
}

// Group files as Windows machines wrote them, run with a drive map: every project is archived where the
// group says; with one drive that nothing maps, the run fails naming the line, and makes no folder at all.
TEST(RealProgram, GroupFilesWithWindowsPathsRunThroughTheDriveMap) {
    ScratchFolder scratch;
    SmallProject(scratch, "c/Dev/Billing", "Billing");
    SmallProject(scratch, "srv/Lib", "Lib");
    const Variables drives = {{"CORVANE_DRIVE_MAP", "C=" + scratch.Path("c") + ";\\\\SRV\\vb=" + scratch.Path("srv")}};
    const std::string group = scratch.Write(
        "Suite.vbpgroup", "Suite\r\nc:\\dev\\BILLING\\Billing.vbp\r\n[PATH]C:\\Dev\\bk\\\r\n\\\\srv\\vb\\lib\\LIB.VBP\r\n");
    const ProgramRun run = RunProgram({"archive", group}, scratch, drives);
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> archives = Lines(run.out);
    ASSERT_EQ(archives.size(), 2u) << run.out;
    for (const std::string& archive : archives) {
        EXPECT_TRUE(archive.starts_with(scratch.Path("c/Dev/bk/Suite/"))) << archive;
        EXPECT_TRUE(fs::is_regular_file(archive)) << archive;
    }
    const std::string broken = scratch.Write(
        "Broken.vbpgroup", "Broken\r\nC:\\Dev\\Billing\\Billing.vbp\r\n[PATH]Q:\\bk\\\r\n");
    const auto state = [&] { // but the run's own output
        auto all = Snapshot(scratch.Path());
        std::erase_if(all, [](const auto& item) { return item.first.starts_with("run."); });
        return all;
    };
    const auto before = state();
    const ProgramRun refused = RunProgram({"archive", broken}, scratch, drives);
    EXPECT_EQ(refused.code, 1) << refused.err;
    EXPECT_NE(refused.err.find(broken + ", line 3, names \"Q:\\bk\\\""), std::string::npos) << refused.err;
    EXPECT_EQ(state(), before);
}

// "info" and "archive" agree on every companion: the file info finds is the one stored, beside the entry
// of the file that names it, a "." in a folder's name and names in another case included.
TEST(RealProgram, InfoAndArchiveAgreeOnCompanions) {
    ScratchFolder scratch;
    const std::map<std::string, std::string> files = {
        {"p/Forms.v2/frmMain", "main"}, {"p/Forms.frx", "dotted"},     {"p/Forms/frmA.frm", "a"},
        {"p/Forms/FRMA.frx", "a-bin"},  {"Ctl/uc.ctl", "uc"},          {"Ctl/UC.CTX", "uc-bin"},
        {"p/pp.pag", "pp"}};
    for (const auto& [path, bytes] : files)
        scratch.Write(path, bytes);
    const std::string project =
        scratch.Write("p/P.vbp", "Type=Exe\r\nForm=Forms.v2\\frmMain\r\nForm=forms\\FRMA.FRM\r\n"
                                 "UserControl=..\\Ctl\\uc.ctl\r\nPropertyPage=pp.pag\r\nName=\"P\"\r\n");
    const ProgramRun info = RunProgram({"info", project, "--json"}, scratch);
    ASSERT_EQ(info.code, 0) << info.err;
    // each reference's archive path, then its companion as info found it
    const std::regex companion(R"re("archive_path":"([^"]*)".*?"companion":\{"reference":"([^"]*)","disk_path":"([^"]*)","exists":true)re");
    std::map<std::string, std::string> expected; // entry -> bytes
    for (auto it = std::sregex_iterator(info.out.begin(), info.out.end(), companion); it != std::sregex_iterator();
         ++it) {
        const auto unescape = [](std::string text) {
            return std::regex_replace(text, std::regex(R"(\\\\)"), "/");
        };
        const std::string owner = unescape((*it)[1]), reference = unescape((*it)[2]);
        const std::string folder = owner.find('/') == std::string::npos ? "" : owner.substr(0, owner.rfind('/') + 1);
        expected[folder + reference.substr(reference.rfind('/') + 1)] = ReadFile((*it)[3].str());
    }
    EXPECT_EQ(expected, (std::map<std::string, std::string>{{"Forms.v2/Forms.frx", "dotted"},
                                                            {"forms/FRMA.frx", "a-bin"},
                                                            {"FileNotInRootPath/--/Ctl/uc.ctx", "uc-bin"}}))
        << info.out;
    const ProgramRun archived = RunProgram({"archive", project, "--dest", scratch.Path("out")}, scratch);
    ASSERT_EQ(archived.code, 0) << archived.err;
    const std::string archive = Lines(archived.out).at(0);
    for (const auto& [entry, bytes] : expected)
        EXPECT_EQ(Shell("unzip -p " + Quoted(archive) + " " + Quoted(entry)).output, bytes) << entry;
    const auto listed = Shell("unzip -Z1 " + Quoted(archive)).output;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 8) << listed; // 4 files, 3 companions, the project
}

// "--keep 2" removes the older backups of the project and of nothing else: other projects' archives,
// other zip files and a name only like ours stay; for a group, its older run folders go.
TEST(RealProgram, KeepRemovesOnlyTheOlderBackupsOfTheSameProject) {
    ScratchFolder scratch;
    const std::string project = SmallProject(scratch, "p", "Billing"), out = scratch.Path("out/");
    const std::vector<std::string> older = {"Billing 1.0.0.20240101000000.zip", "Billing 2.1.0.20250101000000.zip",
                                            "Billing 2.1.0.20250101000000 (2).zip",
                                            "Billing 2.1.0.20260101000000.zip"};
    const std::vector<std::string> others = {"Billing 2.1.0.2026.zip", "Billing Old 1.0.0.20200101000000.zip",
                                             "Billings 1.0.0.20200101000000.zip", "notes.zip", "Billing.zip"};
    for (const std::string& name : older)
        scratch.Write("out/" + name, "old");
    for (const std::string& name : others)
        scratch.Write("out/" + name, "other");
    const ProgramRun run = RunProgram({"archive", project, "--dest", out, "--keep", "2", "--json"}, scratch);
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> left = FileNamesIn(out);
    for (const std::string& name : others)
        EXPECT_NE(std::find(left.begin(), left.end(), name), left.end()) << name;
    EXPECT_EQ(left.size(), others.size() + 2) << run.out;
    EXPECT_NE(std::find(left.begin(), left.end(), "Billing 2.1.0.20260101000000.zip"), left.end());
    for (std::size_t i = 0; i < 3; ++i) // the new one and the newest old one stay
        EXPECT_NE(run.out.find("\"" + out + older[i] + "\""), std::string::npos) << run.out;
    EXPECT_EQ(RunProgram({"archive", project, "--keep", "0"}, scratch).code, 2);

    // a group's older runs go with their archives; a run folder holding something else stays
    const std::string group = scratch.Write("G.vbpgroup", "G\r\n" + project + "\r\n[PATH]" + scratch.Path("gout/") + "\r\n");
    scratch.Write("gout/G/20240101000000/Billing 0.0.0.20240101000000.zip", "old");
    scratch.Write("gout/G/20240202000000/Billing 0.0.0.20240202000000.zip", "old");
    scratch.Write("gout/G/20240202000000/keep-me.txt", "mine");
    const ProgramRun grouped = RunProgram({"archive", group, "--keep", "1"}, scratch);
    ASSERT_EQ(grouped.code, 0) << grouped.err;
    EXPECT_FALSE(fs::exists(scratch.Path("gout/G/20240101000000")));
    EXPECT_EQ(FileNamesIn(scratch.Path("gout/G/20240202000000")), std::vector<std::string>{"keep-me.txt"});
    EXPECT_EQ(FileNamesIn(scratch.Path("gout/G")).size(), 2u); // the new run and the folder kept for its file
}

// A file written to all through the run is refused by name, or stored as one whole version of it.
TEST(RealProgram, AFileRewrittenDuringTheRunIsRefusedOrStoredWhole) {
    ScratchFolder scratch;
    const std::string project = SmallProject(scratch, "p", "P"), module = scratch.Path("p/m.bas");
    WriteFile(module, RandomBytes(8 << 20, 5)); // long enough to be read while it grows
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            std::ofstream(module, std::ios::app) << "' line " << i << "\r\n";
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const ProgramRun run = RunProgram({"archive", project, "--dest", scratch.Path("out")}, scratch);
    stop = true;
    writer.join();
    if (run.code == 0) {
        const auto unzipped = Shell("unzip -p " + Quoted(Lines(run.out).at(0)) + " m.bas");
        EXPECT_TRUE(ReadFile(module).starts_with(unzipped.output)) << "stored bytes of no version";
    } else {
        EXPECT_EQ(run.code, 1);
        EXPECT_NE(run.err.find(module + "\" changed while it was being archived; try again"), std::string::npos)
            << run.err;
    }
}

// A scheduled run writes a backup only when something changed (what counts as a change is the core's), and
// says so in text and in JSON; a run with no terminal cannot ask for a password, and says what to pass.
TEST(RealProgram, IfChangedWritesOnlyWhatChanged) {
    ScratchFolder scratch;
    const std::string project = SmallProject(scratch, "p", "P"), out = scratch.Path("out");
    const Variables password = {{"PW", "secret"}};
    // "--opt=value" and "--" as any program takes them
    const std::vector<std::string> args = {"archive", "--if-changed", "--dest=" + out, "--", project};
    const ProgramRun first = RunProgram(args, scratch);
    ASSERT_EQ(first.code, 0) << first.err;
    const ProgramRun second = RunProgram(args, scratch);
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "unchanged since " + Lines(first.out).at(0) + "\n");
    std::vector<std::string> encrypted = args;
    encrypted.insert(encrypted.begin() + 1, {"--password-env", "PW", "--json"});
    const ProgramRun withPassword = RunProgram(encrypted, scratch, password);
    EXPECT_EQ(withPassword.code, 0) << withPassword.err;
    EXPECT_TRUE(withPassword.out.ends_with("\"unchanged\":[]}\n")) << withPassword.out;
    ASSERT_EQ(FileNamesIn(out).size(), 2u) << "the password state differs: written";
    const ProgramRun again = RunProgram(encrypted, scratch, password);
    EXPECT_NE(again.out.find("\"archives\":[],"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("\"unchanged\":[\"" + out + "/"), std::string::npos) << again.out;

    const ProgramRun unasked = RunProgram({"archive", project, "--dest", scratch.Path("none"), "--password-prompt"}, scratch);
    EXPECT_EQ(unasked.code, 2);
    EXPECT_NE(unasked.err.find("no terminal to ask for the password on"), std::string::npos) << unasked.err;
    EXPECT_FALSE(fs::exists(scratch.Path("none")));
}

// The scheduled-backup lines the README shows run as shown against the example project, the program
// and the folders being this build's.
TEST(RealProgram, TheReadmesScheduledCommandsRun) {
    ScratchFolder scratch;
    const std::string readme = ReadFile(CORVANE_README);
    const std::string begin = "<!-- scheduled-commands -->", end = "<!-- /scheduled-commands -->";
    const std::size_t from = readme.find(begin), to = readme.find(end);
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos && from < to);
    const std::regex command(R"(corvane-cli (archive [^\n`]*))");
    const std::string section = readme.substr(from, to - from);
    int ran = 0;
    fs::copy(CORVANE_EXAMPLES, scratch.Path("examples"), fs::copy_options::recursive);
    const std::string group =
        scratch.Write("Billing.vbpgroup", "Billing\r\n" + scratch.Path("examples/Billing/Billing.vbp") + "\r\n[PATH]" +
                                               scratch.Path("backups/") + "\r\n");
    for (std::sregex_iterator it(section.begin(), section.end(), command), stop; it != stop; ++it, ++ran) {
        std::string line = (*it)[1].str();
        line = std::regex_replace(line, std::regex(R"(%h/Projects/Billing\.vbpgroup|~/Projects/Billing\.vbpgroup)"), group);
        std::vector<std::string> words;
        std::istringstream split(line);
        for (std::string word; split >> word;)
            words.push_back(word);
        const ProgramRun first = RunProgram(words, scratch);
        EXPECT_EQ(first.code, 0) << line << "\n" << first.err;
        const ProgramRun second = RunProgram(words, scratch);
        EXPECT_EQ(second.code, 0) << line << "\n" << second.err;
        EXPECT_NE(second.out.find("unchanged since " + scratch.Path("backups/Billing/")), std::string::npos)
            << line << "\n" << second.out;
    }
    EXPECT_GE(ran, 2) << "the service and the crontab line";
}

// Interrupted while it compresses a large file, the program exits 130 (not by the signal) and leaves nothing.
TEST(RealProgram, CtrlCLeavesNothing) {
    ScratchFolder scratch;
    scratch.Write("big/Big.res", RandomBytes(48 << 20, 11));
    const std::string project = scratch.Write("big/Big.vbp", "ResFile32=\"Big.res\"\r\nName=\"Big\"\r\n");
    const std::string out = scratch.Path("out");
    const Started started = Start({"archive", project, "--dest", out}, scratch, "run");
    // wait until the write has begun: its temporary file appears beside the archive
    for (int i = 0; i < 400 && (!fs::exists(out) || fs::is_empty(out)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(started.child, SIGINT);
    EXPECT_EQ(Finish(started, scratch).code, 130);
    EXPECT_TRUE(fs::is_empty(out));
}

// A backup listed, tested, unpacked where asked, and an existing folder never replaced unless --overwrite
// says so; an archive named in another letter case is not taken for the one given.
TEST(RealProgram, ListTestAndUnzip) {
    ScratchFolder scratch;
    const BillingProject project(scratch);
    const std::string out = scratch.Path("out");
    const auto cli = [&](const std::vector<std::string>& args) {
        return RunProgram(args, scratch, {{"CORVANE_DRIVE_MAP", "D=" + project.driveD}});
    };
    const ProgramRun archived = cli({"archive", project.path, "--dest", out});
    ASSERT_EQ(archived.code, 0) << archived.err;
    const std::string path = Lines(archived.out).at(0);
    // the real clock names it
    const std::string projectFile = FileNameOfPath(path).substr(0, FileNameOfPath(path).size() - 4) + ".vbp";
    const ProgramRun listed = cli({"list", path});
    EXPECT_EQ(listed.code, 0) << listed.err;
    EXPECT_TRUE(listed.out.starts_with("Project: Billing 2.1.0\n")) << listed.out;
    EXPECT_NE(listed.out.find(" " + projectFile + "\n"), std::string::npos) << listed.out;
    const ProgramRun json = cli({"list", "--json", path});
    EXPECT_TRUE(json.out.starts_with("{\"archive\":\"" + path +
                                     "\",\"project\":{\"name\":\"Billing\",\"version\":\"2.1.0\"},\"entries\":[{\"name\":"))
        << json.out;
    const ProgramRun tested = cli({"test", path});
    EXPECT_EQ(tested.code, 0) << tested.err;
    EXPECT_TRUE(tested.out.ends_with(" entries OK\n")) << tested.out;
    std::string damaged = ReadFile(path);
    damaged[damaged.find("PK\3\4", 4) - 5] ^= 0x55; // inside the first entry's data
    EXPECT_EQ(cli({"test", WriteFile(out + "/damaged.zip", damaged)}).code, 1);

    const std::string to = scratch.Path("elsewhere/restored");
    const ProgramRun unzipped = cli({"unzip", path, "--to", to});
    EXPECT_EQ(unzipped.code, 0) << unzipped.err;
    EXPECT_EQ(unzipped.out, to + "\n");
    EXPECT_EQ(ReadFile(to + "/" + projectFile).size(), BillingProject::Rewritten().size());
    WriteFile(to + "/edited.bas", "my edits");
    const ProgramRun again = cli({"unzip", path, "--to", to});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("already holds files. Pass --overwrite"), std::string::npos) << again.err;
    EXPECT_EQ(ReadFile(to + "/edited.bas"), "my edits");
    EXPECT_EQ(cli({"unzip", path, "--to", to, "--overwrite"}).code, 0);
    EXPECT_FALSE(fs::exists(to + "/edited.bas"));

    fs::copy_file(path, out + "/B.zip");
    MakeArchive(out + "/B.ZIP", {{"upper.txt", "from B.ZIP"}});
    EXPECT_EQ(cli({"unzip", out + "/B.ZIP"}).code, 0);
    EXPECT_EQ(ReadFile(out + "/B/upper.txt"), "from B.ZIP");
}

// What a terminal shows until `marker` appears (or 5 s pass, or the program closes it).
std::string ReadScreenUntil(int master, const std::string& marker) {
    std::string screen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (screen.find(marker) == std::string::npos && std::chrono::steady_clock::now() < until) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        char block[256];
        const ssize_t read = ::read(master, block, sizeof block);
        if (read <= 0)
            break;
        screen.append(block, static_cast<std::size_t>(read));
    }
    return screen;
}

// At a terminal the password is asked without being shown, and twice to encrypt: typed the same, the
// archive is encrypted with it; typed differently, nothing is written.
TEST(RealProgram, APromptedPasswordIsUnseenAndAskedTwiceAtATerminal) {
    ScratchFolder scratch;
    const std::string project = SmallProject(scratch, "p", "P");
    // "\x03": Ctrl-C instead of the second answer, which must leave the terminal echoing again
    for (const auto& [again, code] :
         {std::pair<std::string, int>{"sesame", 0}, {"sesane", 2}, {"\x03", -1}}) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        const std::string terminal = ::ptsname(master), out = scratch.Path("out-" + std::to_string(code));
        // held open here too, so that the screen reads nothing but waits while the program has not
        // opened its terminal yet
        const int held = ::open(terminal.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(held, 0);
        const Started started =
            Start({"archive", project, "--dest", out, "--password-prompt"}, scratch, "pty", {}, terminal);
        std::string screen = ReadScreenUntil(master, "Password: ");
        ASSERT_EQ(::write(master, "sesame\n", 7), 7);
        screen += ReadScreenUntil(master, "again: ");
        const std::string answer = again == "\x03" ? again : again + "\n";
        ASSERT_EQ(::write(master, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
        const ProgramRun run = Finish(started, scratch);
        termios settings{};
        ASSERT_EQ(::tcgetattr(held, &settings), 0);
        EXPECT_TRUE(settings.c_lflag & ECHO) << "the terminal was left without echo";
        ::close(held);
        screen += ReadScreenUntil(master, "\x04"); // whatever is left, until the terminal is closed
        ::close(master);
        EXPECT_EQ(run.code, code) << run.err;
        EXPECT_NE(screen.find("Password: "), std::string::npos) << screen;
        EXPECT_EQ(screen.find("sesa"), std::string::npos) << "the password was shown: " << screen;
        EXPECT_TRUE(code != 2 || run.err.find("The two passwords typed differ") != std::string::npos) << run.err;
        if (code != 0) {
            EXPECT_FALSE(fs::exists(out));
            continue;
        }
        const Result<std::vector<StoredEntry>> entries = ReadStoredEntries(Lines(run.out).at(0), "sesame");
        ASSERT_TRUE(entries.ok()) << entries.error();
        for (const StoredEntry& entry : *entries)
            EXPECT_TRUE(entry.encrypted) << entry.name;
    }
}

} // namespace
} // namespace corvane
