// where each entry of an archive lies in the file, read from its central directory
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/result.h"

namespace corvane {

// Refuses an archive whose entries share bytes: a local header inside another entry's data is how
// the smallest zip bombs repeat one compressed kernel thousands of times, and no archiver writes it.
// The message names the two entries. An archive whose directory cannot be read is left to libzip.
Status CheckEntriesDoNotOverlap(const std::string& archivePath);

// The number of entries the archive's end record declares, read without the directory itself;
// nullopt when no end record is found.
std::optional<std::uint64_t> DeclaredEntryCount(const std::string& archivePath);

} // namespace corvane
