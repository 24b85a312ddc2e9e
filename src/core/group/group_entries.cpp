// what a group may hold: a name that can be a folder, and each project once
#include "core/group/group.h"

#include "core/project/references.h"

namespace corvane {

namespace {

bool IsControlCharacter(char32_t c) {
    // C0, DEL and C1, and the two Unicode line breaks a paste from a word processor brings
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

} // namespace

std::string WithoutControlCharacters(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        if (!IsControlCharacter(DecodeUtf8(text, pos)))
            kept.append(text, start, pos - start);
    }
    return kept;
}

bool IsGroupFolderName(const std::string& name) {
    return !name.starts_with('.') && name.find_first_of("/\\:*?\"<>|") == std::string::npos &&
           WithoutControlCharacters(name) == name;
}

bool SameProject(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    // the texts are the editor's own, UTF-8 already; no drive is mapped, so only this machine's paths
    // reach the disk
    const ReferenceResolver resolver(std::string(), DriveMap(), CodePage::Utf8, RootedPaths::FromMachineRoot);
    const ResolvedReference left = resolver.Resolve(a);
    const ResolvedReference right = resolver.Resolve(b);
    if (left.diskPath.empty() || right.diskPath.empty())
        return FoldCase(a) == FoldCase(b);
    return left.diskPath == right.diskPath;
}

} // namespace corvane
