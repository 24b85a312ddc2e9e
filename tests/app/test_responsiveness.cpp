// the main window while it archives a project of 5,000 files: its event loop keeps turning, its progress
// keeps moving, and Cancel stops the run at once without leaving an archive behind
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <random>
#include <zip.h>

#include "app/frame3d.h"
#include "app/pelm_button.h"
#include "app/vista_prog.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

constexpr int kProjectFiles = 5000;
constexpr qint64 kLongestStall = 100;        // ms the event loop may go without turning
constexpr qint64 kLongestProgressWait = 250; // ms the window may go without showing new progress
constexpr qint64 kLongestCancel = 1000;      // ms from Cancel to the run's end

const char* const kWords[] = {"Dim", "As",      "String",  "Long", "If",    "Then",    "End",    "Sub",
                              "Set", "Private", "Invoice", "Me",   "Total", "Caption", "Nothing"};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray SourceText(std::mt19937& random, const QByteArray& header) {
    QByteArray text = header;
    const int size = 1024 + static_cast<int>(random() % (7 * 1024));
    while (text.size() < size) {
        for (int words = 2 + static_cast<int>(random() % 8); words > 0; --words)
            text += QByteArray(kWords[random() % std::size(kWords)]) + ' ';
        text += "\r\n";
    }
    return text;
}

// root/App/App.vbp and exactly `files` files it names: forms (every other one with a .frx), modules,
// classes, and some modules in root/Shared reached through "..\"; 1 to 8 KiB each, the same bytes on
// every run.
QString WriteLargeProject(const QString& root, int files) {
    for (const char* folder : {"App/Forms", "App/Modules", "App/Classes", "Shared"})
        QDir(root).mkpath(folder);
    std::mt19937 random(20250717u);
    QByteArray vbp = "Type=Exe\r\n";
    for (int i = 0, written = 0; written < files; ++i) {
        const QByteArray name = QByteArray::number(10000 + i).mid(1);
        if (i % 3 == 0) {
            WriteFile(root + "/App/Forms/frm" + name + ".frm",
                      SourceText(random, "VERSION 5.00\r\nBegin VB.Form frm" + name + "\r\nEnd\r\n"));
            vbp += "Form=Forms\\frm" + name + ".frm\r\n";
            if (++written < files && i % 2 == 0) {
                QByteArray blob(1024 + static_cast<int>(random() % (7 * 1024)), '\0');
                for (char& byte : blob)
                    byte = static_cast<char>(random());
                WriteFile(root + "/App/Forms/frm" + name + ".frx", blob);
                ++written;
            }
        } else if (i % 3 == 1) {
            const bool shared = i % 100 == 1;
            WriteFile(root + (shared ? "/Shared/mod" : "/App/Modules/mod") + name + ".bas",
                      SourceText(random, "Attribute VB_Name = \"mod" + name + "\"\r\n"));
            vbp += "Module=mod" + name + "; " + (shared ? "..\\Shared\\mod" : "Modules\\mod") + name +
                   ".bas\r\n";
            ++written;
        } else {
            WriteFile(root + "/App/Classes/cls" + name + ".cls",
                      SourceText(random, "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"cls" + name + "\"\r\n"));
            vbp += "Class=cls" + name + "; Classes\\cls" + name + ".cls\r\n";
            ++written;
        }
    }
    vbp += "Name=\"App\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n";
    WriteFile(root + "/App/App.vbp", vbp);
    return root + "/App/App.vbp";
}

qint64 EntriesIn(const QString& archive) {
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, nullptr);
    if (zip == nullptr)
        return -1;
    const qint64 entries = zip_get_num_entries(zip, 0);
    zip_discard(zip);
    return entries;
}

// What the window shows of a run's progress.
struct Shown {
    int bar1 = 0;
    int bar2 = 0;
    QString label;
    bool operator==(const Shown&) const = default;
};

Shown ShownBy(const MainWindow& window) {
    return {window.vistaProg1()->value(), window.vistaProg2()->value(), window.label2()->text()};
}

