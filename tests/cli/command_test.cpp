// corvane-cli in-process: the dispatcher's exit codes, the info command's exact output, the archive and
// unzip commands' exit codes, output, passwords and limits, and the hostile archives
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "support/hostile_archives.h"
#include "support/vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

struct CliRun {
    int code = -1;
    std::string out, err;
};
template <class Command, class... Arguments> CliRun Captured(Command command, const Arguments&... arguments) {
    std::ostringstream out, err;
    const int code = command(arguments..., out, err);
    return {code, out.str(), err.str()};
}

class CommandTest : public ::testing::Test {
protected:
    CommandTest() {
        fs::create_directories(m_scratch.Path("settings"));
        m_context.settings = {m_scratch.Path("settings/machine.settings"),
                              m_scratch.Path("settings/user.settings")};
        m_context.environment.driveMap.Set("D", m_project.driveD);
        m_context.env = [this](const std::string& name) {
            return m_variables.contains(name) ? std::optional(m_variables.at(name)) : std::nullopt;
        };
        m_context.clock = BackupMoment;
    }

    CliRun Archive(const std::vector<std::string>& args) { return Captured(RunArchive, args, m_context); }
    CliRun Unzip(const std::vector<std::string>& args) { return Captured(RunUnzip, args, m_context); }

    ScratchFolder m_scratch;
    BillingProject m_project{m_scratch};
    RunContext m_context;
    std::map<std::string, std::string> m_variables;
};

TEST_F(CommandTest, ArgumentErrorsExitTwoAndWriteNothing) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        // "<vbp>": the sample project
        {{}, "PATH is required"},
        {{"<vbp>", "<vbp>"}, "was not expected"},
        {{"notes.txt"}, "is not a .vbp, .vbpgroup or .vbg file"},
        {{"<vbp>", "--fast"}, "was not expected: --fast"},
        {{"<vbp>", "--dest"}, "--dest"},
        {{"<vbp>", "--dest="}, "--dest"},
        {{"<vbp>", "--keep=0"}, "--keep"},
        {{"<vbp>", "--password-env", "NOPE"}, "NOPE is not set"},
        {{"<vbp>", "--password-env", "PW", "--password-file", "f"}, "--password-env excludes --password-file"},
        {{"<vbp>", "--password-file", "/nonexistent/pw"}, "pw"},
        {{"<vbp>", "--password-prompt"}, "no terminal to ask for the password on. Pass --password-env"},
        {{"<vbp>", "--password-prompt", "--password-env", "PW"}, "excludes"},
        {{"/nonexistent/Suite.vbpgroup"}, "Suite.vbpgroup"},
        {{"/nonexistent/All.VBG"}, "Cannot read the file /nonexistent/All.VBG"}};
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

// The archive printed is the one written: a second run in the same second keeps the first backup and names
// its own, in JSON beside the warning of a store that cannot remember the folder. A bare name is looked for
// in the folder the first run remembered.
TEST_F(CommandTest, PrintsTheArchiveItWroteAndUnzipsItByBareName) {
    const std::string folder = m_scratch.Path("out/"), numbered = NumberedFileName(kSceneZipName, 2);
    const CliRun first = Archive({m_project.path, "--dest", folder});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, folder + kSceneZipName + "\n");
    const CliRun unzipped = Unzip({kSceneZipName});
    const std::string unpacked = folder + "Billing 2.1.0.20250717095823";
    EXPECT_EQ(unzipped.code, 0) << unzipped.err;
    EXPECT_EQ(unzipped.out, unpacked + "\n");
    EXPECT_EQ(ReadFile(unpacked + "/Billing 2.1.0.20250717095823.vbp"), BillingProject::Rewritten());

    m_context.settings.localMachineFile = m_scratch.Write("blocker") + "/machine.settings";
    const CliRun second = Archive({m_project.path, "--dest", folder, "--json", "--no-verify"});
    ASSERT_EQ(second.code, 0) << second.err;
    const std::string warning = "The last backup folder could not be remembered: ";
    EXPECT_TRUE(
        second.out.starts_with("{\"archives\":[\"" + folder + numbered + "\"],\"removed\":[],\"warnings\":[\"" +
                               warning))
        << second.out;
    EXPECT_TRUE(second.out.ends_with("\"],\"failures\":[]}\n")) << second.out;
    EXPECT_NE(second.err.find("warning: " + warning), std::string::npos) << second.err;
    fs::remove_all(unpacked);
    EXPECT_EQ(FileNamesIn(folder), (std::vector<std::string>{numbered, kSceneZipName})); // in name order
}

