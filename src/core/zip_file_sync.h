// what the archive writer needs from the operating system beyond the standard library
#pragma once

#include <functional>
#include <string>

#include "core/result.h"

namespace corvane {

// Flushes a written file to the disk; libzip itself never does. A large file is flushed in pieces where
// the system allows it, and `step` hears the share done after each piece: a flush of many megabytes on
// a busy disk takes long enough for a user to wonder. `step` returning false stops the flush (Cancel).
Status SyncFile(const std::string& path, const std::function<bool(double done)>& step = {});
// Flushes a folder, so that a rename into it survives a crash.
Status SyncFolder(const std::string& folder);
// A file size limit then makes writes fail with an error instead of ending the process.
void IgnoreFileSizeSignal();
// This process's id, and whether a process of that id still runs (on this machine).
long CurrentProcessId();
bool ProcessIsRunning(long processId);

} // namespace corvane