// On a machine running more than it has processors for, a thread can be ready to run and still not be
// run: such waits are the machine's, not the program's, and are taken out of the gaps measured. Work
// done on a thread, or a thread blocked on a lock or a disk, still counts in full. Linux tells each
// thread's wait in /proc; elsewhere nothing is taken out.
using RunQueueWaits = QHash<QString, qint64>; // thread id -> ms spent waiting for a processor

RunQueueWaits ReadRunQueueWaits() {
    RunQueueWaits waits;
    const QDir threads(QStringLiteral("/proc/self/task"));
    for (const QString& thread : threads.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(threads.filePath(thread + "/schedstat"));
        const QList<QByteArray> fields =
            stat.open(QIODevice::ReadOnly) ? stat.readAll().split(' ') : QList<QByteArray>();
        if (fields.size() >= 2)
            waits.insert(thread, fields[1].toLongLong() / 1000000);
    }
    return waits;
}

QString WindowThreadId() {
    return QFileInfo(QStringLiteral("/proc/thread-self")).symLinkTarget().section('/', -1);
}

struct Gap {
    qint64 wall = 0;
    qint64 waiting = 0; // of it, the machine's
    int bar = 0;        // VistaProg1 when the gap ended, to tell where it came from
    qint64 own() const { return wall - waiting; }
};

struct Moment {
    qint64 at = 0;
    RunQueueWaits waits;

    // The event loop stands still only for the window's thread.
    Gap stallUntil(const Moment& later, const QString& windowThread, int bar) const {
        return {later.at - at, later.waits.value(windowThread) - waits.value(windowThread), bar};
    }
    // Progress waits for whichever thread the machine held back longest: the window's, or a worker's
    // (one started meanwhile counts from its start).
    Gap progressUntil(const Moment& later, int bar) const {
        qint64 longest = 0;
        for (auto it = later.waits.cbegin(); it != later.waits.cend(); ++it)
            longest = std::max(longest, it.value() - waits.value(it.key()));
        return {later.at - at, std::min(longest, later.at - at), bar};
    }
};

struct RunTimings {
    bool ended = false;
    Gap longestStall;        // between two ticks of the 10 ms timer, the click's own work included
    Gap longestProgressWait; // between two changes of what is shown, from the click to the run's end
    qint64 cancelToEnd = -1; // from the click on Cancel to the first tick that finds the run ended
};

// Clicks Btn_Valider and turns the event loop, ticking every 10 ms, until the run has ended or a minute
// has passed. At the first tick that finds VistaProg1 at `cancelAt` of its range or more, Cancel is
// clicked; a negative `cancelAt` lets the run complete.
RunTimings WatchRun(MainWindow& window, double cancelAt) {
    RunTimings timings;
    QEventLoop loop;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    const QString windowThread = WindowThreadId();
    Moment lastTick, lastChange;
    qint64 cancelledAt = -1;
    Shown shown;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Moment now{clock.elapsed(), ReadRunQueueWaits()};
        const Shown current = ShownBy(window);
        if (const Gap gap = lastTick.stallUntil(now, windowThread, current.bar1);
            gap.own() > timings.longestStall.own())
            timings.longestStall = gap;
        lastTick = now;
        // the run's end counts as a change: the last report must not have come long before it
        if (!(current == shown) || !window.isBusy()) {
            if (const Gap gap = lastChange.progressUntil(now, current.bar1);
                gap.own() > timings.longestProgressWait.own())
                timings.longestProgressWait = gap;
            lastChange = now;
            shown = current;
        }
        if (!window.isBusy()) {
            timings.ended = true;
            if (cancelledAt >= 0)
                timings.cancelToEnd = now.at - cancelledAt;
            loop.quit();
        } else if (cancelAt >= 0 && cancelledAt < 0 &&
                   current.bar1 >= cancelAt * window.vistaProg1()->maximum()) {
            cancelledAt = clock.elapsed();
            window.btnCancelRun()->click();
        }
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);

    shown = ShownBy(window);
    clock.start();
    lastTick = lastChange = Moment{0, ReadRunQueueWaits()};
    ticker.start();
    window.btnValider()->click();
    loop.exec();
    return timings;
}

