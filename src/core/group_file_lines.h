// reading a small text file as lines, for the group file readers
#pragma once

#include <string>
#include <vector>

#include "core/result.h"

namespace corvane {

// The file's lines without their ends; CR LF, LF and CR each end a line, and a final line needs no
// end. Bytes are kept as they are (ANSI text is never converted). A message naming the file when it
// cannot be opened or read.
Result<std::vector<std::string>> ReadGroupLines(const std::string& path);

// The splitting alone, on text already in memory.
std::vector<std::string> SplitGroupLines(const std::string& text);

} // namespace corvane
