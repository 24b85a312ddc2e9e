// unpacking a whole archive below one folder, through the one gate that checks every entry
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

inline constexpr std::uint64_t kNoByteLimit = std::numeric_limits<std::uint64_t>::max();

// Hostile or broken archives stop here, and nothing the archive command writes ever does. The
// archive's declared sizes are the budget: they are checked against these caps and against the free
// space of the target's disk before anything is written, and an entry that inflates past its declared
// size is stopped, so a lying header cannot get past them.
struct UnzipLimits {
    std::uint64_t maxTotalBytes = kNoByteLimit; // all entries together, beyond the disk's free space
    // inflated bytes per compressed byte of one entry; deflate cannot pass 1032 to 1, so the default
    // stops only other methods' bombs
    double maxRatio = 2000.0;
    // the ratio is tested only past this size, which no Visual Basic 6 source or companion file nears
    std::uint64_t ratioFromBytes = std::uint64_t{256} << 20;
    // a backup of the longest project file (32,767 lines, each naming at most a file and its
    // companion) holds fewer entries
    std::uint64_t maxEntries = 65536;
};

// What happens to a target folder that exists and holds something.
enum class ExistingFolder { Refuse, Replace };

struct UnzipOptions {
    UnzipLimits limits;
    ExistingFolder existing = ExistingFolder::Refuse;
    // asked only for an encrypted archive, with the attempt's number from 1; nullopt cancels. A wrong
    // password is asked again until passwordAttempts were tried.
    std::function<std::optional<std::string>(int attempt)> askPassword;
    int passwordAttempts = 1;
    std::function<void(double fraction)> progress;
    std::function<bool()> cancelRequested;
};

// Extracts every entry into a fresh hidden folder beside `folder`, which takes the folder's place only
// once every entry was written and passed its checks (CRC, declared size, authentication). A refused,
// damaged, wrong-password or cancelled extraction leaves `folder` exactly as it was and removes the
// staging folder; staging folders of killed runs are removed first. An existing folder that holds
// anything is refused (ErrorKind::Exists) unless options.existing says to replace it; a folder that is
// a symbolic link is always refused. Returns the number of entries extracted.
Result<int> ExtractArchive(const std::string& archivePath, const std::string& folder,
                           const UnzipOptions& options);

// Reads every entry as ExtractArchive would, decrypting, inflating and checking it, and writes
// nothing. Returns the number of entries checked.
Result<int> TestArchive(const std::string& archivePath, const UnzipOptions& options);

struct ListedEntry {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
    std::time_t modificationTime = 0;
    bool encrypted = false;
    bool isFolder = false;
};

struct ArchiveListing {
    std::vector<ListedEntry> entries;
    // from the project file at the archive's root, when there is one and it can be read
    std::string projectName;
    std::string projectVersion; // "major.minor.revision"
};

// The entries as the archive's directory declares them, after the same checks as ExtractArchive's
// before it writes. The project file is read only when it is not encrypted or the password opens it.
Result<ArchiveListing> ListArchive(const std::string& archivePath, const UnzipOptions& options);

// The folder an archive unpacks into: beside it, named as the archive's file name without ".zip" (in
// any case), so "X.zip" unpacks into "X". Refused for a file not named as an archive and for a name
// that the entry-name gate would refuse as a folder name ("..zip", ".zip", "con.zip").
Result<std::string> ExtractionFolderOf(const std::string& archivePath);

} // namespace corvane
