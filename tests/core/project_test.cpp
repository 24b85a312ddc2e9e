// project files as read, the path helpers, the archive mapping and backup names
#include <set>
#include <thread>

#include "core/backup/naming.h"
#include "core/project/paths.h"
#include "core/project/project.h"
#include "core/project/text.h"
#include "core/restore/restore.h"
#include "support/vb_project_fixture.h"

namespace corvane {
namespace {

TEST(ProjectFile, ClassifiesReferenceLines) {
    using K = ReferenceKey;
    const struct {
        std::string line;
        std::optional<ReferenceKey> key;
        std::string name, reference;
        bool malformed;
    } cases[] = {
        {"Class=clsLog; \"..\\Shared\\clsLog.cls\"", K::Class, "clsLog", "..\\Shared\\clsLog.cls", false},
        {"Module= \"odd\" ; x.bas ", K::Module, " \"odd\" ", "x.bas", false},
        {"Module=a; b.bas; c", K::Module, "a", "b.bas", false},
        {"Form=a=b.frm", K::Form, "", "a", false},
        {"Form=\xC9t\xE9.frm", K::Form, "", "\xC9t\xE9.frm", false},
        {"Class=c;x.cls", K::Class, "", "", true},
        {"Module=m; ", K::Module, "m", "", true},
        {"ResFile32=\"\"", K::ResFile32, "", "", true},
        {"form=a.frm", std::nullopt, "", "", false},
        {" Form=a.frm", std::nullopt, "", "", false},
    };
    for (const auto& c : cases) {
        const std::optional<ReferenceLine> line = ClassifyReferenceLine(c.line);
        ASSERT_EQ(line.has_value(), c.key.has_value()) << c.line;
        EXPECT_TRUE(!line || (line->key == *c.key && line->name == c.name && line->reference == c.reference &&
                              line->malformed == c.malformed))
            << c.line << " gave " << line->name << "|" << line->reference << "|" << line->malformed;
    }
}

TEST(ProjectFile, CompanionsAndRewrittenLines) {
    const auto companion = [](const std::string& line) {
        return CompanionReference(*ClassifyReferenceLine(line));
    };
    EXPECT_EQ(companion("Form=..\\Old\\frmX.frm"), "..\\Old\\frmX.frx");
    EXPECT_EQ(companion("Form=my.forms\\frmMain"), "my.frx"); // the last "." of the whole reference
    EXPECT_EQ(companion("Form=frmMain"), std::nullopt);
    EXPECT_EQ(companion("ResFile32=\"a.res\""), std::nullopt);

    EXPECT_EQ(RewriteReferenceLine(*ClassifyReferenceLine("Module= modA ; ..\\a.bas"),
                                   "FileNotInRootPath\\--\\a.bas"),
              "Module= modA ; FileNotInRootPath\\--\\a.bas"); // the rest of the line as it was
}

// every line ending counts; empty values keep the default, later ones win, the value ends at the next "=",
// bytes are not converted
TEST(ProjectFile, NameVersionAndLineCount) {
    testing::ScratchFolder scratch;
    std::string limit;
    for (int i = 0; i < 32767; ++i)
        limit += "Form=f.frm\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"Type=Exe\r\nName=\"My App\"\r\nMajorVer=2\r\nMinorVer=1\r\nRevisionVer=7\r\n", "5 My App 2.1.7"},
        {"Name=\"\"\nMajorVer=2\nMajorVer=\nMajorVer=3\nname=low\nRevisionVer=\"A=B\"\n", "6 Default 3.0.A"},
        {"Name=\xC9t\xE9\r\n", "1 \xC9t\xE9 0.0.0"},
        {"\n\r\r\nName=x\rMajorVer=1\n\rMinorVer=2", "7 x 1.2.0"}, // LF CR is two endings, CR LF one
        {"", "0 Default 0.0.0"},
        {limit, "32767 Default 0.0.0"},
        {limit + "x", "refused"}};
    for (const auto& [bytes, expected] : cases) {
        JobState state;
        state.gProjectName = "Default";
        const Result<std::int16_t> lines = ReadProjectInfo(scratch.Write("p.vbp", bytes), state);
        EXPECT_EQ(lines ? std::to_string(*lines) + " " + state.gProjectName + " " + state.gMajorVer + "." +
                              state.gMinorVer + "." + state.gRevisionVer
                  : lines.failure().kind == ErrorKind::Refused ? "refused"
                                                               : lines.error(),
                  expected);
    }
}

using Rows = std::vector<std::pair<std::string, std::string>>;

void ExpectEach(std::string (*operation)(const std::string&), const Rows& rows) {
    for (const auto& [input, expected] : rows)
        EXPECT_EQ(operation(input), expected) << '"' << input << '"';
}

