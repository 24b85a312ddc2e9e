// what unpacking into a staging folder needs of the system: free space and swapping whole folders
#pragma once

#include <cstdint>
#include <string>

#include "core/common/error.h"

namespace corvane {

// The bytes an unprivileged user may still write on the file system that holds `folder`.
Result<std::uint64_t> FreeSpaceOf(const std::string& folder);

// Gives `from` (a folder) the name `to`, which must not exist or be an empty folder.
Status MoveFolderInto(const std::string& from, const std::string& to);

// Swaps two folders' names at once where the system can, so that `to` is never missing; where it
// cannot, `to` is moved aside first and put back when `from` cannot take its place.
Status ExchangeFolders(const std::string& from, const std::string& to);

} // namespace corvane
