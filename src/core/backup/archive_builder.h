// one project file into one archive, with a rewritten project file at its root
#pragma once

#include <functional>
#include <string>

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

// "An error appears to have occurred..." CR LF "Line : " + step label; title "Archive creation error".
std::string ArchiveFailureMessage(const ArchiveOutcome& outcome);
inline constexpr const char* kArchiveFailureTitle = "Archive creation error";

} // namespace corvane
