// unpacking: where an entry name may land, hostile and broken archives write nothing outside their place,
// good ones unpack whole

#include <atomic>

#include "core/restore/path_gate.h"
#ifndef _WIN32
#include "support/child_process.h"
#endif
#include "support/hostile_archives.h"

namespace corvane {
namespace {

using namespace corvane::testing;

UnzipOptions Options(UnzipLimits limits,
                     std::function<std::optional<std::string>(int)> askPassword = nullptr) {
    UnzipOptions options;
    options.limits = limits;
    options.existing = ExistingFolder::Replace;
    options.askPassword = std::move(askPassword);
    return options;
}

// The user must learn which entry was refused, or which archive, or its count of entries.
bool NamesTheCulprit(const std::string& error, const HostileCase& row, const std::string& archive,
                     const std::string& target) {
    for (const RawEntry& entry : row.entries)
        if (error.find("\"" + DisplayEntryName(entry.name)) != std::string::npos)
            return true;
    return error.find("\"" + archive + "\"") != std::string::npos ||
           error.find(target) != std::string::npos ||
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
    EXPECT_TRUE(NamesTheCulprit(result.error(), row, scene.Archive(), scene.Target())) << result.error();
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
            scene.Extract(Options({}, [&](int) { return std::optional("wrong" + std::to_string(attempt)); }));
        ASSERT_EQ(result.ok() ? "" : result.error(), "Wrong password for Sub/new.txt");
        ASSERT_EQ(result.failure().kind, ErrorKind::WrongPassword);
    }
    // declining to give one is a cancel; not being able to ask names the entry
    EXPECT_TRUE(scene.Extract(Options({}, [](int) { return std::optional<std::string>(); })).cancelled());
    const auto unasked = scene.Extract();
    EXPECT_EQ(unasked.ok() ? "" : unasked.error(), "A password is needed for Sub/new.txt");
    EXPECT_EQ(unasked.failure().kind, ErrorKind::WrongPassword);
    EXPECT_EQ(Snapshot(scene.Root()), before);

