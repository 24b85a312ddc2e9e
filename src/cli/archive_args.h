// what the commands that read an archive (unzip, list, test) share: their options and the archive's path
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/run_context.h"
#include "core/restore/restore.h"

namespace CLI {
class App;
}

namespace corvane {

// The password question of one run: the given password once, or nothing (marking it missing).
struct PasswordAnswer {
    std::optional<std::string> password;
    bool missing = false;
    std::function<std::optional<std::string>(int attempt)> Asker();
};

// The words of a command that reads an archive, as parsed.
struct ArchiveWords {
    std::string name;
    PasswordSource password;
    UnzipLimits limits;
};

// Declares the ARCHIVE argument, the password options and the limit options.
void DeclareArchiveWords(CLI::App& app, ArchiveWords& words);

// One run of a command that reads an archive, once its command line was understood.
struct ArchiveRun {
    std::string archive; // the file found: as named when it exists, else in the last backup folder
    UnzipLimits limits;
    PasswordAnswer password; // its Asker refers to it: the run stays where it was made
};

// Reads the password and finds the archive. Returns the exit code when the command ends here: a name
// that is no .zip, a missing archive or an unreadable password, told on err.
std::optional<int> StartArchiveRun(const ArchiveWords& words, const RunContext& context, ArchiveRun& run,
                                   std::ostream& err);

// How a failed read of an archive ends: a missing password as a usage error, a cancel, or exit 1.
int ReportReadFailure(const Error& error, const ArchiveRun& run, std::ostream& err);

} // namespace corvane
