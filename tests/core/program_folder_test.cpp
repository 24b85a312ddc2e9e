// where the program finds its own files and keeps its settings
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "core/program_folder.h"

namespace corvane {
namespace {

EnvLookup Environment(std::map<std::string, std::string> values) {
    return [values](const std::string& name) {
        return values.count(name) ? std::optional(values.at(name)) : std::nullopt;
    };
}

TEST(ProgramFolder, ProgramDataAndConfigFolders) {
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", "/opt/corvane/"}})), "/opt/corvane");
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", ""}})),
              std::filesystem::canonical("/proc/self/exe").parent_path().string());
    EXPECT_EQ(ChooseDataFolder("/opt/c", true, Environment({{"CORVANE_HOME", "/srv/c/"}})), "/srv/c");
    EXPECT_EQ(ChooseDataFolder("/opt/c", true, Environment({{"HOME", "/home/a"}})), "/opt/c");
    EXPECT_EQ(ChooseDataFolder("/opt/c", false, Environment({{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}})),
              "/d/corvane");
    // a relative base folder is ignored, as the base directory rules require
    EXPECT_EQ(ChooseDataFolder("/opt/c", false, Environment({{"XDG_DATA_HOME", "d"}, {"HOME", "/h"}})),
              "/h/.local/share/corvane");
    EXPECT_EQ(UserConfigFolder(Environment({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}})),
              "/h/.config/corvane");
}

} // namespace
} // namespace corvane