    // asked again after a wrong one while attempts remain, and once for all entries when right
    std::vector<int> asked;
    UnzipOptions retrying = Options({.maxTotalBytes = 11}, [&](int attempt) {
        asked.push_back(attempt);
        return std::optional<std::string>(attempt < 3 ? "wrong" : "right");
    });
    retrying.passwordAttempts = 2;
    EXPECT_EQ(scene.Extract(retrying).failure().kind, ErrorKind::WrongPassword);
    EXPECT_EQ(asked, (std::vector{1, 2}));
    EXPECT_EQ(Snapshot(scene.Root()), before);
    retrying.passwordAttempts = 3;
    asked.clear();
    const auto result = scene.Extract(retrying);
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(asked, (std::vector{1, 2, 3}));
    EXPECT_EQ(ReadFile(scene.Target() + "/old.txt"), "replaced");
}

// AE-2 entries, as 7-Zip writes them both stored and deflated, carry a CRC of 0: their authentication
// code proves them, and a wrong password or a changed byte still fails
TEST(UnzipperTest, AesVersion2EntriesOpenWithTheRightPasswordOnly) {
    ExtractionScene scene;
    const fs::path source = scene.Root() / "source";
    WriteFile(source / "big.bas", std::string(40000, 'b'));
    WriteFile(source / "photo.frx", RandomBytes(30000));
    ASSERT_EQ(Shell("cd " + Quoted(source.string()) + " && 7zz a -tzip -mem=AES256 -psecret " +
                    Quoted(scene.Archive()) + " big.bas photo.frx >/dev/null")
                  .exitCode,
              0);
    const auto with = [](const char* password) {
        return Options({}, [=](int) { return std::optional<std::string>(password); });
    };
    const auto tested = TestArchive(scene.Archive(), with("secret"));
    EXPECT_EQ(tested.ok() ? *tested : -1, 2) << (tested.ok() ? "" : tested.error());
    EXPECT_EQ(scene.Extract(with("wrong")).failure().kind, ErrorKind::WrongPassword);
    ASSERT_TRUE(scene.Extract(with("secret")).ok());
    EXPECT_EQ(ReadFile(scene.Target() + "/photo.frx"), RandomBytes(30000));
    EXPECT_EQ(ReadFile(scene.Target() + "/big.bas"), std::string(40000, 'b'));
    // one byte of each entry's encrypted data flipped, past its extra field, salt and password check
    for (const std::string name : {"big.bas", "photo.frx"}) {
        std::string bytes = ReadFile(scene.Archive());
        bytes[bytes.find(name) + name.size() + 11 + 18 + 5] ^= 1;
        WriteFile(scene.Root() / "tampered.zip", bytes);
        EXPECT_FALSE(TestArchive((scene.Root() / "tampered.zip").string(), with("secret")).ok()) << name;
    }
}

// a directory of more than 65,535 entries has a zip64 end record between it and the end record; with
// the entry cap moved, it is read as libzip reads it
TEST(UnzipperTest, ReadsAZip64DirectoryOnceTheCapIsMoved) {
    ExtractionScene scene;
    WriteFile(scene.Archive(), ManyEntriesArchive());
    UnzipOptions options;
    options.limits.maxEntries = kManyEntries;
    const auto tested = TestArchive(scene.Archive(), options);
    EXPECT_EQ(tested.ok() ? *tested : -1, kManyEntries) << (tested.ok() ? "" : tested.error());
}

TEST(UnzipperTest, CreatesAMissingTargetAndMatchesInfoZip) {
    ExtractionScene scene;
    const fs::path source = scene.Root() / "source";
    WriteFile(source / "Forms/frmMain.frm", "form");
    WriteFile(source / "Forms/frmMain.frx", RandomBytes(70000));
    WriteFile(source / "Ünïcode.bas", "module");
    ASSERT_EQ(Shell("cd " + Quoted(source.string()) + " && zip -qr " + Quoted(scene.Archive()) + " .").exitCode, 0);
    // the folders a failed run had to make above its target go with it
    const std::string target = scene.Target() + "/new/deeper";
    UnzipOptions cancelled;
    cancelled.cancelRequested = [] { return true; };
    EXPECT_TRUE(ExtractArchive(scene.Archive(), target, cancelled).cancelled());
    EXPECT_FALSE(fs::exists(scene.Target() + "/new"));
    const auto result = ExtractArchive(scene.Archive(), target, {});
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_FALSE(scene.HasLeftovers());
}

// a folder that holds anything is replaced only when asked to, and a failure or a cancel in any entry
// leaves it as it was, with no staging folder beside it
TEST(UnzipperTest, TheTargetChangesOnlyWhenEveryEntryIsWritten) {
    ExtractionScene scene;
    MakeArchive(scene.Archive(), {{"first.txt", "whole"}, {"second.txt", std::string(4000, 's')}});
    const auto refused = scene.Extract({});
    EXPECT_EQ(refused.failure().kind, ErrorKind::Exists);
    EXPECT_NE(refused.error().find(scene.Target()), std::string::npos);

    PatchBothHeaders(scene.Archive(), 1, kLocalCrc, kCentralCrc, 0x01020304);
    const auto damaged = scene.Extract();
    EXPECT_NE(damaged.ok() ? std::string::npos : damaged.error().find("second.txt"), std::string::npos);
    EXPECT_EQ(damaged.failure().kind, ErrorKind::Damaged);
    const auto afterDamage = Snapshot(scene.Root());
    MakeArchive(scene.Archive(), {{"big.bin", RandomBytes(1 << 20)}});
    int calls = 0;
    UnzipOptions options = Options({});
    options.progress = [&](double) { ++calls; };
    options.cancelRequested = [&] { return calls >= 3; };
    EXPECT_TRUE(scene.Extract(options).cancelled());
    EXPECT_EQ(ReadFile(scene.Target() + "/old.txt"), "old");
    EXPECT_EQ(Snapshot(scene.Target()),
              (std::map<std::string, std::string>{{"old.txt", afterDamage.at("target/old.txt")}}));
    EXPECT_FALSE(scene.HasLeftovers());

    ASSERT_TRUE(scene.Extract().ok());
    EXPECT_EQ(ReadFile(scene.Target() + "/big.bin"), RandomBytes(1 << 20));
    EXPECT_FALSE(fs::exists(scene.Target() + "/old.txt"));
    EXPECT_FALSE(scene.HasLeftovers());
    // an empty folder is no one's work
    fs::remove_all(scene.Target());
    fs::create_directory(scene.Target());
    EXPECT_TRUE(scene.Extract({}).ok());
}

// Files are unpacked by several workers: every one lands in its folder with its bytes; when two are
// damaged, the first in the archive's order is the one named, however the workers raced; a cancel
// while they run leaves the target as it was and no file of the staging folder behind.
TEST(UnzipperTest, WorkersUnpackInFoldersNameTheFirstDamageAndHearTheCancel) {
    ExtractionScene scene;
    std::vector<RawEntry> entries;
    for (int i = 0; i < 60; ++i)
        entries.push_back({"f" + std::to_string(i % 4) + "/s" + std::to_string(i % 3) + "/e" + std::to_string(i),
                           RandomBytes(20000 + 997 * i, i)});
    entries[9].data = RandomBytes(3 << 20, 9); // the later damaged entry is done long before it
    MakeArchive(scene.Archive(), entries);
    auto whole = scene.Extract();
    ASSERT_TRUE(whole.ok()) << whole.error();
    EXPECT_EQ(*whole, 60);
    for (const RawEntry& entry : entries)
        ASSERT_EQ(ReadFile(scene.Target() + "/" + entry.name), entry.data) << entry.name;
    const auto before = Snapshot(scene.Target());

    PatchBothHeaders(scene.Archive(), 10, kLocalCrc, kCentralCrc, 0x01020304);
    PatchBothHeaders(scene.Archive(), 9, kLocalCrc, kCentralCrc, 0x01020304);
    for (int run = 0; run < 5; ++run) {
        const auto damaged = scene.Extract();
        ASSERT_FALSE(damaged.ok());
        EXPECT_NE(damaged.error().find("\"" + entries[9].name + "\""), std::string::npos) << damaged.error();
        EXPECT_EQ(Snapshot(scene.Target()), before);
        EXPECT_FALSE(scene.HasLeftovers());
    }

    MakeArchive(scene.Archive(), entries);
    std::atomic<int> calls = 0;
    UnzipOptions options = Options({});
    options.progress = [&](double) { ++calls; };
    // from the first report on, which comes while the workers run: however fast they are, the cancel is
    // heard at the latest just before the target would change
    options.cancelRequested = [&] { return calls >= 1; };
    EXPECT_TRUE(scene.Extract(options).cancelled());
    EXPECT_EQ(Snapshot(scene.Target()), before);
    EXPECT_FALSE(scene.HasLeftovers());
}

#ifndef _WIN32 // killing a child process in the middle needs fork
// killed at any moment, an extraction leaves the target as it was or whole, never in between; the next
// run clears the staging folder the killed one left
TEST(UnzipperTest, AKilledRunLeavesTheTargetAndTheNextRunClearsUp) {
    ExtractionScene scene;
    std::vector<RawEntry> entries;
    for (unsigned i = 0; i < 40; ++i)
        entries.push_back({"f" + std::to_string(i) + ".bin", RandomBytes(256 << 10, i)});
    MakeArchive(scene.Archive(), entries);
    const auto before = Snapshot(scene.Target());
    ASSERT_TRUE(ExtractArchive(scene.Archive(), scene.Root() / "whole", {}).ok());
    const auto whole = Snapshot(scene.Root() / "whole");
    bool leftStaging = false;
    for (const int percent : {0, 30, 60, 90, 100}) {
        KillDuring(
            [&](const std::function<void()>& signal) {
                UnzipOptions options;
                options.existing = ExistingFolder::Replace;
                options.progress = [&](double fraction) {
                    if (fraction * 100 >= percent)
                        signal();
                };
                (void)scene.Extract(options);
            },
            std::chrono::microseconds(0));
        const auto after = Snapshot(scene.Target());
        EXPECT_TRUE(after == before || after == whole) << percent << "% had " << after.size() << " items";
        leftStaging = leftStaging || scene.HasLeftovers();
    }
    EXPECT_TRUE(leftStaging) << "no kill came before the end: the test proves nothing";
    ASSERT_TRUE(scene.Extract().ok());
    EXPECT_FALSE(scene.HasLeftovers());
}
#endif

// where an accepted name lands, a trailing "/" for a folder; a refused one as a message shows it; the
// folder an archive unpacks into beside it
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
             "Billing.vbp", "..a/b", ".vbw", "console.txt", "COM0", "lpt10.txt", std::string(255, 'n')})
        EXPECT_EQ(landing(name), name);
    for (const std::string& name :
         std::initializer_list<std::string>{"Nul.frm",  "lpt1.log", "con .txt",   "Com9",
                                            "a/./b",    "a//b",     "a\\\\b",     "a/..",
                                            ".",        "",         "/",          "//server/x",
                                            "a\x7f",    "x:",       "C:evil.txt", std::string("a\0b", 3),
                                            "..a/b..",  "...",      "a*b",        "a?",
                                            "<x>",      "p|q",      "say\"",      "dot./x",
                                            "space /x", "x "})
        EXPECT_NE(landing(name).find("was refused"), std::string::npos) << name;
    EXPECT_EQ(DisplayEntryName("a\x1b[2J"), "a\\x1b[2J");
    EXPECT_EQ(DisplayEntryName(std::string(119, 'x') + "\xc3\xa9" + "tail"), std::string(119, 'x') + "...");
    // the folder beside an archive takes the archive's name through the same gate
    const auto folder = [](const std::string& archive) {
        const auto found = ExtractionFolderOf(archive);
        return found.ok() ? *found : "refused: " + found.error();
    };
    EXPECT_EQ(folder("/b/App 1.0.0.20250101000000.Zip"), "/b/App 1.0.0.20250101000000");
    EXPECT_EQ(folder("B.ZIP"), "B");
    for (const char* archive : {"/b/App.vbp", "/b/..zip", "/b/...zip", "/b/.zip", "/b/con.zip", "/b/x .zip"})
        EXPECT_TRUE(folder(archive).starts_with("refused: ")) << archive;
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
