// the hidden folder an extraction writes into before it takes the target's place
#include "core/restore/staging.h"

#include <cctype>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/platform/platform.h"
#include "core/platform/staging_folder.h"
#include "core/project/paths.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = ".corvane-unzip-";

// The process that made a staging folder of ours; nothing for any other name.
std::optional<long> MakerOf(std::string_view name) {
    if (!name.starts_with(kPrefix))
        return std::nullopt;
    name.remove_prefix(kPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash > 9 || dash == std::string_view::npos)
        return std::nullopt;
    for (char c : name.substr(0, dash))
        if (std::isdigit(static_cast<unsigned char>(c)) == 0)
            return std::nullopt;
    return std::stol(std::string(name.substr(0, dash)));
}

fs::path ParentOf(const std::string& target) {
    const fs::path parent = FsPath(target).parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

Error FolderFailure(const std::string& what, const std::string& path, const std::error_code& error) {
    return fail(KindOfSystemError(error.value(), ErrorKind::NotWritable),
                "Could not " + what + " \"" + path + "\": " + error.message() + ".", path, error.value());
}

} // namespace

StagingFolder::StagingFolder(std::string path, std::string target, std::vector<std::string> madeParents)
    : m_path(std::move(path)), m_target(std::move(target)), m_madeParents(std::move(madeParents)) {}

StagingFolder::StagingFolder(StagingFolder&& other) noexcept
    : m_path(std::move(other.m_path)), m_target(std::move(other.m_target)),
      m_madeParents(std::move(other.m_madeParents)), m_committed(other.m_committed) {
    other.m_path.clear();
    other.m_madeParents.clear();
}

StagingFolder::~StagingFolder() {
    std::error_code ignored;
    if (!m_path.empty())
        fs::remove_all(FsPath(m_path), ignored);
    // only while empty: whatever another program put there meanwhile stays
    for (const std::string& parent : m_committed ? std::vector<std::string>() : m_madeParents)
        fs::remove(FsPath(parent), ignored);
}

Result<StagingFolder> StagingFolder::Create(const std::string& target) {
    const fs::path parent = ParentOf(target);
    std::error_code error;
    std::vector<std::string> madeParents;
    for (fs::path missing = parent; !missing.empty() && !fs::exists(fs::symlink_status(missing, error));
         missing = missing.parent_path())
        madeParents.push_back(Utf8OfPath(missing));
    fs::create_directories(parent, error);
    if (error)
        return FolderFailure("create the folder", Utf8OfPath(parent), error);
    for (int attempt = 0;; ++attempt) {
        const fs::path path =
            parent / UniqueTempName(std::string(kPrefix) + std::to_string(CurrentProcessId()) + "-", "");
        if (fs::create_directory(path, error))
            return StagingFolder(Utf8OfPath(path), target, std::move(madeParents));
        if (error || attempt >= 16)
            return FolderFailure("create a folder in", Utf8OfPath(parent), error);
    }
}

Status StagingFolder::Commit(ExistingFolder existing) {
    if (Status target = CheckTarget(m_target, existing); !target)
        return target;
    std::error_code error;
    const bool replacing = fs::exists(fs::symlink_status(FsPath(m_target), error));
    if (!replacing || fs::is_empty(FsPath(m_target), error)) {
        if (Status moved = MoveFolderInto(m_path, m_target); !moved)
            return moved;
        m_path.clear();
        m_committed = true;
        return Status::success();
    }
    // the old folder now sits under the staging name and goes with it
    Status exchanged = ExchangeFolders(m_path, m_target);
    m_committed = exchanged.ok();
    return exchanged;
}

Status CheckTarget(const std::string& target, ExistingFolder existing) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(FsPath(target), error);
    if (!fs::exists(status))
        return Status::success();
    if (fs::is_symlink(status))
        return fail(ErrorKind::Refused,
                    "The folder \"" + target +
                        "\" is a symbolic link; an archive is never unpacked through one.",
                    target);
    if (!fs::is_directory(status))
        return fail(ErrorKind::Refused, "\"" + target + "\" exists and is not a folder.", target);
    if (existing == ExistingFolder::Refuse && !fs::is_empty(FsPath(target), error))
        return fail(ErrorKind::Exists, "The folder \"" + target + "\" already holds files.", target);
    return Status::success();
}

void RemoveStaleStagingFolders(const std::string& target) {
    std::error_code error;
    const long self = CurrentProcessId();
    for (fs::directory_iterator it(ParentOf(target), error), end; !error && it != end; it.increment(error)) {
        const std::optional<long> maker = MakerOf(Utf8OfPath(it->path().filename()));
        // this process's own may belong to an extraction on another thread
        if (!maker || *maker == self || ProcessIsRunning(*maker))
            continue;
        std::error_code ignored;
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::remove_all(it->path(), ignored);
    }
}

} // namespace corvane