// a group file written on Windows in code page 1252 goes to the folder its accented name and save path
// mean on this machine, not to one named by its raw bytes
TEST_F(CommandTest, GroupFileInTheAnsiCodePageArchivesIntoItsFolder) {
    const std::string group =
        m_scratch.Write("Compta.vbpgroup", "Compta \xE9t\xE9\r\n" + m_project.path + "\r\n[PATH]" +
                                               m_scratch.Path("D\xE9v/\r\n"));
    const CliRun run = Archive({group});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string folder = m_scratch.Path("D\xC3\xA9v/Compta \xC3\xA9t\xC3\xA9/20250717095823/");
    EXPECT_EQ(run.out, folder + kSceneZipName + "\n");
    EXPECT_FALSE(fs::exists(m_scratch.Path("D\xE9v")));
}

TEST_F(CommandTest, FailingProjectExitsOneNamingItsLineAndReason) {
    m_context.environment.driveMap = DriveMap(); // D: no longer reachable
    const CliRun run = Archive({m_project.path, "--json"});
    EXPECT_EQ(run.code, 1);
    // the failure in the JSON as well: a script need not parse the error stream
    EXPECT_EQ(run.out, "{\"archives\":[],\"removed\":[],\"warnings\":[],\"failures\":[{\"project\":\"" + m_project.path +
                           "\",\"line\":\"Module=modTools; D:\\\\Lib\\\\modTools.bas\",\"error\":\"\\\"D:\\\\Lib\\\\"
                           "modTools.bas\\\": no folder on this machine stands for its drive or share (see "
                           "CORVANE_DRIVE_MAP).\"}]}\n");
    EXPECT_NE(run.err.find("Line : Module=modTools; D:\\Lib\\modTools.bas\n"), std::string::npos) << run.err;
    EXPECT_TRUE(FileNamesIn(m_project.folder + "/Sources.Backup").empty());
    // a run that ends before any project tells why in the JSON too
    const CliRun unread = Archive({"/nonexistent/All.vbg", "--json"});
    EXPECT_EQ(unread.code, kUsageExit);
    EXPECT_TRUE(unread.out.starts_with("{\"error\":\"Cannot read the file /nonexistent/All.vbg")) << unread.out;
    EXPECT_TRUE(unread.out.ends_with("\",\"project\":\"/nonexistent/All.vbg\",\"line\":null}\n")) << unread.out;
}

