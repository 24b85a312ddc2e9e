// the lines of a group file, as both group formats' readers take them
#pragma once

#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/project/text.h"

namespace corvane {

// Every line of the file as UTF-8, decoded from the code page it was written in.
inline Result<std::vector<std::string>> ReadGroupLines(const std::string& path, CodePage codePage) {
    auto bytes = ReadTextFile(path);
    if (!bytes)
        return bytes.failure();
    std::vector<std::string> lines = SplitLines(bytes.value());
    for (std::string& line : lines)
        line = AnsiToUtf8(line, codePage);
    return lines;
}

} // namespace corvane
