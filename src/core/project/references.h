// finding the file a project reference names on this machine: drives, shares, case
#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/common/environment.h"
#include "core/common/error.h"
#include "core/project/text.h"

namespace corvane {

class DriveMap {
public:
    DriveMap() = default;

    // Drives through Wine's dosdevices folder ($WINEPREFIX, else ~/.wine), then the entries of
    // CORVANE_DRIVE_MAP ("C=/mnt/c;D=/srv/lib;\\server\share=/mnt/share"), which win.
    static DriveMap FromEnvironment(const EnvLookup& lookup = ProcessEnvironment());

    // A folder holding one entry per drive named like "d:", as Wine's dosdevices does.
    void SetDosDevices(std::string folder) { m_dosDevices = std::move(folder); }
    // key: a drive letter ("D", "d" or "D:") or a share ("\\server\share"), matched without case.
    void Set(const std::string& key, std::string folder);
    // Adds the "key=folder" entries of a ";"-separated list; entries without "=" or key are skipped.
    void AddEntries(const std::string& list);
    // The folder of a drive letter or share; nullopt when nothing maps it.
    std::optional<std::string> Find(const std::string& key) const;

private:
    std::string m_dosDevices;
    std::map<std::string, std::string> m_folders;
};

// Companions that do not exist are the common case in a large project; reading the folder again for
// each of them made a build quadratic in the number of files.
class FolderListings {
public:
    // names on disk that are not UTF-8 are read in `codePage`
    explicit FolderListings(CodePage codePage = CodePage::Windows1252) : m_codePage(codePage) {}

    // The path of the file in folder whose name equals name (UTF-8) without regard to case: the exact
    // name when it exists, else the first such name in name order; nothing when there is none.
    std::optional<std::string> Find(const std::string& folder, const std::string& name);

private:
    using Listing = std::map<std::string, std::string>; // folded name -> first name on disk
    const Listing& ListingOf(const std::string& folder);

    CodePage m_codePage;
    std::map<std::string, Listing> m_listings;
};

struct ResolvedReference {
    std::string diskPath; // UTF-8; where the file is or was looked for; empty when no folder maps its drive
    bool exists = false;
};

// Folds a UTF-8 text for comparing file names without regard to case (ASCII and the letters of
// code page 1252).
std::string FoldCase(const std::string& text);
// The same for a name read from the disk, which, when it is not UTF-8, came from a Windows machine in
// the project's code page (or 1252 when that is UTF-8).
std::string FoldedDiskName(const std::string& name, CodePage codePage);

// Where a path that starts at a root ("\x", "/x") leads: a project's references stay inside the project's
// folder, as Visual Basic reads them; a group file or a path this machine wrote names this machine's root.
enum class RootedPaths { InProjectFolder, FromMachineRoot };

// References keep the form they are written in for the archive; only the file they name is looked
// up here: "\" read as "/", relative ones against the project folder, drives and shares through the
// drive map, "." and ".." applied to the path as written (as Windows does), and every name matched
// without regard to case when the exact one is not there, because VB6 projects come from a file
// system that ignores it.
class ReferenceResolver {
public:
    ReferenceResolver(std::string projectFolder, DriveMap driveMap, CodePage codePage = CodePage::Windows1252,
                      RootedPaths rooted = RootedPaths::InProjectFolder);

    ResolvedReference Resolve(const std::string& reference) const;
    // The disk path of a file that exists, or "Referenced file not found: <reference>".
    Result<std::string> Locate(const std::string& reference) const;

private:
    std::string m_projectFolder;
    DriveMap m_driveMap;
    CodePage m_codePage;
    RootedPaths m_rooted;
};

} // namespace corvane