// A password typed at the terminal is asked twice to encrypt, and once to open the archive; none typed
// writes nothing (two that differ: the real terminal's test).
TEST_F(CommandTest, APromptedPasswordIsTypedTwiceToEncryptAndOnceToOpen) {
    std::vector<std::string> answers, prompts;
    m_context.askTerminal = [&](const std::string& prompt) -> Result<std::string> {
        prompts.push_back(prompt);
        if (answers.empty())
            return fail(ErrorKind::Refused, "The terminal closed before a password was typed.");
        const std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    };
    const std::string folder = m_scratch.Path("out/");
    answers = {""};
    EXPECT_NE(Archive({m_project.path, "--dest", folder, "--password-prompt"}).err.find("No password was typed"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(folder));
    answers = {"secret", "secret"};
    prompts.clear();
    const CliRun same = Archive({m_project.path, "--dest", folder, "--password-prompt"});
    ASSERT_EQ(same.code, 0) << same.err;
    EXPECT_EQ(prompts.size(), 2u);
    answers = {"secret"};
    const CliRun opened = Unzip({folder + kSceneZipName, "--password-prompt"});
    EXPECT_EQ(opened.code, 0) << opened.err;
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(ReadFile(folder + "Billing 2.1.0.20250717095823/Billing 2.1.0.20250717095823.vbp"),
              BillingProject::Rewritten());
}

// Parse errors are one line and a pointer to the command's help, never the whole usage; "--opt=value"
// and "--" read as everywhere else.
TEST(Cli, ExitCodesAndStreams) {
    const std::string hint = "see 'corvane-cli info --help'\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, err; // expected within the stream; empty: the stream stays empty
    } cases[] = {
        {{}, 2, "", "Usage: corvane-cli [OPTIONS] SUBCOMMAND"},
        {{"--help"}, 0, "show a project's name", ""},
        {{"--version"}, 0, "corvane-cli " CORVANE_VERSION "\n", ""},
        {{"help", "info"}, 0, "Usage: corvane-cli info [OPTIONS] PROJECT", ""},
        {{"info", "--help"}, 0, "--json", ""},
        {{"frobnicate"}, 2, "", "Unknown command: frobnicate\nsee 'corvane-cli --help'\n"},
        {{"info"}, 2, "", "PROJECT is required\n" + hint},
        {{"info", "a.vbp", "b.vbp"}, 2, "", "was not expected: b.vbp\n" + hint},
        {{"info", "a.vbp", "--xml"}, 2, "", "was not expected: --xml\n" + hint},
        {{"info", "--json=maybe", "a.vbp"}, 2, "", hint},
        {{"info", "--", "--json"}, 1, "", "Cannot read the file --json"},
        {{"info", "/nonexistent/Gone.vbp"}, 1, "", "Cannot read the file /nonexistent/Gone.vbp"},
    };
    for (const auto& c : cases) {
        const CliRun run = Captured(RunCli, c.args, std::vector{MakeInfoCommand({})});
        const std::string args = ::testing::PrintToString(c.args);
        EXPECT_EQ(run.code, c.code) << args;
        EXPECT_TRUE(c.out.empty() ? run.out.empty() : run.out.find(c.out) != std::string::npos)
            << args << run.out;
        EXPECT_TRUE(c.err.empty() ? run.err.empty() : run.err.find(c.err) != std::string::npos)
            << args << run.err;
        if (c.code == 2 && !c.args.empty()) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << args << run.err;
        }
    }
}

// the man page and the completion script are written apart from the code: every command and every
// option the program declares is in both
TEST(Cli, ManPageAndCompletionNameEveryCommandAndOption) {
    const std::string page = ReadFile(CORVANE_CLI_MAN_PAGE);
    const std::vector<Command> commands = ProgramCommands({}, {});
    const std::regex option("--[a-z][a-z-]*");
    for (const Command& command : commands) {
        EXPECT_NE(page.find("*" + command.name + "*"), std::string::npos) << command.name;
        const CliRun help = Captured(RunCli, std::vector<std::string>{command.name, "--help"}, commands);
        for (const char* note : {"REQUIRED", "Excludes", " TEXT", ":INT"}) // CLI11's notes crowd the words
            EXPECT_EQ(help.out.find(note), std::string::npos) << command.name << " " << note;
        for (std::sregex_iterator it(help.out.begin(), help.out.end(), option), end; it != end; ++it)
            EXPECT_NE(page.find("*" + it->str() + "*"), std::string::npos)
                << command.name << " " << it->str();
    }
    const std::string script = BashCompletion(commands);
    if (ReadFile(CORVANE_CLI_COMPLETION) != script) {
        WriteFile(fs::temp_directory_path() / "corvane-cli.completion", script);
        ADD_FAILURE() << CORVANE_CLI_COMPLETION << " differs from the declarations; the script they make is in "
                      << (fs::temp_directory_path() / "corvane-cli.completion");
    }
}

