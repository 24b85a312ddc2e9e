// unpacking a whole archive below one folder, through the one gate that checks every entry
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/common/error.h"

namespace corvane {

// Hostile or broken archives stop here. Bytes are counted as they are inflated, not as the archive
// claims, so a lying header cannot get past them.
struct UnzipLimits {
    std::uint64_t maxTotalBytes = std::uint64_t{8} << 30; // all entries together: 8 GiB
    std::uint64_t maxEntryBytes = std::uint64_t{4} << 30; // one entry: 4 GiB
    // inflated bytes per compressed byte of one entry, checked once it has inflated 1 MiB
    double maxRatio = 1000.0;
    // a backup of the longest project file (32,767 lines, each naming at most a file and its
    // companion) holds fewer entries
    std::uint64_t maxEntries = 65536;
};

struct UnzipOptions {
    UnzipLimits limits;
    // asked once, only for an encrypted archive; nullopt cancels the extraction
    std::function<std::optional<std::string>()> askPassword;
    std::function<void(double fraction)> progress;
    std::function<bool()> cancelRequested;
};

// Extracts every entry below `folder` (created when missing) under its stored relative path,
// replacing existing files whole. Every entry name is checked before anything is written, so a
// refused archive creates nothing. Each file appears only once it was read completely and passed
// its CRC or authentication check; files finished before a later failure stay. Returns the number
// of entries extracted; a failure or a cancel returns the error (a cancel of kind Cancelled).
Result<int> ExtractArchive(const std::string& archivePath, const std::string& folder,
                           const UnzipOptions& options);

// The folder an archive unpacks into: its path without ".zip" (in any case), so "X.zip" unpacks beside
// itself into "X"; nothing for a file not named as an archive.
std::optional<std::string> ExtractionFolderOf(const std::string& archivePath);

} // namespace corvane
