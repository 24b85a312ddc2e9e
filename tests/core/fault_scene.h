// one archive run set up for breaking: a project, a destination, a settings folder and a private temporary
// folder, and what "the fault changed nothing" means for them
#pragma once

#include <cstdlib>
#include <optional>

#include "core/archive_run.h"
#include "core/settings_format.h"
#include "core/settings_store.h"
#include "vb_project_fixture.h"

namespace corvane::testing {

// Whether an archive of the same name is already at the destination when the run starts.
enum class Destination { New, Existing };

inline std::string DestinationName(Destination destination) {
    return destination == Destination::New ? "NewArchive" : "OverExisting";
}

inline constexpr const char* kSceneVbpName = "Billing 2.1.0.20250717095823.vbp";

// Bytes that deflate cannot shrink, made quickly: the builds run unoptimised.
inline std::string Incompressible(std::size_t size) {
    std::string bytes(size, '\0');
    std::ifstream("/dev/urandom", std::ios::binary).read(bytes.data(), std::streamsize(size));
    return bytes;
}

class FaultScene {
public:
    FaultScene()
        : m_project(m_scratch), m_settings(SettingsLocation{m_scratch.Path("settings/machine.settings"),
                                                            m_scratch.Path("settings/user.settings")}) {
        // large enough that the write lasts long enough to be interrupted in the middle
        WriteFile(m_scratch.Path("proj/Res/Billing.res"), Incompressible(3 << 20));
        fs::create_directories(m_scratch.Path("backup"));
        fs::create_directories(m_scratch.Path("settings"));
        fs::create_directories(m_scratch.Path("tmp"));
        if (const char* tmp = std::getenv("TMPDIR"))
            m_oldTmp = tmp;
        ::setenv("TMPDIR", m_scratch.Path("tmp").c_str(), 1);
    }
    ~FaultScene() {
        if (m_oldTmp)
            ::setenv("TMPDIR", m_oldTmp->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    FaultScene(const FaultScene&) = delete;
    FaultScene& operator=(const FaultScene&) = delete;

    const ScratchFolder& Scratch() const { return m_scratch; }
    std::string Destination() const { return m_scratch.Path("backup") + "/"; }
    std::string ArchivePath() const { return Destination() + "Billing 2.1.0.20250717095823.zip"; }

    SingleProjectRequest Request() const {
        Result<ProjectSelection> selection =
            SelectSingleProject(m_project.path, [] { return BackupMoment(); });
        EXPECT_TRUE(selection.ok());
        return {m_project.path, selection.ok() ? selection->state : JobState{}, Destination(), ""};
    }
    RunOptions Options() {
        RunOptions options;
        options.archive.driveMap.Set("D", m_project.driveD);
        options.settings = &m_settings;
        options.clock = [] { return BackupMoment(); };
        return options;
    }

    // A valid archive that is not the one the run makes, so that "old" and "new" can be told apart.
    void PlaceOldArchive() const { MakeArchive(ArchivePath(), {{"old.txt", "the previous backup"}}); }
    void Prepare(testing::Destination destination) const {
        std::error_code ignored;
        fs::remove(ArchivePath(), ignored);
        if (destination == testing::Destination::Existing)
            PlaceOldArchive();
    }

    // Everything below the scratch folder but the settings, whose "LastDir" a run may change: each path
    // with its size and a hash of its bytes, "<dir>" for a folder.
    std::map<std::string, std::string> State() const { return StateBelow(m_scratch.Path()); }
    static std::map<std::string, std::string> StateBelow(const std::string& root) {
        std::map<std::string, std::string> state;
        for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
             ++it) {
            const std::string name = fs::relative(it->path(), root).string();
            if (name.rfind("settings", 0) == 0)
                continue;
            if (it->is_directory()) {
                state[name] = "<dir>";
                continue;
            }
            std::string bytes(it->file_size(), '\0');
            std::ifstream(it->path(), std::ios::binary).read(bytes.data(), std::streamsize(bytes.size()));
            state[name] =
                std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>{}(bytes));
        }
        return state;
    }

    // The settings folder holds the store and its lock at most, and the store still parses.
    void ExpectCleanSettings() const {
        for (const std::string& name : NamesIn(m_scratch.Path("settings")))
            EXPECT_TRUE(name == "machine.settings" || name == "machine.settings.lock") << name;
        const std::string file = m_scratch.Path("settings/machine.settings");
        if (fs::exists(file)) {
            Result<SettingsDocument> parsed = SettingsDocument::Parse(ReadFile(file));
            EXPECT_TRUE(parsed.ok()) << parsed.error();
        }
    }

    // "absent", "old", "new" (complete, every entry readable, the expected names in order) or "broken".
    std::string ArchiveKind() const {
        if (!fs::exists(ArchivePath()))
            return "absent";
        const std::vector<std::string> names = EntryNames();
        if (names == std::vector<std::string>{"old.txt"})
            return "old";
        std::vector<std::string> expected;
        std::istringstream listing(BillingProject::Listing(kSceneVbpName));
        for (std::string line; std::getline(listing, line);)
            expected.push_back(line);
        return names == expected ? "new" : "broken";
    }

private:
    // The names of an archive whose every entry reads back whole, or nothing.
    std::vector<std::string> EntryNames() const {
        int error = 0;
        zip_t* archive = zip_open(ArchivePath().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (archive == nullptr)
            return {};
        std::vector<std::string> names;
        std::vector<char> buffer(1 << 16);
        for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
            zip_file_t* entry = zip_fopen_index(archive, i, 0);
            zip_int64_t read = entry != nullptr ? 0 : -1;
            while (entry != nullptr && (read = zip_fread(entry, buffer.data(), buffer.size())) > 0) {
            }
            if (entry == nullptr || read < 0 || zip_fclose(entry) != 0) {
                zip_discard(archive);
                return {};
            }
            names.push_back(zip_get_name(archive, i, 0));
        }
        zip_discard(archive);
        return names;
    }

    ScratchFolder m_scratch;
    BillingProject m_project;
    SettingsStore m_settings;
    std::optional<std::string> m_oldTmp;
};

} // namespace corvane::testing
