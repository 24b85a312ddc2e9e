// a regular file's ownership, the same on every system: only Open and Close touch the system
#include "core/platform/regular_file.h"

#include <utility>

namespace corvane {

RegularFile::RegularFile(int descriptor, std::string path, FileState opened)
    : m_descriptor(descriptor), m_path(std::move(path)), m_opened(opened) {}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_path(std::move(other.m_path)),
      m_opened(other.m_opened) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_path = std::move(other.m_path);
        m_opened = other.m_opened;
    }
    return *this;
}

RegularFile::~RegularFile() {
    Close();
}

} // namespace corvane
