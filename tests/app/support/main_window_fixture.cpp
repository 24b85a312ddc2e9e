// a main window over a temporary program folder, scripted dialogs and a fixed clock
#include "support/main_window_fixture.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>

namespace corvane {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

MainWindowFixture::MainWindowFixture() {
    QDir(temp.path()).mkpath("program/Lng");
    setup.programFolder = PathBytes(path("program"));
    setup.settings.localMachineFile = PathBytes(path("program/machine.settings"));
    setup.settings.currentUserFile = PathBytes(path("user.settings"));
    const auto moment = std::chrono::system_clock::from_time_t(
        QDateTime(QDate(2025, 7, 17), QTime(9, 58, 23)).toSecsSinceEpoch());
    setup.clock = [moment] { return moment; };
    setup.timer1Interval = 60;
}

QString MainWindowFixture::writeProject(const QString& relative, const QString& name,
                                        const QByteArray& version, const QByteArray& extraLines) {
    const QList<QByteArray> v = version.split('.');
    write(QFileInfo(relative).path() + "/Module1.bas", "Attribute VB_Name = \"Module1\"\r\n");
    return write(relative, "Type=Exe\r\nModule=Module1; Module1.bas\r\n" + extraLines + "Name=\"" +
                               name.toLatin1() + "\"\r\nMajorVer=" + v.value(0) +
                               "\r\nMinorVer=" + v.value(1) + "\r\nRevisionVer=" + v.value(2) + "\r\n");
}

MainWindow& MainWindowFixture::open(const QString& commandLine) {
    window = std::make_unique<MainWindow>(ui, setup);
    window->Form_Load(commandLine);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the main window was not exposed");
    return *window;
}

QStringList MainWindowFixture::filesBelow(const QString& folder) const {
    QStringList files;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace corvane
