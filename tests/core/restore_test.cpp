// unpacking: where an entry name may land, hostile and broken archives write nothing outside their place,
// good ones unpack whole

#include "core/restore/path_gate.h"
#include "support/hostile_archives.h"

namespace corvane {
namespace {

using namespace corvane::testing;

UnzipOptions Options(UnzipLimits limits, std::function<std::optional<std::string>()> askPassword = nullptr) {
    UnzipOptions options;
    options.limits = limits;
    options.askPassword = std::move(askPassword);
    return options;
}

class HostileArchiveTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileArchiveTest, IsRefusedAndChangesNothing) {
    const HostileCase& row = GetParam();
    ExtractionScene scene;
    MakeArchive(scene.Archive(), row.entries);
    if (row.tamper)
        row.tamper(scene);
    auto before = Snapshot(scene.Root());
    auto result = scene.Extract(Options(row.limits));
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(row.messagePart), std::string::npos) << result.error();
    EXPECT_EQ(Snapshot(scene.Root()), before);
    EXPECT_FALSE(fs::exists("/tmp/corvane-evil.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, HostileArchiveTest, ::testing::ValuesIn(HostileArchives()),
                         [](const auto& info) { return info.param.label; });

TEST(UnzipperTest, WrongPasswordNeverCreatesOrChangesAFile) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(),
                {{"Sub/new.txt", "new", Kind::File, "right"}, {"old.txt", "replaced", Kind::File, "right"}});
    auto before = Snapshot(scene.Root());
    for (int attempt = 0; attempt < 300; ++attempt) {
        auto result =
            scene.Extract(Options({}, [&] { return std::optional("wrong" + std::to_string(attempt)); }));
        ASSERT_EQ(result.ok() ? "" : result.error(), "Wrong password for Sub/new.txt");
        ASSERT_EQ(result.failure().kind, ErrorKind::WrongPassword);
    }
    // declining to give one is a cancel; not being able to ask names the entry
    EXPECT_TRUE(scene.Extract(Options({}, [] { return std::optional<std::string>(); })).cancelled());
    auto unasked = scene.Extract();
    EXPECT_EQ(unasked.ok() ? "" : unasked.error(), "A password is needed for Sub/new.txt");
    EXPECT_EQ(unasked.failure().kind, ErrorKind::WrongPassword);
    EXPECT_EQ(Snapshot(scene.Root()), before);

    int asked = 0; // for both entries once, not for the checked one twice
    auto result = scene.Extract(
        Options({.maxTotalBytes = 11}, [&] { return ++asked, std::optional<std::string>("right"); }));
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(scene.Target() + "/old.txt"), "replaced");
}

TEST(UnzipperTest, CreatesAMissingTargetAndMatchesInfoZip) {
    ExtractionScene scene;
    fs::path source = scene.Root() / "source";
    WriteFile(source / "Forms/frmMain.frm", "form");
    WriteFile(source / "Forms/frmMain.frx", RandomBytes(70000));
    WriteFile(source / "Ünïcode.bas", "module");
    ASSERT_EQ(Shell("cd " + Quoted(source) + " && zip -qr " + Quoted(scene.Archive()) + " .").exitCode, 0);
    std::string target = scene.Target() + "/new/deeper";
    auto result = ExtractArchive(scene.Archive(), target, {});
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_FALSE(scene.HasLeftovers());
}

// a failure keeps the files before it whole; neither it nor a cancel leaves a partial file
TEST(UnzipperTest, FailureOrCancelLeavesNoPartialFile) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(), {{"first.txt", "whole"}, {"second.txt", std::string(4000, 's')}});
    PatchBothHeaders(scene.Archive(), 1, kLocalCrc, kCentralCrc, 0x01020304);
    auto result = scene.Extract();
    EXPECT_NE(result.ok() ? std::string::npos : result.error().find("second.txt"), std::string::npos);
    EXPECT_EQ(result.failure().kind, ErrorKind::Damaged);
    EXPECT_EQ(ReadFile(scene.Target() + "/first.txt"), "whole");
    EXPECT_FALSE(fs::exists(scene.Target() + "/second.txt"));
    EXPECT_FALSE(scene.HasLeftovers());
    MakeArchive(scene.Archive(), {{"big.bin", RandomBytes(1 << 20)}});
    int calls = 0;
    UnzipOptions options;
    options.progress = [&](double) { ++calls; };
    options.cancelRequested = [&] { return calls >= 3; };
    EXPECT_TRUE(scene.Extract(options).cancelled());
    EXPECT_FALSE(fs::exists(scene.Target() + "/big.bin"));
    EXPECT_FALSE(scene.HasLeftovers());
}

std::string Landing(const std::string& name) {
    auto path = CheckEntryName(name);
    return path.ok() ? JoinEntryPath(path->components) + (path->isFolder ? "/" : "") : path.error();
}

// where an accepted name lands, a trailing "/" for a folder
TEST(ExtractPathGate, CheckEntryNameSplitsOrRefuses) {
    for (const auto& [name, landing] :
         {std::pair("FileNotInRootPath\\--\\Shared\\m.bas", "FileNotInRootPath/--/Shared/m.bas"),
          {"Forms/", "Forms/"},
          {"a\\b\\", "a/b/"}})
        EXPECT_EQ(Landing(name), landing);
    for (const std::string name : {"Billing.vbp", "..a/b..", "...", "console.txt", "COM0", "lpt10.txt"})
        EXPECT_EQ(Landing(name), name);
    EXPECT_EQ(Landing(std::string(255, 'n')), std::string(255, 'n'));
    for (const std::string name : {"Nul.frm", "lpt1.log", "con .txt", "Com9", "a/./b", "a//b", "a\\\\b",
                                   "a/..", ".", "", "/", "//server/x", "a\x7f", "x:", "C:evil.txt"})
        EXPECT_NE(Landing(name).find("was refused"), std::string::npos) << name;
    EXPECT_NE(Landing(std::string("a\0b", 3)).find("was refused"), std::string::npos);
}

// the index of the first name the plan refuses, naming it; -1 when all fit, below when it went wrong
int FirstClash(const std::vector<std::string>& names) {
    EntryNamePlan plan;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto path = CheckEntryName(names[i]);
        if (!path.ok())
            return -3;
        if (Status added = plan.Add(names[i], *path); !added)
            return added.error().find(names[i]) == std::string::npos ? -2 : static_cast<int>(i);
    }
    return -1;
}

// entries that would land on one file, in either order
TEST(ExtractPathGate, PlanRefusesTheFirstClash) {
    EXPECT_EQ(FirstClash({"a/b", "a/c", "a/", "A/d"}), -1);
    EXPECT_EQ(FirstClash({"Forms/", "Forms\\a.frm"}), -1);
    EXPECT_EQ(FirstClash({"a.txt", "b.txt", "A.TXT"}), 2);
    EXPECT_EQ(FirstClash({"a/b/c", "A/B"}), 1);
    EXPECT_EQ(FirstClash({"a/", "a"}), 1);
    EXPECT_EQ(FirstClash({"a/", "a/"}), 1);
    EXPECT_EQ(FirstClash({"a\\b", "a/b"}), 1);
}

TEST(ExtractPathGate, DisplayEntryNameShowsControlCharactersAndShortensLongNames) {
    EXPECT_EQ(DisplayEntryName("a\x1b[2J"), "a\\x1b[2J");
    EXPECT_EQ(DisplayEntryName(std::string(119, 'x') + "\xc3\xa9" + "tail"), std::string(119, 'x') + "...");
}

} // namespace
} // namespace corvane
