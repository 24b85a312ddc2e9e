// corvane-cli run in-process: the dispatcher's exit codes and the info command's exact output
#include "cli/command.h"
#include "cli/info_command.h"
#include "cli/json_writer.h"
#include "cli_run_support.h"

namespace corvane {
namespace {

using testing::CliRun;

CliRun RunWith(const std::vector<std::string>& args, const CliEnvironment& environment = {}) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, {MakeInfoCommand(environment)}, out, err);
    return {code, out.str(), err.str()};
}

TEST(Cli, ExitCodesAndStreams) {
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, err; // expected within the stream; empty: the stream stays empty
    } cases[] = {
        {{}, 2, "", "Usage: corvane-cli COMMAND"},
        {{"--help"}, 0, "  info  show a project's name", ""},
        {{"help", "info"}, 0, "Usage: corvane-cli info PROJECT.vbp [--json]", ""},
        {{"frobnicate"}, 2, "", "Unknown command: frobnicate"},
        {{"info"}, 2, "", "No project file given."},
        {{"info", "a.vbp", "b.vbp"}, 2, "", "Give exactly one project file."},
        {{"info", "a.vbp", "--xml"}, 2, "", "Unknown option: --xml"},
        {{"info", "--json", "--help"}, 0, "Exit status: 0 read", ""},
        {{"info", "/nonexistent/Gone.vbp"}, 1, "", "Cannot read the file /nonexistent/Gone.vbp"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunWith(c.args);
        const std::string args = ::testing::PrintToString(c.args);
        EXPECT_EQ(run.code, c.code) << args;
        EXPECT_TRUE(c.out.empty() ? run.out.empty() : run.out.find(c.out) != std::string::npos)
            << args << run.out;
        EXPECT_TRUE(c.err.empty() ? run.err.empty() : run.err.find(c.err) != std::string::npos)
            << args << run.err;
    }
}

// The exact JSON of a project with a companion missing, a malformed line, a file outside the project's
// folder and one on a mapped drive; "@" stands for the scratch folder.
TEST(InfoCommandTest, Json) {
    testing::ScratchFolder scratch;
    const std::string project =
        scratch.Write("Proj/Caf\xC3\xA9.vbp", "Type=Exe\r\nForm=Forms\\FRMMAIN.FRM\r\nModule=modMain\r\n"
                                              "Class=clsX; \"..\\Shared\\clsX.cls\"\r\n"
                                              "ResFile32=\"D:\\Res\\a\tb.res\"\r\nName=\"Caf\xE9\"\r\n");
    scratch.Write("Proj/Forms/frmMain.frm");
    scratch.Write("D/Res/a\tb.res");
    CliEnvironment environment;
    environment.driveMap.Set("D", scratch.Path("D"));
    const CliRun run = RunWith({"info", project, "--json"}, environment);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");
    std::string expected =
        R"({"project":"@/Proj/Caf)"
        "\xC3\xA9"
        R"(.vbp","name":"Caf)"
        "\xC3\xA9"
        R"(","version":"0.0.0","lines":6,)"
        R"("references":[{"line":2,"key":"Form","reference":"Forms\\FRMMAIN.FRM","archive_path":"Forms\\FRMMAIN.FRM",)"
        R"("disk_path":"@/Proj/Forms/frmMain.frm","exists":true,"companion":)"
        R"({"reference":"Forms\\FRMMAIN.frx","disk_path":"@/Proj/Forms/FRMMAIN.frx","exists":false}},)"
        R"({"line":3,"key":"Module","reference":"","archive_path":"","disk_path":null,"exists":false,"companion":null},)"
        R"({"line":4,"key":"Class","reference":"..\\Shared\\clsX.cls",)"
        R"("archive_path":"FileNotInRootPath\\--\\Shared\\clsX.cls",)"
        R"("disk_path":"@/Shared/clsX.cls","exists":false,"companion":null},)"
        R"({"line":5,"key":"ResFile32","reference":"D:\\Res\\a\tb.res",)"
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

} // namespace
} // namespace corvane
