// the list command: what a backup holds and the project it is a backup of, as text or JSON
#include "cli/commands.h"

#include <cstdio>

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/archive_args.h"
#include "cli/json_writer.h"
#include "core/platform/platform.h"
#include "core/project/text.h"

namespace corvane {

namespace {

constexpr const char* kListDescription =
    "Lists the archive's entries with their sizes and dates, and the name and version of the\n"
    "project whose rewritten project file sits at the archive's root. Nothing is unpacked; the\n"
    "archive passes the same checks as for unzip first. The password, when the project file is\n"
    "encrypted, is needed only for the project's name and version.";

struct ListWords {
    ArchiveWords archive;
    bool json = false;
};

std::string DateText(std::time_t moment) {
    const std::tm local = ToLocalTime(moment);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

void PrintText(std::ostream& out, const ArchiveListing& listing, CodePage codePage) {
    if (!listing.projectName.empty())
        out << "Project: " << AnsiToUtf8(listing.projectName, codePage) << " " << listing.projectVersion
            << "\n";
    std::uint64_t total = 0;
    for (const ListedEntry& entry : listing.entries) {
        char sizes[48];
        std::snprintf(sizes, sizeof sizes, "%12llu %12llu  ", static_cast<unsigned long long>(entry.size),
                      static_cast<unsigned long long>(entry.compressedSize));
        out << sizes << DateText(entry.modificationTime) << (entry.encrypted ? " * " : "   ") << entry.name
            << (entry.isFolder ? "/" : "") << "\n";
        total += entry.size;
    }
    out << listing.entries.size() << " entries, " << total << " bytes\n";
}

void PrintJson(std::ostream& out, const std::string& archive, const ArchiveListing& listing,
               CodePage codePage) {
    JsonWriter json(out);
    json.BeginObject().Key("archive").String(archive).Key("project");
    if (listing.projectName.empty())
        json.Null();
    else
        json.BeginObject()
            .Key("name")
            .String(AnsiToUtf8(listing.projectName, codePage))
            .Key("version")
            .String(listing.projectVersion)
            .EndObject();
    json.Key("entries").BeginArray();
    for (const ListedEntry& entry : listing.entries)
        json.BeginObject()
            .Key("name")
            .String(entry.name)
            .Key("folder")
            .Bool(entry.isFolder)
            .Key("size")
            .Int(static_cast<std::int64_t>(entry.size))
            .Key("compressedSize")
            .Int(static_cast<std::int64_t>(entry.compressedSize))
            .Key("modified")
            .String(DateText(entry.modificationTime))
            .Key("encrypted")
            .Bool(entry.encrypted)
            .EndObject();
    json.EndArray().EndObject();
    out << "\n";
}

int List(const ListWords& words, const RunContext& context, std::ostream& out, std::ostream& err) {
    ArchiveRun run;
    const bool json = words.json;
    if (const auto ended = StartArchiveRun(words.archive, context, run, err))
        return *ended;
    const std::string& archive = run.archive;
    UnzipOptions options;
    options.limits = run.limits;
    if (run.password.password)
        options.askPassword = run.password.Asker();
    const Result<ArchiveListing> listing = ListArchive(archive, options);
    if (!listing)
        return ReportReadFailure(listing.failure(), run, err);
    if (json)
        PrintJson(out, archive, *listing, context.environment.codePage);
    else
        PrintText(out, *listing, context.environment.codePage);
    return 0;
}

} // namespace

int RunList(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
            std::ostream& err) {
    return RunCommand(MakeListCommand(context), args, out, err);
}

Command MakeListCommand(RunContext context) {
    return {"list", "list a backup archive's entries and the project it holds", [context](CLI::App& app) -> Runner {
                app.description(kListDescription);
                app.footer("Exit status: 0 listed, 1 the archive cannot be read, 2 bad arguments or no such archive.");
                auto words = std::make_shared<ListWords>();
                DeclareArchiveWords(app, words->archive);
                app.add_flag("--json", words->json, "print one JSON object instead of text");
                return [words, context](std::ostream& out, std::ostream& err) {
                    return List(*words, context, out, err);
                };
            }};
}

} // namespace corvane
