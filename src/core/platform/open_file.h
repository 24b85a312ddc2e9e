// a C stream on a file named in UTF-8
#pragma once

#include <cstdio>
#include <string>

namespace corvane {

// std::fopen with the same modes, "x" (fail when the file exists) included, for a UTF-8 name: on
// Windows the narrow fopen would read the name in the ANSI code page and miss most non-ASCII names.
// Sets errno on failure, as fopen does.
std::FILE* OpenFile(const std::string& path, const char* mode);

} // namespace corvane
