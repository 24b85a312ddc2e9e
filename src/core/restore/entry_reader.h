// reading an archive's entries for extraction, testing and listing: one opening, one set of checks
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <zip.h>

#include "core/common/error.h"
#include "core/restore/plan.h"
#include "core/restore/restore.h"

namespace corvane {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// An archive whose directory passed every check that needs no password.
struct OpenedArchive {
    std::unique_ptr<zip_t, ArchiveCloser> archive;
    ExtractionPlan plan;
};

// Reads the directory once without libzip (one end record, the entry count, overlaps), then through
// libzip, and plans the entries; a difference between the two readings refuses the archive.
Result<OpenedArchive> OpenArchive(const std::string& archivePath, const UnzipLimits& limits);

Error ExtractionCancelled();

using EntrySink = std::function<Status(const char* data, std::size_t size)>;

// One run's reading state: the bytes inflated so far, against the limits and for the progress.
class EntryReader {
public:
    EntryReader(zip_t* archive, const UnzipOptions& options, std::uint64_t declaredTotal);
    ~EntryReader();

    bool Cancelled() const { return m_options.cancelRequested && m_options.cancelRequested(); }

    // Asks for the password and proves it on the first encrypted entry, asking again after a wrong one
    // while attempts remain; nothing to do for an archive without encryption.
    Status Unlock(const ExtractionPlan& plan);

    // The password another reader of the same archive proved, for a reader on another thread.
    void TakePasswordOf(const EntryReader& unlocked) { m_password = unlocked.m_password; }

    // Streams the entry to `sink`; done only when it was read whole, inflated to exactly its declared
    // size and passed its CRC or authentication check.
    Status Read(const PlannedEntry& entry, const EntrySink& sink) { return Read(entry, sink, false); }

private:
    class Inflater;
    Status Read(const PlannedEntry& entry, const EntrySink& sink, bool checkingPassword);
    Status Deliver(const PlannedEntry& entry, const char* data, std::size_t size, std::uint64_t& inflated,
                   const EntrySink& sink, bool checkingPassword);
    Status CheckRatio(const PlannedEntry& entry, std::uint64_t inflated) const;

    zip_t* m_archive;
    const UnzipOptions& m_options;
    std::uint64_t m_declaredTotal;
    std::uint64_t m_inflatedTotal = 0;
    std::string m_password;
    std::vector<char> m_buffer;
    std::unique_ptr<Inflater> m_inflater;
};

} // namespace corvane
