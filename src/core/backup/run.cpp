// the archive command's run: remember the folder, then build one archive per project
#include "core/backup/backup.h"

#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "core/backup/retention.h"
#include "core/backup/unchanged.h"
#include "core/group/group.h"
#include "core/project/paths.h"
#include "core/settings/settings.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

void Warn(RunWarning warning, const RunOptions& options, RunOutcome& outcome) {
    if (options.warning)
        options.warning(warning);
    outcome.warnings.push_back(std::move(warning));
}

// Written before the first archive, so it names the folder even when a build then fails; but only
// once the folder exists, or "open the last backup folder" would lead nowhere. A store that cannot be
// written costs the reminder, not the backup.
void RememberBackupFolder(const std::string& folder, const RunOptions& options, RunOutcome& outcome) {
    if (options.settings == nullptr || !CheckIsFolder(folder))
        return;
    if (const auto error = RememberLastBackupFolder(*options.settings, folder)) {
        RunWarning warning;
        warning.kind = RunWarning::Kind::FolderNotRemembered;
        if (error->cause) {
            warning.path = error->cause->path;
            warning.systemError = error->cause->systemError;
            warning.reason = error->cause->systemError != 0 ? SystemErrorReason(error->cause->systemError)
                                                            : error->cause->message;
        } else {
            warning.reason = error->description;
        }
        warning.text = "The last backup folder could not be remembered: the settings file " + warning.path +
                       " cannot be written (" + warning.reason + ").";
        Warn(std::move(warning), options, outcome);
    }
    if (const auto notice = options.settings->TakeNotice())
        Warn(RunWarning{RunWarning::Kind::SettingsRepaired, *notice, {}, {}, 0}, options, outcome);
}

// A folder that cannot be made fails the run with the system's reason (read-only, no permission, a file
// in the way) before any project is read.
void RecordFailure(const std::string& projectPath, std::string stepLabel, Error error, RunOutcome& outcome) {
    outcome.kind = RunOutcome::Kind::ProjectFailed;
    ArchiveOutcome failed;
    failed.kind = ArchiveOutcome::Kind::Failed;
    failed.stepLabel = std::move(stepLabel);
    failed.error = std::move(error);
    outcome.failures.push_back({projectPath, std::move(failed)});
}

bool MakeBackupFolder(const std::string& folder, const std::string& projectPath, RunOutcome& outcome) {
    Status made = CreateFolderPath(folder);
    if (made)
        return true;
    RecordFailure(projectPath, "Writing Zip File", made.failure(), outcome);
    return false;
}

// A group run that wrote nothing leaves no empty folders behind: neither its time-stamped folder nor a
// group folder it was the first to make.
void RemoveIfEmpty(const std::string& runFolder) {
    std::error_code ignored;
    const std::filesystem::path folder = FsPath(runFolder).lexically_normal();
    const std::filesystem::path run = folder.has_filename() ? folder : folder.parent_path();
    if (std::filesystem::remove(run, ignored))
        std::filesystem::remove(run.parent_path(), ignored); // fails, as it should, when it holds earlier runs
}

bool CancelRequested(const RunOptions& options) {
    return options.cancelRequested && options.cancelRequested();
}

RunOutcome Refused(Error error) {
    RunOutcome outcome;
    outcome.kind = RunOutcome::Kind::Refused;
    outcome.error = std::move(error);
    return outcome;
}

// The builder reports through the run, so one callback sees which project a fraction belongs to.
ArchiveOptions ArchiveOptionsFor(const RunOptions& options, const std::string& projectPath, int index,
                                 int count, const std::string& password) {
    ArchiveOptions archive = options.archive;
    archive.password = password;
    archive.cancelRequested = options.cancelRequested;
    archive.progress = nullptr;
    if (options.progress) {
        archive.progress = [&options, projectPath, index, count](const ArchiveProgress& inner) {
            RunProgress progress;
            progress.projectIndex = index;
            progress.projectCount = count;
            progress.projectsDone = index;
            progress.projectPath = projectPath;
            progress.archive = inner;
            options.progress(progress);
        };
    }
    return archive;
}

// Folds one project's outcome into the run's; true when the run may go on.
bool Record(const std::string& projectPath, const ArchiveOutcome& archived, RunOutcome& outcome) {
    switch (archived.kind) {
    case ArchiveOutcome::Kind::Written:
        outcome.archives.push_back(archived.archivePath);
        ++outcome.projectsDone;
        return true;
    case ArchiveOutcome::Kind::Cancelled:
        outcome.kind = RunOutcome::Kind::Cancelled;
        return false;
    case ArchiveOutcome::Kind::Failed:
        outcome.kind = RunOutcome::Kind::ProjectFailed;
        outcome.failures.push_back({projectPath, archived});
        return false;
    }
    return false;
}

void ReportProjectStart(const RunOptions& options, const std::string& projectPath, int index, int count) {
    if (!options.progress)
        return;
    RunProgress progress;
    progress.projectIndex = index;
    progress.projectCount = count;
    progress.projectsDone = index;
    progress.projectPath = projectPath;
    options.progress(progress);
}

// The project's backups where a skip looks for them: the backup folder, or the newest earlier run of the
// group that holds one.
std::vector<std::string> EarlierBackups(const std::vector<std::string>& folders, const JobState& job,
                                        const RunOptions& options) {
    const std::string prefix = ProjectArchivePrefix(job, options.archive.codePage);
    for (const std::string& folder : folders)
        if (std::vector<std::string> archives = ProjectArchives(folder, prefix); !archives.empty())
            return archives;
    return {};
}

