// what the archive writer needs from the operating system beyond the standard library
#pragma once

#include <string>

#include "core/result.h"

namespace corvane {

// Flushes a written file to the disk; libzip itself never does.
Status SyncFile(const std::string& path);
// Flushes a folder, so that a rename into it survives a crash.
Status SyncFolder(const std::string& folder);
// A file size limit then makes writes fail with an error instead of ending the process.
void IgnoreFileSizeSignal();
// This process's id, and whether a process of that id still runs (on this machine).
long CurrentProcessId();
bool ProcessIsRunning(long processId);

} // namespace corvane
