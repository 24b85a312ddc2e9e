// the check command: every file a project, or each project of a group, names that a backup would miss
#include "cli/commands.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/json_writer.h"
#include "core/backup/check.h"
#include "core/group/group.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

constexpr const char* kCheckDescription =
    "Lists every file a project (.vbp), or each project of a group (.vbpgroup, .vbg), names that a backup\n"
    "could not store: missing, unreadable, or not a regular file; with the project, the line and the path\n"
    "it was looked for at. Companions (.frx, .ctx, .pgx) are optional and not listed. Nothing is written.";

constexpr const char* kCheckFooter =
    "Drive letters and the ANSI code page are read as for 'info'.\n\n"
    "Exit status: 0 every file is there, 1 a file is missing or a project cannot be read, 2 bad arguments.";

struct CheckWords {
    std::string path;
    bool json = false;
};

void PrintText(std::ostream& out, const std::vector<ProjectCheck>& checks, std::size_t missing) {
    for (const ProjectCheck& check : checks) {
        if (check.unreadable)
            out << check.project << ": " << check.unreadable->message << "\n";
        for (const MissingFile& file : check.missing)
            out << check.project << ":" << file.line << ": " << file.reference
                << (file.diskPath.empty() ? std::string() : " (" + file.diskPath + ")") << ": " << file.reason << "\n";
    }
    if (missing == 0)
        out << "Every file is there.\n";
    else
        out << missing << (missing == 1 ? " file is" : " files are") << " missing or unreadable.\n";
}

void PrintJson(std::ostream& out, const std::vector<ProjectCheck>& checks, std::size_t missing) {
    JsonWriter json(out);
    json.BeginObject().Key("projects").BeginArray();
    for (const ProjectCheck& check : checks) {
        json.BeginObject().Key("project").String(check.project).Key("error");
        if (check.unreadable)
            json.String(check.unreadable->message);
        else
            json.Null();
        json.Key("missing").BeginArray();
        for (const MissingFile& file : check.missing) {
            json.BeginObject().Key("line").Int(file.line).Key("reference").String(file.reference).Key("disk_path");
            if (file.diskPath.empty())
                json.Null();
            else
                json.String(file.diskPath);
            json.Key("reason").String(file.reason).EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().Key("missing").Int(static_cast<std::int64_t>(missing)).EndObject();
    out << "\n";
}

int Check(const CheckWords& words, const CliEnvironment& environment, std::ostream& out, std::ostream& err) {
    const std::string& path = words.path;
    std::vector<std::string> projects = {path};
    if (IsGroupInput(KindOfInput(path))) {
        const Result<GroupSelection> group = ReadAnyGroup(path, environment.codePage, environment.driveMap);
        if (!group) {
            err << group.error() << "\n";
            return 1;
        }
        projects = group->projects;
    }
    const std::vector<ProjectCheck> checks = CheckProjects(projects, environment.driveMap, environment.codePage);
    const std::size_t missing = CountProblems(checks);
    if (words.json)
        PrintJson(out, checks, missing);
    else
        PrintText(out, checks, missing);
    return missing == 0 ? 0 : 1;
}

} // namespace

int RunCheck(const std::vector<std::string>& args, const CliEnvironment& environment, std::ostream& out,
             std::ostream& err) {
    return RunCommand(MakeCheckCommand(environment), args, out, err);
}

Command MakeCheckCommand(CliEnvironment environment) {
    return {"check", "list every file a project or group names that a backup would miss",
            [environment](CLI::App& app) -> Runner {
                app.description(kCheckDescription);
                app.footer(kCheckFooter);
                auto words = std::make_shared<CheckWords>();
                app.add_option("PATH", words->path, "the project (.vbp) or group (.vbpgroup, .vbg)")->required();
                app.add_flag("--json", words->json,
                             "print {\"projects\": [{\"project\", \"error\", \"missing\": [...]}], \"missing\": N}");
                return [words, environment](std::ostream& out, std::ostream& err) {
                    return Check(*words, environment, out, err);
                };
            }};
}

} // namespace corvane
