// where each entry of an archive lies in the file, read from its central directory
#include "core/restore/plan.h"
#include "core/platform/regular_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvane {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22, kCentralSize = 46, kLocalSize = 30, kLocatorSize = 20;

std::uint64_t Little(const std::string& bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The archive's bytes, read where asked: one system call for each local header, none of them buffered.
class ArchiveBytes {
public:
    explicit ArchiveBytes(RegularFile& file) : m_file(file), m_size(file.OpenedState().size) {}
    std::uint64_t size() const { return m_size; }
    std::optional<std::string> Read(std::uint64_t offset, std::uint64_t length) {
        if (offset > m_size || length > m_size - offset)
            return std::nullopt;
        std::string bytes(static_cast<std::size_t>(length), '\0');
        const Result<std::size_t> read = m_file.ReadAt(offset, bytes.data(), bytes.size());
        if (!read || *read != bytes.size())
            return std::nullopt;
        return bytes;
    }

private:
    RegularFile& m_file;
    std::uint64_t m_size = 0;
};

struct Directory {
    std::uint64_t offset = 0, size = 0, entries = 0, base = 0;
};

Error NotAnArchiver(const std::string& archivePath, const std::string& what) {
    return fail(ErrorKind::Refused,
                "The archive \"" + archivePath + "\" " + what +
                    "; it was not made by an archiver and is refused.",
                archivePath);
}

std::optional<Directory> DirectoryAt(ArchiveBytes& file, const std::string& bytes, std::size_t at,
                                     std::uint64_t endOffset) {
    Directory directory{Little(bytes, at + 16, 4), Little(bytes, at + 12, 4), Little(bytes, at + 10, 2), 0};
    // where the directory ends: at the end record, or at the zip64 end record in front of it
    std::uint64_t directoryEnd = endOffset;
    if (directory.offset == 0xFFFFFFFF || directory.size == 0xFFFFFFFF || directory.entries == 0xFFFF) {
        const auto locator =
            file.Read(endOffset - std::min<std::uint64_t>(endOffset, kLocatorSize), kLocatorSize);
        if (!locator || Little(*locator, 0, 4) != kZip64LocatorSignature)
            return std::nullopt;
        const auto end64 = file.Read(Little(*locator, 8, 8), 56);
        if (!end64 || Little(*end64, 0, 4) != kZip64EndSignature)
            return std::nullopt;
        directory = {Little(*end64, 48, 8), Little(*end64, 40, 8), Little(*end64, 32, 8), 0};
        directoryEnd = Little(*locator, 8, 8);
    }
    // data in front of the archive (a self-extractor) moves every offset by the same amount
    if (directory.offset + directory.size <= directoryEnd)
        directory.base = directoryEnd - directory.offset - directory.size;
    return directory;
}

// The end record whose comment reaches the file's end; with none such, the last one found, as libzip
// also accepts an archive with bytes after it.
Result<Directory> FindDirectory(ArchiveBytes& file, const std::string& archivePath) {
    const std::uint64_t tail = std::min<std::uint64_t>(file.size(), kEndSize + 0xFFFF);
    const std::optional<std::string> bytes = file.Read(file.size() - tail, tail);
    std::optional<std::size_t> last, reachingEnd;
    for (std::size_t at = bytes && bytes->size() >= kEndSize ? bytes->size() - kEndSize + 1 : 0; at-- > 0;) {
        if (Little(*bytes, at, 4) != kEndSignature)
            continue;
        if (!last)
            last = at;
        if (at + kEndSize + Little(*bytes, at + 20, 2) != bytes->size())
            continue;
        if (reachingEnd)
            return NotAnArchiver(archivePath, "has more than one end record");
        reachingEnd = at;
    }
    const std::optional<std::size_t> chosen = reachingEnd ? reachingEnd : last;
    std::optional<Directory> directory;
    if (chosen)
        directory = DirectoryAt(file, *bytes, *chosen, file.size() - tail + *chosen);
    if (!directory)
        return fail(ErrorKind::Damaged,
                    "The archive \"" + archivePath + "\" has no readable list of entries.", archivePath);
    return *directory;
}

// The zip64 extra field holds, in this order, only the sizes and offset that did not fit.
void ApplyZip64(const std::string& extra, std::uint64_t& packedSize, std::uint64_t& localOffset,
                bool sizeOverflow) {
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint64_t id = Little(extra, at, 2), length = Little(extra, at + 2, 2);
        if (at + 4 + length > extra.size())
            return;
        if (id == 1) {
            std::size_t field = at + 4;
            const std::size_t fieldEnd = at + 4 + static_cast<std::size_t>(length);
            if (sizeOverflow && field + 8 <= fieldEnd)
                field += 8; // the uncompressed size
            if (packedSize == 0xFFFFFFFF && field + 8 <= fieldEnd) {
                packedSize = Little(extra, field, 8);
                field += 8;
            }
            if (localOffset == 0xFFFFFFFF && field + 8 <= fieldEnd)
                localOffset = Little(extra, field, 8);
            return;
        }
        at += 4 + static_cast<std::size_t>(length);
    }
}

