// Visual Basic's own group file (".vbg") read as a group selection
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/group/group.h"
#include "core/group/lines.h"
#include "core/project/paths.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// the part of an absolute path that ".." never climbs over: "/", "C:\", "\\server\share\"
std::size_t RootLength(const std::string& path, char sep) {
    if (sep == '/')
        return path.starts_with('/') ? 1 : 0;
    if (path.size() >= 2 && path[1] == ':')
        return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
    if (path.starts_with("\\\\")) {
        auto end = path.find('\\', 2);
        end = end == std::string::npos ? end : path.find('\\', end + 1);
        return end == std::string::npos ? path.size() : end + 1;
    }
    return path.starts_with('\\') ? 1 : 0;
}

// drops "." and folds "name\.." so the proposed save path reads as the user expects
std::string Normalised(const std::string& path, char sep) {
    const std::size_t rootLength = RootLength(path, sep);
    std::vector<std::string> parts;
    std::size_t start = rootLength;
    while (start <= path.size()) {
        auto end = path.find(sep, start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == ".." && !parts.empty() && parts.back() != "..")
            parts.pop_back();
        else if (part == ".." && rootLength > 0)
            ; // above the root is the root
        else if (!part.empty() && part != ".")
            parts.push_back(part);
        start = end + 1;
    }
    std::string result = path.substr(0, rootLength);
    for (std::size_t i = 0; i < parts.size(); ++i)
        result += (i == 0 ? "" : std::string(1, sep)) + parts[i];
    return result;
}

bool IsAbsolute(const std::string& path, char sep) {
    return RootLength(path, sep) > 0;
}

// A group file read from this machine's disk is in this machine's form, bare names included; only a
// path written with "\" alone is taken as a Windows path.
char GroupSeparator(const std::string& groupPath) {
    return groupPath.find('\\') != std::string::npos && groupPath.find('/') == std::string::npos ? '\\' : '/';
}

} // namespace

// the file names projects relative to its own folder, always with "\"; a group kept on this machine
// needs them in this machine's form
std::string ResolveVbgProject(const std::string& reference, const std::string& groupPath) {
    const char sep = GroupSeparator(groupPath);
    // a drive or a share is found through the drive map when the group is read on this machine
    const bool windowsRooted = (reference.size() >= 2 && reference[1] == ':') || reference.starts_with("\\\\");
    if (sep == '/' && windowsRooted)
        return reference;
    std::string path = reference;
    std::replace(path.begin(), path.end(), sep == '/' ? '\\' : '/', sep);
    if (IsAbsolute(path, sep)) {
        // "\Dev\App.vbp" lies on the group file's own drive
        const bool driveRelative = sep == '\\' && path.starts_with('\\') && !path.starts_with("\\\\");
        if (driveRelative && groupPath.size() >= 2 && groupPath[1] == ':')
            path = groupPath.substr(0, 2) + path;
        return Normalised(path, sep);
    }
    const std::string folder = FolderOfPath(groupPath);
    if (folder.empty())
        return Normalised(path, sep);
    return Normalised(folder + sep + path, sep);
}

namespace {

bool SameProject(const std::string& a, const std::string& b, char sep) {
    // Windows paths name the same file whatever their case
    return sep == '/' ? a == b : Lower(a) == Lower(b);
}

std::string NameWithoutExtension(const std::string& path) {
    const std::string name = FileNameOfPath(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

Result<GroupSelection> ReadVbgGroup(const std::string& path, CodePage codePage) {
    auto lines = ReadGroupLines(path, codePage);
    if (!lines)
        return lines.failure();

    std::string startup;
    int startupLine = 0;
    std::vector<std::pair<std::string, int>> others;
    int number = 0;
    for (const auto& line : lines.value()) {
        ++number;
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue; // the "VBGROUP 5.0" header and anything unknown
        const std::string key = Lower(Trimmed(line.substr(0, equals)));
        const std::string value = Trimmed(line.substr(equals + 1));
        if (value.empty())
            continue;
        if (key == "startupproject") {
            startup = ResolveVbgProject(value, path);
            startupLine = number;
        } else if (key == "project") {
            others.emplace_back(ResolveVbgProject(value, path), number);
        }
    }

    GroupSelection selection;
    selection.subfolderName = NameWithoutExtension(path);
    const char sep = GroupSeparator(path);
    if (!startup.empty()) {
        selection.projects.push_back(startup);
        selection.projectLines.push_back(startupLine);
    }
    for (const auto& other : others) {
        const std::string& project = other.first;
        const bool listed = std::any_of(selection.projects.begin(), selection.projects.end(),
                                        [&](const std::string& p) { return SameProject(p, project, sep); });
        if (!listed) {
            selection.projects.push_back(project);
            selection.projectLines.push_back(other.second);
        }
    }
    if (selection.projects.empty())
        return fail(ErrorKind::Refused, "The Visual Basic group file \"" + path + "\" names no project.",
                    path);
    selection.savePath = DefaultGroupBackupFolder(selection.projects.front());
    return selection;
}

std::string GroupFileNameForVbg(const std::string& vbgPath) {
    const std::string twin = vbgPath.substr(0, vbgPath.size() - 4) + ".vbpgroup";
    // a folder of that name is taken as well: the group could not be written there
    const auto taken = [](const std::string& path) {
        std::error_code error;
        return std::filesystem::exists(FsPath(path), error);
    };
    std::string free = twin;
    for (int n = 2; taken(free); ++n)
        free = NumberedFileName(twin, n);
    return free;
}

} // namespace corvane
