// where the program finds its own files and keeps its settings
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "core/program_folder.h"

namespace corvane {
namespace {

EnvLookup Environment(std::map<std::string, std::string> values) {
    return [values](const std::string& name) -> std::optional<std::string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

TEST(ProgramFolder, ProgramDataAndConfigFolders) {
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", "/opt/corvane/"}})), "/opt/corvane");
    const std::string executableFolder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", ""}})), executableFolder);
    const std::string program = "/opt/corvane";
    EXPECT_EQ(ChooseDataFolder(program, true, Environment({{"CORVANE_HOME", "/srv/c/"}})), "/srv/c");
    EXPECT_EQ(ChooseDataFolder(program, true, Environment({{"HOME", "/home/a"}})), program);
    EXPECT_EQ(ChooseDataFolder(program, false, Environment({{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}})),
              "/d/corvane");
    // a relative base folder is ignored, as the base directory rules require
    EXPECT_EQ(ChooseDataFolder(program, false, Environment({{"XDG_DATA_HOME", "d"}, {"HOME", "/h"}})),
              "/h/.local/share/corvane");
    EXPECT_EQ(UserConfigFolder(Environment({{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}})), "/c/corvane");
    EXPECT_EQ(UserConfigFolder(Environment({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}})),
              "/h/.config/corvane");
}

} // namespace
} // namespace corvane
