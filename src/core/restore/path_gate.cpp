// the one place that decides whether an archive entry name may be written below an extraction folder
#include "core/restore/path_gate.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace corvane {
namespace {

Error Refuse(const std::string& name, const std::string& why) {
    return fail(ErrorKind::Refused,
                "The archive entry \"" + DisplayEntryName(name) + "\" was refused: " + why + ".");
}

std::string FoldCase(std::string text) {
    // ASCII folding is what matters for the names backups hold; other letters are compared as bytes
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

bool IsReservedDeviceName(const std::string& component) {
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    // Windows ignores the extension and trailing spaces when it looks for a device
    std::string base = FoldCase(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end())
        return true;
    return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '1' &&
           base[3] <= '9';
}

} // namespace

std::optional<std::string> NameProblem(const std::string& component) {
    if (component.empty())
        return "it has an empty folder name";
    if (component == "." || component == "..")
        return "it holds a \"" + component + "\" component";
    if (component.size() > kMaxEntryComponentBytes)
        return "a part of its name is longer than 255 bytes";
    for (unsigned char c : component) {
        if (c < 0x20 || c == 0x7f)
            return "its name holds a control character";
        if (c == '/' || c == '\\' || c == ':')
            return "its name holds a separator or a drive (\"" + std::string(1, static_cast<char>(c)) + "\")";
        if (std::string_view("*?<>|\"").find(static_cast<char>(c)) != std::string_view::npos)
            return "its name holds \"" + std::string(1, static_cast<char>(c)) +
                   "\", which Windows does not allow in a file name";
    }
    if (component.back() == '.' || component.back() == ' ')
        return "a part of its name ends with a dot or a space, which Windows drops";
    if (IsReservedDeviceName(component))
        return "\"" + component + "\" is a reserved device name on Windows";
    return std::nullopt;
}

Result<EntryPath> CheckEntryName(const std::string& name) {
    if (name.empty())
        return Refuse(name, "it has no name");
    if (name.size() > kMaxEntryPathBytes)
        return Refuse(name, "its name is longer than 4096 bytes");
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f)
            return Refuse(name, "its name holds a control character");
    }
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.front() == '/')
        return Refuse(name, "it is an absolute path");
    if (path.find(':') != std::string::npos)
        return Refuse(name, "it names a drive or a stream (\":\")");

    EntryPath result;
    result.isFolder = path.back() == '/';
    if (result.isFolder)
        path.pop_back();
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string component = path.substr(start, end - start);
        if (const std::optional<std::string> problem = NameProblem(component))
            return Refuse(name, *problem);
        result.components.push_back(std::move(component));
        start = end + 1;
    }
    return result;
}

Status EntryNamePlan::Add(const std::string& name, const EntryPath& path) {
    std::string key;
    for (std::size_t i = 0; i < path.components.size(); ++i) {
        key += (i == 0 ? "" : "/") + FoldCase(path.components[i]);
        const bool last = i + 1 == path.components.size();
        auto found = m_kinds.find(key);
        if (!last) {
            if (found == m_kinds.end())
                m_kinds.emplace(key, Kind::ImpliedFolder);
            else if (found->second == Kind::File)
                return Refuse(name, "another entry is a file where it needs a folder");
            continue;
        }
        if (found == m_kinds.end()) {
            m_kinds.emplace(key, path.isFolder ? Kind::Folder : Kind::File);
        } else if (path.isFolder && found->second == Kind::ImpliedFolder) {
            found->second = Kind::Folder;
        } else if (!path.isFolder && found->second == Kind::ImpliedFolder) {
            return Refuse(name, "it is a file where other entries need a folder");
        } else {
            return Refuse(name, "another entry has the same name (letter case aside)");
        }
    }
    return Status::success();
}

std::string DisplayEntryName(const std::string& name) {
    static constexpr std::size_t kShownBytes = 120;
    std::size_t end = name.size();
    if (end > kShownBytes) {
        end = kShownBytes;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xc0) == 0x80)
            --end; // not inside a UTF-8 sequence
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t i = 0; i < end; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7f)
            shown += std::string("\\x") + kDigits[c >> 4] + kDigits[c & 15];
        else
            shown += name[i];
    }
    return end < name.size() ? shown + "..." : shown;
}

std::string JoinEntryPath(const std::vector<std::string>& components) {
    std::string joined;
    for (const auto& component : components)
        joined += (joined.empty() ? "" : "/") + component;
    return joined;
}

} // namespace corvane
