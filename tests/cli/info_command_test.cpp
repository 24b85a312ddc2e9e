// corvane-cli run in-process: the dispatcher's exit codes and the info command's exact output
#include <sstream>

#include <gtest/gtest.h>

#include "../core/scratch_folder.h"
#include "cli/command.h"
#include "cli/info_command.h"
#include "cli/json_writer.h"

namespace corvane {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

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
        {{"info", "/nonexistent/corvane/Gone.vbp"},
         1,
         "",
         "Cannot read the file /nonexistent/corvane/Gone.vbp"},
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

class InfoCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_project = m_scratch.Write("Proj/Caf\xC3\xA9.vbp",
                                    "Type=Exe\r\nForm=frmMain.frm\r\nForm=Forms\\FRMABOUT.FRM\r\n"
                                    "Module=modMain\r\nClass=clsX; \"..\\Shared\\clsX.cls\"\r\n"
                                    "ResFile32=\"D:\\Res\\a\tb.res\"\r\nName=\"Caf\xE9\"\r\n"
                                    "MajorVer=1\r\n");
        for (const char* file :
             {"Proj/frmMain.frm", "Proj/frmMain.frx", "Proj/Forms/frmAbout.frm", "D/Res/a\tb.res"})
            m_scratch.Write(file);
        m_environment.driveMap.Set("D", m_scratch.Path("D"));
    }
    // the text with every "@" made the scratch folder
    std::string InScratch(std::string text) const {
        for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at))
            text.replace(at, 1, m_scratch.Path());
        return text;
    }

    testing::ScratchFolder m_scratch;
    std::string m_project;
    CliEnvironment m_environment;
};

TEST_F(InfoCommandTest, Json) {
    const CliRun run = RunWith({"info", m_project, "--json"}, m_environment);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(
        run.out,
        InScratch(
            R"({"project":"@/Proj/Caf)"
            "\xC3\xA9"
            R"(.vbp","name":"Caf)"
            "\xC3\xA9"
            R"(","version":"1.0.0","lines":8,"references":[)"
            R"({"line":2,"key":"Form","reference":"frmMain.frm","archive_path":"frmMain.frm",)"
            R"("disk_path":"@/Proj/frmMain.frm","exists":true,)"
            R"("companion":{"reference":"frmMain.frx","disk_path":"@/Proj/frmMain.frx","exists":true}},)"
            R"({"line":3,"key":"Form","reference":"Forms\\FRMABOUT.FRM","archive_path":"Forms\\FRMABOUT.FRM",)"
            R"("disk_path":"@/Proj/Forms/frmAbout.frm","exists":true,"companion":)"
            R"({"reference":"Forms\\FRMABOUT.frx","disk_path":"@/Proj/Forms/FRMABOUT.frx","exists":false}},)"
            R"({"line":4,"key":"Module","reference":"","archive_path":"","disk_path":null,)"
            R"("exists":false,"companion":null},)"
            R"({"line":5,"key":"Class","reference":"..\\Shared\\clsX.cls",)"
            R"("archive_path":"FileNotInRootPath\\--\\Shared\\clsX.cls",)"
            R"("disk_path":"@/Shared/clsX.cls","exists":false,"companion":null},)"
            R"({"line":6,"key":"ResFile32","reference":"D:\\Res\\a\tb.res",)"
            R"("archive_path":"FileNotInRootPath\\Disk_D_\\Res\\a_b.res",)"
            R"("disk_path":"@/D/Res/a\tb.res","exists":true,"companion":null}]})"
            "\n"));
}

TEST_F(InfoCommandTest, Text) {
    const CliRun run = RunWith({"info", m_project}, m_environment);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(
        run.out,
        InScratch("Project:    @/Proj/Caf\xC3\xA9.vbp\n"
                  "Name:       Caf\xC3\xA9\n"
                  "Version:    1.0.0\n"
                  "Lines:      8\n"
                  "References: 5\n"
                  "  line 2: Form frmMain.frm\n"
                  "    archive path: frmMain.frm\n"
                  "    disk path:    @/Proj/frmMain.frm\n"
                  "    companion:    frmMain.frx -> @/Proj/frmMain.frx\n"
                  "  line 3: Form Forms\\FRMABOUT.FRM\n"
                  "    archive path: Forms\\FRMABOUT.FRM\n"
                  "    disk path:    @/Proj/Forms/frmAbout.frm\n"
                  "    companion:    Forms\\FRMABOUT.frx -> missing (looked for @/Proj/Forms/FRMABOUT.frx)\n"
                  "  line 4: Module \n"
                  "    malformed: the line names no file\n"
                  "  line 5: Class ..\\Shared\\clsX.cls\n"
                  "    archive path: FileNotInRootPath\\--\\Shared\\clsX.cls\n"
                  "    disk path:    missing (looked for @/Shared/clsX.cls)\n"
                  "  line 6: ResFile32 D:\\Res\\a\tb.res\n"
                  "    archive path: FileNotInRootPath\\Disk_D_\\Res\\a_b.res\n"
                  "    disk path:    @/D/Res/a\tb.res\n"));
}

TEST_F(InfoCommandTest, UnmappedDriveHasNoDiskPathAndTooLongProjectIsRefused) {
    const CliRun run = RunWith({"info", m_project, "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(
        run.out.find(
            R"("archive_path":"FileNotInRootPath\\Disk_D_\\Res\\a_b.res","disk_path":null,"exists":false)"),
        std::string::npos)
        << run.out;

    const CliRun big = RunWith({"info", m_scratch.Write("Big.vbp", std::string(32768, '\n'))}, m_environment);
    EXPECT_EQ(big.code, 1);
    EXPECT_EQ(big.out, "");
    EXPECT_NE(big.err.find("Big.vbp has 32768 lines; at most 32,767"), std::string::npos) << big.err;
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
