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

struct ArchiveArgs {
    std::string archive; // as given
    PasswordSource password;
    UnzipLimits limits;
};

// Takes a command's own option at args[i] (advancing i past its value); nothing when args[i] is not
// one, a message when it is but is malformed.
using OwnOption = std::function<std::optional<std::string>(const std::vector<std::string>& args,
                                                           std::size_t& i, bool& matched)>;

// Reads the password and limit options, --help, the command's own options and one archive name.
// Returns the exit code when the command ends here (help shown, or a usage error told on err).
std::optional<int> ParseArchiveArgs(const std::vector<std::string>& args, const std::string& help,
                                    const OwnOption& own, ArchiveArgs& parsed, std::ostream& out,
                                    std::ostream& err);

// The archive file a name means: the file itself when it exists, a bare name not found here looked for
// in the last backup folder. A missing file is told on err and gives kUsageExit.
std::optional<std::string> LocateArchive(const std::string& name, const SettingsLocation& settings,
                                         std::ostream& err);

// The password question of one run: the given password once, or nothing (marking it missing).
struct PasswordAnswer {
    std::optional<std::string> password;
    bool missing = false;
    std::function<std::optional<std::string>(int attempt)> Asker();
};

// Reads the password source into `answer`; a failure is told on err and gives kUsageExit.
std::optional<int> PreparePassword(const ArchiveArgs& args, const EnvLookup& env, PasswordAnswer& answer,
                                   std::ostream& err);

// How a failed read of an archive ends: a missing password as a usage error, a cancel, or exit 1.
int ReportReadFailure(const Error& error, const PasswordAnswer& answer, const std::string& archive,
                      std::ostream& err);

// The limit options' lines of a command's help.
extern const char* const kLimitOptionsHelp;

// When args[i] is one of the limit options, takes its value into `limits`, advances i past it and
// sets `matched`. Returns a message for a missing or unreadable value.
std::optional<std::string> ParseUnzipLimitOption(const std::vector<std::string>& args, std::size_t& i,
                                                 UnzipLimits& limits, bool& matched);

} // namespace corvane
