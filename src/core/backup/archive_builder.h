// one project file into one archive, with a rewritten project file at its root
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/project/project.h"
#include "core/project/references.h"
#include "core/project/text.h"

namespace corvane {

struct ArchiveProgress {
    enum class Phase { Lines, Write, Verify };
    Phase phase = Phase::Lines;
    int line = 0;        // lines of the project file processed so far (gLineCount's counter)
    int lineCount = 0;   // gLineCount
    double fraction = 0; // of the whole build, 0..1, for a bar that never stalls
};

struct ArchiveOptions {
    std::string password;                      // empty: not encrypted; otherwise WinZip AES-256
    DriveMap driveMap;                         // how drive-letter references reach this machine's files
    CodePage codePage = CodePage::Windows1252; // of the project file's bytes and the job state's names
    bool verify = true;                        // read the written archive back before reporting success
    std::function<void(const ArchiveProgress&)> progress;
    std::function<bool()> cancelRequested;
};

struct ArchiveOutcome {
    enum class Kind { Written, Failed, Cancelled };
    Kind kind = Kind::Failed;
    std::string archivePath; // Written: where the archive now is
    std::string stepLabel;   // Failed: the project line, "New VBP : " + name, or "Writing Zip File"
    Error error;             // Failed: what went wrong, its message for a line under the step
};

ArchiveOutcome ArchiveProject(const std::string& projectPath, const JobState& job,
                              const ArchiveOptions& options);

// What a build would store, worked out without writing anything: each file's entry with the file it is
// read from, in the order they would be stored, and the rewritten project file.
struct ArchivePlan {
    struct File {
        std::string entryName; // UTF-8, "/" between folders
        std::string diskPath;
    };
    std::vector<File> files;
    std::string projectEntry; // the rewritten project file's entry name
    std::string rewritten;    // its bytes
};

// Fails where ArchiveProject would fail before writing: an unreadable project file, a line naming no
// file, a file that is not there.
Result<ArchivePlan> PlanArchive(const std::string& projectPath, const JobState& job, const ArchiveOptions& options);

// "An error appears to have occurred..." CR LF "Line : " + step label; title "Archive creation error".
std::string ArchiveFailureMessage(const ArchiveOutcome& outcome);
inline constexpr const char* kArchiveFailureTitle = "Archive creation error";

} // namespace corvane
