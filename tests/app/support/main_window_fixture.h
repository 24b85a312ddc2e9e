// a main window over a temporary program folder, scripted dialogs and a fixed clock, with small real projects;
// with it every window test has Qt Test and the widgets the windows are made of
#pragma once

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/window_texts.h"
#include "support/scripted_services.h"

namespace corvane {

// the folders on the way are made; aborts the test program when the file cannot be written
inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Below one temporary folder: "program" (with "Lng" and the machine-wide settings), the projects and the
// backups. The clock stands at 2025-07-17 09:58:23 local time; Timer1 waits 60 ms. open() runs the loading
// with a command line and shows the window; choose() is a click on DBpathDialog choosing that file.
struct MainWindowFixture {
    MainWindowFixture() {
        QDir(temp.path()).mkpath("program/Lng");
        setup.languages = FindLanguageFiles(PathBytes(path("program")));
        setup.settings.localMachineFile = PathBytes(path("program/machine.settings"));
        setup.settings.currentUserFile = PathBytes(path("user.settings"));
        const auto moment = std::chrono::system_clock::from_time_t(
            QDateTime(QDate(2025, 7, 17), QTime(9, 58, 23)).toSecsSinceEpoch());
        setup.clock = [moment] { return moment; };
        setup.timer1Interval = 60;
    }

    QString path(const QString& relative) const { return temp.filePath(relative); }
    QString write(const QString& relative, const QByteArray& bytes) {
        WriteBytes(path(relative), bytes);
        return path(relative);
    }
    QString writeProject(const QString& relative, const QString& name, const QByteArray& version = "2.1.7",
                         const QByteArray& extraLines = {}) {
        const QList<QByteArray> v = version.split('.');
        write(QFileInfo(relative).path() + "/Module1.bas", "Attribute VB_Name = \"Module1\"\r\n");
        return write(relative, "Type=Exe\r\nModule=Module1; Module1.bas\r\n" + extraLines + "Name=\"" +
                                   name.toLatin1() + "\"\r\nMajorVer=" + v.value(0) +
                                   "\r\nMinorVer=" + v.value(1) + "\r\nRevisionVer=" + v.value(2) + "\r\n");
    }
    QString writeGroup(const QString& relative, const QString& name, const QStringList& lines) {
        return write(relative, (QStringList{name} + lines).join("\r\n").toUtf8() + "\r\n");
    }

    MainWindow& open(const QString& commandLine = {}) {
        window = std::make_unique<MainWindow>(ui, setup);
        window->Form_Load(commandLine);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the main window was not exposed");
        return *window;
    }
    void choose(const QString& file) {
        ui.queueFileChoice(file);
        window->dbPathDialog()->click();
    }
    bool waitForRun() {
        return QTest::qWaitFor([this] { return !window->isBusy(); }, 60000);
    }
    QStringList filesBelow(const QString& folder) const {
        QStringList files;
        for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    QTemporaryDir temp;
    ScriptedServices ui;
    MainWindowSetup setup;
    std::unique_ptr<MainWindow> window; // last: it goes before the answers it may still use
};

} // namespace corvane
