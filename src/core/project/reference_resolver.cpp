// resolution of project references through the project folder, the drive map and case-blind matching
#include "core/project/references.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "core/platform/platform.h"
#include "core/project/paths.h"

namespace corvane {

namespace fs = std::filesystem;

namespace {

char32_t FoldCodePoint(char32_t c) {
    if (c >= 'A' && c <= 'Z') {
        return c + 0x20;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return c + 0x20;
    }
    switch (c) {
    case 0x0160: // S caron
    case 0x0152: // OE
    case 0x017D: // Z caron
        return c + 1;
    case 0x0178: // Y diaeresis
        return 0x00FF;
    default:
        return c;
    }
}

std::vector<std::string> SplitSlashes(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('/', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            parts.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

// the entry of folder whose name equals name without regard to case; the first in name order
// when several do, so the choice does not depend on the order the folder lists them
std::optional<std::string> MatchWithoutCase(const fs::path& folder, const std::string& name, CodePage codePage) {
    const std::string wanted = FoldCase(name);
    std::optional<std::string> best;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string candidate = Utf8OfPath(it->path().filename());
        if (FoldedDiskName(candidate, codePage) == wanted && (!best || candidate < *best)) {
            best = candidate;
        }
    }
    return best;
}

// where the path starts (".." never climbs above it) and the part below it
struct Anchor {
    fs::path root;
    std::string rest;
};

std::optional<Anchor> FindAnchor(std::string text, const std::string& projectFolder, const DriveMap& driveMap,
                                 RootedPaths rooted) {
    if (text.rfind("//", 0) == 0) {
        const std::vector<std::string> parts = SplitSlashes(text);
        if (parts.size() < 2) {
            return std::nullopt;
        }
        const std::string share = "\\\\" + parts[0] + "\\" + parts[1];
        std::optional<std::string> folder = driveMap.Find(share);
        if (!folder && NativeSeparator() == '\\') {
            folder = share + "\\"; // Windows reaches the share itself
        }
        if (!folder) {
            return std::nullopt;
        }
        std::string rest;
        for (std::size_t i = 2; i < parts.size(); ++i) {
            rest += parts[i] + "/";
        }
        return Anchor{FsPath(*folder), rest};
    }
    if (text.size() >= 2 && text[1] == ':') {
        std::optional<std::string> folder = driveMap.Find(text.substr(0, 1));
        if (!folder && NativeSeparator() == '\\') {
            folder = text.substr(0, 2) + "\\"; // Windows knows its own drives
        }
        if (!folder) {
            return std::nullopt;
        }
        // "D:x" is relative to the drive's current folder on Windows; here that can only be its root
        return Anchor{FsPath(*folder), text.substr(2)};
    }
    if (text.starts_with('/')) {
        if (rooted == RootedPaths::FromMachineRoot)
            return Anchor{fs::path("/"), text};
        // "\x.bas" in a project is the project folder's "x.bas", never a file of this machine's root
        text.erase(0, text.find_first_not_of('/'));
    }
    // the folder as typed, so that ".." climbs out of a linked folder the way its name says
    const fs::path absolute = FsPath(AbsolutePathAsTyped(projectFolder.empty() ? "." : projectFolder));
    // ".." may leave the project folder, so its components are climbable
    std::string below = Utf8OfPath(absolute.relative_path());
    if (NativeSeparator() == '\\')
        std::replace(below.begin(), below.end(), '\\', '/');
    return Anchor{absolute.root_path(), below + "/" + text};
}

} // namespace

std::string FoldedDiskName(const std::string& name, CodePage codePage) {
    // a name copied from an old Windows disk or share keeps its code page's bytes
    const bool utf8 = AnsiToUtf8(name, CodePage::Utf8) == name;
    return FoldCase(utf8 ? name : AnsiToUtf8(name, codePage == CodePage::Utf8 ? CodePage::Windows1252 : codePage));
}

std::string FoldCase(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        AppendUtf8(out, FoldCodePoint(DecodeUtf8(text, pos)));
    }
    return out;
}

ReferenceResolver::ReferenceResolver(std::string projectFolder, DriveMap driveMap, CodePage codePage,
                                     RootedPaths rooted)
    : m_projectFolder(std::move(projectFolder)), m_driveMap(std::move(driveMap)), m_codePage(codePage),
      m_rooted(rooted) {}

ResolvedReference ReferenceResolver::Resolve(const std::string& reference) const {
    std::string text = AnsiToUtf8(reference, m_codePage);
    for (char& c : text) {
        if (c == '\\') {
            c = '/';
        }
    }
    const std::optional<Anchor> anchor = FindAnchor(text, m_projectFolder, m_driveMap, m_rooted);
    if (!anchor) {
        return {};
    }
    // "." and ".." are applied to the path as written, before any name is looked up, as Windows does
    std::vector<std::string> parts;
    for (std::string& part : SplitSlashes(anchor->rest)) {
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (part != ".") {
            parts.push_back(std::move(part));
        }
    }
    fs::path current = anchor->root;
    bool found = true;
    for (const std::string& part : parts) {
        std::error_code error;
        if (found && !fs::exists(current / FsPath(part), error)) {
            const std::optional<std::string> match = MatchWithoutCase(current, part, m_codePage);
            found = match.has_value();
            current /= FsPath(match.value_or(part));
            continue;
        }
        current /= FsPath(part);
    }
    const std::string path = Utf8OfPath(current);
    return {path, found && FileExists(path)};
}

Result<std::string> ReferenceResolver::Locate(const std::string& reference) const {
    ResolvedReference resolved = Resolve(reference);
    if (!resolved.exists) {
        return fail(ErrorKind::NotFound, "Referenced file not found: " + AnsiToUtf8(reference, m_codePage));
    }
    return std::move(resolved.diskPath);
}

namespace fs = std::filesystem;

std::optional<std::string> FolderListings::Find(const std::string& folder, const std::string& name) {
    const std::string exact = Utf8OfPath(FsPath(folder) / FsPath(name));
    if (FileExists(exact))
        return exact;
    const Listing& listing = ListingOf(folder);
    const auto found = listing.find(FoldCase(name));
    if (found == listing.end())
        return std::nullopt;
    const std::string path = Utf8OfPath(FsPath(folder) / FsPath(found->second));
    return FileExists(path) ? std::optional<std::string>(path) : std::nullopt;
}

const FolderListings::Listing& FolderListings::ListingOf(const std::string& folder) {
    const auto cached = m_listings.find(folder);
    if (cached != m_listings.end())
        return cached->second;
    Listing& listing = m_listings[folder];
    std::error_code error;
    for (fs::directory_iterator it(FsPath(folder), error), end; !error && it != end; it.increment(error)) {
        const std::string name = Utf8OfPath(it->path().filename());
        auto [entry, added] = listing.emplace(FoldedDiskName(name, m_codePage), name);
        if (!added && name < entry->second)
            entry->second = name; // the same choice the resolver makes, whatever the listing order
    }
    return listing;
}

} // namespace corvane
