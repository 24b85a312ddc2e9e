// the settings lock's ownership, the same on every system: only Acquire and Release touch the system
#include "core/platform/settings_file.h"

#include <utility>

namespace corvane {

SettingsFileLock::SettingsFileLock(SettingsFileLock&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)) {}

SettingsFileLock& SettingsFileLock::operator=(SettingsFileLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

SettingsFileLock::~SettingsFileLock() {
    Release();
}

} // namespace corvane
