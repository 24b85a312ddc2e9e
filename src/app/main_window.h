// the main window with its commands: selection, archive, unzip, the shell links and the window's loading
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "app/background_run.h"
#include "app/form_main.h"
#include "app/pelm_button.h"
#include "core/backup/backup.h"
#include "core/backup/naming.h"
#include "core/common/environment.h"
#include "core/project/project.h"
#include "core/settings/settings.h"
#include "core/locale/string_table.h"


namespace corvane {

class UiServices;

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

// How LoadSelectedGroup was reached: from the command line before the window is shown, from the file
// dialog, or after the group editor saved a group (which has put the path into Text1(0) already).
enum class GroupLoadForm { StartUp, Dialog, Editor };

class MainWindow : public FormMain {
    Q_OBJECT

public:
    MainWindow(UiServices& services, MainWindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's loading, run once before it is first shown. gCommandLine: the command line with
    // its quotation marks removed; a group file named there is selected.
    void Form_Load(const QString& gCommandLine);

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
    bool gIsGroup() const { return m_isGroup; }
    const JobState& job() const { return m_job; }
    bool isBusy() const { return m_run.isRunning(); }
    PelmButton* btnCancelRun() const { return m_btnCancelRun; }
    // Shows the cancel button beside the shortened progress bars, or hides it and gives the bars their
    // width back.
    void setRunControlsShown(bool shown);

protected:
    void onDBpathDialogClick() override;
    void onSavepathDialogClick() override;
    void onPelmButton1Click() override; // in main_window_group_button.cpp
    void onPelmOpenTheClick() override;
    void onFrame3D2Click() override;
    void onBtnValiderClick() override;
    void showVersionBox() override;
    void openHelpPage() override;
    void runUnzip() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // selection
    void selectSingleProject(const QString& path);
    // archive run
    void startArchiveRun();
    void warnIfLastDirNotWritable(const std::string& backupFolder);
    void postProgress(const RunProgress& progress);
    void showProgress(const RunProgress& progress);
    void endArchiveRun(const RunOutcome& outcome);
    // unzip
    void startUnzip(const QString& archive, const QString& folder);
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
    JobState m_job; // the single project's names, fixed when it was chosen
    BackgroundRun m_run;
    ProgressThrottle m_throttle{std::chrono::milliseconds(40)};
    bool m_runIsGroup = false;    // what the running archive run is, whatever is selected meanwhile
    bool m_lastDirWarned = false; // a warning shown before the run's end is not repeated
    PelmButton* m_btnCancelRun = nullptr;
    QRect m_barGeometry[2];
};

// Paths as the core reads them (bytes of this machine's file names) and as the window shows them.
std::string PathBytes(const QString& path);
QString PathText(const std::string& path);
// A message made by the core: UTF-8, with the paths it names in them.
QString MessageText(const std::string& text);

} // namespace corvane
