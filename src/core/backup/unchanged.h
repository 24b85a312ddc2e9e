// deciding whether a project needs a new backup at all: its newest backup may already hold exactly
// what a new one would, which a scheduled run should not store again
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/backup/archive_builder.h"
#include "core/common/error.h"

namespace corvane {

// True when `archive` holds exactly the entries `plan` would store: the same names, and for each the
// same size and CRC-32 of its content; the rewritten project file compared by content under whatever
// root name it was stored; and it is encrypted exactly when `password` is not empty. Sources are read
// for their CRC, nothing is compressed. Fails when a source or the archive cannot be read: the caller
// then writes a new backup, whose run reports the reason properly.
Result<bool> HoldsSameEntries(const std::string& archive, const ArchivePlan& plan,
                              const std::string& password);

// The newest archive among `archives` (newest first) when it holds what the project at `projectPath`
// would store now; nothing when a new backup is needed or the question cannot be answered.
std::optional<std::string> UnchangedSince(const std::vector<std::string>& archives,
                                          const std::string& projectPath, const JobState& job,
                                          const ArchiveOptions& options);

} // namespace corvane
