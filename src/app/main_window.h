// the main window with its commands: selection, archive, unzip, the shell links and the window's loading
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

class QProgressDialog;

#include "app/form_main.h"
#include "core/backup/backup.h"
#include "core/backup/naming.h"
#include "core/common/environment.h"
#include "core/locale/string_table.h"
#include "core/project/project.h"
#include "core/settings/settings.h"

namespace corvane {

class Job;
class UiServices;
struct UnzipRequest;

// Everything the window takes from its surroundings, so that tests can fix each of them.
struct MainWindowSetup {
    std::string programFolder;                      // holds "Lng" with the locale map and the language files
    SettingsLocation settings;                      // where "LastDir" is kept
    std::int32_t lcid = 1033;                       // the user's locale, as a Windows locale identifier
    Clock clock = SystemClock();                    // selection time stamps, the group run's and the year
    QString versionText;                            // "Version " + major.minor.revision
    QString zipVersion;                             // the zip layer's version text
    int timer1Interval = FormMain::kTimer1Interval; // how long the panel stays after a successful run
    DriveMap driveMap;                              // how drive-letter references reach this machine
};

// The real surroundings: program folder, settings, locale and drives from the environment.
MainWindowSetup DesktopSetup(const EnvLookup& env);

// The program's arguments (without its own name) as the window's loading reads them: joined by one
// space, with every double quotation mark removed.
QString CommandLineText(const QStringList& arguments);
// "Version " + major.minor.revision of this build.
QString ProgramVersionText();
// The zip layer's version.
QString ZipVersionText();

// How LoadSelectedGroup was reached: from the command line before the window is shown, from the file
// dialog, or after the group editor saved a group (which has put the path into Text1(0) already).
enum class GroupLoadForm { StartUp, Dialog, Editor };

class MainWindow : public FormMain {
    Q_OBJECT

public:
    MainWindow(UiServices& services, MainWindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's loading, run once before it is first shown: the language of the user's locale, the
    // version texts, and a group file named on the command line (as CommandLineText gives it) selected.
    void Form_Load(const QString& commandLine);

    // Fills the window from a group file. A file that cannot be read ends it with the panel hidden.
    void LoadSelectedGroup(const QString& path, GroupLoadForm form);

    // What the group editor and the tests need of the window.
    UiServices& services() const { return m_services; }
    const StringTable& strings() const { return m_strings; }
    QString GetString(int n, const QString& english) const;
    const QString& CurrentLanguage() const { return m_currentLanguage; }
    const QString& helpLanguage() const { return m_helpLanguage; }
    // the active language file; it need not exist
    QString languageFile() const;
    const std::string& programFolder() const { return m_setup.programFolder; }
    bool isGroup() const { return m_isGroup; }
    const JobState& selectedJob() const { return m_selectedJob; }
    // true while an archive or unzip job runs
    bool isBusy() const;
    PelmButton* btnCancelRun() const { return m_btnCancelRun; }
    // Shows the cancel button beside the shortened progress bars, or hides it and gives the bars their
    // width back.
    void setRunControlsShown(bool shown);

protected:
    void onDBpathDialogClick() override;
    void onSavepathDialogClick() override;
    void onPelmButton1Click() override;
    void onPelmOpenTheClick() override;
    void onFrame3D2Click() override;
    void onBtnValiderClick() override;
    void showVersionBox() override;
    void openHelpPage() override;
    void runUnzip() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // selection (main_window_selection.cpp)
    void selectSingleProject(const QString& path);
    // the jobs and what they report (main_window_runs.cpp)
    void startArchiveRun();
    void showProgress(const RunProgress& progress);
    void showRunWarning(const std::string& warning);
    void endArchiveRun(const RunOutcome& outcome);
    // the unzip command (main_window_unzip.cpp)
    void startUnzip(const UnzipRequest& request);
    void askUnzipPassword(const QString& archiveName, int attempt, std::optional<QString>* password);
    void endUnzip(const QString& folder, const Result<int>& extracted);
    void showUnzipFailure(const Error& error);
    // the previous job, if any, is let go: it has ended, though its end may still be on the stack
    void adoptRun(Job* job);
    void cancelRunAndWait();
    // settings
    std::string lastDir();
    void openInShell(const QString& target);

    UiServices& m_services;
    MainWindowSetup m_setup;
    SettingsStore m_settings;
    StringTable m_strings;
    QString m_currentLanguage;
    QString m_helpLanguage;
    bool m_isGroup = false;
    JobState m_selectedJob;       // the single project's names, fixed when it was chosen
    Job* m_run = nullptr;         // the running job, or the last one; a child of the window
    bool m_runIsGroup = false;    // what the running archive run is, whatever is selected meanwhile
    bool m_lastDirWarned = false; // a warning shown before the run's end is not repeated
    PelmButton* m_btnCancelRun = nullptr;
    QProgressDialog* m_unzipProgress = nullptr; // while an unzip job runs
    QRect m_barGeometry[2];
};

} // namespace corvane
