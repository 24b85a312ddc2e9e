// the archive job state: what selection computes and the archive builder reads
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// One value per project being archived, passed to the operations that need it instead of living in
// globals; the field names are the ones users of the old tool know from its documentation.
struct JobState {
    std::string gProjectFolder; // folder of the project file, without trailing separator
    std::string gProjectName;
    std::string gMajorVer = "0";
    std::string gMinorVer = "0";
    std::string gRevisionVer = "0";
    std::string gTimeStamp; // "yyyymmddhhnnss"
    std::string gZipName;
    std::string gNewVbpName;
    std::string gBackupFolder;
    std::int16_t gLineCount = 0;
    bool gIsGroup = false;
};

} // namespace corvane