// True when the project was recorded as unchanged and needs no new archive.
bool SkippedAsUnchanged(const std::vector<std::string>& folders, const std::string& projectPath, const JobState& job,
                        const ArchiveOptions& archive, const RunOptions& options, RunOutcome& outcome) {
    if (!options.skipUnchanged)
        return false;
    const std::optional<std::string> since =
        UnchangedSince(EarlierBackups(folders, job, options), projectPath, job, archive);
    if (since)
        outcome.unchanged.push_back({projectPath, *since});
    return since.has_value();
}

} // namespace

RunOutcome RunSingleProject(const SingleProjectRequest& request, const RunOptions& options) {
    if (request.projectPath.empty())
        return Refused(fail(ErrorKind::Refused, "No project is selected."));
    RunOutcome outcome;
    JobState job = request.job;
    job.gBackupFolder = request.destination;
    outcome.backupFolder = job.gBackupFolder;
    const ArchiveOptions archive = ArchiveOptionsFor(options, request.projectPath, 0, 1, request.password);
    if (SkippedAsUnchanged({job.gBackupFolder}, request.projectPath, job, archive, options, outcome))
        return outcome;
    if (!MakeBackupFolder(job.gBackupFolder, request.projectPath, outcome))
        return outcome;
    RememberBackupFolder(job.gBackupFolder, options, outcome);
    if (CancelRequested(options)) {
        outcome.kind = RunOutcome::Kind::Cancelled;
        return outcome;
    }
    ReportProjectStart(options, request.projectPath, 0, 1);
    Record(request.projectPath, ArchiveProject(request.projectPath, job, archive), outcome);
    return outcome;
}

// Two projects of one group with the same name and version would get the same archive name, and
// the second would replace the first: the later one gets a number instead, and the run says so.
void KeepArchiveNameUnique(JobState& job, std::set<std::string>& used, RunOutcome& outcome,
                           const RunOptions& options) {
    std::string name = job.gZipName;
    for (int n = 2; !used.insert(name).second; ++n)
        name = NumberedFileName(job.gZipName, n);
    if (name == job.gZipName)
        return;
    const std::string text = "Two projects of the group are named \"" + job.gZipName +
                             "\": this one is archived as \"" + name + "\".";
    job.gZipName = name;
    job.gNewVbpName = name.substr(0, name.size() - 4) + ".vbp";
    Warn(RunWarning{RunWarning::Kind::ArchiveRenamed, text, {}, {}, 0}, options, outcome);
}

RunOutcome RunGroup(const GroupRequest& request, const RunOptions& options) {
    if (request.destination.empty())
        return Refused(fail(ErrorKind::Refused, "No backup folder is given for the group."));
    // the name becomes a folder of the save path: a group file written by hand or by an older editor
    // must not lead the backups out of it
    if (request.subfolderName.empty() || !IsGroupFolderName(request.subfolderName))
        return Refused(fail(ErrorKind::Refused, "The group name \"" + request.subfolderName +
                                                    "\" cannot be a folder name: it is empty, starts with \".\" "
                                                    "or holds one of / \\ : * ? \" < > | or a control character."));
    RunOutcome outcome;
    const std::string timeStamp = FormatTimeStamp(options.clock ? options.clock() : SystemClock()());
    const std::string destination = AddBackslash(request.destination);
    outcome.backupFolder =
        AddBackslash(destination + request.subfolderName + SeparatorOf(destination) + timeStamp);
    // listed before this run's folder is made: the earlier runs only
    const std::vector<std::string> earlierRuns =
        options.skipUnchanged ? GroupRuns(destination + request.subfolderName) : std::vector<std::string>();
    if (!MakeBackupFolder(outcome.backupFolder, std::string(), outcome))
        return outcome;

    const int count = static_cast<int>(request.projects.size());
    std::set<std::string> archiveNames;
    for (int index = 0; index < count; ++index) {
        if (CancelRequested(options)) {
            outcome.kind = RunOutcome::Kind::Cancelled;
            break;
        }
        const std::string& projectPath = request.projects[index];
        ReportProjectStart(options, projectPath, index, count);
        Result<JobState> job = PrepareGroupProject(projectPath, timeStamp);
        if (!job) {
            RecordFailure(projectPath, projectPath, job.failure(), outcome);
            if (request.keepGoing)
                continue;
            break;
        }
        job.value().gBackupFolder = outcome.backupFolder;
        const ArchiveOptions archive = ArchiveOptionsFor(options, projectPath, index, count, request.password);
        if (SkippedAsUnchanged(earlierRuns, projectPath, *job, archive, options, outcome))
            continue;
        KeepArchiveNameUnique(job.value(), archiveNames, outcome, options);
        const ArchiveOutcome archived = ArchiveProject(projectPath, *job, archive);
        if (!Record(projectPath, archived, outcome) && !(request.keepGoing && archived.kind == ArchiveOutcome::Kind::Failed))
            break;
    }
    // the run's folder is remembered once it holds a backup, so that "the last backup folder" always does
    if (outcome.archives.empty()) {
        RemoveIfEmpty(outcome.backupFolder);
        return outcome;
    }
    RememberBackupFolder(outcome.backupFolder, options, outcome);
    if (outcome.kind != RunOutcome::Kind::Completed)
        return outcome;
    if (options.progress) {
        RunProgress done;
        done.projectIndex = count > 0 ? count - 1 : 0;
        done.projectCount = count;
        done.projectsDone = count;
        done.archive.fraction = 1;
        options.progress(done);
    }
    return outcome;
}

} // namespace corvane