QString Describe(const Gap& gap) {
    return QStringLiteral("%1 ms (of %3 ms, %2 waiting for a processor; bar at %4)")
        .arg(gap.own())
        .arg(gap.waiting)
        .arg(gap.wall)
        .arg(gap.bar);
}

QString Describe(const RunTimings& t) {
    return QStringLiteral("longest stall %1, longest wait for progress %2, cancel took %3 ms")
        .arg(Describe(t.longestStall), Describe(t.longestProgressWait))
        .arg(t.cancelToEnd);
}

} // namespace

class TestResponsiveness : public QObject {
    Q_OBJECT

    // in memory where the machine has /dev/shm: writing 5,000 files to a busy disk takes half a minute,
    // and only the archive's own writing and flushing matter here; the backups go to the disk
    QTemporaryDir m_projects{QDir("/dev/shm").exists() ? "/dev/shm/corvane-responsiveness-XXXXXX"
                                                       : QDir::tempPath() + "/corvane-responsiveness-XXXXXX"};
    QString m_project;

    // a window with the large project chosen (or a group of it and a small project), its backups going
    // to "backup" below the fixture's folder
    void select(MainWindowFixture& f, bool group) {
        auto& window = f.open();
        if (group) {
            const QString small = f.writeProject("small/Small.vbp", "Small");
            f.choose(f.writeGroup("Big.vbpgroup", "Big", {m_project, "[PATH]" + f.path("backup/"), small}));
        } else {
            f.choose(m_project);
            window.text1(2)->setText(f.path("backup/"));
        }
        QVERIFY(!window.frame3D3()->isHidden());
    }

private slots:
    void initTestCase() {
        QElapsedTimer clock;
        clock.start();
        m_project = WriteLargeProject(m_projects.path(), kProjectFiles);
        qInfo("%d files written in %lld ms", kProjectFiles, clock.elapsed());
    }

    void completeRun_data() {
        QTest::addColumn<bool>("group");
        QTest::newRow("project") << false;
        QTest::newRow("group of it and a small one") << true;
    }

    void completeRun() {
        QFETCH(bool, group);
        MainWindowFixture f;
        select(f, group);
        const RunTimings timings = WatchRun(*f.window, -1);
        qInfo("%s", qPrintable(Describe(timings)));

        QVERIFY2(timings.ended, "the run did not end within a minute");
        QVERIFY2(timings.longestStall.own() <= kLongestStall, qPrintable(Describe(timings)));
        QVERIFY2(timings.longestProgressWait.own() <= kLongestProgressWait, qPrintable(Describe(timings)));
        const QStringList archives = f.filesBelow(f.path("backup"));
        QCOMPARE(archives.size(), group ? 2 : 1);
        // every file and the rewritten project file: a quick run that skipped work proves nothing
        QCOMPARE(EntriesIn(f.path("backup/") + archives.first()), kProjectFiles + 1);
    }

    void cancelledRun_data() {
        QTest::addColumn<bool>("group");
        QTest::addColumn<double>("cancelAt");
        QTest::newRow("project, reading its lines") << false << 0.1;
        QTest::newRow("project, writing") << false << 0.5;
        QTest::newRow("project, flushing to the disk") << false << 0.8;
        QTest::newRow("project, verifying") << false << 0.9;
        QTest::newRow("group, writing its first project") << true << 0.5;
    }

    void cancelledRun() {
        QFETCH(bool, group);
        QFETCH(double, cancelAt);
        MainWindowFixture f;
        select(f, group);
        const RunTimings timings = WatchRun(*f.window, cancelAt);
        qInfo("%s", qPrintable(Describe(timings)));

        QVERIFY2(timings.ended, "the run did not end within a minute");
        QVERIFY2(timings.cancelToEnd >= 0, "the run ended before Cancel was clicked");
        QVERIFY2(timings.cancelToEnd <= kLongestCancel, qPrintable(Describe(timings)));
        QVERIFY2(timings.longestStall.own() <= kLongestStall, qPrintable(Describe(timings)));
        // neither the archive nor a temporary file of it
        QCOMPARE(f.filesBelow(f.path("backup")), QStringList());
        QVERIFY(f.ui.messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestResponsiveness)
#include "test_responsiveness.moc"
