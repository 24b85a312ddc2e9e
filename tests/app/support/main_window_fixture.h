// a main window over a temporary program folder, scripted dialogs and a fixed clock, with small real projects
#pragma once

#include <QTemporaryDir>
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

// Everything lives below one temporary folder: "program" (the program folder with "Lng" and the
// machine-wide settings), the projects the test writes and the backups. The clock stands at
// 2025-07-17 09:58:23 local time; Timer1 waits 60 ms.
struct MainWindowFixture {
    static constexpr const char* kTimeStamp = "20250717095823";

    MainWindowFixture();

    QString path(const QString& relative) const { return temp.filePath(relative); }
    // writes the bytes, creating the folders on the way; returns the absolute path
    QString write(const QString& relative, const QByteArray& bytes);
    // A project with Module1.bas beside it; name empty: no "Name=" line.
    QString writeProject(const QString& relative, const QString& name, const QByteArray& version = "2.1.7",
                         const QByteArray& extraLines = {});
    // a ".vbpgroup": the name line, then each line as given
    QString writeGroup(const QString& relative, const QString& name, const QStringList& lines);
    // Lng/<code>.lng of the program folder
    QString writeLanguageFile(const QString& code, const QByteArray& text);

    // creates the window, runs its loading with this command line and shows it
    TestMainWindow& open(const QString& commandLine = {});
    // what a click on DBpathDialog choosing this file does
    void choose(const QString& file);
    bool waitForRun(int milliseconds = 60000);
    // the files below a folder, relative to it, sorted
    QStringList filesBelow(const QString& folder) const;

    QTemporaryDir temp;
    ScriptedServices ui;
    MainWindowSetup setup;
    std::unique_ptr<TestMainWindow> window; // last: it goes before the answers it may still use
};

} // namespace corvane