TEST(Paths, StringHelpersAndKindOfInput) {
    ExpectEach(AddBackslash,
               {{"  C:\\Work  ", "C:\\Work\\"}, {"/home/u/Dev", "/home/u/Dev/"}, {"C:\\x/y", "C:\\x/y\\"}});
    ExpectEach(FolderOfPath,
               {{"App.vbp", ""}, {"C:\\a/b\\c.vbp", "C:\\a/b"}, {"C:\\a\\b/c.vbp", "C:\\a\\b"}});
    ExpectEach(SanitizeFileName, {{"Tom's a/b:c*d?e<f>g|h\\i\"j\xE9.1", "Tom_s a_b_c_d_e_f_g_h_i_j\xE9.1"}});
    // the desktop program and the command line both ask this; a wrong answer archives a group as a project
    using K = InputKind;
    const std::pair<std::string, InputKind> kinds[] = {
        {"C:\\Dev\\App.vbp", K::Project}, {"/srv/App.VBP", K::Project}, {"Suite.vbpgroup", K::Group},
        {"Suite.vbg", K::VbGroup}, {"Backup 1.0.0.20250101000000.ZIP", K::Archive}, {"App.vbp.bak", K::Unknown},
        {"vbp", K::Unknown}, {"", K::Unknown}};
    for (const auto& [path, kind] : kinds)
        EXPECT_EQ(KindOfInput(path), kind) << path;
}

TEST(Paths, ArchivePaths) {
    // references every project writes: both forms agree on them
    const Rows ordinary = {
        {"Forms\\frmAbout.frm", "Forms\\frmAbout.frm"},
        {"Sub\\..\\modX.bas", "Sub\\--\\modX.bas"},
        {"..\\Shared\\modUtil.bas", "FileNotInRootPath\\--\\Shared\\modUtil.bas"},
        {"D:\\Lib\\modTools.bas", "FileNotInRootPath\\Disk_D_\\Lib\\modTools.bas"},
        {"\\\\srv\\share\\clsLog.cls", "FileNotInRootPath\\~srv\\share\\clsLog.cls"},
    };
    ExpectEach(MapToArchivePath, ordinary);
    ExpectEach(SafeArchivePath, ordinary);
    // the mapping itself leaves these alone; only the hardened form changes them
    ExpectEach(MapToArchivePath, {{"C:x.frm", "C:x.frm"},
                                  {"D:\\a\\..\\b", "FileNotInRootPath\\Disk_D_\\a\\..\\b"},
                                  {"a...b\\c", "a--.b\\c"}});
    ExpectEach(SafeArchivePath, {{"C:x", "C_x"},
                                 {"D:\\a\\..\\b", "FileNotInRootPath\\Disk_D_\\a\\--\\b"},
                                 {"/abs", "_\\abs"},
                                 {"a\\\\b", "a\\_\\b"},
                                 {"../../etc/passwd", "FileNotInRootPath\\--\\--\\etc\\passwd"},
                                 {"a/./b", "a\\-\\b"},
                                 {"a\\b:c\\d", "a\\b_c\\d"},
                                 {std::string("a\\b\0c", 5), "a\\b_c"},
                                 {"a\\\x7f", "a\\_"},
                                 {"\\\\\\x", "FileNotInRootPath\\~\\x"},
                                 {"\\\\?\\C:\\x", "FileNotInRootPath\\~?\\C_\\x"},
                                 {"", ""},
                                 {"Forms/", ""}});
}

TEST(BackupNaming, DefaultNamesAndStampedSanitisedNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Dev\\App\\App.vbp", "App"},           {"C:\\Dev\\App\\App.VBP", "App.VBP"},
        {"C:\\Dev\\my.vbproject\\App.vbp", "App"},  {"a.vbpx.vbp", "ax"},
        {"/home/u/Billing/Billing.vbp", "Billing"}, {"x.v.vbpbp", "x.vbp"}, // one pass, not repeated
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(DefaultProjectName(path), name) << path;
    // the stamp is local time, padded; the names are sanitised
    JobState state;
    state.gProjectName = "What? A: Tool", state.gMajorVer = "2", state.gMinorVer = "1";
    state.gRevisionVer = "7", state.gTimeStamp = FormatTimeStamp(testing::LocalMoment(2001, 1, 2, 23, 0, 0));
    ApplyBackupNames(state);
    EXPECT_EQ(state.gZipName, "What_ A_ Tool 2.1.7.20010102230000.zip");
    EXPECT_EQ(state.gNewVbpName, "What_ A_ Tool 2.1.7.20010102230000.vbp");
}

// Temporary names: 16 hexadecimal digits between prefix and suffix, never the same twice, not even
// from threads started at the same moment (the unzip workers name a file each at once).
TEST(UniqueTempNameTest, ThreadsNeverMeetOnAName) {
    std::vector<std::vector<std::string>> names(4);
    std::vector<std::thread> threads;
    for (auto& list : names)
        threads.emplace_back([&list] {
            for (int i = 0; i < 500; ++i)
                list.push_back(UniqueTempName(".p-", ".part"));
        });
    for (auto& thread : threads)
        thread.join();
    std::set<std::string> distinct;
    for (const auto& list : names)
        for (const std::string& name : list) {
            ASSERT_EQ(name.size(), 3u + 16u + 5u) << name;
            EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 3), 19u) << name;
            distinct.insert(name);
        }
    EXPECT_EQ(distinct.size(), 2000u);
}

} // namespace
} // namespace corvane
