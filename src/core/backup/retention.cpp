// keeping only the newest backups: older archives of one project, older runs of one group
#include "core/backup/retention.h"

#include "core/project/paths.h"
#include "core/platform/platform.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <system_error>
#include <tuple>

namespace corvane {

namespace fs = std::filesystem;

namespace {

const std::string kVersionAndStamp = R"(\d+\.\d+\.\d+\.(\d{14})(?: \((\d+)\))?\.zip)";

std::string Escaped(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

void Remove(const fs::path& path, Pruned& pruned) {
    std::error_code error;
    if (fs::remove(path, error))
        pruned.removed.push_back(Utf8OfPath(path));
    else
        pruned.failures.push_back(fail(KindOfSystemError(error.value(), ErrorKind::NotWritable),
                                       "Could not remove the old backup " + Utf8OfPath(path) + ": " +
                                           SystemErrorReason(error.value()) + ".",
                                       Utf8OfPath(path), error.value()));
}

} // namespace

std::vector<std::string> ProjectArchives(const std::string& folder, const std::string& namePrefix) {
    const std::regex pattern(Escaped(namePrefix) + kVersionAndStamp);
    // (time stamp, number) of every archive of the project; " (n)" came later than the plain name
    std::vector<std::tuple<std::string, int, std::string>> archives;
    std::error_code error;
    for (fs::directory_iterator it(FsPath(folder), error), end; !error && it != end; it.increment(error)) {
        std::smatch match;
        const std::string name = Utf8OfPath(it->path().filename());
        if (std::regex_match(name, match, pattern) && it->is_regular_file(error))
            archives.emplace_back(match[1].str(), match[2].matched ? std::stoi(match[2].str()) : 1,
                                  Utf8OfPath(it->path()));
    }
    std::sort(archives.begin(), archives.end(), std::greater<>());
    std::vector<std::string> paths;
    for (const auto& archive : archives)
        paths.push_back(std::get<2>(archive));
    return paths;
}

std::vector<std::string> GroupRuns(const std::string& groupFolder) {
    static const std::regex stamp(R"(\d{14})");
    std::vector<std::string> runs;
    std::error_code error;
    for (fs::directory_iterator it(FsPath(groupFolder), error), end; !error && it != end; it.increment(error))
        if (std::regex_match(Utf8OfPath(it->path().filename()), stamp) && it->is_directory(error) &&
            !it->is_symlink(error))
            runs.push_back(Utf8OfPath(it->path()));
    std::sort(runs.begin(), runs.end(), std::greater<>());
    return runs;
}

std::string ProjectArchivePrefix(const JobState& job, CodePage codePage) {
    return AnsiToUtf8(SanitizeFileName(job.gProjectName + " "), codePage);
}

Pruned PruneProjectArchives(const std::string& written, const std::string& namePrefix, int keep) {
    Pruned pruned;
    const fs::path writtenPath = FsPath(written);
    const std::regex pattern(Escaped(namePrefix) + kVersionAndStamp);
    if (keep < 1 || !std::regex_match(Utf8OfPath(writtenPath.filename()), pattern))
        return pruned;
    const std::vector<std::string> archives = ProjectArchives(Utf8OfPath(writtenPath.parent_path()), namePrefix);
    for (std::size_t i = static_cast<std::size_t>(keep); i < archives.size(); ++i)
        if (FsPath(archives[i]) != writtenPath) // the one just made is never the oldest to go
            Remove(FsPath(archives[i]), pruned);
    return pruned;
}

Pruned PruneGroupRuns(const std::string& runFolder, int keep, const std::vector<std::string>& stillNeeded) {
    Pruned pruned;
    const fs::path run = FsPath(runFolder).lexically_normal();
    const fs::path current = run.has_filename() ? run : run.parent_path();
    static const std::regex stamp(R"(\d{14})");
    if (keep < 1 || !std::regex_match(Utf8OfPath(current.filename()), stamp))
        return pruned;
    std::vector<fs::path> runs;
    for (const std::string& path : GroupRuns(Utf8OfPath(current.parent_path())))
        runs.push_back(FsPath(path));
    std::error_code error;
    for (std::size_t i = static_cast<std::size_t>(keep); i < runs.size(); ++i) {
        const auto holds = [&runs, i](const std::string& archive) {
            return FsPath(archive).lexically_normal().parent_path() == runs[i].lexically_normal();
        };
        if (runs[i] == current || std::any_of(stillNeeded.begin(), stillNeeded.end(), holds))
            continue;
        const std::regex archive(R"(.* \d+\.\d+\.\d+\.)" + Utf8OfPath(runs[i].filename()) + R"((?: \(\d+\))?\.zip)");
        std::vector<fs::path> archives; // listed first: a folder is not changed while it is read
        for (fs::directory_iterator it(runs[i], error), end; !error && it != end; it.increment(error))
            if (std::regex_match(Utf8OfPath(it->path().filename()), archive) && it->is_regular_file(error))
                archives.push_back(it->path());
        for (const fs::path& path : archives)
            Remove(path, pruned);
        if (fs::remove(runs[i], error))
            pruned.removed.push_back(Utf8OfPath(runs[i]));
    }
    return pruned;
}

} // namespace corvane
