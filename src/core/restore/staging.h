// the hidden folder an extraction writes into before it takes the target's place
#pragma once

#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/restore/restore.h"

namespace corvane {

// A fresh folder beside `target`, named after this process so that a later run can tell one left by
// a killed run; removed with everything in it unless Commit gave it the target's name, and with the
// target's missing parents it had to create.
class StagingFolder {
public:
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    ~StagingFolder();

    static Result<StagingFolder> Create(const std::string& target);
    const std::string& path() const { return m_path; }

    // The staging folder becomes `target`; an existing target is replaced only as `existing` allows,
    // and is removed once it is out of the way.
    Status Commit(ExistingFolder existing);

    StagingFolder(StagingFolder&& other) noexcept;
    StagingFolder& operator=(StagingFolder&&) = delete;

private:
    StagingFolder(std::string path, std::string target, std::vector<std::string> madeParents);

    std::string m_path;
    std::string m_target;
    // the folders above the target that this run created, deepest first: taken back when it fails
    std::vector<std::string> m_madeParents;
    bool m_committed = false;
};

// Refuses a target that is a symbolic link or not a folder, and, unless `existing` allows replacing it,
// a folder that holds anything. A missing target is fine.
Status CheckTarget(const std::string& target, ExistingFolder existing);

// Removes the staging folders beside `target` whose process no longer runs.
void RemoveStaleStagingFolders(const std::string& target);

} // namespace corvane
