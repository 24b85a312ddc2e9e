// folder listings read once per build, for case-blind file lookups
#include "core/folder_listing.h"

#include <filesystem>
#include <system_error>

#include "core/paths.h"
#include "core/reference_resolver.h"

namespace corvane {

namespace fs = std::filesystem;

std::optional<std::string> FolderListings::Find(const std::string& folder, const std::string& name) {
    const std::string exact = (fs::path(folder) / name).string();
    if (FileExists(exact))
        return exact;
    const Listing& listing = ListingOf(folder);
    const auto found = listing.find(FoldCase(name));
    if (found == listing.end())
        return std::nullopt;
    const std::string path = (fs::path(folder) / found->second).string();
    return FileExists(path) ? std::optional<std::string>(path) : std::nullopt;
}

const FolderListings::Listing& FolderListings::ListingOf(const std::string& folder) {
    const auto cached = m_listings.find(folder);
    if (cached != m_listings.end())
        return cached->second;
    Listing& listing = m_listings[folder];
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        auto [entry, added] = listing.emplace(FoldCase(name), name);
        if (!added && name < entry->second)
            entry->second = name; // the same choice the resolver makes, whatever the listing order
    }
    return listing;
}

} // namespace corvane
