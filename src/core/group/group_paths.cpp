// the paths a group file names, as this machine finds them
#include "core/group/group.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

Error NoFolderFor(const std::string& groupPath, int line, const std::string& text) {
    return fail(ErrorKind::NotFound,
                "The group file " + groupPath + ", line " + std::to_string(line) + ", names \"" + text +
                    "\", whose drive or share no folder of this machine stands for (see CORVANE_DRIVE_MAP).",
                groupPath);
}

} // namespace

Result<GroupSelection> LocateGroupPaths(GroupSelection selection, const std::string& groupPath,
                                        const DriveMap& driveMap) {
    const std::string folder = FolderOfPath(groupPath);
    // the lines are UTF-8 already; paths this program wrote start at this machine's root
    const ReferenceResolver resolver(folder.empty() ? "." : folder, driveMap, CodePage::Utf8,
                                     RootedPaths::FromMachineRoot);
    // the default save path was made from the first project's text; it is made again from where it is
    const bool defaultSavePath = selection.savePathLine == 0;
    for (std::size_t i = 0; i < selection.projects.size(); ++i) {
        const ResolvedReference found = resolver.Resolve(selection.projects[i]);
        if (found.diskPath.empty())
            return NoFolderFor(groupPath, i < selection.projectLines.size() ? selection.projectLines[i] : 0,
                               selection.projects[i]);
        selection.projects[i] = found.diskPath;
    }
    if (!defaultSavePath) {
        const ResolvedReference found = resolver.Resolve(selection.savePath);
        if (found.diskPath.empty())
            return NoFolderFor(groupPath, selection.savePathLine, selection.savePath);
        selection.savePath = AddBackslash(found.diskPath);
    } else if (!selection.projects.empty()) {
        selection.savePath = DefaultGroupBackupFolder(selection.projects.front());
    }
    return selection;
}

} // namespace corvane
