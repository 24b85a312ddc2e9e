// a realistic VB6 project on disk for the archive tests (every kind of reference, files in and out of its
// folder) and an archive run set up around it for breaking
#pragma once

#include <cstdlib>
#include <ctime>

#include "core/backup/backup.h"
#include "core/project/paths.h"
#include "core/settings/settings.h"
#include "support/zip_test_support.h"

namespace corvane::testing {

// A moment of this machine's clock, whatever its time zone.
inline std::chrono::system_clock::time_point LocalMoment(int year, int month, int day, int hour, int minute,
                                                         int second) {
    std::tm local{};
    local.tm_year = year - 1900, local.tm_mon = month - 1, local.tm_mday = day;
    local.tm_hour = hour, local.tm_min = minute, local.tm_sec = second, local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}
inline const auto BackupMoment = [] { return LocalMoment(2025, 7, 17, 9, 58, 23); };

inline std::string CrLf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// proj/Billing.vbp, Shared/ (reached with ".."), drive_d/ (D:); disk names differ in case from references in
// places, and "M\xF3dulo.bas" is in code page 1252 in the project file, in UTF-8 on disk.
struct BillingProject {
    explicit BillingProject(const ScratchFolder& scratch)
        : folder(scratch.Path("proj")), path(scratch.Path("proj/Billing.vbp")),
          driveD(scratch.Path("drive_d")) {
        unsigned seed = 1; // what the files hold matters only as bytes to compare
        for (const char* file :
             {"proj/frmMain.frm", "proj/frmMain.frx", "proj/Forms/frmAbout.frm", "proj/modules/MODMAIN.BAS",
              "proj/modules/M\xC3\xB3"
              "dulo.bas",
              "proj/Classes/clsLog.cls", "proj/Controls/ucGrid.ctl", "proj/Controls/ucGrid.CTX",
              "proj/Controls/ppGrid.pag", "proj/Controls/ppGrid.pgx", "proj/Designers/dsReport.Dsr",
              "proj/Res/Billing.res", "Shared/modUtil.bas", "drive_d/Lib/modTools.bas"})
            scratch.Write(file, RandomBytes(300, seed++));
        scratch.Write("proj/Billing.vbp", Lines());
    }

    static std::string Lines() {
        return CrLf({"Type=Exe",
                     "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\Windows\\system32\\"
                     "stdole2.tlb#OLE Automation",
                     "Form=frmMain.frm", "Form=Forms\\frmAbout.frm", "Module=modMain; Modules\\modMain.bas",
                     "Module=modUtil; ..\\Shared\\modUtil.bas", "Module=modTools; D:\\Lib\\modTools.bas",
                     "Class=clsLog; Classes\\clsLog.cls", "UserControl=Controls\\ucGrid.ctl",
                     "PropertyPage=Controls\\ppGrid.pag", "Designer=Designers\\dsReport.Dsr",
                     "ResFile32=\"Res\\Billing.res\"",
                     "Module=modAccent; Modules\\M\xF3"
                     "dulo.bas",
                     "Form=forms\\FRMABOUT.FRM", "Startup=\"frmMain\"", "Name=\"Billing\"", "MajorVer=2",
                     "MinorVer=1"});
    }

    // What the archive must hold, in order.
    static std::string Listing(const std::string& vbpName) {
        return "frmMain.frm\nfrmMain.frx\nForms/frmAbout.frm\nModules/modMain.bas\n"
               "FileNotInRootPath/--/Shared/modUtil.bas\nFileNotInRootPath/Disk_D_/Lib/modTools.bas\n"
               "Classes/clsLog.cls\nControls/ucGrid.ctl\nControls/ucGrid.ctx\nControls/ppGrid.pag\n"
               "Controls/ppGrid.pgx\nDesigners/dsReport.Dsr\nRes/Billing.res\nModules/M\xC3\xB3"
               "dulo.bas\n" +
               vbpName + "\n";
    }

    // The rewritten project file, byte for byte.
    static std::string Rewritten() {
        std::string text = Lines();
        text.replace(text.find("..\\Shared"), 2, "FileNotInRootPath\\--");
        return text.replace(text.find("D:\\Lib"), 2, "FileNotInRootPath\\Disk_D_");
    }

    std::string folder, path, driveD;
};

// Whether an archive of the same name is already at the destination when the run starts.
enum class Destination { New, Existing };

inline constexpr const char* kDestinationNames[] = {"NewArchive", "OverExisting"};
inline void PrintTo(Destination destination, std::ostream* out) {
    *out << kDestinationNames[int(destination)];
}

inline constexpr const char* kSceneZipName = "Billing 2.1.0.20250717095823.zip";

class FaultScene {
public:
    FaultScene()
        : m_project(m_scratch), m_settings(SettingsLocation{m_scratch.Path("settings/machine.settings"),
                                                            m_scratch.Path("settings/user.settings")}) {
        // large enough that the write lasts long enough to be interrupted in the middle
        WriteFile(m_scratch.Path("proj/Res/Billing.res"), RandomBytes(3 << 20, 9));
        for (const char* folder : {"backup", "settings", "tmp"})
            fs::create_directories(m_scratch.Path(folder));
        if (const char* tmp = std::getenv("TMPDIR"))
            m_oldTmp = tmp;
        SetEnvironmentVariable("TMPDIR", m_scratch.Path("tmp")); // so that every temporary is seen
    }
    ~FaultScene() { SetEnvironmentVariable("TMPDIR", m_oldTmp); }

    const ScratchFolder& Scratch() const { return m_scratch; }
    const BillingProject& Project() const { return m_project; }
    std::string Destination() const { return m_scratch.Path("backup") + "/"; }
    std::string ArchivePath() const { return Destination() + kSceneZipName; }
    // where a run puts its archive when an older one has the name: beside it, never over it
    std::string NumberedArchivePath() const { return Destination() + NumberedFileName(kSceneZipName, 2); }

    SettingsStore& Settings() { return m_settings; }
    SingleProjectRequest Request() const { return Request(m_project.path, Destination()); }
    SingleProjectRequest Request(const std::string& project, const std::string& destination) const {
        Result<ProjectSelection> selection = SelectSingleProject(project, BackupMoment);
        EXPECT_TRUE(selection.ok());
        return {project, selection.ok() ? selection->state : JobState{}, destination, ""};
    }
    RunOptions Options() {
        RunOptions options;
        options.archive.driveMap.Set("D", m_project.driveD);
        options.settings = &m_settings;
        options.clock = BackupMoment;
        return options;
    }

    // A valid archive that is not the one the run makes, so that "old" and "new" can be told apart.
    void Prepare(testing::Destination destination) const {
        fs::remove(ArchivePath());
        fs::remove(NumberedArchivePath());
        if (destination == testing::Destination::Existing)
            MakeArchive(ArchivePath(), {{"old.txt", "the previous backup"}});
    }

    // Everything below the scratch folder but the settings, whose "LastDir" a run may change.
    std::map<std::string, std::string> State() const {
        auto state = Snapshot(m_scratch.Path());
        std::erase_if(state, [](const auto& item) { return item.first.starts_with("settings"); });
        return state;
    }

    // "absent", "old", "new" (every entry reads back whole, the expected names in order) or "broken".
    std::string ArchiveKind() const { return ArchiveKind(ArchivePath()); }
    std::string ArchiveKind(const std::string& path) const {
        if (!fs::exists(path))
            return "absent";
        const std::string names = Shell("unzip -Z1 " + Quoted(path)).output;
        return Shell("unzip -tqq " + Quoted(path)).exitCode != 0                      ? "broken"
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