// The WinZip AES extra field's vendor version: 2 means the CRC field is left 0 on purpose.
bool IsAesVersion2(const std::string& extra) {
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint64_t id = Little(extra, at, 2), length = Little(extra, at + 2, 2);
        if (id == 0x9901 && length >= 2 && at + 6 <= extra.size())
            return Little(extra, at + 4, 2) == 2;
        at += 4 + static_cast<std::size_t>(length);
    }
    return false;
}

} // namespace

Result<std::vector<DirectoryRecord>> ReadCentralDirectory(RegularFile& archive, const UnzipLimits& limits) {
    const std::string& archivePath = archive.Path();
    ArchiveBytes file(archive);
    const Result<Directory> directory = FindDirectory(file, archivePath);
    if (!directory)
        return directory.failure();
    if (directory->entries > limits.maxEntries)
        return fail(ErrorKind::Refused,
                    "The archive holds " + std::to_string(directory->entries) +
                        " entries, more than the limit of " + std::to_string(limits.maxEntries) +
                        " (--max-entries).",
                    archivePath);
    const Error unreadable =
        fail(ErrorKind::Damaged, "The list of entries of the archive \"" + archivePath + "\" is damaged.",
             archivePath);
    const std::optional<std::string> central =
        file.Read(directory->base + directory->offset, directory->size);
    if (!central)
        return unreadable;
    std::vector<DirectoryRecord> records;
    for (std::size_t at = 0; at + kCentralSize <= central->size();) {
        if (Little(*central, at, 4) != kCentralSignature)
            return unreadable;
        const std::size_t nameLength = Little(*central, at + 28, 2),
                          extraLength = Little(*central, at + 30, 2),
                          commentLength = Little(*central, at + 32, 2);
        if (at + kCentralSize + nameLength + extraLength > central->size())
            return unreadable;
        std::uint64_t packedSize = Little(*central, at + 20, 4), localOffset = Little(*central, at + 42, 4);
        const std::string extra = central->substr(at + kCentralSize + nameLength, extraLength);
        ApplyZip64(extra, packedSize, localOffset, Little(*central, at + 24, 4) == 0xFFFFFFFF);
        const std::optional<std::string> local = file.Read(directory->base + localOffset, kLocalSize);
        if (!local || Little(*local, 0, 4) != kLocalSignature)
            return unreadable;
        DirectoryRecord record;
        record.begin = localOffset;
        record.end = localOffset + kLocalSize + Little(*local, 26, 2) + Little(*local, 28, 2) + packedSize;
        record.rawName = central->substr(at + kCentralSize, nameLength);
        record.aesVersion2 = IsAesVersion2(extra);
        records.push_back(std::move(record));
        at += kCentralSize + nameLength + extraLength + commentLength;
    }
    if (records.size() != directory->entries)
        return unreadable;
    return records;
}

Status CheckEntriesDoNotOverlap(std::vector<DirectoryRecord> records) {
    std::sort(records.begin(), records.end(),
              [](const DirectoryRecord& a, const DirectoryRecord& b) { return a.begin < b.begin; });
    for (std::size_t i = 1; i < records.size(); ++i) {
        const DirectoryRecord& before = records[i - 1];
        const DirectoryRecord& after = records[i];
        if (after.begin < before.end)
            return fail(
                ErrorKind::Refused,
                "The entries \"" + DisplayEntryName(before.rawName) + "\" and \"" +
                    DisplayEntryName(after.rawName) +
                    "\" share the same bytes of the archive; it was not made by an archiver and is refused.");
    }
    return Status::success();
}

} // namespace corvane
