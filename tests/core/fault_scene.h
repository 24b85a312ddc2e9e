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

inline std::string DestinationName(Destination d) {
    return d == Destination::New ? "NewArchive" : "OverExisting";
}

inline constexpr const char* kSceneZipName = "Billing 2.1.0.20250717095823.zip";

class FaultScene {
public:
    FaultScene()
        : m_project(m_scratch), m_settings(SettingsLocation{m_scratch.Path("settings/machine.settings"),
                                                            m_scratch.Path("settings/user.settings")}) {
        // large enough that the write lasts long enough to be interrupted in the middle
        WriteFile(m_scratch.Path("proj/Res/Billing.res"), RandomBytes(3 << 20, 9));
        fs::create_directories(m_scratch.Path("backup"));
        fs::create_directories(m_scratch.Path("settings"));
        fs::create_directories(m_scratch.Path("tmp"));
        if (const char* tmp = std::getenv("TMPDIR"))
            m_oldTmp = tmp;
        ::setenv("TMPDIR", m_scratch.Path("tmp").c_str(), 1); // so that every temporary is seen
    }
    ~FaultScene() { m_oldTmp ? ::setenv("TMPDIR", m_oldTmp->c_str(), 1) : ::unsetenv("TMPDIR"); }

    const ScratchFolder& Scratch() const { return m_scratch; }
    const BillingProject& Project() const { return m_project; }
    std::string Destination() const { return m_scratch.Path("backup") + "/"; }
    std::string ArchivePath() const { return Destination() + kSceneZipName; }

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
    void Prepare(testing::Destination destination) const {
        std::error_code ignored;
        fs::remove(ArchivePath(), ignored);
        if (destination == testing::Destination::Existing)
            MakeArchive(ArchivePath(), {{"old.txt", "the previous backup"}});
    }

    // Everything below the scratch folder but the settings, whose "LastDir" a run may change.
    std::map<std::string, std::string> State() const {
        auto state = Snapshot(m_scratch.Path());
        std::erase_if(state, [](const auto& item) { return item.first.starts_with("settings"); });
        return state;
    }

    // The settings folder holds the store and its lock at most, and the store still parses.
    void ExpectCleanSettings() const {
        for (const std::string& name : FileNamesIn(m_scratch.Path("settings")))
            EXPECT_TRUE(name == "machine.settings" || name == "machine.settings.lock") << name;
        const std::string file = m_scratch.Path("settings/machine.settings");
        if (fs::exists(file)) {
            Result<SettingsDocument> parsed = SettingsDocument::Parse(ReadFile(file));
            EXPECT_TRUE(parsed.ok()) << parsed.error();
        }
    }

    // "absent", "old", "new" (every entry reads back whole, the expected names in order) or "broken".
    std::string ArchiveKind() const {
        if (!fs::exists(ArchivePath()))
            return "absent";
        const std::string names = Shell("unzip -Z1 " + Quoted(ArchivePath())).output;
        return Shell("unzip -tqq " + Quoted(ArchivePath())).exitCode != 0             ? "broken"
               : names == "old.txt\n"                                                 ? "old"
               : names == BillingProject::Listing("Billing 2.1.0.20250717095823.vbp") ? "new"
                                                                                      : "broken";
    }

private:
    ScratchFolder m_scratch;
    BillingProject m_project;
    SettingsStore m_settings;
    std::optional<std::string> m_oldTmp;
};

} // namespace corvane::testing
