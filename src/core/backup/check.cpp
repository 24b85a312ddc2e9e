// what a backup of a project would miss, found before it is made
#include "core/backup/check.h"

#include "core/platform/regular_file.h"
#include "core/project/paths.h"
#include "core/project/project.h"

namespace corvane {

namespace {

// why the file at `path` cannot be stored: the reason and the system's error number, or nothing when the file can be stored
std::optional<Error> WhyNotStorable(const std::string& path) {
    Result<RegularFile> open = RegularFile::Open(path);
    if (open)
        return std::nullopt;
    return open.failure();
}

} // namespace

Result<std::vector<MissingFile>> FindMissingFiles(const std::string& projectPath, const DriveMap& driveMap,
                                                  CodePage codePage) {
    const Result<ProjectFile> project = ReadProjectFile(projectPath);
    if (!project)
        return project.failure();
    const ReferenceResolver resolver(FolderOfPath(projectPath), driveMap, codePage);
    std::vector<MissingFile> missing;
    for (std::size_t i = 0; i < project->lines.size(); ++i) {
        const std::optional<ReferenceLine> line = ClassifyReferenceLine(project->lines[i]);
        if (!line)
            continue;
        MissingFile file;
        file.line = static_cast<int>(i + 1);
        file.reference = AnsiToUtf8(line->reference, codePage);
        if (line->malformed || line->reference.empty()) {
            file.reason = "the line names no file";
        } else {
            const ResolvedReference resolved = resolver.Resolve(line->reference);
            file.diskPath = resolved.diskPath;
            if (resolved.diskPath.empty()) {
                file.reason = "no folder of this machine stands for its drive or share";
            } else if (const std::optional<Error> problem = WhyNotStorable(resolved.diskPath)) {
                file.reason = problem->message;
                file.systemError = problem->systemError;
            }
        }
        if (!file.reason.empty())
            missing.push_back(std::move(file));
    }
    return missing;
}

std::vector<ProjectCheck> CheckProjects(const std::vector<std::string>& projects, const DriveMap& driveMap,
                                        CodePage codePage) {
    std::vector<ProjectCheck> checks;
    for (const std::string& project : projects) {
        ProjectCheck& check = checks.emplace_back();
        check.project = project;
        Result<std::vector<MissingFile>> found = FindMissingFiles(project, driveMap, codePage);
        if (found)
            check.missing = std::move(found).value();
        else
            check.unreadable = found.failure();
    }
    return checks;
}

std::size_t CountProblems(const std::vector<ProjectCheck>& checks) {
    std::size_t problems = 0;
    for (const ProjectCheck& check : checks)
        problems += check.unreadable ? 1 : check.missing.size();
    return problems;
}

} // namespace corvane
