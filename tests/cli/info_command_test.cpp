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

struct UsageCase {
    std::vector<std::string> args;
    int code;
    std::string inOut; // expected in stdout; empty: stdout must be empty
    std::string inErr; // expected in stderr; empty: stderr must be empty
};

class CliUsageTest : public ::testing::TestWithParam<UsageCase> {};
TEST_P(CliUsageTest, ExitCodeAndStream) {
    const CliRun run = RunWith(GetParam().args);
    EXPECT_EQ(run.code, GetParam().code);
    if (GetParam().inOut.empty()) {
        EXPECT_EQ(run.out, "");
    } else {
        EXPECT_NE(run.out.find(GetParam().inOut), std::string::npos) << run.out;
    }
    if (GetParam().inErr.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(GetParam().inErr), std::string::npos) << run.err;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsageTest,
    ::testing::Values(UsageCase{{}, 2, "", "Usage: corvane-cli COMMAND"},
                      UsageCase{{"--help"}, 0, "  info  show a project's name", ""},
                      UsageCase{{"help", "info"}, 0, "Usage: corvane-cli info PROJECT.vbp [--json]", ""},
                      UsageCase{{"frobnicate"}, 2, "", "Unknown command: frobnicate"},
                      UsageCase{{"info"}, 2, "", "No project file given."},
                      UsageCase{{"info", "a.vbp", "b.vbp"}, 2, "", "Give exactly one project file."},
                      UsageCase{{"info", "a.vbp", "--xml"}, 2, "", "Unknown option: --xml"},
                      UsageCase{{"info", "--json", "--help"}, 0, "Exit status: 0 read", ""},
                      UsageCase{{"info", "/nonexistent/corvane/Gone.vbp"},
                                1,
                                "",
                                "Cannot read the file /nonexistent/corvane/Gone.vbp"}));

class InfoCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_project = m_scratch.Write("Proj/Caf\xC3\xA9.vbp", "Type=Exe\r\n"
                                                            "Form=frmMain.frm\r\n"
                                                            "Form=Forms\\FRMABOUT.FRM\r\n"
                                                            "Module=modMain\r\n"
                                                            "Class=clsX; \"..\\Shared\\clsX.cls\"\r\n"
                                                            "ResFile32=\"D:\\Res\\a\tb.res\"\r\n"
                                                            "Name=\"Caf\xE9\"\r\n"
                                                            "MajorVer=1\r\n");
        m_scratch.Write("Proj/frmMain.frm");
        m_scratch.Write("Proj/frmMain.frx");
        m_scratch.Write("Proj/Forms/frmAbout.frm");
        m_scratch.Write("D/Res/a\tb.res");
        m_environment.driveMap.Set("D", m_scratch.Path("D"));
    }
    std::string P(const std::string& relative) const { return m_scratch.Path(relative); }

    testing::ScratchFolder m_scratch;
    std::string m_project;
    CliEnvironment m_environment;
};

