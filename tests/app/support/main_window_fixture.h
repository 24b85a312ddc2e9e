// a main window over a temporary program folder, scripted dialogs and a fixed clock, with small real projects
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "app/main_window.h"
#include "support/scripted_services.h"

namespace corvane {

// The window with the program's end replaced, so a test survives Btn_Annuler.
class TestMainWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    int ends = 0;

protected:
    void endProgram() override { ++ends; }
};

// A local calendar moment, as the time stamps are formatted.
std::chrono::system_clock::time_point LocalMoment(int year, int month, int day, int hour, int minute,
                                                  int second);

// Everything lives below one temporary folder: "program" (the program folder with "Lng" and the
// machine-wide settings), the projects the test writes, and the backups. The clock stands at
// 2025-07-17 09:58:23 local time; Timer1 waits 60 ms.
struct MainWindowFixture {
    static constexpr const char* kTimeStamp = "20250717095823";

    MainWindowFixture();
    ~MainWindowFixture();

    // an absolute path below the temporary folder
    QString path(const QString& relative) const;
    // writes the bytes, creating the folders on the way; returns the absolute path
    QString write(const QString& relative, const QByteArray& bytes);
    // a language file Lng/<code>.lng of the program folder
    QString writeLanguageFile(const QString& code, const QByteArray& text);
    // A project with one module beside it; name empty: no "Name=" line. Extra lines are added as given.
    QString writeProject(const QString& relative, const QString& name, const QString& version = "2.1.7",
                         const QByteArray& extraLines = {});
    // a ".vbpgroup": name, then each line as given (projects and "[PATH]" lines)
    QString writeGroup(const QString& relative, const QString& name, const QStringList& lines);

    // Creates the window and runs its loading with this command line; does not show it.
    TestMainWindow& create(const QString& commandLine = {});
    // create, then show and wait until it is exposed, so that focus can be checked
    TestMainWindow& open(const QString& commandLine = {});

    // selects through the file dialog, as a user clicking DBpathDialog would
    void choose(const QString& file);
    // waits for the running archive or unzip run to end; false on timeout
    bool waitForRun(int milliseconds = 30000);
    // files of a folder, recursively, relative to it, sorted
    QStringList filesBelow(const QString& folder) const;

    QTemporaryDir temp;
    ScriptedServices ui;
    MainWindowSetup setup;
    std::unique_ptr<TestMainWindow> window;
};

} // namespace corvane
