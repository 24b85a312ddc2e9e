// properties the project reader, the archive path mapping and the extractor keep whatever bytes they are
// given, shared by the fuzz targets and the mutation test; each check returns what broke, or nothing
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "core/project/paths.h"
#include "core/project/project.h"
#include "core/restore/path_gate.h"
#include "core/restore/restore.h"

namespace corvane::testing {

inline std::string Shown(const std::string& text) {
    return "\"" + DisplayEntryName(text) + "\"";
}

inline std::vector<std::string> SplitAtBackslash(const std::string& path) {
    std::vector<std::string> parts(1);
    for (char c : path)
        c == '\\' ? void(parts.emplace_back()) : parts.back().push_back(c);
    return parts;
}

// The entry name a reference is stored under may never leave the archive's root, and an unpacked
// backup archived again keeps its folders (a drive or UNC path keeps "..", which a second mapping
// turns into "--", so the names themselves may change once).
inline std::string CheckArchivePath(const std::string& reference) {
    const std::string mapped = MapToArchivePath(reference);
    if (reference.find('\\') == std::string::npos && mapped != reference)
        return "MapToArchivePath changed " + Shown(reference) + ", which has no backslash";

    const std::string safe = SafeArchivePath(reference);
    const bool namesFile = !reference.empty() && reference.back() != '\\' && reference.back() != '/';
    const std::string what = "SafeArchivePath(" + Shown(reference) + ") = " + Shown(safe);
    if (safe.empty())
        return namesFile ? what + " is empty" : "";
    if (!namesFile)
        return what + " names a file, but the reference ends with a separator";
    if (safe.find_first_of("/:") != std::string::npos)
        return what + " holds \"/\" or a drive or stream colon";
    for (const std::string& component : SplitAtBackslash(safe)) {
        if (component.empty() || component == "." || component == "..")
            return what + " has an empty, \".\" or \"..\" component";
        if (std::any_of(component.begin(), component.end(),
                        [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
            return what + " holds a control character";
    }
    if (const std::string again = SafeArchivePath(safe);
        SplitAtBackslash(again).size() != SplitAtBackslash(safe).size())
        return what + " maps again to " + Shown(again);
    return "";
}

// Reference lines, their companions and their rewritten lines, and the name and version a project
// file gives.
inline std::string CheckProjectFile(const ProjectFile& project) {
    for (const std::string& line : project.lines) {
        const auto reference = ClassifyReferenceLine(line);
        if (!reference || reference->malformed)
            continue;
        const std::string& path = reference->reference;
        if (path.find('"') != std::string::npos || path.front() == ' ' || path.back() == ' ')
            return "the reference " + Shown(path) + " of " + Shown(line) + " keeps quotes or blanks";
        if (std::string broken = CheckArchivePath(path); !broken.empty())
            return broken;
        if (const auto companion = CompanionReference(*reference)) {
            if (std::string broken = CheckArchivePath(*companion); !broken.empty())
                return broken;
            if (companion->size() < 4 ||
                path.compare(0, companion->size() - 4, *companion, 0, companion->size() - 4) != 0)
                return "the companion " + Shown(*companion) + " does not share the stem of " + Shown(path);
        }
        const std::string rewritten = RewriteReferenceLine(*reference, SafeArchivePath(path));
        if (rewritten.find_first_of("\r\n") != std::string::npos)
            return "rewriting " + Shown(line) + " gives more than one line";
    }
    JobState state;
    state.gProjectName = "Default";
    ApplyProjectInfo(project, state);
    for (const std::string* value :
         {&state.gProjectName, &state.gMajorVer, &state.gMinorVer, &state.gRevisionVer}) {
        if (value->empty() || value->find('"') != std::string::npos ||
            value->find('=') != std::string::npos || value->front() == ' ' || value->back() == ' ')
            return "the project info value " + Shown(*value) + " is empty or not cleaned";
    }
    return "";
}

inline constexpr const char* kSandboxPassword = "secret";

// Unpacks the bytes as an archive into a sandbox below `root`: nothing may appear outside its target
// folder, nothing below it be a link or a partial file, every file there must come from an entry and
// progress only move forward. `unpacked` tells whether the extraction got to writing entries.
inline std::string CheckExtraction(const std::string& zipBytes, const std::filesystem::path& root,
                                   bool* unpacked = nullptr) {
    namespace fs = std::filesystem;
    // three levels, so an entry climbing out with ".." lands where it can be seen
    const fs::path outer = root / "sandbox", inner = outer / "level";
    const fs::path target = inner / "target", archive = inner / "input.zip";
    std::error_code ec;
    fs::remove_all(target, ec); // the rest is kept between calls: folders cost most for a small archive
    fs::create_directories(inner, ec);
    std::ofstream(archive, std::ios::binary) << zipBytes;

    UnzipOptions options;
    // small limits: a fuzzed archive has no business unpacking much
    options.limits = {.maxTotalBytes = 1 << 20, .maxEntries = 64};
    options.askPassword = [](int) { return std::optional<std::string>(kSandboxPassword); };
    std::vector<double> fractions;
    options.progress = [&fractions](double fraction) { fractions.push_back(fraction); };
    const Result<int> result = ExtractArchive(archive.string(), target.string(), options);

    std::string broken;
    const auto only = [&broken, &ec](const fs::path& folder, std::vector<std::string> allowed) {
        for (const auto& item : fs::directory_iterator(folder, ec)) {
            if (broken.empty() &&
                std::ranges::find(allowed, item.path().filename().string()) == allowed.end())
                broken = "something appeared outside the target folder: " + item.path().string();
        }
    };
    only(root, {"sandbox"});
    only(outer, {"level"});
    only(inner, {"input.zip", "target"});

    int files = 0;
    const bool made = fs::exists(fs::symlink_status(target, ec));
    if (unpacked != nullptr)
        *unpacked = made || !fractions.empty();
    if (broken.empty() && made) {
        if (fs::is_symlink(fs::symlink_status(target, ec)))
            broken = "the target folder became a link";
        for (auto it = fs::recursive_directory_iterator(target, ec);
             broken.empty() && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::file_status status = it->symlink_status(ec);
            const std::string relative = fs::relative(it->path(), target, ec).string();
            if (fs::is_symlink(status))
                broken = "a link was created: " + relative;
            else if (!fs::is_regular_file(status) && !fs::is_directory(status))
                broken = "something neither file nor folder was created: " + relative;
            else if (it->path().filename().string().starts_with(".corvane-"))
                broken = "a partial file was left behind: " + relative;
            else if (auto gate = CheckEntryName(relative); !gate)
                broken = "a file the gate would refuse was created: " + gate.error();
            files += fs::is_regular_file(status) ? 1 : 0;
        }
    }
    if (broken.empty() && result.ok() && files > result.value())
        broken =
            std::to_string(files) + " files were created by " + std::to_string(result.value()) + " entries";
    if (broken.empty() && !result.ok() && made)
        broken = "a failed extraction left its target: " + result.error();
    if (broken.empty() && !result.ok() && result.error().empty())
        broken = "the extraction failed without a reason";
    for (std::size_t i = 0; broken.empty() && i < fractions.size(); ++i) {
        if (fractions[i] < 0.0 || fractions[i] > 1.0 || (i > 0 && fractions[i] < fractions[i - 1]))
            broken = "the progress went back or left 0..1";
    }
    fs::remove_all(broken.empty() ? target : outer, ec); // an escaped file must not fail every later call
    fs::remove(archive, ec);
    return broken;
}

} // namespace corvane::testing