// A companion missing, a malformed line, a file on a mapped drive; "@" stands for the scratch folder.
TEST(InfoCommandTest, Json) {
    testing::ScratchFolder scratch;
    const std::string project =
        scratch.Write("Proj/Caf\xC3\xA9.vbp", "Type=Exe\r\nForm=Forms\\FRMMAIN.FRM\r\nModule=modMain\r\n"
                                              "ResFile32=\"D:\\Res\\a\tb.res\"\r\nName=\"Caf\xE9\"\r\n");
    scratch.Write("Proj/Forms/frmMain.frm");
    scratch.Write("D/Res/a\tb.res");
    CliEnvironment environment;
    environment.driveMap.Set("D", scratch.Path("D"));
    const CliRun run = Captured(RunCli, std::vector<std::string>{"info", project, "--json"},
                                std::vector{MakeInfoCommand(environment)});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");
    std::string expected =
        R"({"project":"@/Proj/Caf)"
        "\xC3\xA9"
        R"(.vbp","name":"Caf)"
        "\xC3\xA9"
        R"(","version":"0.0.0","lines":5,)"
        R"("references":[{"line":2,"key":"Form","reference":"Forms\\FRMMAIN.FRM","archive_path":"Forms\\FRMMAIN.FRM",)"
        R"("disk_path":"@/Proj/Forms/frmMain.frm","exists":true,"companion":)"
        R"({"reference":"Forms\\FRMMAIN.frx","disk_path":"@/Proj/Forms/FRMMAIN.frx","exists":false}},)"
        R"({"line":3,"key":"Module","reference":"","archive_path":"","disk_path":null,"exists":false,"companion":null},)"
        R"({"line":4,"key":"ResFile32","reference":"D:\\Res\\a\tb.res",)"
        R"("archive_path":"FileNotInRootPath\\Disk_D_\\Res\\a_b.res",)"
        R"("disk_path":"@/D/Res/a\tb.res","exists":true,"companion":null}]})"
        "\n";
    for (std::size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@', at))
        expected.replace(at, 1, scratch.Path());
    EXPECT_EQ(run.out, expected);
}

TEST(JsonWriter, EscapesAndNests) {
    std::ostringstream out;
    JsonWriter json(out);
    json.BeginObject().Key("a\"b").String("q\"\\/\n\r\t\x01\x1f\xC3\xA9").Key("list").BeginArray();
    json.Int(-3).Bool(false).Null().BeginObject().EndObject().BeginArray().EndArray().String("\xFF");
    json.EndArray().Key("n").Int(0).EndObject();
    EXPECT_EQ(out.str(), "{\"a\\\"b\":\"q\\\"\\\\/\\n\\r\\t\\u0001\\u001f\xC3\xA9\","
                         "\"list\":[-3,false,null,{},[],\"\xEF\xBF\xBD\"],\"n\":0}");
}

// A named pipe whose writer hands over `text` once a reader opens it; the writer is left to end with
// the process when no reader ever comes, so that a failing case does not hang the suite.
std::string Pipe(const std::string& text) {
    const std::string path = fs::temp_directory_path() / ("corvane-pw-" + std::to_string(::getpid()));
    fs::remove(path);
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::thread([path, text] { std::ofstream(path, std::ios::binary) << text; }).detach();
    return path;
}

