// what the commands take from the process environment, gathered once so tests can pass their own
#pragma once

#include "core/ansi_text.h"
#include "core/drive_map.h"

namespace corvane {

struct CliEnvironment {
    DriveMap driveMap;
    CodePage codePage = CodePage::Windows1252;

    static CliEnvironment FromProcess() { return {DriveMap::FromEnvironment(), CodePageFromEnvironment()}; }
};

} // namespace corvane
