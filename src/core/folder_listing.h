// finding a file in a folder without regard to case, each folder read once however often it is asked
#pragma once

#include <map>
#include <optional>
#include <string>

namespace corvane {

// Companions that do not exist are the common case in a large project; reading the folder again for
// each of them made a build quadratic in the number of files.
class FolderListings {
public:
    // The path of the file in folder whose name equals name (UTF-8) without regard to case: the exact
    // name when it exists, else the first such name in name order; nothing when there is none.
    std::optional<std::string> Find(const std::string& folder, const std::string& name);

private:
    using Listing = std::map<std::string, std::string>; // folded name -> first name on disk
    const Listing& ListingOf(const std::string& folder);

    std::map<std::string, Listing> m_listings;
};

} // namespace corvane
