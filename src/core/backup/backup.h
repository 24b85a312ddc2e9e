// the archive command's run: one project, or every project of a group, into archives
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/backup/archive_builder.h"
#include "core/backup/naming.h"
#include "core/project/project.h"

namespace corvane {

class SettingsStore;

// What the window (or the command line) hands to a run; everything else comes from the job state.
struct SingleProjectRequest {
    std::string projectPath; // the .vbp as chosen
    JobState job;            // computed at selection time: names and time stamp are not recomputed
    std::string destination; // the save path as shown, used unchanged
    std::string password;    // empty: no encryption
};

struct GroupRequest {
    std::vector<std::string> projects; // main project first
    std::string destination;           // the save path
    std::string subfolderName;         // the group name
    std::string password;
    bool keepGoing = false; // a failing project is recorded and the others are still archived
};

struct RunProgress {
    int projectIndex = 0; // 0-based, the project being archived
    int projectCount = 1;
    int projectsDone = 0;
    std::string projectPath; // shown by the window during a group run
    ArchiveProgress archive;
};

// Something a user should know although the run went on.
struct RunWarning {
    enum class Kind {
        FolderNotRemembered, // the settings store could not be written
        SettingsRepaired,    // a damaged settings file was set aside
        ArchiveRenamed,      // two projects of a group would have had the same archive name
    };
    Kind kind = Kind::SettingsRepaired;
    std::string text;   // the whole sentence, in English
    std::string path;   // FolderNotRemembered: the settings file
    std::string reason; // FolderNotRemembered: why, in the system's words
    int systemError = 0; // FolderNotRemembered: the system's error number behind the reason, if any
};

struct RunOptions {
    ArchiveOptions archive;            // progress and cancel inside are replaced by the run's own
    SettingsStore* settings = nullptr; // where "LastDir" is remembered; none: not remembered
    Clock clock = SystemClock();       // the group run's one time stamp
    std::function<void(const RunProgress&)> progress;
    std::function<bool()> cancelRequested;
    // each warning as it arises, while the run goes on; they are in RunOutcome::warnings as well
    std::function<void(const RunWarning&)> warning;
    // a project whose newest backup in the backup folder (for a group: in its newest earlier run that has
    // one) already holds what a new one would is not archived again
    bool skipUnchanged = false;
};

// A project skipped because its newest backup holds what a new one would.
struct UnchangedProject {
    std::string projectPath;
    std::string archive; // that backup
};

// A project of a run that could not be archived.
struct ProjectFailure {
    std::string projectPath;
    ArchiveOutcome outcome;
};

struct RunOutcome {
    enum class Kind { Completed, ProjectFailed, Cancelled, Refused };
    Kind kind = Kind::Completed;
    std::vector<std::string> archives; // every archive written, in order
    std::vector<UnchangedProject> unchanged; // skipped, in order
    std::vector<RunWarning> warnings;
    std::string backupFolder;          // the folder used (gBackupFolder)
    int projectsDone = 0;
    // ProjectFailed: every failing project in order; one, unless the group run was told to keep going
    std::vector<ProjectFailure> failures;
    // the first failing project's outcome; an empty one when none failed
    const ArchiveOutcome& FirstFailure() const {
        static const ArchiveOutcome kNone;
        return failures.empty() ? kNone : failures.front().outcome;
    }
    Error error;            // Refused: why nothing was done
};

RunOutcome RunSingleProject(const SingleProjectRequest& request, const RunOptions& options);
RunOutcome RunGroup(const GroupRequest& request, const RunOptions& options);

} // namespace corvane
