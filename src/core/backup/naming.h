// naming a backup after the project's name, version and the moment it was selected
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/common/error.h"
#include "core/project/project.h"

namespace corvane {

using Clock = std::function<std::chrono::system_clock::time_point()>;

// The real clock; tests pass a fixed one instead.
Clock SystemClock();

// "yyyymmddhhnnss" in local time.
std::string FormatTimeStamp(std::chrono::system_clock::time_point moment);
// The project file's name with every ".vbp" removed (lower case only).
std::string DefaultProjectName(const std::string& projectPath);
// name + " " + major.minor.revision + "." + time stamp
std::string BackupBaseName(const JobState& state);
// Sets gZipName and gNewVbpName from the base name.
void ApplyBackupNames(JobState& state);

struct ProjectSelection {
    JobState state;
    std::string savePath; // proposed backup folder, ending with a separator
};

// Everything choosing one project computes: folder, name, version, time stamp, line count, names.
Result<ProjectSelection> SelectSingleProject(const std::string& projectPath, const Clock& clock);
// The job state of one project of a group run, whose time stamp is the run's.
Result<JobState> PrepareGroupProject(const std::string& projectPath, const std::string& timeStamp);

} // namespace corvane
