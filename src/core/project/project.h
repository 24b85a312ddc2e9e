// the Visual Basic 6 project file as the archive engine reads it, and the job state it fills
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"

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

// The keys whose lines name a project file, in the order they are tested.
enum class ReferenceKey { Module, Class, Form, UserControl, PropertyPage, ResFile32, UserDocument, Designer };

struct ReferenceLine {
    ReferenceKey key = ReferenceKey::Module;
    std::string name;       // Module and Class only, exactly as read
    std::string reference;  // the file as the project file writes it
    bool malformed = false; // no "; " in a Module or Class line, or no reference at all
};

// Lines and names stay the file's bytes (ANSI); lines carry no ending.
struct ProjectFile {
    std::vector<std::string> lines;
};

// The most lines a project file may have: the line counter is 16-bit.
constexpr std::size_t kMaxProjectLines = 32767;

// "Form=" and so on, with the "=".
std::string KeyText(ReferenceKey key);
// The text between the first "=" and the next one, without double quotes, trimmed of spaces.
std::string ExtractValue(const std::string& line);
// The reference line a line is, judged by its key at the first character (case-sensitive).
std::optional<ReferenceLine> ClassifyReferenceLine(const std::string& line);
// The binary companion of a form, user control or property page (".frx", ".ctx", ".pgx").
std::optional<std::string> CompanionReference(const ReferenceLine& line);
// The line written to the rewritten project file, pointing at the archived copy.
std::string RewriteReferenceLine(const ReferenceLine& line, const std::string& archivePath);

// Any line ending; refuses files of more than kMaxProjectLines lines.
Result<ProjectFile> ReadProjectFile(const std::string& path);
// Stores the non-empty "Name=", "MajorVer=", "MinorVer=", "RevisionVer=" values (later ones win).
void ApplyProjectInfo(const ProjectFile& project, JobState& state);
// Reads the file, applies its name and version to the state and returns its line count.
Result<std::int16_t> ReadProjectInfo(const std::string& path, JobState& state);

} // namespace corvane
