// the ".vbpgroup" file: one group name, a main project, a backup folder and linked projects
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/project/references.h"
#include "core/project/text.h"

namespace corvane {

// What the group editor shows and saves, as UTF-8 texts. Group files are ANSI text, like every other
// file a Visual Basic 6 user has; the readers and the writer convert in the code page given, the one
// project files are read in, and every byte of Windows-1252 or Latin-1 comes back as it was.
struct GroupEditorFields {
    std::string groupName;
    std::string mainProject;
    std::string backupFolder;
    std::vector<std::string> linkedProjects;

    bool operator==(const GroupEditorFields&) const = default;
};

// The first text of the fields that a group file cannot hold as it is, or nothing: one with a
// character the code page lacks, a line break or U+FFFD (what was read of bytes that were not text), a
// backup folder holding "[PATH]", a project starting with it (the format has no escape, and a reader
// would take that line for the save path).
std::optional<std::string> UnstorableText(const GroupEditorFields& fields, CodePage codePage);

// Writes name, main project, "[PATH]" + folder and every linked project, one per CR LF line. The text
// goes to a temporary file beside the target that then replaces it, so a failed write leaves the old
// file (or none) rather than half a file. Refused before anything is touched: a name that is not a
// ".vbpgroup" (a project file is never overwritten with a group), a read-only target, and fields with an
// UnstorableText.
Status WriteGroupFile(const std::string& path, const GroupEditorFields& fields,
                      CodePage codePage = CodePage::Windows1252);

// The editor's reading. It stops like the old sequential reader did: a file that ends before line 2
// leaves what was read so far and no default folder, and the editor ends its command silently.
struct GroupEditorRead {
    GroupEditorFields fields;
    bool stoppedEarly = false; // ended before line 2, or could not be opened at all
    std::string error;         // set only when the file could not be opened
};
GroupEditorRead ReadGroupForEditor(const std::string& path, CodePage codePage = CodePage::Windows1252);

// What the main window needs of a group: the subfolder its backups go to, the projects to archive
// (main project first) and the folder below which that subfolder is made; UTF-8, as this machine
// names files.
struct GroupSelection {
    std::string subfolderName;
    std::vector<std::string> projects;
    std::string savePath;
    std::vector<int> projectLines; // the line of the file each project is named on
    int savePathLine = 0;          // 0: not named, the default beside the first project
};

// The main window's reading: line 1 is the name; every later line is either the save path ("[PATH]")
// or a project. An empty or unreadable file is a failure.
Result<GroupSelection> ReadGroupForMainWindow(const std::string& path,
                                              CodePage codePage = CodePage::Windows1252);

// Visual Basic's own group file (".vbg"): "StartupProject=" first, then each "Project=", made absolute
// against the file's folder; the name is the file's name without extension.
Result<GroupSelection> ReadVbgGroup(const std::string& path, CodePage codePage = CodePage::Windows1252);

// One project reference of a ".vbg" made absolute against the group file's folder and cleared of "."
// and ".." steps. A group path written with "\" alone gives a Windows path; any other gives a path of
// this machine, its "\" turned into "/".
std::string ResolveVbgProject(const std::string& reference, const std::string& groupPath);

// Where a Visual Basic group (".vbg") is saved once it has been read, since saving always writes this
// program's own format: its name with ".vbpgroup", or "name (2).vbpgroup" and on when that file
// exists, so that no group file of the user's is replaced unasked.
std::string GroupFileNameForVbg(const std::string& vbgPath);

// The projects and the save path of a group read from `groupPath` as this machine finds them: drive
// letters and shares through the drive map, relative paths against the group file's folder, "." and
// ".." on the text, names matched without regard to case. A path whose drive or share no folder
// stands for fails, naming the group file, the line and the path; nothing is made of it.
Result<GroupSelection> LocateGroupPaths(GroupSelection selection, const std::string& groupPath,
                                        const DriveMap& driveMap);

// ".vbg" (any case) goes to ReadVbgGroup, everything else to ReadGroupForMainWindow; the paths as written.
Result<GroupSelection> ReadGroupAsWritten(const std::string& path, CodePage codePage = CodePage::Windows1252);
// ReadGroupAsWritten, then LocateGroupPaths.
Result<GroupSelection> ReadAnyGroup(const std::string& path, CodePage codePage = CodePage::Windows1252,
                                    const DriveMap& driveMap = DriveMap());

// The backup folder proposed for a project: "Sources.Backup" beside it, with a trailing separator.
std::string DefaultGroupBackupFolder(const std::string& projectPath);

// A group name is one line of the file and, when the group is archived, the name of a folder below the
// save path. Typed or pasted text loses its line breaks and other control characters ...
std::string WithoutControlCharacters(const std::string& text);
// ... and a name holding / \ : * ? " < > | or starting with "." is refused: it would make nested
// folders, leave the save path or fail on Windows.
bool IsGroupFolderName(const std::string& name);

// Whether two project paths name one project, compared as the reference resolver finds files: "."
// and ".." applied, and a name matched without regard to case only when the exact one is not there;
// a Windows path this machine cannot reach is compared without regard to case.
bool SameProject(const std::string& a, const std::string& b);

} // namespace corvane
