// key recognition, value extraction and line rewriting for project files
#include "core/project/project.h"

#include <array>
#include <utility>

#include "core/project/text.h"

namespace corvane {

namespace {

constexpr std::array<std::pair<ReferenceKey, const char*>, 8> kReferenceKeys = {{
    {ReferenceKey::Module, "Module="},
    {ReferenceKey::Class, "Class="},
    {ReferenceKey::Form, "Form="},
    {ReferenceKey::UserControl, "UserControl="},
    {ReferenceKey::PropertyPage, "PropertyPage="},
    {ReferenceKey::ResFile32, "ResFile32="},
    {ReferenceKey::UserDocument, "UserDocument="},
    {ReferenceKey::Designer, "Designer="},
}};

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string WithoutQuotesTrimmed(std::string text) {
    std::erase(text, '"');
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// the second "="-separated piece, untouched
std::string SecondPiece(const std::string& line) {
    const std::size_t first = line.find('=');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t next = line.find('=', first + 1);
    return line.substr(first + 1, next == std::string::npos ? std::string::npos : next - first - 1);
}

} // namespace

std::string KeyText(ReferenceKey key) {
    for (const auto& [candidate, text] : kReferenceKeys) {
        if (candidate == key) {
            return text;
        }
    }
    return {};
}

std::string ExtractValue(const std::string& line) {
    return WithoutQuotesTrimmed(SecondPiece(line));
}

std::optional<ReferenceLine> ClassifyReferenceLine(const std::string& line) {
    for (const auto& [key, text] : kReferenceKeys) {
        if (!StartsWith(line, text)) {
            continue;
        }
        ReferenceLine result;
        result.key = key;
        if (key == ReferenceKey::Module || key == ReferenceKey::Class) {
            const std::string value = SecondPiece(line);
            const std::size_t split = value.find("; ");
            if (split == std::string::npos) {
                result.malformed = true;
                return result;
            }
            result.name = value.substr(0, split);
            // a further "; " ends the file part, as a split at every "; " would
            const std::size_t end = value.find("; ", split + 2);
            result.reference = WithoutQuotesTrimmed(
                value.substr(split + 2, end == std::string::npos ? std::string::npos : end - split - 2));
        } else {
            result.reference = ExtractValue(line);
        }
        result.malformed = result.reference.empty();
        return result;
    }
    return std::nullopt;
}

std::optional<std::string> CompanionReference(const ReferenceLine& line) {
    const char* extension = nullptr;
    switch (line.key) {
    case ReferenceKey::Form:
        extension = ".frx";
        break;
    case ReferenceKey::UserControl:
        extension = ".ctx";
        break;
    case ReferenceKey::PropertyPage:
        extension = ".pgx";
        break;
    default:
        return std::nullopt;
    }
    const std::size_t dot = line.reference.rfind('.');
    if (line.malformed || dot == std::string::npos) {
        return std::nullopt;
    }
    return line.reference.substr(0, dot) + extension;
}

std::string RewriteReferenceLine(const ReferenceLine& line, const std::string& archivePath) {
    switch (line.key) {
    case ReferenceKey::Module:
    case ReferenceKey::Class:
        return KeyText(line.key) + line.name + "; " + archivePath;
    case ReferenceKey::ResFile32:
        return KeyText(line.key) + "\"" + archivePath + "\"";
    default:
        return KeyText(line.key) + archivePath;
    }
}

Result<ProjectFile> ReadProjectFile(const std::string& path) {
    Result<std::string> bytes = ReadTextFile(path);
    if (!bytes) {
        return bytes.failure();
    }
    ProjectFile project{SplitLines(*bytes)};
    if (project.lines.size() > kMaxProjectLines) {
        return fail(ErrorKind::Refused,
                    "The project file " + path + " has " + std::to_string(project.lines.size()) +
                        " lines; at most 32,767 lines are supported.",
                    path);
    }
    return project;
}

void ApplyProjectInfo(const ProjectFile& project, JobState& state) {
    const std::array<std::pair<const char*, std::string*>, 4> keys = {{
        {"Name=", &state.gProjectName},
        {"MajorVer=", &state.gMajorVer},
        {"MinorVer=", &state.gMinorVer},
        {"RevisionVer=", &state.gRevisionVer},
    }};
    for (const std::string& line : project.lines) {
        for (const auto& [key, target] : keys) {
            if (StartsWith(line, key)) {
                std::string value = ExtractValue(line);
                if (!value.empty()) {
                    *target = std::move(value);
                }
                break;
            }
        }
    }
}

Result<std::int16_t> ReadProjectInfo(const std::string& path, JobState& state) {
    Result<ProjectFile> project = ReadProjectFile(path);
    if (!project) {
        return project.failure();
    }
    ApplyProjectInfo(*project, state);
    return static_cast<std::int16_t>(project->lines.size());
}

} // namespace corvane
