// the authentication code of a WinZip AES entry, checked without libzip's CRC check in the way
#pragma once

#include <string>

#include <zip.h>

namespace corvane {

// Whether the entry's stored authentication code matches its encrypted bytes under `password`. libzip
// checks it too, but for a stored AE-2 entry its CRC check of the field left 0 fails first and hides
// the outcome; this reads the raw bytes once more.
bool StoredAesEntryIsAuthentic(zip_t* archive, zip_uint64_t index, const std::string& password);

} // namespace corvane
