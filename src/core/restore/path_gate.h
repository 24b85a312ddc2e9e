// the one place that decides whether an archive entry name may be written below an extraction folder
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

inline constexpr std::size_t kMaxEntryComponentBytes = 255;
inline constexpr std::size_t kMaxEntryPathBytes = 4096;

// An entry name split into the folder names below the extraction folder; "\" counts as "/".
struct EntryPath {
    std::vector<std::string> components;
    bool isFolder = false; // the name ended with a separator
};

// Why one file or folder name may not be created, or nothing: empty, "." or "..", over-long, a
// separator, a control character or one Windows refuses (* ? < > | "), a trailing dot or space
// (Windows drops it, so two names would meet), a reserved device name.
std::optional<std::string> NameProblem(const std::string& component);

// Refuses every name that could leave the extraction folder or mean something else on Windows:
// absolute, drive and UNC paths, and every name problem of a component. The message names the entry.
Result<EntryPath> CheckEntryName(const std::string& name);

// The set of entries of one archive, refusing names that would land on the same file: duplicates,
// names equal but for letter case, and a file that another entry needs as a folder.
class EntryNamePlan {
public:
    Status Add(const std::string& name, const EntryPath& path);

private:
    enum class Kind { File, ImpliedFolder, Folder };
    std::map<std::string, Kind> m_kinds; // by case-folded path
};

// The name as a message may show it: control characters written as \xNN, long names shortened.
std::string DisplayEntryName(const std::string& name);

// Joins the components with "/".
std::string JoinEntryPath(const std::vector<std::string>& components);

} // namespace corvane