TEST_F(InfoCommandTest, Json) {
    const CliRun run = RunWith({"info", m_project, "--json"}, m_environment);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string expected =
        "{\"project\":\"" + m_project +
        "\",\"name\":\"Caf\xC3\xA9\",\"version\":\"1.0.0\",\"lines\":8,"
        "\"references\":["
        "{\"line\":2,\"key\":\"Form\",\"reference\":\"frmMain.frm\",\"archive_path\":\"frmMain.frm\","
        "\"disk_path\":\"" +
        P("Proj/frmMain.frm") +
        "\",\"exists\":true,\"companion\":{\"reference\":"
        "\"frmMain.frx\",\"disk_path\":\"" +
        P("Proj/frmMain.frx") +
        "\",\"exists\":true}},"
        "{\"line\":3,\"key\":\"Form\",\"reference\":\"Forms\\\\FRMABOUT.FRM\",\"archive_path\":"
        "\"Forms\\\\FRMABOUT.FRM\",\"disk_path\":\"" +
        P("Proj/Forms/frmAbout.frm") +
        "\",\"exists\":true,"
        "\"companion\":{\"reference\":\"Forms\\\\FRMABOUT.frx\",\"disk_path\":\"" +
        P("Proj/Forms/FRMABOUT.frx") +
        "\",\"exists\":false}},"
        "{\"line\":4,\"key\":\"Module\",\"reference\":\"\",\"archive_path\":\"\",\"disk_path\":null,"
        "\"exists\":false,\"companion\":null},"
        "{\"line\":5,\"key\":\"Class\",\"reference\":\"..\\\\Shared\\\\clsX.cls\",\"archive_path\":"
        "\"FileNotInRootPath\\\\--\\\\Shared\\\\clsX.cls\",\"disk_path\":\"" +
        P("Shared/clsX.cls") +
        "\",\"exists\":false,\"companion\":null},"
        "{\"line\":6,\"key\":\"ResFile32\",\"reference\":\"D:\\\\Res\\\\a\\tb.res\",\"archive_path\":"
        "\"FileNotInRootPath\\\\Disk_D_\\\\Res\\\\a_b.res\",\"disk_path\":\"" +
        P("D/Res/a\\tb.res") +
        "\",\"exists\":true,\"companion\":null}"
        "]}\n";
    EXPECT_EQ(run.out, expected);
}

TEST_F(InfoCommandTest, Text) {
    const CliRun run = RunWith({"info", m_project}, m_environment);
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string expected = "Project:    " + m_project +
                                 "\n"
                                 "Name:       Caf\xC3\xA9\n"
                                 "Version:    1.0.0\n"
                                 "Lines:      8\n"
                                 "References: 5\n"
                                 "  line 2: Form frmMain.frm\n"
                                 "    archive path: frmMain.frm\n"
                                 "    disk path:    " +
                                 P("Proj/frmMain.frm") +
                                 "\n"
                                 "    companion:    frmMain.frx -> " +
                                 P("Proj/frmMain.frx") +
                                 "\n"
                                 "  line 3: Form Forms\\FRMABOUT.FRM\n"
                                 "    archive path: Forms\\FRMABOUT.FRM\n"
                                 "    disk path:    " +
                                 P("Proj/Forms/frmAbout.frm") +
                                 "\n"
                                 "    companion:    Forms\\FRMABOUT.frx -> missing (looked for " +
                                 P("Proj/Forms/FRMABOUT.frx") +
                                 ")\n"
                                 "  line 4: Module \n"
                                 "    malformed: the line names no file\n"
                                 "  line 5: Class ..\\Shared\\clsX.cls\n"
                                 "    archive path: FileNotInRootPath\\--\\Shared\\clsX.cls\n"
                                 "    disk path:    missing (looked for " +
                                 P("Shared/clsX.cls") +
                                 ")\n"
                                 "  line 6: ResFile32 D:\\Res\\a\tb.res\n"
                                 "    archive path: FileNotInRootPath\\Disk_D_\\Res\\a_b.res\n"
                                 "    disk path:    " +
                                 P("D/Res/a\tb.res") + "\n";
    EXPECT_EQ(run.out, expected);
}

TEST_F(InfoCommandTest, UnmappedDriveHasNoDiskPath) {
    const CliRun run = RunWith({"info", m_project, "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(
        run.out.find("\"archive_path\":\"FileNotInRootPath\\\\Disk_D_\\\\Res\\\\a_b.res\",\"disk_path\":null,"
                     "\"exists\":false"),
        std::string::npos)
        << run.out;
}

TEST_F(InfoCommandTest, TooLongProjectIsRefused) {
    const std::string big = m_scratch.Write("Big.vbp", std::string(32768, '\n'));
    const CliRun run = RunWith({"info", big}, m_environment);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Big.vbp has 32768 lines; at most 32,767"), std::string::npos) << run.err;
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
