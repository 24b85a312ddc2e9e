// one project file into one archive: its files in line order, the rewritten project file last
#include "core/backup/archive_builder.h"

#include "core/common/progress.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "core/project/paths.h"
#include "core/project/project.h"
#include "core/project/references.h"
#include "core/zip/zip.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

bool SomethingIsAt(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), error));
}

// reading and checking the lines is quick next to compressing what they name
constexpr double kLinesShare = 0.2;

ArchiveOutcome Failed(std::string stepLabel, Error error) {
    ArchiveOutcome outcome;
    outcome.kind = ArchiveOutcome::Kind::Failed;
    outcome.stepLabel = std::move(stepLabel);
    outcome.error = std::move(error);
    return outcome;
}

ArchiveOutcome Cancelled() {
    ArchiveOutcome outcome;
    outcome.kind = ArchiveOutcome::Kind::Cancelled;
    return outcome;
}

// decoded before "\" is replaced: in a double-byte code page a trail byte may equal it
// The last "\\" or "/" that starts a character: a trail byte of a double-byte code page can be a "\\".
std::size_t LastSeparator(const std::string& reference, CodePage codePage) {
    std::size_t last = std::string::npos;
    for (const char separator : {'\\', '/'})
        for (std::size_t at = FindCharacter(reference, separator, codePage); at != std::string::npos;
             at = FindCharacter(reference, separator, codePage, at + 1))
            last = last == std::string::npos ? at : std::max(last, at);
    return last;
}

