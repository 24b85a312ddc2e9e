// what a backup of a project would miss, found before it is made
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/project/references.h"
#include "core/project/text.h"

namespace corvane {

// A file a project names that a backup could not store.
struct MissingFile {
    int line = 0;          // of the project file
    std::string reference; // UTF-8, as the line writes it
    std::string diskPath;  // where it was looked for; empty when no folder stands for its drive or share
    std::string reason;    // "no such file or folder", "it is a named pipe, not a file", "permission denied", ...
    int systemError = 0;   // the system's error number behind the reason, when it gave one
};

// Every file the project's lines name that is missing, unreadable or not a regular file, in line order.
// Companions (.frx, .ctx, .pgx) are optional and never listed. Fails only when the project file itself
// cannot be read.
Result<std::vector<MissingFile>> FindMissingFiles(const std::string& projectPath, const DriveMap& driveMap,
                                                  CodePage codePage);

// One project of a selection: its file could not be read, or the files it names that a backup would miss.
struct ProjectCheck {
    std::string project;
    std::optional<Error> unreadable;
    std::vector<MissingFile> missing;
};

// FindMissingFiles for each project, in order.
std::vector<ProjectCheck> CheckProjects(const std::vector<std::string>& projects, const DriveMap& driveMap,
                                        CodePage codePage);
// What stands in the way of a backup: each unreadable project and each missing file counts once.
std::size_t CountProblems(const std::vector<ProjectCheck>& checks);

} // namespace corvane
