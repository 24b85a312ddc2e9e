// a main window over a temporary program folder, scripted dialogs and a fixed clock, with small real projects
#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/window_texts.h"
#include "support/scripted_services.h"

namespace corvane {

// the folders on the way are made; aborts the test program when the file cannot be written
void WriteBytes(const QString& path, const QByteArray& bytes);

// Below one temporary folder: "program" (with "Lng" and the machine-wide settings), the projects and the
// backups. The clock stands at 2025-07-17 09:58:23 local time; Timer1 waits 60 ms. open() runs the loading
// with a command line and shows the window; choose() is a click on DBpathDialog choosing that file.
struct MainWindowFixture {
    MainWindowFixture();

    QString path(const QString& relative) const { return temp.filePath(relative); }
    QString write(const QString& relative, const QByteArray& bytes) {
        WriteBytes(path(relative), bytes);
        return path(relative);
    }
    QString writeProject(const QString& relative, const QString& name, const QByteArray& version = "2.1.7",
                         const QByteArray& extraLines = {});
    QString writeGroup(const QString& relative, const QString& name, const QStringList& lines) {
        return write(relative, (QStringList{name} + lines).join("\r\n").toUtf8() + "\r\n");
    }

    MainWindow& open(const QString& commandLine = {});
    void choose(const QString& file) {
        ui.queueFileChoice(file);
        window->dbPathDialog()->click();
    }
    bool waitForRun() {
        return QTest::qWaitFor([this] { return !window->isBusy(); }, 60000);
    }
    QStringList filesBelow(const QString& folder) const;

    QTemporaryDir temp;
    ScriptedServices ui;
    MainWindowSetup setup;
    std::unique_ptr<MainWindow> window; // last: it goes before the answers it may still use
};

} // namespace corvane
