// unpacking: hostile and broken archives write nothing outside their place, good ones unpack whole
#include "hostile_archives.h"

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
    }
    // declining to give one is a cancel; not being able to ask names the entry
    EXPECT_TRUE(
        IsCancelledExtraction(scene.Extract(Options({}, [] { return std::optional<std::string>(); }))));
    auto unasked = scene.Extract();
    EXPECT_EQ(unasked.ok() ? "" : unasked.error(), "A password is needed for Sub/new.txt");
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

TEST(UnzipperTest, FailureKeepsEarlierFilesWholeAndLeavesNoPartialFile) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(), {{"first.txt", "whole"}, {"second.txt", std::string(4000, 's')}});
    PatchBothHeaders(scene.Archive(), 1, kLocalCrc, kCentralCrc, 0x01020304);
    auto result = scene.Extract();
    EXPECT_NE(result.ok() ? std::string::npos : result.error().find("second.txt"), std::string::npos);
    EXPECT_EQ(ReadFile(scene.Target() + "/first.txt"), "whole");
    EXPECT_FALSE(fs::exists(scene.Target() + "/second.txt"));
    EXPECT_FALSE(scene.HasLeftovers());
}

TEST(UnzipperTest, CancelRemovesThePartialFile) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(), {{"big.bin", RandomBytes(1 << 20)}});
    int calls = 0;
    UnzipOptions options;
    options.progress = [&](double) { ++calls; };
    options.cancelRequested = [&] { return calls >= 3; };
    EXPECT_TRUE(IsCancelledExtraction(scene.Extract(options)));
    EXPECT_FALSE(fs::exists(scene.Target() + "/big.bin"));
    EXPECT_FALSE(scene.HasLeftovers());
}

} // namespace
} // namespace corvane
