// files and folders created below an extraction folder without ever following a symbolic link
#include "core/platform/extract_output.h"

#include <cerrno>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/project/paths.h"

namespace corvane {
namespace {

void CloseIfOpen(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

void PendingFile::Discard() {
    if (m_fd >= 0) {
        CloseIfOpen(m_fd);
        ::unlinkat(m_folderFd, m_tempName.c_str(), 0);
    }
    CloseIfOpen(m_folderFd);
}

Status PendingFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fail(ErrorKind::Io,
                        "Could not write \"" + m_displayPath + "\": " + SystemErrorReason(errno) + ".",
                        m_displayPath, errno);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return Status::success();
}

Status PendingFile::Commit(std::time_t modificationTime) {
    const timespec times[2] = {{modificationTime, 0}, {modificationTime, 0}};
    ::futimens(m_fd, times); // a lost time stamp is no reason to lose the file
    int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        int error = errno;
        ::unlinkat(m_folderFd, m_tempName.c_str(), 0);
        return fail(ErrorKind::Io, "Could not write \"" + m_displayPath + "\": " + SystemErrorReason(error) + ".",
                    m_displayPath, error);
    }
    if (::renameat(m_folderFd, m_tempName.c_str(), m_folderFd, m_finalName.c_str()) != 0) {
        int error = errno;
        ::unlinkat(m_folderFd, m_tempName.c_str(), 0);
        return fail(ErrorKind::NotWritable,
                    "Could not create \"" + m_displayPath + "\": " + SystemErrorReason(error) + ".", m_displayPath,
                    error);
    }
    return Status::success();
}

void ExtractTarget::Close() {
    CloseIfOpen(m_fd);
}

Result<ExtractTarget> ExtractTarget::Open(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ExtractTarget target;
    target.m_folder = folder;
    target.m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (target.m_fd < 0)
        return fail(KindOfSystemError(errno, ErrorKind::NotWritable),
                    "Could not open the folder \"" + folder + "\": " + SystemErrorReason(errno) + ".", folder,
                    errno);
    return target;
}

Result<int> ExtractTarget::OpenFolder(const std::vector<std::string>& components, std::size_t count) {
    int fd = ::dup(m_fd);
    if (fd < 0)
        return fail(ErrorKind::NotReadable,
                    "Could not open the folder \"" + m_folder + "\": " + SystemErrorReason(errno) + ".", m_folder,
                    errno);
    std::string shown = m_folder;
    for (std::size_t i = 0; i < count; ++i) {
        const char* name = components[i].c_str();
        shown += "/" + components[i];
        int next = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && errno == ENOENT) {
            if (::mkdirat(fd, name, 0777) != 0 && errno != EEXIST) {
                int error = errno;
                ::close(fd);
                return fail(ErrorKind::NotWritable,
                            "Could not create the folder \"" + shown + "\": " + SystemErrorReason(error) + ".",
                            shown, error);
            }
            next = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        int error = errno;
        ::close(fd);
        if (next < 0 && (error == ELOOP || error == ENOTDIR))
            return fail(ErrorKind::Refused, "\"" + shown + "\" is a symbolic link or a file, not a folder.",
                        shown);
        if (next < 0)
            return fail(ErrorKind::NotReadable,
                        "Could not open the folder \"" + shown + "\": " + SystemErrorReason(error) + ".", shown,
                        error);
        fd = next;
    }
    return fd;
}

Status ExtractTarget::MakeFolders(const std::vector<std::string>& components) {
    auto folder = OpenFolder(components, components.size());
    if (!folder)
        return folder.failure();
    ::close(*folder);
    return Status::success();
}

Result<PendingFile> ExtractTarget::CreateFile(const std::vector<std::string>& components) {
    auto folder = OpenFolder(components, components.size() - 1);
    if (!folder)
        return folder.failure();
    PendingFile file;
    file.m_folderFd = *folder;
    file.m_finalName = components.back();
    file.m_displayPath = m_folder + "/" + components.front();
    for (std::size_t i = 1; i < components.size(); ++i)
        file.m_displayPath += "/" + components[i];
    for (int attempt = 0; attempt < 16 && file.m_fd < 0; ++attempt) {
        // a short prefix keeps the name within the 255-byte limit whatever the final name is
        file.m_tempName = UniqueTempName(".corvane-", ".part");
        file.m_fd = ::openat(file.m_folderFd, file.m_tempName.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file.m_fd < 0 && errno != EEXIST)
            break;
    }
    if (file.m_fd < 0)
        return fail(KindOfSystemError(errno, ErrorKind::NotWritable),
                    "Could not create \"" + file.m_displayPath + "\": " + SystemErrorReason(errno) + ".",
                    file.m_displayPath, errno);
    return file;
}

} // namespace corvane
