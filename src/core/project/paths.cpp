// string helpers on project paths and the rule that places referenced files inside an archive
#include "core/project/paths.h"

#include <string_view>
#include <vector>

#include "core/project/text.h"

namespace corvane {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    // one left-to-right pass, as the old tool's Replace did: "..." becomes "--."
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos) {
            out.append(text, pos);
            return out;
        }
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
}

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// a drive path has ":" as its second character and no ":" before it
bool HasDrive(const std::string& reference) {
    return reference.find(':') == 1;
}

std::vector<std::string> SplitAt(const std::string& text, char separator, CodePage codePage) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t hit = FindCharacter(text, separator, codePage, start);
        if (hit == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, hit - start));
        start = hit + 1;
    }
}

// one component of an entry name made harmless on every system that may extract it
std::string HardenComponent(const std::string& component) {
    if (component.empty()) {
        return "_";
    }
    if (component.find_first_not_of('.') == std::string::npos) {
        return std::string(component.size(), '-');
    }
    std::string out = component;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ':') {
            c = '_';
        }
    }
    return out;
}

} // namespace

char SeparatorOf(const std::string& path) {
    return path.find('/') != std::string::npos && path.find('\\') == std::string::npos ? '/' : '\\';
}

std::string AddBackslash(const std::string& path) {
    std::string trimmed = TrimSpaces(path);
    if (trimmed.empty() || !IsSeparator(trimmed.back())) {
        trimmed += SeparatorOf(trimmed);
    }
    return trimmed;
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::string FileNameOfPath(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string SanitizeFileName(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        switch (c) {
        case '\'':
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            c = '_';
            break;
        default:
            break;
        }
    }
    return out;
}

std::string MakeAbsolutePath(const std::string& reference, const std::string& projectFolder) {
    if (reference.rfind("\\\\", 0) == 0 || HasDrive(reference)) {
        return reference;
    }
    return AddBackslash(projectFolder) + reference;
}

std::string MapToArchivePath(const std::string& reference, CodePage codePage) {
    if (FindCharacter(reference, '\\', codePage) == std::string::npos) {
        return reference;
    }
    if (reference.rfind("\\\\", 0) == 0) {
        return "FileNotInRootPath\\~" + reference.substr(2);
    }
    if (HasDrive(reference)) {
        return "FileNotInRootPath\\Disk_" + ReplaceAll(reference, ":", "_");
    }
    if (reference.rfind("..", 0) == 0) {
        return "FileNotInRootPath\\" + ReplaceAll(reference, "..", "--");
    }
    return ReplaceAll(reference, "..", "--");
}

std::string SafeArchivePath(const std::string& reference, CodePage codePage) {
    if (reference.empty() || FileNameOfPath(AnsiToUtf8(reference, codePage)).empty()) {
        return {};
    }
    std::string windowsForm = reference;
    for (char& c : windowsForm) {
        if (c == '/') {
            c = '\\';
        }
    }
    std::string out;
    for (const std::string& component : SplitAt(MapToArchivePath(windowsForm, codePage), '\\', codePage)) {
        if (!out.empty()) {
            out += '\\';
        }
        out += HardenComponent(component);
    }
    return out;
}

std::string NumberedFileName(const std::string& name, int n) {
    const std::size_t dot = name.rfind('.');
    const std::size_t separator = name.find_last_of("\\/");
    const bool hasExtension =
        dot != std::string::npos && (separator == std::string::npos || dot > separator + 1);
    const std::string suffix = " (" + std::to_string(n) + ")";
    return hasExtension ? name.substr(0, dot) + suffix + name.substr(dot) : name + suffix;
}

InputKind KindOfInput(const std::string& path) {
    auto endsWith = [&path](std::string_view suffix) {
        if (path.size() < suffix.size())
            return false;
        for (std::size_t i = 0; i < suffix.size(); ++i) {
            const char c = path[path.size() - suffix.size() + i];
            if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != suffix[i])
                return false;
        }
        return true;
    };
    if (endsWith(".vbp"))
        return InputKind::Project;
    if (endsWith(".vbpgroup"))
        return InputKind::Group;
    if (endsWith(".vbg"))
        return InputKind::VbGroup;
    if (endsWith(".zip"))
        return InputKind::Archive;
    return InputKind::Unknown;
}

} // namespace corvane
