// the ".vbpgroup" file: writing it, and the editor's and the main window's ways of reading it
#include "core/group/group.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/project/paths.h"
#include "core/project/text.h"

namespace corvane {

namespace {

const std::string kPathMarker = "[PATH]";

std::string SystemReason(int error) {
    return std::error_code(error, std::generic_category()).message();
}

Result<std::vector<std::string>> ReadLines(const std::string& path) {
    auto bytes = ReadTextFile(path);
    if (!bytes)
        return bytes.failure();
    return SplitLines(bytes.value());
}

bool IsPathLine(const std::string& line) {
    return line.compare(0, kPathMarker.size(), kPathMarker) == 0;
}

// every marker goes, not only the leading one: "[PATH]D:\[PATH]x" names D:\x
std::string WithoutPathMarkers(std::string line) {
    for (auto at = line.find(kPathMarker); at != std::string::npos; at = line.find(kPathMarker, at))
        line.erase(at, kPathMarker.size());
    return line;
}

std::string GroupFileText(const GroupEditorFields& fields) {
    std::string text;
    const auto addLine = [&text](const std::string& line) { text += line + "\r\n"; };
    addLine(fields.groupName);
    addLine(fields.mainProject);
    addLine(kPathMarker + fields.backupFolder);
    for (const auto& project : fields.linkedProjects)
        addLine(project);
    return text;
}

// The format has no escape: readers take a line that starts with the marker as the save path, and
// strip every marker from that line. So a project may hold the marker anywhere but at its start,
// the name anywhere (line 1 is never looked at), the backup folder nowhere.
std::string UnstorablePath(const GroupEditorFields& fields) {
    const std::string why = "\" cannot be stored in a group file: \"" + kPathMarker + "\" ";
    if (fields.backupFolder.find(kPathMarker) != std::string::npos)
        return "the backup folder \"" + fields.backupFolder + why + "is not allowed in it.";
    if (IsPathLine(fields.mainProject))
        return "the project \"" + fields.mainProject + why + "may not start it.";
    for (const auto& project : fields.linkedProjects) {
        if (IsPathLine(project))
            return "the project \"" + project + why + "may not start it.";
    }
    return "";
}

Status WriteWholeFile(const std::string& path, const std::string& text) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return fail(ErrorKind::NotWritable, SystemReason(errno));
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    // a full disk may only show when the buffer is flushed at close
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        return fail(ErrorKind::NotWritable, SystemReason(written ? errno : writeError));
    return Status::success();
}

} // namespace

std::string DefaultGroupBackupFolder(const std::string& projectPath) {
    return AddBackslash(AddBackslash(FolderOfPath(projectPath)) + "Sources.Backup");
}

Status WriteGroupFile(const std::string& path, const GroupEditorFields& fields) {
    namespace fs = std::filesystem;
    const std::string failedTo = "Cannot write the group file \"" + path + "\": ";
    if (const std::string unstorable = UnstorablePath(fields); !unstorable.empty())
        return fail(ErrorKind::Refused, failedTo + unstorable);
    std::error_code ec;
    const auto existing = fs::status(path, ec);
    if (fs::is_directory(existing))
        return fail(ErrorKind::NotWritable, failedTo + "a folder has that name.");
    // replacing by rename would get past a read-only mark that a plain overwrite respects
    if (fs::is_regular_file(existing) && (existing.permissions() & fs::perms::owner_write) == fs::perms::none)
        return fail(ErrorKind::NotWritable, failedTo + "the file is read-only.");

    const std::string temporary = path + ".corvane-tmp";
    if (Status status = WriteWholeFile(temporary, GroupFileText(fields)); !status) {
        fs::remove(temporary, ec);
        return fail(ErrorKind::NotWritable, failedTo + status.error() + ".");
    }
    if (fs::exists(existing))
        fs::permissions(temporary, existing.permissions(), ec);
    fs::rename(temporary, path, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return fail(ErrorKind::NotWritable, failedTo + reason + ".");
    }
    return Status::success();
}

GroupEditorRead ReadGroupForEditor(const std::string& path) {
    GroupEditorRead read;
    auto lines = ReadLines(path);
    if (!lines) {
        read.stoppedEarly = true;
        read.error = lines.error();
        return read;
    }
    const auto& all = lines.value();
    // lines 1 and 2 are read without looking at them; a file too short stops the reading there
    if (all.size() < 2) {
        read.stoppedEarly = true;
        if (!all.empty())
            read.fields.groupName = all[0];
        return read;
    }
    read.fields.groupName = all[0];
    read.fields.mainProject = all[1];
    for (std::size_t i = 2; i < all.size(); ++i) {
        if (IsPathLine(all[i]))
            read.fields.backupFolder = WithoutPathMarkers(all[i]);
        else
            read.fields.linkedProjects.push_back(all[i]);
    }
    if (read.fields.backupFolder.empty())
        read.fields.backupFolder = DefaultGroupBackupFolder(read.fields.mainProject);
    return read;
}

Result<GroupSelection> ReadGroupForMainWindow(const std::string& path) {
    auto lines = ReadLines(path);
    if (!lines)
        return lines.failure();
    const auto& all = lines.value();
    if (all.empty())
        return fail(ErrorKind::Refused, "The group file \"" + path + "\" is empty.", path);

    GroupSelection selection;
    selection.subfolderName = all[0];
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (IsPathLine(all[i]))
            selection.savePath = WithoutPathMarkers(all[i]);
        else
            selection.projects.push_back(all[i]);
    }
    // a group of a name alone has no project to put its backups beside, so it gets no default
    // save path; the user has to choose one before archiving
    if (selection.savePath.empty() && !selection.projects.empty())
        selection.savePath = DefaultGroupBackupFolder(selection.projects.front());
    return selection;
}

Result<GroupSelection> ReadAnyGroup(const std::string& path) {
    std::string extension = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".vbg")
        return ReadVbgGroup(path);
    return ReadGroupForMainWindow(path);
}

} // namespace corvane
