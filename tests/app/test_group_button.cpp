// the main window's group button: the editor opened modally, its result selected and archived
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <functional>

#include "app/form_group.h"
#include "app/frame3d.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

QString Shown(const MainWindow& window) {
    QStringList shown{window.text1(0)->text(), window.text1(1)->text(), window.text1(2)->text()};
    for (int row = 0; row < window.list1()->count(); ++row)
        shown << window.list1()->item(row)->text();
    return (window.frame3D3()->isHidden() ? "hidden " : "") + shown.join(',');
}

// Clicks the group button and, once the modal editor runs, plays the user's part in it; false when no
// editor came. The button lets pending events run before it opens the editor, so this polls for it.
bool WithEditor(MainWindow& window, const std::function<void(FormGroup&)>& script) {
    bool seen = false;
    QTimer poll;
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
    poll.start(5);
    window.pelmButton1()->click();
    return seen;
}

} // namespace

class TestGroupButton : public QObject {
    Q_OBJECT

private slots:
    void createGroupAndArchiveIt() {
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString lib = f.writeProject("dev/Lib/Lib.vbp", "Lib", "1.0.3");
        const QString group = f.path("dev/Acc/Acc.vbpgroup"), backups = f.path("backups");
        QDir().mkpath(backups);
        MainWindow& window = f.open();
        f.choose(acc); // a single project selected before: the editor's group replaces it
        QVERIFY(WithEditor(window, [&](FormGroup& editor) {
            f.ui.queueFileChoice(group);
            f.ui.queueMessageBoxAnswer(MsgBox::Yes);
            editor.dbPathDialog()->click();
            editor.text1(1)->setText("Accounting suite");
            f.ui.queueFileChoice(acc);
            editor.savePathDialog()->click();
            f.ui.queueFolderChoice(backups);
            editor.setPathDialog()->click();
            f.ui.queueFileChoice(lib);
            editor.btnPlus()->click();
            editor.btnGroup()->click();
        }));
        QVERIFY(window.gIsGroup());
        QCOMPARE(Shown(window),
                 group + ",Accounting suite," + backups + "/Sources.Backup/," + acc + "," + lib);
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        // the editor has just closed, so the window may not be active again yet: its focus child counts
        QCOMPARE(window.focusWidget(), window.text1(3));
        QVERIFY(window.findChildren<FormGroup*>().isEmpty());
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        const QString run = QString("Accounting suite/") + MainWindowFixture::kTimeStamp + "/";
        QCOMPARE(f.filesBelow(backups + "/Sources.Backup"),
                 (QStringList{run + "Acc 2.1.7.20250717095823.zip", run + "Lib 1.0.3.20250717095823.zip"}));
    }

    void returnInEachState_data() {
        QTest::addColumn<QString>("state");
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
        const QString group = f.writeGroup("Acc.vbpgroup", "Suite", {acc, "[PATH]/srv/bk/"});
        MainWindow& window = f.open();
        if (state != "none")
            f.choose(state == "project" ? acc : group);
        window.text1(3)->setText("s3cret");
        const QString pathBefore = window.text1(0)->text();
        if (state == "deleted group")
            QVERIFY(QFile::remove(group));
        if (state == "group") // changed on disk since: what is shown afterwards proves a new reading
            f.writeGroup("Acc.vbpgroup", "Suite, read again", {acc, "[PATH]/srv/bk/"});
        bool panelWhileOpen = true;
        QVERIFY(WithEditor(window, [&](FormGroup& editor) {
            panelWhileOpen = !window.frame3D3()->isHidden();
            editor.btnAnnuler()->click();
        }));
        QVERIFY(!panelWhileOpen);
        QCOMPARE(!window.frame3D3()->isHidden(), panelAfter);
        QCOMPARE(window.text1(0)->text() + "|" + window.text1(3)->text(), pathBefore + "|s3cret");
        if (panelAfter)
            QCOMPARE(Shown(window), group + ",Suite, read again,/srv/bk/," + acc);
        QVERIFY(f.ui.messageBoxes.isEmpty());
    }

    // a failed check and a Return leave nothing behind for the next opening
    void freshTranslatedEditorEachOpening() {
        MainWindowFixture f;
        f.setup.lcid = 1036;
        f.write("program/Lng/fra.lng", "[frmGroup]\r\nForm=Groupe de projets\r\nLabel13=Nom du groupe :\r\n"
                                       "[Strings]\r\nString5=Saisissez le nom !\r\nString6=###END###\r\n");
        MainWindow& window = f.open();
        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            QVERIFY(WithEditor(window, [&](FormGroup& editor) {
                seen << editor.windowTitle() + "|" + editor.label1(3)->text() + "|" +
                            editor.text1(0)->text() + "|" + editor.text1(1)->text();
                editor.text1(0)->setText("/typed.vbpgroup");
                editor.text1(1)->clear();
                editor.btnGroup()->click();
                editor.text1(1)->setText("typed, then Return");
                editor.btnAnnuler()->click();
            }));
        }
        QCOMPARE(seen, QStringList(2, "Groupe de projets|Nom du groupe :||"));
        QCOMPARE(f.ui.messageBoxes.size(), 2);
        QCOMPARE(f.ui.messageBoxes[0].text, QString("Saisissez le nom !"));
        QVERIFY(window.frame3D3()->isHidden());
    }
};

QTEST_MAIN(TestGroupButton)
#include "test_group_button.moc"
