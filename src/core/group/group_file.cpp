// the ".vbpgroup" file: writing it, and the editor's and the main window's ways of reading it
#include "core/group/group.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/group/lines.h"
#include "core/project/paths.h"
#include "core/platform/open_file.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

const std::string kPathMarker = "[PATH]";

bool IsPathLine(const std::string& line) {
    return line.compare(0, kPathMarker.size(), kPathMarker) == 0;
}

// every marker goes, not only the leading one: "[PATH]D:\[PATH]x" names D:\x
std::string WithoutPathMarkers(std::string line) {
    for (auto at = line.find(kPathMarker); at != std::string::npos; at = line.find(kPathMarker, at))
        line.erase(at, kPathMarker.size());
    return line;
}

std::string GroupFileText(const GroupEditorFields& fields, CodePage codePage) {
    std::string text;
    const auto addLine = [&text, codePage](const std::string& line) {
        text += Utf8ToAnsi(line, codePage) + "\r\n";
    };
    addLine(fields.groupName);
    addLine(fields.mainProject);
    addLine(kPathMarker + fields.backupFolder);
    for (const auto& project : fields.linkedProjects)
        addLine(project);
    return text;
}

Status WriteWholeFile(const std::string& path, const std::string& text) {
    errno = 0;
    std::FILE* file = OpenFile(path, "wb");
    if (file == nullptr)
        return fail(ErrorKind::NotWritable, SystemErrorReason(errno), path, errno);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    // a full disk may only show when the buffer is flushed at close
    const bool closed = std::fclose(file) == 0;
    const int error = written ? errno : writeError;
    if (!written || !closed)
        return fail(ErrorKind::NotWritable, SystemErrorReason(error), path, error);
    return Status::success();
}

} // namespace

// The format has no escape: readers take a line that starts with the marker as the save path, and
// strip every marker from that line. So a project may hold the marker anywhere but at its start,
// the name anywhere (line 1 is never looked at), the backup folder nowhere.
std::optional<std::string> UnstorableText(const GroupEditorFields& fields, CodePage codePage) {
    // U+FFFD stands for bytes the code page could not read (under UTF-8); writing it would put its own
    // bytes where the user's were
    const auto storable = [codePage](const std::string& text) {
        return text.find_first_of("\r\n") == std::string::npos &&
               text.find("\xEF\xBF\xBD") == std::string::npos &&
               AnsiToUtf8(Utf8ToAnsi(text, codePage), codePage) == text;
    };
    if (!storable(fields.groupName))
        return fields.groupName;
    if (!storable(fields.backupFolder) || fields.backupFolder.find(kPathMarker) != std::string::npos)
        return fields.backupFolder;
    std::vector<std::string> projects{fields.mainProject};
    projects.insert(projects.end(), fields.linkedProjects.begin(), fields.linkedProjects.end());
    for (const std::string& project : projects) {
        if (!storable(project) || IsPathLine(project))
            return project;
    }
    return std::nullopt;
}

std::string DefaultGroupBackupFolder(const std::string& projectPath) {
    return AddBackslash(AddBackslash(FolderOfPath(projectPath)) + "Sources.Backup");
}

Status WriteGroupFile(const std::string& path, const GroupEditorFields& fields, CodePage codePage) {
    namespace fs = std::filesystem;
    const std::string failedTo = "Cannot write the group file \"" + path + "\": ";
    if (KindOfInput(path) != InputKind::Group)
        return fail(ErrorKind::Refused, failedTo + "only a \".vbpgroup\" file is written.", path);
    if (const auto unstorable = UnstorableText(fields, codePage))
        return fail(ErrorKind::Refused, failedTo + "\"" + *unstorable + "\" cannot be stored in it.", path);
    std::error_code ec;
    const auto existing = fs::status(FsPath(path), ec);
    if (fs::is_directory(existing))
        return fail(ErrorKind::NotWritable, failedTo + "a folder has that name.", path, EISDIR);
    // replacing by rename would get past a read-only mark that a plain overwrite respects
    if (fs::is_regular_file(existing) && (existing.permissions() & fs::perms::owner_write) == fs::perms::none)
        return fail(ErrorKind::NotWritable, failedTo + "the file is read-only.", path);

    const std::string temporary = path + ".corvane-tmp";
    if (Status status = WriteWholeFile(temporary, GroupFileText(fields, codePage)); !status) {
        fs::remove(FsPath(temporary), ec);
        return fail(ErrorKind::NotWritable, failedTo + status.error() + ".", path, status.failure().systemError);
    }
    if (fs::exists(existing))
        fs::permissions(FsPath(temporary), existing.permissions(), ec);
    fs::rename(FsPath(temporary), FsPath(path), ec);
    if (ec) {
        const int systemError = ec.value();
        fs::remove(FsPath(temporary), ec);
        return fail(ErrorKind::NotWritable, failedTo + SystemErrorReason(systemError) + ".", path, systemError);
    }
    return Status::success();
}

GroupEditorRead ReadGroupForEditor(const std::string& path, CodePage codePage) {
    GroupEditorRead read;
    auto lines = ReadGroupLines(path, codePage);
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

Result<GroupSelection> ReadGroupForMainWindow(const std::string& path, CodePage codePage) {
    auto lines = ReadGroupLines(path, codePage);
    if (!lines)
        return lines.failure();
    const auto& all = lines.value();
    if (all.empty())
        return fail(ErrorKind::Refused, "The group file \"" + path + "\" is empty.", path);

    GroupSelection selection;
    selection.subfolderName = all[0];
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (IsPathLine(all[i])) {
            selection.savePath = WithoutPathMarkers(all[i]);
            selection.savePathLine = static_cast<int>(i + 1);
        } else {
            selection.projects.push_back(all[i]);
            selection.projectLines.push_back(static_cast<int>(i + 1));
        }
    }
    // a group of a name alone has no project to put its backups beside, so it gets no default
    // save path; the user has to choose one before archiving
    if (selection.savePath.empty() && !selection.projects.empty()) {
        selection.savePath = DefaultGroupBackupFolder(selection.projects.front());
        selection.savePathLine = 0;
    }
    return selection;
}

Result<GroupSelection> ReadGroupAsWritten(const std::string& path, CodePage codePage) {
    return KindOfInput(path) == InputKind::VbGroup ? ReadVbgGroup(path, codePage)
                                                   : ReadGroupForMainWindow(path, codePage);
}

Result<GroupSelection> ReadAnyGroup(const std::string& path, CodePage codePage, const DriveMap& driveMap) {
    Result<GroupSelection> read = ReadGroupAsWritten(path, codePage);
    if (!read)
        return read;
    return LocateGroupPaths(std::move(read).value(), path, driveMap);
}

} // namespace corvane
