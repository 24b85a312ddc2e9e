// a job on its own, cancelled and waited for while its worker may be waiting on a question
#include <QThread>
#include <QtTest>

#include "app/jobs.h"
#include "app/window_texts.h"
#include "core/zip/zip.h"

using namespace corvane;

class TestJobs : public QObject {
    Q_OBJECT

private slots:
    // however far the worker has got, the question is not asked, no end is reported and the call returns;
    // a job runs once
    void cancelAndWaitOnAQuestion() {
        QTemporaryDir folder;
        const QString archive = folder.filePath("P.zip");
        ZipComponent zip;
        QCOMPARE(zip.NewZip(PathBytes(archive)), 1);
        zip.SetPassword("pw");
        zip.AppendBuffer("P.vbp", "Type=Exe\r\n");
        QCOMPARE(zip.WriteZipAndClose(), 1);
        for (const int head : {0, 200}) { // ms the worker is given before the cancel
            UnzipJob job({archive, folder.filePath("P" + QString::number(head)), UnzipLimits()});
            int asked = 0, ended = 0;
            connect(&job, &UnzipJob::passwordNeeded, this,
                    [&](const QString&, std::optional<QString>* password) {
                        ++asked;
                        *password = "pw";
                    });
            connect(&job, &UnzipJob::ended, this, [&] { ++ended; });
            QVERIFY(job.start());
            QThread::msleep(head);
            job.cancelAndWait();
            QCoreApplication::processEvents(); // nothing is left to come either
            QCOMPARE(QString("%1 %2").arg(asked).arg(ended), QString("0 0"));
            QVERIFY(!job.isRunning() && !job.start());
        }
    }
};

QTEST_MAIN(TestJobs)
#include "test_jobs.moc"
