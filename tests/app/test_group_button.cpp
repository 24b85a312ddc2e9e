// the main window's group button: the editor opened modally, its result selected and archived
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/form_group.h"
#include "app/frame3d.h"
#include "app/pelm_button.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

QStringList ListEntries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Clicks the group button and, once the modal editor runs, plays the user's part in it. The script
// must close the editor; true when an editor was there to script. The button lets pending events run
// before it opens the editor, so the script waits for the editor to be the active modal window.
bool WithEditor(MainWindow& window, const std::function<void(FormGroup&)>& script) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        auto* editor = qobject_cast<FormGroup*>(QApplication::activeModalWidget());
        if (!editor)
            return;
        poll.stop();
        seen = true;
        script(*editor);
        if (editor->isVisible()) // a failed check inside the script must not leave the test waiting
            editor->reject();
    });
    poll.start();
    window.pelmButton1()->click();
    poll.stop();
    return seen;
}

void Return(FormGroup& editor) {
    editor.btnAnnuler()->click();
}

} // namespace

class TestGroupButton : public QObject {
    Q_OBJECT

private slots:
    void createGroupAndArchiveIt() {
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString lib = f.writeProject("dev/Lib/Lib.vbp", "Lib", "1.0.3");
        const QString ui = f.writeProject("dev/Ui/Ui.vbp", "Ui", "3.2.1");
        const QString group = f.path("dev/Acc/Acc.vbpgroup");
        const QString backups = f.path("backups");
        QDir().mkpath(backups);
        MainWindow& window = f.open();

        const bool edited = WithEditor(window, [&](FormGroup& editor) {
            f.ui.queueFileChoice(group);
            f.ui.queueMessageBoxAnswer(MsgBox::Yes);
            editor.dbPathDialog()->click();
            editor.text1(1)->setText("Accounting suite");
            f.ui.queueFileChoice(acc);
            editor.savePathDialog()->click();
            f.ui.queueFolderChoice(backups);
            editor.setPathDialog()->click();
            for (const QString& linked : {lib, ui}) {
                f.ui.queueFileChoice(linked);
                editor.btnPlus()->click();
            }
            editor.btnGroup()->click();
        });
        QVERIFY(edited);

        QCOMPARE(ReadAll(group), "Accounting suite\r\n" + acc.toUtf8() + "\r\n[PATH]" + backups.toUtf8() +
                                     "/Sources.Backup/\r\n" + lib.toUtf8() + "\r\n" + ui.toUtf8() + "\r\n");
        QVERIFY(!window.frame3D3()->isHidden());
        QVERIFY(window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), group);
        QCOMPARE(window.text1(1)->text(), QString("Accounting suite"));
        QCOMPARE(window.text1(2)->text(), backups + "/Sources.Backup/");
        QCOMPARE(ListEntries(window.list1()), (QStringList{acc, lib, ui}));
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        // the editor has just closed, so the window may not be active again yet: its focus child counts
        QCOMPARE(window.focusWidget(), window.text1(3));
        QVERIFY(window.findChildren<FormGroup*>().isEmpty());

        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        const QString stamp = MainWindowFixture::kTimeStamp;
        QCOMPARE(f.filesBelow(backups + "/Sources.Backup"),
                 (QStringList{"Accounting suite/" + stamp + "/Acc 2.1.7." + stamp + ".zip",
                              "Accounting suite/" + stamp + "/Lib 1.0.3." + stamp + ".zip",
                              "Accounting suite/" + stamp + "/Ui 3.2.1." + stamp + ".zip"}));
    }

    void editExistingGroup() {
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString lib = f.writeProject("dev/Lib/Lib.vbp", "Lib");
        const QString ui = f.writeProject("dev/Ui/Ui.vbp", "Ui");
        const QString group = f.writeGroup("Acc.vbpgroup", "Suite", {acc, "[PATH]/srv/bk/", lib});
        MainWindow& window = f.open();
        f.choose(acc); // a single project selected before: the editor's group replaces it

        QStringList shown;
        const bool edited = WithEditor(window, [&](FormGroup& editor) {
            f.ui.queueFileChoice(group);
            editor.dbPathDialog()->click();
            shown << editor.text1(1)->text() << editor.text1(2)->text() << editor.text1(3)->text()
                  << ListEntries(editor.list1());
            editor.list1()->setCurrentRow(0);
            f.ui.queueMessageBoxAnswer(MsgBox::Yes);
            editor.btnMoins()->click();
            f.ui.queueFileChoice(ui);
            editor.btnPlus()->click();
            editor.text1(1)->setText("Suite 2");
            editor.btnGroup()->click();
        });
        QVERIFY(edited);

        QCOMPARE(shown, (QStringList{"Suite", acc, "/srv/bk/", lib}));
        QCOMPARE(ReadAll(group),
                 "Suite 2\r\n" + acc.toUtf8() + "\r\n[PATH]/srv/bk/\r\n" + ui.toUtf8() + "\r\n");
        QVERIFY(window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), group);
        QCOMPARE(window.text1(1)->text(), QString("Suite 2"));
        QCOMPARE(window.text1(2)->text(), QString("/srv/bk/"));
        QCOMPARE(ListEntries(window.list1()), (QStringList{acc, ui}));
    }

    void returnInEachState_data() {
        QTest::addColumn<QString>("state"); // "none", "project", "group", "deleted group"
        QTest::addColumn<bool>("panelAfter");
        QTest::newRow("nothing selected") << "none" << false;
        QTest::newRow("project selected") << "project" << false;
        QTest::newRow("group selected, read again") << "group" << true;
        QTest::newRow("group whose file was deleted since") << "deleted group" << false;
    }

    void returnInEachState() {
        QFETCH(QString, state);
        QFETCH(bool, panelAfter);
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString lib = f.writeProject("dev/Lib/Lib.vbp", "Lib");
        const QString group = f.writeGroup("Acc.vbpgroup", "Suite", {acc, "[PATH]/srv/bk/", lib});
        MainWindow& window = f.open();
        if (state == "project")
            f.choose(acc);
        else if (state.endsWith("group"))
            f.choose(group);
        window.text1(3)->setText("s3cret");
        const QString pathBefore = window.text1(0)->text();
        if (state == "deleted group")
            QVERIFY(QFile::remove(group));
        if (state == "group") // changed on disk since: what is shown afterwards proves a new reading
            f.writeGroup("Acc.vbpgroup", "Suite, read again", {acc, "[PATH]/srv/bk/", lib});

        bool panelWhileOpen = true;
        QVERIFY(WithEditor(window, [&](FormGroup& editor) {
            panelWhileOpen = !window.frame3D3()->isHidden();
            Return(editor);
        }));

        QVERIFY(!panelWhileOpen);
        QCOMPARE(!window.frame3D3()->isHidden(), panelAfter);
        QCOMPARE(window.text1(0)->text(), pathBefore);
        QCOMPARE(window.text1(3)->text(), QString("s3cret"));
        if (panelAfter) {
            QCOMPARE(ListEntries(window.list1()), (QStringList{acc, lib}));
            QCOMPARE(window.text1(1)->text(), QString("Suite, read again"));
            QCOMPARE(window.text1(2)->text(), QString("/srv/bk/"));
        }
        QVERIFY(f.ui.messageBoxes().isEmpty());
    }

    void freshTranslatedEditorEachOpening() {
        MainWindowFixture f;
        f.setup.lcid = 1036;
        f.writeLanguageFile("fra", "[frmGroup]\r\nForm=Groupe de projets\r\nLabel13=Nom du groupe :\r\n"
                                   "[Strings]\r\nString5=Saisissez le nom !\r\nString6=###END###\r\n");
        MainWindow& window = f.open();

        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            QVERIFY(WithEditor(window, [&](FormGroup& editor) {
                seen << editor.windowTitle() << editor.label1(3)->text() << editor.text1(0)->text()
                     << editor.text1(1)->text();
                editor.text1(0)->setText("/typed.vbpgroup");
                editor.text1(1)->clear();
                editor.btnGroup()->click();
                editor.text1(1)->setText("typed, then Return");
                Return(editor);
            }));
        }
        QCOMPARE(seen, (QStringList{"Groupe de projets", "Nom du groupe :", "", "", "Groupe de projets",
                                    "Nom du groupe :", "", ""}));
        QCOMPARE(f.ui.messageBoxes().size(), 2);
        QCOMPARE(f.ui.messageBoxes()[0].text, QString("Saisissez le nom !"));
        QVERIFY(window.frame3D3()->isHidden());
    }
};

QTEST_MAIN(TestGroupButton)
#include "test_group_button.moc"
