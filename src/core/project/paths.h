// string helpers on project paths, in Windows form ("\", drive letters, UNC) or in this machine's form ("/")
#pragma once

#include <cstdint>
#include <string>

#include "core/common/error.h"
#include "core/project/code_page.h"

namespace corvane {

// The separator a path is written with: "/" when it holds "/" and no "\", else "\" (Windows form,
// which is also the form of an empty path and of a bare name).
char SeparatorOf(const std::string& path);

// Trims leading and trailing spaces, then appends the path's separator unless it already ends with one.
// The name is the one Visual Basic programmers know; the separator is not always a backslash: a path of
// this machine ("/srv/vb6") gets this machine's "/", a Windows-form path ("C:\Dev") a "".
std::string AddBackslash(const std::string& path);
// Everything before the last separator ("\" or "/"); empty when there is none.
std::string FolderOfPath(const std::string& path);
// Everything after the last separator; the path itself when there is none.
std::string FileNameOfPath(const std::string& path);

// File system helpers on paths of this machine.
bool FileExists(const std::string& path);
// Success when `path` is a folder; otherwise why not, as the words to follow its name in a sentence
// ("does not exist", "is a file, not a folder", "cannot be reached: permission denied").
Status CheckIsFolder(const std::string& path);
// 0 when deleted, else the system's error number; never throws.
int DeleteFile(const std::string& path);
// Creates every folder of the path up to its last separator; a path without a separator is one
// folder. Failures to create a level are not fatal, but the result tells whether the folder
// the path names (up to its last separator) exists afterwards, with the system's reason when not.
Status CreateFolderPath(const std::string& path);

// Replaces ' \ / : * ? " < > | by "_".
std::string SanitizeFileName(const std::string& text);
// "Name (n).ext": the name a backup takes when "Name.ext" is already taken (n from 2).
std::string NumberedFileName(const std::string& name, int n);

// A project reference made absolute against the project folder, in Windows form, not normalised.
std::string MakeAbsolutePath(const std::string& reference, const std::string& projectFolder);
// The path, "\" separated, under which a referenced file is stored in the archive and by which
// the rewritten project file names it; in the reference's bytes, cut only where a character of its
// code page starts.
std::string MapToArchivePath(const std::string& reference, CodePage codePage);
inline std::string MapToArchivePath(const std::string& reference) {
    return MapToArchivePath(reference, CodePage::Windows1252);
}
// MapToArchivePath with "/" read as "\", hardened for use as an entry name: no "." or ".." component,
// no empty component, no drive, no control character (each rewritten, never dropped). Empty when the
// reference names no file (empty, or ending with a separator).
std::string SafeArchivePath(const std::string& reference, CodePage codePage);
inline std::string SafeArchivePath(const std::string& reference) {
    return SafeArchivePath(reference, CodePage::Windows1252);
}

// prefix + 16 random hexadecimal digits + suffix
std::string UniqueTempName(const std::string& prefix, const std::string& suffix);

// What a path given to a command names, judged by its extension without regard to case.
enum class InputKind { Project, Group, VbGroup, Archive, Unknown };
InputKind KindOfInput(const std::string& path);
inline bool IsGroupInput(InputKind kind) {
    return kind == InputKind::Group || kind == InputKind::VbGroup;
}

} // namespace corvane
