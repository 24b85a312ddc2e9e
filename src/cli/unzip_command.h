// "corvane-cli unzip": a backup archive into a folder beside it, named after it
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/run_context.h"

namespace corvane {

Command MakeUnzipCommand(RunContext context);

// Exit 0 extracted, 1 the extraction failed, kUsageExit bad arguments, a missing archive or a missing
// password, kCancelledExit stopped by Ctrl-C.
int RunUnzip(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
             std::ostream& err);

// The folder an archive unpacks into: its name less the last four characters (".zip" in any case).
std::string ExtractionFolderOf(const std::string& archiveName);

} // namespace corvane
