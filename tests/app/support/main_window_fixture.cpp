// a main window over a temporary program folder, scripted dialogs and a fixed clock
#include "support/main_window_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>
#include <ctime>

#include "app/pelm_button.h"

namespace corvane {

MainWindowFixture::MainWindowFixture() {
    QDir(temp.path()).mkpath(QStringLiteral("program/Lng"));
    setup.programFolder = PathBytes(path(QStringLiteral("program")));
    setup.settings.localMachineFile = PathBytes(path(QStringLiteral("program/machine.settings")));
    setup.settings.currentUserFile = PathBytes(path(QStringLiteral("user.settings")));
    std::tm local{};
    local.tm_year = 2025 - 1900;
    local.tm_mon = 6;
    local.tm_mday = 17;
    local.tm_hour = 9;
    local.tm_min = 58;
    local.tm_sec = 23;
    local.tm_isdst = -1;
    const auto moment = std::chrono::system_clock::from_time_t(std::mktime(&local));
    setup.clock = [moment] { return moment; };
    setup.versionText = QStringLiteral("Version 2.0.0");
    setup.zipVersion = QStringLiteral("1.7.3");
    setup.timer1Interval = 60;
}

QString MainWindowFixture::write(const QString& relative, const QByteArray& bytes) {
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    return file;
}

QString MainWindowFixture::writeProject(const QString& relative, const QString& name,
                                        const QByteArray& version, const QByteArray& extraLines) {
    const QList<QByteArray> parts = version.split('.');
    QByteArray text = "Type=Exe\r\nModule=Module1; Module1.bas\r\n" + extraLines;
    if (!name.isEmpty())
        text += "Name=\"" + name.toLatin1() + "\"\r\n";
    text +=
        "MajorVer=" + parts.value(0) + "\r\nMinorVer=" + parts.value(1) + "\r\nRevisionVer=" + parts.value(2);
    write(QFileInfo(relative).path() + QStringLiteral("/Module1.bas"), "Attribute VB_Name = \"Module1\"\r\n");
    return write(relative, text + "\r\n");
}

QString MainWindowFixture::writeGroup(const QString& relative, const QString& name,
                                      const QStringList& lines) {
    return write(relative, (QStringList{name} + lines).join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

QString MainWindowFixture::writeLanguageFile(const QString& code, const QByteArray& text) {
    return write(QStringLiteral("program/Lng/") + code + QStringLiteral(".lng"), text);
}

TestMainWindow& MainWindowFixture::open(const QString& commandLine) {
    window = std::make_unique<TestMainWindow>(ui, setup);
    window->Form_Load(commandLine);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the main window was not exposed");
    return *window;
}

void MainWindowFixture::choose(const QString& file) {
    ui.queueFileChoice(file);
    window->dbPathDialog()->click();
}

bool MainWindowFixture::waitForRun(int milliseconds) {
    return QTest::qWaitFor([this] { return !window->isBusy(); }, milliseconds);
}

QStringList MainWindowFixture::filesBelow(const QString& folder) const {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace corvane
