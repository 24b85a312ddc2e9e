// where the program finds its own files and keeps its settings
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "core/program_folder.h"

namespace corvane {
namespace {

EnvLookup Environment(std::map<std::string, std::string> values)
{
    return [values](const std::string& name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    };
}

TEST(ProgramFolder, HomeVariableOrExecutableFolder)
{
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", "/opt/corvane/"}})), "/opt/corvane");
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", "/"}})), "/");
    const std::string executableFolder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    EXPECT_EQ(ProgramFolder(Environment({})), executableFolder);
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", ""}})), executableFolder);
    EXPECT_EQ(LanguageFolder("/opt/corvane"), "/opt/corvane/Lng");
    EXPECT_EQ(LanguageFolder("/"), "/Lng");
}

struct DataCase {
    const char* name;
    bool programFolderWritable;
    std::map<std::string, std::string> env;
    std::string expected;
};
void PrintTo(const DataCase& c, std::ostream* os) { *os << c.name; }

class ProgramFolderData : public ::testing::TestWithParam<DataCase> {};

TEST_P(ProgramFolderData, Chooses)
{
    const DataCase& c = GetParam();
    EXPECT_EQ(ChooseDataFolder("/opt/corvane", c.programFolderWritable, Environment(c.env)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFolder, ProgramFolderData,
    ::testing::Values(
        DataCase{"home_variable_wins", true, {{"CORVANE_HOME", "/srv/c/"}, {"HOME", "/home/a"}}, "/srv/c"},
        DataCase{"writable_program_folder", true, {{"HOME", "/home/a"}}, "/opt/corvane"},
        DataCase{"xdg_data_home", false, {{"XDG_DATA_HOME", "/d"}, {"HOME", "/home/a"}}, "/d/corvane"},
        DataCase{"relative_xdg_ignored", false, {{"XDG_DATA_HOME", "d"}, {"HOME", "/home/a"}},
                 "/home/a/.local/share/corvane"},
        DataCase{"empty_xdg_ignored", false, {{"XDG_DATA_HOME", ""}, {"HOME", "/home/a/"}},
                 "/home/a/.local/share/corvane"},
        DataCase{"nothing_known", false, {}, "/opt/corvane"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramFolder, UserConfigFolder)
{
    EXPECT_EQ(UserConfigFolder(Environment({{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/home/a"}})), "/c/corvane");
    EXPECT_EQ(UserConfigFolder(Environment({{"HOME", "/home/a"}})), "/home/a/.config/corvane");
    EXPECT_EQ(UserConfigFolder(Environment({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}})), "/h/.config/corvane");
}

} // namespace
} // namespace corvane
