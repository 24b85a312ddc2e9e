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

// The user must learn which entry was refused, or which archive, or its count of entries.
bool NamesTheCulprit(const std::string& error, const HostileCase& row, const std::string& archive) {
    for (const RawEntry& entry : row.entries)
        if (error.find("\"" + DisplayEntryName(entry.name)) != std::string::npos)
            return true;
    return error.find("\"" + archive + "\"") != std::string::npos ||
           (row.entries.empty() &&
            error.find(std::to_string(kManyEntries) + " entries") != std::string::npos);
}

class HostileArchiveTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileArchiveTest, IsRefusedAndChangesNothing) {
    const HostileCase& row = GetParam();
    ExtractionScene scene;
    const auto before = Stage(scene, row);
    const auto result = scene.Extract(Options(row.limits));
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(row.messagePart), std::string::npos) << result.error();
    EXPECT_TRUE(NamesTheCulprit(result.error(), row, scene.Archive())) << result.error();
    EXPECT_EQ(Snapshot(scene.Root()), before);
    EXPECT_FALSE(fs::exists("/tmp/corvane-evil.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, HostileArchiveTest, ::testing::ValuesIn(HostileArchives()),
                         [](const auto& info) { return info.param.label; });

TEST(UnzipperTest, WrongPasswordNeverCreatesOrChangesAFile) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(),
                {{"Sub/new.txt", "new", Kind::File, "right"}, {"old.txt", "replaced", Kind::File, "right"}});
    const auto before = Snapshot(scene.Root());
    for (int attempt = 0; attempt < 300; ++attempt) {
        const auto result =
            scene.Extract(Options({}, [&] { return std::optional("wrong" + std::to_string(attempt)); }));
        ASSERT_EQ(result.ok() ? "" : result.error(), "Wrong password for Sub/new.txt");
        ASSERT_EQ(result.failure().kind, ErrorKind::WrongPassword);
    }
    // declining to give one is a cancel; not being able to ask names the entry
    EXPECT_TRUE(scene.Extract(Options({}, [] { return std::optional<std::string>(); })).cancelled());
    const auto unasked = scene.Extract();
    EXPECT_EQ(unasked.ok() ? "" : unasked.error(), "A password is needed for Sub/new.txt");
    EXPECT_EQ(unasked.failure().kind, ErrorKind::WrongPassword);
    EXPECT_EQ(Snapshot(scene.Root()), before);

    int asked = 0; // for both entries once, not for the checked one twice
    const auto result = scene.Extract(
        Options({.maxTotalBytes = 11}, [&] { return ++asked, std::optional<std::string>("right"); }));
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(scene.Target() + "/old.txt"), "replaced");
}

TEST(UnzipperTest, CreatesAMissingTargetAndMatchesInfoZip) {
    ExtractionScene scene;
    const fs::path source = scene.Root() / "source";
    WriteFile(source / "Forms/frmMain.frm", "form");
    WriteFile(source / "Forms/frmMain.frx", RandomBytes(70000));
    WriteFile(source / "Ünïcode.bas", "module");
    ASSERT_EQ(Shell("cd " + Quoted(source) + " && zip -qr " + Quoted(scene.Archive()) + " .").exitCode, 0);
    const std::string target = scene.Target() + "/new/deeper";
    const auto result = ExtractArchive(scene.Archive(), target, {});
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_FALSE(scene.HasLeftovers());
}

// a failure keeps the files before it whole; neither it nor a cancel leaves a partial file
TEST(UnzipperTest, FailureOrCancelLeavesNoPartialFile) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(), {{"first.txt", "whole"}, {"second.txt", std::string(4000, 's')}});
    PatchBothHeaders(scene.Archive(), 1, kLocalCrc, kCentralCrc, 0x01020304);
    const auto result = scene.Extract();
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

// where an accepted name lands, a trailing "/" for a folder; a refused one as a message shows it
TEST(ExtractPathGate, CheckEntryNameSplitsOrRefuses) {
    const auto landing = [](const std::string& name) {
        const auto path = CheckEntryName(name);
        return path.ok() ? JoinEntryPath(path->components) + (path->isFolder ? "/" : "") : path.error();
    };
    for (const auto& [name, lands] :
         {std::pair("FileNotInRootPath\\--\\Shared\\m.bas", "FileNotInRootPath/--/Shared/m.bas"),
          {"Forms/", "Forms/"},
          {"a\\b\\", "a/b/"}})
        EXPECT_EQ(landing(name), lands);
    for (const std::string& name : std::initializer_list<std::string>{
             "Billing.vbp", "..a/b..", "...", "console.txt", "COM0", "lpt10.txt", std::string(255, 'n')})
        EXPECT_EQ(landing(name), name);
    for (const std::string& name : std::initializer_list<std::string>{
             "Nul.frm", "lpt1.log", "con .txt", "Com9", "a/./b", "a//b", "a\\\\b", "a/..", ".", "", "/",
             "//server/x", "a\x7f", "x:", "C:evil.txt", std::string("a\0b", 3)})
        EXPECT_NE(landing(name).find("was refused"), std::string::npos) << name;
    EXPECT_EQ(DisplayEntryName("a\x1b[2J"), "a\\x1b[2J");
    EXPECT_EQ(DisplayEntryName(std::string(119, 'x') + "\xc3\xa9" + "tail"), std::string(119, 'x') + "...");
}

// entries that would land on one file, in either order: the index of the first refused, -1 for none
TEST(ExtractPathGate, PlanRefusesTheFirstClash) {
    for (const auto& [names, clash] :
         {std::pair<std::vector<std::string>, int>{{"a/b", "a/c", "a/", "A/d"}, -1},
          {{"Forms/", "Forms\\a.frm"}, -1},
          {{"a.txt", "b.txt", "A.TXT"}, 2},
          {{"a/b/c", "A/B"}, 1},
          {{"a/", "a"}, 1},
          {{"a/", "a/"}, 1},
          {{"a\\b", "a/b"}, 1}}) {
        EntryNamePlan plan;
        int refused = -1;
        for (std::size_t i = 0; i < names.size() && refused == -1; ++i)
            if (const Status added = plan.Add(names[i], *CheckEntryName(names[i])); !added)
                refused = added.error().find(names[i]) == std::string::npos ? -2 : static_cast<int>(i);
        EXPECT_EQ(refused, clash) << names.back();
    }
}

} // namespace
} // namespace corvane
