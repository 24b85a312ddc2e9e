// what the core needs from the operating system beyond the standard library; implemented per platform
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

// Thread-safe conversion of a moment to local calendar time.
std::tm ToLocalTime(std::time_t moment);

// The compressor allocates and frees buffers of a few hundred KiB for every entry. By default the C
// library maps such buffers anew each time and the kernel zeroes their pages: a quarter of a million
// page faults and a tenth of the run for 5,000 files. Keeping up to 4 MiB in the heap costs no more
// than that in peak memory. Does nothing where the C library has no such settings.
void TuneAllocatorForArchiving();

// Flushes a written file to the disk; libzip itself never does. A large file is flushed in pieces where
// the system allows it, and `step` hears the share done after each piece: a flush of many megabytes on
// a busy disk takes long enough for a user to wonder. `step` returning false stops the flush (Cancel).
Status SyncFile(const std::string& path, const std::function<bool(double done)>& step = {});
// Gives the file `from` the name `to` unless a file of that name exists: a backup is never replaced, not
// even by another run finishing at the same moment. A taken name fails with systemError EEXIST.
Status RenameNoReplace(const std::string& from, const std::string& to);
// Flushes a folder, so that a rename into it survives a crash.
Status SyncFolder(const std::string& folder);
// A file size limit then makes writes fail with an error instead of ending the process.
void IgnoreFileSizeSignal();
// This process's id, and whether a process of that id still runs (on this machine).
long CurrentProcessId();
bool ProcessIsRunning(long processId);

// The core's names are UTF-8 text; the standard library's paths are made from and read back as that text
// here, because on Windows it would read a std::string in the ANSI code page and mangle every name
// outside ASCII.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8OfPath(const std::filesystem::path& path);

// The program's arguments after its name, as UTF-8 text: on Windows from the wide command line, since
// `argv` there holds them in the ANSI code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// What the program writes to its console is UTF-8, like every text it makes: on Windows the console is
// told so (and put back as it was when the program ends), since it would otherwise show the bytes in its
// OEM code page and turn every name outside ASCII into other letters. Elsewhere terminals read UTF-8.
void UseUtf8Console();

// The separator of this machine's paths: "/", or "\\" on Windows (where "/" works as well).
char NativeSeparator();

// `path` made absolute as the user typed it: against the current folder as the shell names it ($PWD
// when that is the current folder), so that a folder reached through a symbolic link keeps its name
// and ".." later climbs out of the link, not out of its target. Nothing else is resolved.
std::string AbsolutePathAsTyped(const std::string& path);

// The running program's own file, for the folder its files sit beside.
Result<std::string> ExecutablePath();
// The home folder the password database gives the user running this process.
std::optional<std::string> UserHomeFolder();

// Whether progress written to standard error reaches a person.
bool StandardErrorIsTerminal();
// Installs a SIGINT handler that only raises a flag (a second Ctrl-C ends the process as usual) and
// returns the poll of that flag.
std::function<bool()> WatchInterrupt();

} // namespace corvane