std::string EntryName(const std::string& windowsPath, CodePage codePage) {
    std::string name = AnsiToUtf8(windowsPath, codePage);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// One build: the zip object, what is already stored, and the rewritten project file growing in memory.
class Build {
public:
    // with a plan, the build only records what it would store there and writes nothing
    Build(const JobState& job, const ArchiveOptions& options, int lineCount, ArchivePlan* plan = nullptr)
        : m_job(job), m_options(options), m_plan(plan), m_resolver(job.gProjectFolder, options.driveMap, options.codePage),
          m_listings(options.codePage),
          m_lineCount(lineCount), m_bar(BarOf(options)), m_linesPart(m_bar.Part(0, kLinesShare)) {}

    Status Start(const std::string& archivePath) {
        if (m_zip.NewZip(archivePath) != 1)
            return m_zip.LastFailure();
        if (!m_options.password.empty()) {
            m_zip.SetPassword(m_options.password);
            m_zip.SetEncryption(ZipComponent::kEncryptionAes256);
        }
        m_zip.SetVerify(m_options.verify);
        return Status::success();
    }

    // A failure is reported at the line, the label a user can find in the project file.
    std::optional<ArchiveOutcome> AddLine(const std::string& line) {
        ++m_line;
        const std::optional<ReferenceLine> reference = ClassifyReferenceLine(line);
        if (!reference) {
            AppendRewritten(line);
        } else {
            const std::string archivePath = reference->malformed
                                                ? std::string()
                                                : SafeArchivePath(reference->reference, m_options.codePage);
            if (archivePath.empty())
                return Failed(line, fail(ErrorKind::Refused, "The line names no file."));
            const Result<std::string> added = AddReferencedFile(reference->reference, archivePath, line);
            if (!added)
                return Failed(line, added.failure());
            const std::optional<std::string> companion = CompanionReference(*reference);
            if (companion && !added->empty()) {
                if (const Status stored = AddCompanion(*companion, archivePath, line); !stored)
                    return Failed(line, stored.failure());
            }
            AppendRewritten(RewriteReferenceLine(*reference, archivePath));
        }
        m_linesPart.Report(double(m_line) / std::max(m_lineCount, 1));
        return std::nullopt;
    }

    ArchivePlan& FinishPlan() {
        m_plan->projectEntry = EntryName(m_job.gNewVbpName, m_options.codePage);
        m_plan->rewritten = std::move(m_rewritten);
        return *m_plan;
    }

    ArchiveOutcome Finish() {
        const std::string vbpLabel = "New VBP : " + m_job.gNewVbpName;
        if (m_zip.AppendBuffer(EntryName(m_job.gNewVbpName, m_options.codePage), std::move(m_rewritten)) != 1)
            return Failed(vbpLabel, m_zip.LastFailure());
        m_phase = ArchiveProgress::Phase::Write;
        m_zip.SetProgressCallback(
            [write = m_bar.Part(kLinesShare, 1 - kLinesShare)](double fraction) { write.Report(fraction); });
        m_zip.SetCancelRequested(m_options.cancelRequested);
        if (m_zip.WriteZipAndClose() != 1) {
            if (m_zip.WasCancelled())
                return Cancelled();
            const auto line = m_lineOfFile.find(m_zip.FailedFile());
            return Failed(line != m_lineOfFile.end() ? line->second : "Writing Zip File",
                          m_zip.LastFailure());
        }
        ArchiveOutcome outcome;
        outcome.kind = ArchiveOutcome::Kind::Written;
        outcome.archivePath = m_zip.WrittenPath();
        return outcome;
    }

private:
    void AppendRewritten(const std::string& line) {
        m_rewritten += line;
        m_rewritten += "\r\n";
    }

    // The same file named twice, or two names that differ only in case, is stored once: the second
    // line still points at the stored copy, which is what an extracted project needs.
    bool AlreadyStored(const std::string& entryName) {
        return !m_storedEntries.insert(FoldCase(entryName)).second;
    }

    Status Append(const std::string& diskPath, const std::string& entryName, const std::string& line,
                  const std::string& reference) {
        if (m_plan) {
            m_plan->files.push_back({entryName, diskPath});
            return Status::success();
        }
        if (m_zip.AppendOneFileAs(diskPath, entryName) != 1)
            return fail(m_zip.LastFailure().kind,
                        "\"" + AnsiToUtf8(reference, m_options.codePage) + "\": " + m_zip.LastError(),
                        diskPath);
        m_lineOfFile.emplace(diskPath, line);
        return Status::success();
    }

    // The file's disk path; empty when an earlier line stored it already.
    Result<std::string> AddReferencedFile(const std::string& reference, const std::string& archivePath,
                                          const std::string& line) {
        const std::string entryName = EntryName(archivePath, m_options.codePage);
        if (AlreadyStored(entryName))
            return std::string();
        const ResolvedReference resolved = m_resolver.Resolve(reference);
        const std::string shown = AnsiToUtf8(reference, m_options.codePage);
        if (resolved.diskPath.empty())
            return fail(ErrorKind::NotFound,
                        "\"" + shown + "\": no folder on this machine stands for its drive or share " +
                            "(see CORVANE_DRIVE_MAP).");
        // something there that is no file (a folder, a pipe, a looping link) is named for what it is
        if (!resolved.exists && !SomethingIsAt(resolved.diskPath))
            return fail(ErrorKind::NotFound,
                        "\"" + shown + "\": No such file (looked for \"" + resolved.diskPath + "\").");
        if (Status appended = Append(resolved.diskPath, entryName, line, reference); !appended)
            return appended.failure();
        return resolved.diskPath;
    }

    // The companion is the reference with its last "." and what follows replaced, a "." in a folder's
    // name included, and it is looked for where that reference leads; it is stored beside the entry of
    // the file that names it, under its own file name. One that does not exist is no error: forms
    // without binary properties have none. The folder's listing is read once for all its companions.
    Status AddCompanion(const std::string& companion, const std::string& ownerArchivePath,
                        const std::string& line) {
        const std::size_t split = LastSeparator(companion, m_options.codePage);
        const std::string folderReference = split == std::string::npos ? std::string() : companion.substr(0, split);
        const std::string name = AnsiToUtf8(companion.substr(split + 1), m_options.codePage);
        // entry names are UTF-8, where no byte of a character can pass for a "/"
        const std::string ownerEntry = EntryName(ownerArchivePath, m_options.codePage);
        const std::string ownEntry = EntryName(SafeArchivePath(companion, m_options.codePage), m_options.codePage);
        const std::string entryName = ownerEntry.substr(0, ownerEntry.rfind('/') + 1) +
                                      ownEntry.substr(ownEntry.rfind('/') + 1);
        const ResolvedReference folder = m_resolver.Resolve(folderReference);
        if (folder.diskPath.empty())
            return Status::success();
        const std::optional<std::string> diskPath = m_listings.Find(folder.diskPath, name);
        if (!diskPath || AlreadyStored(entryName))
            return Status::success();
        return Append(*diskPath, entryName, line, companion);
    }

    // the whole build as one bar, each report carrying the phase and line it was made at
    Progress BarOf(const ArchiveOptions& options) {
        if (!options.progress)
            return {};
        return Progress([this](double fraction) {
            ArchiveProgress progress;
            progress.phase = m_phase;
            progress.line = m_line;
            progress.lineCount = m_lineCount;
            progress.fraction = fraction;
            m_options.progress(progress);
        });
    }

    const JobState& m_job;
    const ArchiveOptions& m_options;
    ArchivePlan* m_plan;
    ReferenceResolver m_resolver;
    FolderListings m_listings;
    ZipComponent m_zip;
    std::string m_rewritten;
    std::set<std::string> m_storedEntries;           // case-folded entry names
    std::map<std::string, std::string> m_lineOfFile; // disk path -> the line that stored it
    int m_lineCount = 0;
    int m_line = 0;
    ArchiveProgress::Phase m_phase = ArchiveProgress::Phase::Lines;
    Progress m_bar;
    Progress m_linesPart;
};

} // namespace

