// reading and writing the line-oriented text files of projects, whatever their line endings
#pragma once

#include <string>
#include <vector>

#include "core/result.h"

namespace corvane {

// CR LF, LF and CR each end a line; a last line without an ending counts; no bytes, no lines.
std::vector<std::string> SplitLines(const std::string& bytes);
// The file's bytes, unchanged; the failure names the file and the reason.
Result<std::string> ReadTextFile(const std::string& path);
// Creates or truncates the file and writes every line followed by CR LF.
Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace corvane
