// group files of any bytes: both readers, and a stable write and read of what the editor read
#include <cstddef>
#include <cstdint>
#include <tuple>

#include "core/group/group.h"
#include "core/project/text.h"
#include "fuzz_support.h"
#include "support/oracles.h"

namespace corvane::testing {

// The file at `path` read by both readers; what the editor read, written to `copyPath` and read again,
// gives the same fields. The format has no escape for "[PATH]": a backup folder holding it (the default
// folder of a main project whose path holds it) comes back without it, or the writer refuses it.
inline std::string CheckGroupFile(const std::string& path, const std::string& copyPath) {
    const auto bytes = ReadTextFile(path);
    if (!bytes)
        return "the input file could not be read back: " + bytes.error();
    const std::vector<std::string> lines = SplitLines(bytes.value());
    const auto selection = ReadGroupForMainWindow(path);
    if (lines.empty() != !selection.ok())
        return lines.empty() ? "an empty group file was accepted"
                             : "the main window refused: " + selection.error();
    if (selection.ok()) {
        const auto marked = std::count_if(lines.begin() + 1, lines.end(),
                                          [](const std::string& line) { return line.starts_with("[PATH]"); });
        if (selection->projects.size() + static_cast<std::size_t>(marked) + 1 != lines.size())
            return "the main window lost or invented a project line";
        if (!selection->projects.empty() && selection->savePath.empty())
            return "a group with projects got no save path";
    }
    const GroupEditorRead first = ReadGroupForEditor(path);
    if (first.stoppedEarly != (lines.size() < 2))
        return "the editor stopped early on a file of " + std::to_string(lines.size()) + " lines";
    if (first.stoppedEarly)
        return "";
    const GroupEditorFields& a = first.fields;
    const bool marker =
        a.backupFolder.find("[PATH]") != std::string::npos || a.mainProject.starts_with("[PATH]");
    std::error_code ec;
    std::filesystem::remove(copyPath, ec); // written fresh: replacing a file makes some file systems flush it
    if (Status written = WriteGroupFile(copyPath, a); !written)
        return marker ? "" : "writing the group back failed: " + written.error();
    const GroupEditorRead second = ReadGroupForEditor(copyPath);
    const GroupEditorFields& b = second.fields;
    if (second.stoppedEarly)
        return "the written group file could not be read again";
    for (const auto& [what, before, after] : {std::tuple("group name", a.groupName, b.groupName),
                                              std::tuple("main project", a.mainProject, b.mainProject),
                                              std::tuple("backup folder", a.backupFolder, b.backupFolder)})
        if (before != after && !(marker && std::string_view(what) == "backup folder"))
            return std::string("the ") + what + " " + Shown(before) + " came back as " + Shown(after);
    if (a.linkedProjects != b.linkedProjects)
        return "the linked projects changed in a write and read";
    return "";
}

} // namespace corvane::testing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    const std::string bytes = fuzzing::Bytes(data, size);
    const std::string path = fuzzing::WriteInput("input.vbpgroup", bytes);
    const std::string copy = (fuzzing::ProcessFolder::Path() / "copy.vbpgroup").string();
    fuzzing::Require(testing::CheckGroupFile(path, copy));
    // the same bytes as Visual Basic's own group format
    const std::string vbg = fuzzing::WriteInput("input.vbg", bytes);
    (void)ReadAnyGroup(vbg);
    return 0;
}