ArchiveOutcome ArchiveProject(const std::string& projectPath, const JobState& job,
                              const ArchiveOptions& options) {
    if (Status folder = CheckIsFolder(job.gBackupFolder); !folder) {
        Error error = folder.failure();
        error.message = "The backup folder \"" + job.gBackupFolder + "\" " + error.message + ".";
        return Failed("Writing Zip File", std::move(error));
    }
    const std::string archivePath =
        AddBackslash(job.gBackupFolder) + AnsiToUtf8(job.gZipName, options.codePage);
    const Result<ProjectFile> project = ReadProjectFile(projectPath);
    if (!project)
        return Failed(projectPath, project.failure());

    // the bar's range: the count taken at selection, or more if the file has grown since
    const int lineCount = std::max<int>(job.gLineCount, static_cast<int>(project->lines.size()));
    Build build(job, options, lineCount);
    if (Status started = build.Start(archivePath); !started)
        return Failed("Writing Zip File", started.failure());
    for (const std::string& line : project->lines) {
        if (options.cancelRequested && options.cancelRequested())
            return Cancelled();
        if (std::optional<ArchiveOutcome> failed = build.AddLine(line))
            return std::move(*failed);
    }
    if (options.cancelRequested && options.cancelRequested())
        return Cancelled();
    return build.Finish();
}

Result<ArchivePlan> PlanArchive(const std::string& projectPath, const JobState& job, const ArchiveOptions& options) {
    const Result<ProjectFile> project = ReadProjectFile(projectPath);
    if (!project)
        return project.failure();
    ArchivePlan plan;
    Build build(job, options, static_cast<int>(project->lines.size()), &plan);
    for (const std::string& line : project->lines)
        if (std::optional<ArchiveOutcome> failed = build.AddLine(line))
            return failed->error;
    return std::move(build.FinishPlan());
}

std::string ArchiveFailureMessage(const ArchiveOutcome& outcome) {
    return "An error appears to have occurred...\r\nLine : " + outcome.stepLabel;
}

} // namespace corvane
