// what the commands that read an archive (unzip, list, test) share: their options and the archive's path
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/run_context.h"
#include "core/restore/restore.h"

namespace corvane {

// Takes a command's own option at args[i] (advancing i past its value); nothing when args[i] is not
// one, a message when it is but is malformed.
using OwnOption = std::function<std::optional<std::string>(const std::vector<std::string>& args,
                                                           std::size_t& i, bool& matched)>;

// The password question of one run: the given password once, or nothing (marking it missing).
struct PasswordAnswer {
    std::optional<std::string> password;
    bool missing = false;
    std::function<std::optional<std::string>(int attempt)> Asker();
};

// One run of a command that reads an archive, once its command line was understood.
struct ArchiveRun {
    std::string archive; // the file found: as named when it exists, else in the last backup folder
    UnzipLimits limits;
    PasswordAnswer password; // its Asker refers to it: the run stays where it was made
};

// Reads the password and limit options, --help, the command's own options and one archive name, then
// the password, and finds the archive. Returns the exit code when the command ends here: help shown,
// or a usage error, a missing archive or an unreadable password told on err.
std::optional<int> StartArchiveRun(const std::vector<std::string>& args, const std::string& help,
                                   const OwnOption& own, const RunContext& context, ArchiveRun& run,
                                   std::ostream& out, std::ostream& err);

// How a failed read of an archive ends: a missing password as a usage error, a cancel, or exit 1.
int ReportReadFailure(const Error& error, const ArchiveRun& run, std::ostream& err);

// The password options' lines of a command's help.
extern const char* const kPasswordOptionsHelp;
// The limit options' lines of a command's help.
extern const char* const kLimitOptionsHelp;

// When args[i] is one of the limit options, takes its value into `limits`, advances i past it and
// sets `matched`. Returns a message for a missing or unreadable value.
std::optional<std::string> ParseUnzipLimitOption(const std::vector<std::string>& args, std::size_t& i,
                                                 UnzipLimits& limits, bool& matched);

} // namespace corvane
