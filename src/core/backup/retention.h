// keeping only the newest backups: older archives of one project, older runs of one group
#pragma once

#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/project/project.h"
#include "core/project/text.h"

namespace corvane {

// What keeping the newest backups took away, and what it could not.
struct Pruned {
    std::vector<std::string> removed;
    std::vector<Error> failures; // a file or folder that could not be removed; it stays
};

// The archives of a project in `folder`, newest first: the names the backup naming gives that project,
// "<name> <major>.<minor>.<revision>.<yyyymmddhhnnss>.zip", or with " (n)" before ".zip", whatever the
// version; `namePrefix` is "<name> " as it stands in the file names. Age is the time stamp, then n.
std::vector<std::string> ProjectArchives(const std::string& folder, const std::string& namePrefix);

// "<name> " of the project's archive names, as it stands in the file names (UTF-8).
std::string ProjectArchivePrefix(const JobState& job, CodePage codePage);

// The time-stamped run folders ("<yyyymmddhhnnss>") of a group's folder, newest first.
std::vector<std::string> GroupRuns(const std::string& groupFolder);

// Keeps the `keep` newest archives of the project whose archive `written` was just made, in the same
// folder, and removes the older ones. Only names the backup naming gives that project count:
// "<name> <major>.<minor>.<revision>.<yyyymmddhhnnss>.zip", or with " (n)" before ".zip", whatever the
// version; `namePrefix` is "<name> " as it stands in the file names. Age is the time stamp, then n.
// Nothing is removed when `written` itself is not such a name, or `keep` is below 1.
Pruned PruneProjectArchives(const std::string& written, const std::string& namePrefix, int keep);

// Keeps the `keep` newest time-stamped run folders of the group whose run folder `runFolder` was just
// made ("<save path>/<group>/<yyyymmddhhnnss>/") and removes the older ones: their archives (names
// the backup naming gives, with the folder's time stamp), then the folder itself; a folder that holds
// anything else keeps it and stays.
// `stillNeeded` are archives of earlier runs that stand for projects a run skipped as unchanged: their
// runs stay, whatever their age, or the only backup of a project that rarely changes would go.
Pruned PruneGroupRuns(const std::string& runFolder, int keep, const std::vector<std::string>& stillNeeded = {});

} // namespace corvane
