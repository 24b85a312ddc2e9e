// the ".vbpgroup" file: one group name, a main project, a backup folder and linked projects
#pragma once

#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

// What the group editor shows and saves.
struct GroupEditorFields {
    std::string groupName;
    std::string mainProject;
    std::string backupFolder;
    std::vector<std::string> linkedProjects;
};

// Writes name, main project, "[PATH]" + folder and every linked project, one per CR LF line, bytes as
// given. The text goes to a temporary file beside the target that then replaces it, so a failed write
// leaves the old file (or none) rather than half a file. A read-only target is refused, not replaced,
// and so, before the file is touched, is a group that would read back otherwise: a backup folder
// holding "[PATH]" or a project starting with it.
Status WriteGroupFile(const std::string& path, const GroupEditorFields& fields);

// The editor's reading. It stops like the old sequential reader did: a file that ends before line 2
// leaves what was read so far and no default folder, and the editor ends its command silently.
struct GroupEditorRead {
    GroupEditorFields fields;
    bool stoppedEarly = false; // ended before line 2, or could not be opened at all
    std::string error;         // set only when the file could not be opened
};
GroupEditorRead ReadGroupForEditor(const std::string& path);

// What the main window needs of a group: the subfolder its backups go to, the projects to archive
// (main project first) and the folder below which that subfolder is made.
struct GroupSelection {
    std::string subfolderName;
    std::vector<std::string> projects;
    std::string savePath;
};

// The main window's reading: line 1 is the name; every later line is either the save path ("[PATH]")
// or a project. An empty or unreadable file is a failure.
Result<GroupSelection> ReadGroupForMainWindow(const std::string& path);

// Visual Basic's own group file (".vbg"): "StartupProject=" first, then each "Project=", made absolute
// against the file's folder; the name is the file's name without extension.
Result<GroupSelection> ReadVbgGroup(const std::string& path);

// One project reference of a ".vbg" made absolute against the group file's folder and cleared of "."
// and ".." steps. A group path written with "\" alone gives a Windows path; any other gives a path of
// this machine, its "\" turned into "/".
std::string ResolveVbgProject(const std::string& reference, const std::string& groupPath);

// ".vbg" (any case) goes to ReadVbgGroup, everything else to ReadGroupForMainWindow.
Result<GroupSelection> ReadAnyGroup(const std::string& path);

// The backup folder proposed for a project: "Sources.Backup" beside it, with a trailing separator.
std::string DefaultGroupBackupFolder(const std::string& projectPath);

} // namespace corvane
