// where the drives and network shares that project references name are found on this machine
#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/environment.h"

namespace corvane {

class DriveMap {
public:
    DriveMap() = default;

    // Drives through Wine's dosdevices folder ($WINEPREFIX, else ~/.wine), then the entries of
    // CORVANE_DRIVE_MAP ("C=/mnt/c;D=/srv/lib;\\server\share=/mnt/share"), which win.
    static DriveMap FromEnvironment(const EnvLookup& lookup = ProcessEnvironment());

    // A folder holding one entry per drive named like "d:", as Wine's dosdevices does.
    void SetDosDevices(std::string folder) { m_dosDevices = std::move(folder); }
    // key: a drive letter ("D", "d" or "D:") or a share ("\\server\share"), matched without case.
    void Set(const std::string& key, std::string folder);
    // Adds the "key=folder" entries of a ";"-separated list; entries without "=" or key are skipped.
    void AddEntries(const std::string& list);
    // The folder of a drive letter or share; nullopt when nothing maps it.
    std::optional<std::string> Find(const std::string& key) const;

private:
    std::string m_dosDevices;
    std::map<std::string, std::string> m_folders;
};

} // namespace corvane
