// a file a backup stores: looked at when it is added, and held to that look while its bytes are read
#include "core/zip/source_file.h"

namespace corvane {

namespace {

Error Changed(const std::string& path) {
    return fail(ErrorKind::Io, "\"" + path + "\" changed while it was being archived; try again.", path);
}

} // namespace

Error SourceReadFailure(Error reason) {
    reason.message = "Could not read \"" + reason.path + "\": " + reason.message + ".";
    return reason;
}

Result<SourceFile> InspectSourceFile(const std::string& path) {
    Result<RegularFile> open = RegularFile::Open(path);
    if (!open)
        return SourceReadFailure(open.failure());
    return SourceFile{path, open->OpenedState()};
}

Result<RegularFile> OpenSourceFile(const SourceFile& file) {
    Result<RegularFile> open = RegularFile::Open(file.path);
    if (!open)
        return SourceReadFailure(open.failure());
    if (open->OpenedState() != file.state)
        return Changed(file.path);
    return open;
}

Status CheckSourceUnchanged(const RegularFile& open, const SourceFile& file) {
    Result<FileState> now = open.StateNow();
    if (!now)
        return SourceReadFailure(now.failure());
    if (*now != file.state)
        return Changed(file.path);
    return Status::success();
}

} // namespace corvane
