// finding the file a project reference names on this machine
#pragma once

#include <string>

#include "core/ansi_text.h"
#include "core/drive_map.h"
#include "core/result.h"

namespace corvane {

struct ResolvedReference {
    std::string diskPath; // UTF-8; where the file is or was looked for; empty when no folder maps its drive
    bool exists = false;
};

// Folds a UTF-8 text for comparing file names without regard to case (ASCII and the letters of
// code page 1252).
std::string FoldCase(const std::string& text);

// References keep the form they are written in for the archive; only the file they name is looked
// up here: "\" read as "/", relative ones against the project folder, drives and shares through the
// drive map, "." and ".." applied to the path as written (as Windows does), and every name matched
// without regard to case when the exact one is not there, because VB6 projects come from a file
// system that ignores it.
class ReferenceResolver {
public:
    ReferenceResolver(std::string projectFolder, DriveMap driveMap,
                      CodePage codePage = CodePage::Windows1252);

    ResolvedReference Resolve(const std::string& reference) const;
    // The disk path of a file that exists, or "Referenced file not found: <reference>".
    Result<std::string> Locate(const std::string& reference) const;

private:
    std::string m_projectFolder;
    DriveMap m_driveMap;
    CodePage m_codePage;
};

} // namespace corvane
