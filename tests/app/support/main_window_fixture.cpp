// a main window over a temporary program folder, scripted dialogs and a fixed clock
#include "support/main_window_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <ctime>

#include "app/pelm_button.h"

namespace corvane {

std::chrono::system_clock::time_point LocalMoment(int year, int month, int day, int hour, int minute,
                                                  int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

MainWindowFixture::MainWindowFixture() {
    QDir(temp.path()).mkpath(QStringLiteral("program/Lng"));
    setup.programFolder = PathBytes(path(QStringLiteral("program")));
    setup.settings.localMachineFile = PathBytes(path(QStringLiteral("program/machine.settings")));
    setup.settings.currentUserFile = PathBytes(path(QStringLiteral("user.settings")));
    setup.lcid = 1033;
    const auto moment = LocalMoment(2025, 7, 17, 9, 58, 23);
    setup.clock = [moment] { return moment; };
    setup.versionText = QStringLiteral("Version 2.0.0");
    setup.zipVersion = QStringLiteral("1.7.3");
    setup.timer1Interval = 60;
}

MainWindowFixture::~MainWindowFixture() {
    // a failed check may leave a run going; it must end before its folders go
    window.reset();
}

QString MainWindowFixture::path(const QString& relative) const {
    return temp.filePath(relative);
}

QString MainWindowFixture::write(const QString& relative, const QByteArray& bytes) {
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    return file;
}

QString MainWindowFixture::writeLanguageFile(const QString& code, const QByteArray& text) {
    return write(QStringLiteral("program/Lng/") + code + QStringLiteral(".lng"), text);
}

QString MainWindowFixture::writeProject(const QString& relative, const QString& name, const QString& version,
                                        const QByteArray& extraLines) {
    const QStringList parts = version.split(QLatin1Char('.'));
    QByteArray text = "Type=Exe\r\nModule=Module1; Module1.bas\r\n";
    if (!name.isEmpty())
        text += "Name=\"" + name.toLatin1() + "\"\r\n";
    text += "MajorVer=" + parts.value(0).toLatin1() + "\r\nMinorVer=" + parts.value(1).toLatin1() +
            "\r\nRevisionVer=" + parts.value(2).toLatin1() + "\r\n" + extraLines;
    const QString project = write(relative, text);
    write(QFileInfo(relative).path() + QStringLiteral("/Module1.bas"), "Attribute VB_Name = \"Module1\"\r\n");
    return project;
}

QString MainWindowFixture::writeGroup(const QString& relative, const QString& name,
                                      const QStringList& lines) {
    QByteArray text = name.toUtf8() + "\r\n";
    for (const QString& line : lines)
        text += line.toUtf8() + "\r\n";
    return write(relative, text);
}

TestMainWindow& MainWindowFixture::create(const QString& commandLine) {
    window = std::make_unique<TestMainWindow>(ui, setup);
    window->Form_Load(commandLine);
    return *window;
}

TestMainWindow& MainWindowFixture::open(const QString& commandLine) {
    create(commandLine);
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
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace corvane
