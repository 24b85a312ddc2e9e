// a pending extracted file's ownership, the same on every system: only Discard touches the system
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

} // namespace corvane
