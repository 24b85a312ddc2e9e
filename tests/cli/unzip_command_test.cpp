// corvane-cli unzip in-process: the folder beside the archive, passwords, exit codes, and the table of
// hostile archives refused naming the entry, with nothing changed
#include <tuple>

#include "../core/hostile_archives.h"
#include "cli_run_support.h"
#include "core/extract_path_gate.h"
#include "core/paths.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// A bare name is looked for in the last backup folder, which the archive command remembered.
TEST_F(CommandTest, RoundTripByBareNameGivesTheProjectBackBesideTheArchive) {
    const CliRun archived = Archive({m_project.path, "--dest", m_scratch.Path("backups")});
    ASSERT_EQ(archived.code, 0) << archived.err;
    const std::string archive = archived.out.substr(0, archived.out.size() - 1);
    const CliRun run = Unzip({FileNameOfPath(archive)});
    const std::string folder = archive.substr(0, archive.size() - 4);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, folder + "\n");
    EXPECT_EQ(ReadFile(folder + "/FileNotInRootPath/Disk_D_/Lib/modTools.bas"),
              ReadFile(m_project.driveD + "/Lib/modTools.bas"));
    EXPECT_EQ(ReadFile(folder + "/Billing 2.1.0.20250717095823.vbp"), BillingProject::Rewritten());
}

struct ArgsCase {
    const char* label;
    std::string name;              // of the archive of two encrypted entries, none when it is "gone.zip"
    std::vector<std::string> args; // after the archive; "<file>" is a file holding the password
    int code;
    const char* inErr;
};

class UnzipArgsTest : public CommandTest, public ::testing::WithParamInterface<ArgsCase> {};

// A refused archive creates nothing at all, not even the folder named after it.
TEST_P(UnzipArgsTest, ExtractsOrWritesNothing) {
    const ArgsCase& c = GetParam();
    m_variables = {{"PW", "right one"}};
    std::vector<std::string> args = {m_scratch.Path("in/" + c.name)};
    fs::create_directories(m_scratch.Path("in"));
    const RawEntry::Kind file = RawEntry::Kind::File;
    if (c.name != "gone.zip")
        MakeArchive(args[0], {{"a.bas", "a", file, "right one"}, {"b.bas", "b", file, "right one"}});
    for (const std::string& arg : c.args)
        args.push_back(arg == "<file>" ? m_scratch.Write("pw", "right one\n") : arg);
    const auto before = Snapshot(m_scratch.Path());
    const CliRun run = Unzip(args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_NE(run.err.find(c.inErr), std::string::npos) << run.err;
    if (c.code == 0) {
        EXPECT_EQ(ReadFile(m_scratch.Path("in/a/a.bas")), "a");
    } else {
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Snapshot(m_scratch.Path()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UnzipArgsTest,
    ::testing::Values(
        ArgsCase{"PasswordFromVariable", "a.zip", {"--password-env", "PW"}, 0, ""},
        ArgsCase{"PasswordFromFile", "a.zip", {"--password-file", "<file>"}, 0, ""},
        ArgsCase{"NoPassword", "a.zip", {}, kUsageExit, "pass --password-env VAR or --password-file FILE"},
        ArgsCase{"NotAZipName", "d.rar", {}, kUsageExit, "is not a .zip file"},
        ArgsCase{"NoSuchArchive", "gone.zip", {}, kUsageExit, "does not exist"},
        ArgsCase{"CountWithSuffix", "a.zip", {"--max-entries", "10k"}, kUsageExit, "whole number above 0"},
        ArgsCase{"ZeroSize", "a.zip", {"--max-size", "0"}, kUsageExit, "--max-size needs a whole number"},
        ArgsCase{"RatioBelowOne", "a.zip", {"--max-ratio", "0.5"}, kUsageExit, "at least 1, not \"0.5\""},
        ArgsCase{"MissingValue", "a.zip", {"--max-entry-size"}, kUsageExit, "--max-entry-size needs a value"},
        ArgsCase{
            "LoweredEntryCap", "a.zip", {"--max-entries", "1"}, 1, "2 entries, more than the limit of 1"}),
    [](const auto& info) { return std::string(info.param.label); });

// The options that move the caps a row lowers.
std::vector<std::string> LimitOptions(const UnzipLimits& limits) {
    const UnzipLimits defaults;
    std::vector<std::string> args;
    for (const auto& [value, fallback, option] :
         {std::tuple(limits.maxEntries, defaults.maxEntries, "--max-entries"),
          std::tuple(limits.maxTotalBytes, defaults.maxTotalBytes, "--max-size"),
          std::tuple(limits.maxEntryBytes, defaults.maxEntryBytes, "--max-entry-size")})
        if (value != fallback)
            args.insert(args.end(), {option, std::to_string(value)});
    if (limits.maxRatio != defaults.maxRatio)
        args.insert(args.end(), {"--max-ratio", std::to_string(limits.maxRatio)});
    return args;
}

// The user must learn which entry was refused, or which archive, or its count of entries.
bool NamesTheCulprit(const std::string& err, const HostileCase& row, const std::string& archive) {
    for (const RawEntry& entry : row.entries)
        if (err.find("\"" + DisplayEntryName(entry.name)) != std::string::npos)
            return true;
    return err.find("\"" + archive + "\"") != std::string::npos ||
           (row.entries.empty() && err.find(std::to_string(kManyEntries) + " entries") != std::string::npos);
}

class UnzipHostileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(UnzipHostileTest, IsRefusedAndChangesNothing) {
    const HostileCase& row = GetParam();
    ExtractionScene scene;
    ASSERT_EQ(ExtractionFolderOf(scene.Archive()), scene.Target());
    MakeArchive(scene.Archive(), row.entries);
    if (row.tamper)
        row.tamper(scene);
    const auto before = Snapshot(scene.Root());
    std::vector<std::string> args = LimitOptions(row.limits);
    args.push_back(scene.Archive());
    std::ostringstream out, err;
    EXPECT_EQ(RunUnzip(args, RunContext{}, out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find(row.messagePart), std::string::npos) << err.str();
    EXPECT_TRUE(NamesTheCulprit(err.str(), row, scene.Archive())) << err.str();
    EXPECT_EQ(Snapshot(scene.Root()), before);
    EXPECT_FALSE(fs::exists("/tmp/corvane-evil.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, UnzipHostileTest, ::testing::ValuesIn(HostileArchives()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace corvane
