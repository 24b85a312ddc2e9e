// the main window with its commands: selection, archive, unzip, the shell links and the window's loading
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

class QProgressDialog;

#include "app/form_main.h"
#include "app/window_texts.h"
#include "core/backup/backup.h"
#include "core/backup/check.h"
#include "core/backup/naming.h"
#include "core/common/environment.h"
#include "core/locale/locale.h"
#include "core/locale/string_table.h"
#include "core/project/project.h"
#include "core/settings/settings.h"

class QDragEnterEvent;
class QDropEvent;
class QEventLoop;
class QKeyEvent;
class QMimeData;
class QTranslator;

namespace corvane {

class Job;
class UiServices;
struct UnzipRequest;

// Everything the window takes from its surroundings, so that tests can fix each of them.
struct MainWindowSetup {
    LanguageFiles languages;                        // the locale map and the language files
    SettingsLocation settings;                      // where "LastDir" is kept
    std::int32_t lcid = 1033;                       // the user's locale, as a Windows locale identifier
    Clock clock = SystemClock();                    // selection time stamps, the group run's and the year
    QString versionText;                            // "Version " + major.minor.revision
    QString zipVersion;                             // the zip layer's version text
    int timer1Interval = FormMain::kTimer1Interval; // how long the panel stays after a successful run
    DriveMap driveMap;                              // how drive-letter references reach this machine
    CodePage codePage;                              // of the project and group files, decided at start-up
    std::string codePageProblem; // why CORVANE_ANSI_CODEPAGE was not used; shown when the window loads
};

// The real surroundings: the language files found from the program's folder, settings, locale and drives
// from the environment.
MainWindowSetup DesktopSetup(const EnvLookup& env, const std::string& programFolder);

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

    // The window, its messages and Qt's own dialogs in the language of a file of the language folder
    // ("fra" for fra.lng); one that is not there leaves the built-in English.
    void applyLanguage(const std::string& language);

    // Fills the window from a group file. A file that cannot be read ends it with the panel hidden.
    void LoadSelectedGroup(const QString& path, GroupLoadForm form);

    // What the group editor and the tests need of the window.
    UiServices& services() const { return m_services; }
    const StringTable& strings() const { return m_strings; }
    QString GetString(int n, const QString& english) const;
    // a message the numbered strings do not hold, from the language file's [Messages] by name
    QString message(const char* key, const QString& english) const;
    // the chosen language's file and its code page
    TranslationFile translation() const;
    const QString& CurrentLanguage() const { return m_currentLanguage; }
    const QString& helpLanguage() const { return m_helpLanguage; }
    // the active language file; it need not exist
    QString languageFile() const;
    bool isGroup() const { return m_isGroup; }
    const JobState& selectedJob() const { return m_selectedJob; }
    // true while an archive or unzip job runs
    bool isBusy() const;
    PelmButton* btnCancelRun() const { return m_btnCancelRun; }
    // Shows the cancel button beside the shortened progress bars, or hides it and gives the bars their
    // width back.
    void setRunControlsShown(bool shown);
    // the commands that cannot run beside a job, off while one runs, with the status line saying so
    void setJobRunning(bool running, const QString& status = QString());
    // what the status line says while a backup runs
    QString backupRunningText() const;

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
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // feedback (main_window.cpp): a refused command beeps and says why on the status line
    void refuse(const QString& why);
    QString busyText() const;
    // the second click of a double click that closed a dialog must not land on what lay under it
    void swallowStrayClicks();
    // Qt's own dialogs and buttons in the language of the window
    void loadQtTranslation();
    // selection (main_window_selection.cpp)
    void selectChosenFile(const QString& chosen);
    // `form` as for a group: at start-up no box takes the focus
    void selectSingleProject(const QString& path, GroupLoadForm form = GroupLoadForm::Dialog);
    // a project or group file a drop carries, if it carries exactly one
    std::optional<QString> droppedFile(const QMimeData* data) const;
    bool runIsActive() const;
    // the pre-flight of a selection (main_window_preflight.cpp)
    void showMissingFiles(std::vector<ProjectCheck> checks);
    void showMissingList();
    // the jobs and what they report (main_window_runs.cpp)
    void startArchiveRun();
    void showProgress(const RunProgress& progress);
    QString warningText(const RunWarning& warning) const;
    // the password typed again matches (or there is none); false: nothing is to be archived
    bool passwordConfirmed();
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
    CodePage m_languageCodePage; // of the chosen language's file
    bool m_isGroup = false;
    JobState m_selectedJob;       // the single project's names, fixed when it was chosen
    Job* m_run = nullptr;         // the running job, or the last one; a child of the window
    QEventLoop* m_selectionRead = nullptr; // waiting for a project or group file that is slow to read
    std::vector<ProjectCheck> m_missing; // what a backup of the selection would miss
    bool m_runIsGroup = false;    // what the running archive run is, whatever is selected meanwhile
    PelmButton* m_btnCancelRun = nullptr;
    QProgressDialog* m_unzipProgress = nullptr; // while an unzip job runs
    QRect m_barGeometry[2];
    bool m_swallowingClicks = false;
    QTranslator* m_qtTranslator = nullptr;
};

} // namespace corvane
