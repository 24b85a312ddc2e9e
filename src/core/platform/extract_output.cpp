// the ownership of a pending extracted file and of the extraction folder, the same on every system: only
// Discard and Close touch the system
#include "core/platform/extract_output.h"

#include <utility>

namespace corvane {

PendingFile::PendingFile(PendingFile&& other) noexcept {
    *this = std::move(other);
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        Discard();
        m_folderFd = std::exchange(other.m_folderFd, -1);
        m_fd = std::exchange(other.m_fd, -1);
        m_tempName = std::move(other.m_tempName);
        m_finalName = std::move(other.m_finalName);
        m_displayPath = std::move(other.m_displayPath);
    }
    return *this;
}

PendingFile::~PendingFile() {
    Discard();
}

ExtractTarget::ExtractTarget(ExtractTarget&& other) noexcept {
    *this = std::move(other);
}

ExtractTarget& ExtractTarget::operator=(ExtractTarget&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_folder = std::move(other.m_folder);
    }
    return *this;
}

ExtractTarget::~ExtractTarget() {
    Close();
}

} // namespace corvane