// A refused archive creates nothing at all, not even the folder named after it.
TEST_F(CommandTest, UnzipExtractsOrWritesNothing) {
    m_variables = {{"PW", "right one"}};
    // the archive of two encrypted entries, none for "gone.zip"; "<file>" is a file holding the password
    for (const auto& [name, options, code, inErr] :
         {std::tuple<std::string, std::vector<std::string>, int, std::string>(
              "a.zip", {"--password-env", "PW"}, 0, ""),
          {"a.zip", {"--password-file", "<file>"}, 0, ""},
          {"a.zip", {"--password-file", "<pipe>"}, 0, ""}, // as "<(pass show x)" hands it over
          {"a.zip", {}, kUsageExit, "pass --password-env VAR, --password-file FILE or --password-prompt"},
          {"d.rar", {}, kUsageExit, "is not a .zip file"},
          {"gone.zip", {}, kUsageExit, "does not exist"},
          {"a.zip", {"--max-entries", "10k"}, kUsageExit, "whole number above 0"},
          {"a.zip", {"--max-size=0"}, kUsageExit, "--max-size: needs a whole number"},
          {"a.zip", {"--max-ratio", "0.5"}, kUsageExit, "at least 1, not \"0.5\""},
          {"a.zip", {"--to"}, kUsageExit, "--to"},
          {"..zip", {}, kUsageExit, "gives no folder to unpack into beside it"},
          {"a.zip", {"--max-entries", "1"}, 1, "2 entries, more than the limit of 1 (--max-entries)"}}) {
        std::vector<std::string> args = {m_scratch.Path("in/" + name)};
        const RawEntry::Kind file = RawEntry::Kind::File;
        fs::create_directories(m_scratch.Path("in"));
        if (name != "gone.zip")
            MakeArchive(args[0], {{"a.bas", "a", file, "right one"}, {"b.bas", "b", file, "right one"}});
        for (const std::string& arg : options)
            args.push_back(arg == "<file>"   ? m_scratch.Write("pw", "right one\n")
                           : arg == "<pipe>" ? Pipe("right one\r\n")
                                             : arg);
        const auto before = Snapshot(m_scratch.Path());
        const CliRun run = Unzip(args);
        if (options.size() == 2 && options[1] == "<pipe>")
            fs::remove(args.back()); // outside the scratch folder, whose snapshot would wait on it
        EXPECT_EQ(run.code, code) << inErr;
        EXPECT_NE(run.err.find(inErr), std::string::npos) << run.err;
        if (code == 0) {
            EXPECT_EQ(ReadFile(m_scratch.Path("in/a/a.bas")), "a");
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(Snapshot(m_scratch.Path()), before);
        }
        fs::remove_all(m_scratch.Path("in"));
    }
}

// The options that move the caps a row lowers, so that each reaches the extraction.
std::vector<std::string> LimitOptions(const UnzipLimits& limits) {
    const UnzipLimits d;
    std::vector<std::string> args;
    const auto add = [&args](bool moved, const char* option, auto value) {
        if (moved)
            args.insert(args.end(), {option, std::to_string(value)});
    };
    add(limits.maxEntries != d.maxEntries, "--max-entries", limits.maxEntries);
    add(limits.maxTotalBytes != d.maxTotalBytes, "--max-size", limits.maxTotalBytes);
    add(limits.maxRatio != d.maxRatio, "--max-ratio", limits.maxRatio);
    return args;
}

class UnzipHostileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(UnzipHostileTest, IsRefusedAndChangesNothing) {
    const HostileCase& row = GetParam();
    if (row.limits.ratioFromBytes != UnzipLimits().ratioFromBytes)
        GTEST_SKIP() << "no option moves the size where the ratio test begins";
    ExtractionScene scene;
    const auto before = Stage(scene, row);
    std::vector<std::string> args = LimitOptions(row.limits);
    args.insert(args.end(), {scene.Archive(), "--overwrite"});
    const CliRun run = Captured(RunUnzip, args, RunContext{});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(row.messagePart), std::string::npos) << run.err;
    EXPECT_EQ(Snapshot(scene.Root()), before);
}

INSTANTIATE_TEST_SUITE_P(Table, UnzipHostileTest, ::testing::ValuesIn(HostileArchives()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace corvane
