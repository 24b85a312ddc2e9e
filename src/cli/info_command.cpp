// the info command: project name, version, line count and every file reference, as text or JSON
#include "cli/commands.h"

#include <algorithm>
#include <memory>
#include <optional>

#include <CLI/CLI.hpp>

#include "cli/json_writer.h"
#include "core/backup/naming.h"
#include "core/project/paths.h"
#include "core/project/project.h"
#include "core/project/references.h"

namespace corvane {

namespace {

constexpr const char* kInfoDescription =
    "Shows the project's name, version and line count, and for every line that names a project file\n"
    "its line number, key, reference, the path it gets in the archive, the file it resolves to on\n"
    "this machine and its binary companion (.frx, .ctx, .pgx) where the key has one.";

constexpr const char* kInfoFooter =
    "References are read in the ANSI code page named by CORVANE_ANSI_CODEPAGE (1252, 28591, utf-8;\n"
    "1252 by default). Drive letters resolve through Wine's dosdevices folder ($WINEPREFIX, else\n"
    "~/.wine) or CORVANE_DRIVE_MAP, e.g. \"C=/mnt/c;D=/srv/lib;\\\\server\\share=/mnt/share\".\n\n"
    "Exit status: 0 read, 1 the project file cannot be read, 2 bad arguments.";

struct InfoWords {
    std::string path;
    bool json = false;
};

struct FileReport {
    std::string reference; // UTF-8
    std::optional<std::string> diskPath;
    bool exists = false;
};

struct ReferenceReport {
    int line = 0;
    std::string key; // without "="
    std::string archivePath;
    bool malformed = false;
    FileReport file;
    std::optional<FileReport> companion;
};

FileReport Describe(const std::string& reference, const ReferenceResolver& resolver, CodePage codePage) {
    FileReport report{AnsiToUtf8(reference, codePage), std::nullopt, false};
    const ResolvedReference resolved = resolver.Resolve(reference);
    if (!resolved.diskPath.empty()) {
        report.diskPath = resolved.diskPath;
    }
    report.exists = resolved.exists;
    return report;
}

std::vector<ReferenceReport> CollectReferences(const ProjectFile& project, const ReferenceResolver& resolver,
                                               CodePage codePage) {
    std::vector<ReferenceReport> reports;
    for (std::size_t i = 0; i < project.lines.size(); ++i) {
        const std::optional<ReferenceLine> line = ClassifyReferenceLine(project.lines[i]);
        if (!line) {
            continue;
        }
        ReferenceReport report;
        report.line = static_cast<int>(i + 1);
        const std::string keyText = KeyText(line->key);
        report.key = keyText.substr(0, keyText.size() - 1);
        report.malformed = line->malformed;
        if (!line->malformed) {
            report.archivePath = AnsiToUtf8(SafeArchivePath(line->reference, codePage), codePage);
            report.file = Describe(line->reference, resolver, codePage);
            if (const std::optional<std::string> companion = CompanionReference(*line)) {
                report.companion = Describe(*companion, resolver, codePage);
            }
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

void WriteFileJson(JsonWriter& json, const FileReport& file) {
    json.Key("disk_path");
    file.diskPath ? json.String(*file.diskPath) : json.Null();
    json.Key("exists").Bool(file.exists);
}

void PrintJson(std::ostream& out, const std::string& path, const JobState& state, std::size_t lines,
               const std::vector<ReferenceReport>& references, CodePage codePage) {
    JsonWriter json(out);
    json.BeginObject();
    json.Key("project").String(path);
    json.Key("name").String(AnsiToUtf8(state.gProjectName, codePage));
    json.Key("version").String(
        AnsiToUtf8(state.gMajorVer + "." + state.gMinorVer + "." + state.gRevisionVer, codePage));
    json.Key("lines").Int(static_cast<std::int64_t>(lines));
    json.Key("references").BeginArray();
    for (const ReferenceReport& reference : references) {
        json.BeginObject();
        json.Key("line").Int(reference.line);
        json.Key("key").String(reference.key);
        json.Key("reference").String(reference.file.reference);
        json.Key("archive_path").String(reference.archivePath);
        WriteFileJson(json, reference.file);
        json.Key("companion");
        if (reference.companion) {
            json.BeginObject().Key("reference").String(reference.companion->reference);
            WriteFileJson(json, *reference.companion);
            json.EndObject();
        } else {
            json.Null();
        }
        json.EndObject();
    }
    json.EndArray().EndObject();
    out << "\n";
}

std::string WhereText(const FileReport& file) {
    if (file.exists) {
        return *file.diskPath;
    }
    return file.diskPath ? "missing (looked for " + *file.diskPath + ")"
                         : "missing (no folder for its drive)";
}

void PrintText(std::ostream& out, const std::string& path, const JobState& state, std::size_t lines,
               const std::vector<ReferenceReport>& references, CodePage codePage) {
    out << "Project:    " << path << "\n"
        << "Name:       " << AnsiToUtf8(state.gProjectName, codePage) << "\n"
        << "Version:    "
        << AnsiToUtf8(state.gMajorVer + "." + state.gMinorVer + "." + state.gRevisionVer, codePage) << "\n"
        << "Lines:      " << lines << "\n"
        << "References: " << references.size() << "\n";
    const auto missing = std::count_if(references.begin(), references.end(),
                                       [](const ReferenceReport& r) { return r.malformed || !r.file.exists; });
    out << "Missing:    " << missing << (missing == 0 ? "\n" : " (corvane-cli check tells why)\n");
    for (const ReferenceReport& reference : references) {
        out << "  line " << reference.line << ": " << reference.key << " " << reference.file.reference
            << "\n";
        if (reference.malformed) {
            out << "    malformed: the line names no file\n";
            continue;
        }
        out << "    archive path: " << reference.archivePath << "\n"
            << "    disk path:    " << WhereText(reference.file) << "\n";
        if (reference.companion) {
            out << "    companion:    " << reference.companion->reference << " -> "
                << WhereText(*reference.companion) << "\n";
        }
    }
}

int Info(const InfoWords& words, const CliEnvironment& environment, std::ostream& out, std::ostream& err) {
    const bool json = words.json;
    const std::string& path = words.path;
    const Result<ProjectFile> project = ReadProjectFile(path);
    if (!project) {
        err << project.error() << "\n";
        return 1;
    }
    JobState state;
    state.gProjectFolder = FolderOfPath(path);
    state.gProjectName = DefaultProjectName(path);
    ApplyProjectInfo(*project, state);
    const ReferenceResolver resolver(state.gProjectFolder, environment.driveMap, environment.codePage);
    const std::vector<ReferenceReport> references =
        CollectReferences(*project, resolver, environment.codePage);
    if (json) {
        PrintJson(out, path, state, project->lines.size(), references, environment.codePage);
    } else {
        PrintText(out, path, state, project->lines.size(), references, environment.codePage);
    }
    return 0;
}

} // namespace

int RunInfo(const std::vector<std::string>& args, const CliEnvironment& environment, std::ostream& out,
            std::ostream& err) {
    return RunCommand(MakeInfoCommand(environment), args, out, err);
}

Command MakeInfoCommand(CliEnvironment environment) {
    return {"info", "show a project's name, version and the files it references",
            [environment](CLI::App& app) -> Runner {
                app.description(kInfoDescription);
                app.footer(kInfoFooter);
                auto words = std::make_shared<InfoWords>();
                app.add_option("PROJECT", words->path, "the project file (.vbp)")->required();
                app.add_flag("--json", words->json, "print one JSON object instead of text");
                return [words, environment](std::ostream& out, std::ostream& err) {
                    return Info(*words, environment, out, err);
                };
            }};
}

} // namespace corvane
