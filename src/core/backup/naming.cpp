// backup names and the job state a selection produces
#include "core/backup/naming.h"

#include <cstdio>

#include "core/platform/platform.h"
#include "core/project/paths.h"
#include "core/project/project.h"

namespace corvane {

namespace {

std::string WithoutVbp(std::string text) {
    const std::string suffix = ".vbp";
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit = text.find(suffix); hit != std::string::npos; hit = text.find(suffix, pos)) {
        out.append(text, pos, hit - pos);
        pos = hit + suffix.size();
    }
    out.append(text, pos);
    return out;
}

Result<JobState> ReadInto(JobState state, const std::string& projectPath) {
    Result<std::int16_t> lines = ReadProjectInfo(projectPath, state);
    if (!lines) {
        return lines.failure();
    }
    state.gLineCount = *lines;
    ApplyBackupNames(state);
    return state;
}

} // namespace

Clock SystemClock() {
    return [] { return std::chrono::system_clock::now(); };
}

std::string FormatTimeStamp(std::chrono::system_clock::time_point moment) {
    const std::tm local = ToLocalTime(std::chrono::system_clock::to_time_t(moment));
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string DefaultProjectName(const std::string& projectPath) {
    return WithoutVbp(FileNameOfPath(projectPath));
}

std::string BackupBaseName(const JobState& state) {
    return state.gProjectName + " " + state.gMajorVer + "." + state.gMinorVer + "." + state.gRevisionVer +
           "." + state.gTimeStamp;
}

void ApplyBackupNames(JobState& state) {
    const std::string base = SanitizeFileName(BackupBaseName(state));
    state.gZipName = base + ".zip";
    state.gNewVbpName = base + ".vbp";
}

Result<ProjectSelection> SelectSingleProject(const std::string& projectPath, const Clock& clock) {
    JobState state;
    state.gIsGroup = false;
    state.gProjectFolder = FolderOfPath(projectPath);
    state.gProjectName = DefaultProjectName(projectPath);
    state.gTimeStamp = FormatTimeStamp(clock());
    Result<JobState> read = ReadInto(std::move(state), projectPath);
    if (!read) {
        return read.failure();
    }
    ProjectSelection selection{std::move(read).value(), {}};
    const std::string folder = AddBackslash(selection.state.gProjectFolder);
    selection.savePath = folder + "Sources.Backup" + SeparatorOf(folder);
    return selection;
}

Result<JobState> PrepareGroupProject(const std::string& projectPath, const std::string& timeStamp) {
    JobState state;
    state.gIsGroup = true;
    state.gProjectFolder = FolderOfPath(projectPath);
    // a group names its projects after their full path, so two App.vbp of one group stay apart
    state.gProjectName = WithoutVbp(projectPath);
    state.gTimeStamp = timeStamp;
    return ReadInto(std::move(state), projectPath);
}

} // namespace corvane
