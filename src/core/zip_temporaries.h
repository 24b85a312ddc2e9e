// the archive writer's temporary files, named after their process so that those of a killed write can be
// told from those of a write still going on
#pragma once

#include <string>

namespace corvane {

// ".corvane-" + this process's id + "-" + 16 random hexadecimal digits + ".zip.tmp"
std::string ZipTempName();

// Removes from folder every file of ZipTempName's pattern, and libzip's own temporaries beside them
// (the same name + "." + six characters), whose process no longer runs. Nothing else is touched, and a
// file that cannot be removed is left: it costs space, not a backup.
void RemoveStaleZipTemporaries(const std::string& folder);

} // namespace corvane
