// "corvane-cli archive": a project or a group into backup archives, as the desktop program makes them
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/run_context.h"

namespace corvane {

Command MakeArchiveCommand(RunContext context);

// Exit 0 every project archived, 1 a project failed, kUsageExit bad arguments or unreadable input,
// kCancelledExit stopped by Ctrl-C.
int RunArchive(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
               std::ostream& err);

} // namespace corvane
