// the group editor: validation, list editing, file choices and saving
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/form_group.h"
#include "app/window_texts.h"
#include "core/locale/string_table.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

// one shown editor with its scripted services and the main window's path box
struct Editor {
    ScriptedServices ui;
    StringTable strings;
    QLineEdit mainPath{"/earlier.vbp"};
    FormGroup form{ui, strings, QString(), &mainPath};

    Editor(const QStringList& fields, const QStringList& linked) {
        for (int i = 0; i < 4; ++i)
            form.text1(i)->setText(fields.value(i));
        form.list1()->addItems(linked);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    // the four boxes, then the list
    QStringList state() const {
        QStringList all;
        for (int i = 0; i < 4; ++i)
            all << form.text1(i)->text();
        for (int row = 0; row < form.list1()->count(); ++row)
            all << form.list1()->item(row)->text();
        return all;
    }
    QString focused() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() + ControlIndexSuffix(focus) : QString();
    }
};

} // namespace

class TestFormGroup : public QObject {
    Q_OBJECT

private slots:
    // one warning each time, and the window stays with its fields so that they can be mended, nothing
    // handed back; saving (as the main window's tests do) is proven where it succeeds
    void refusedSaveKeepsTheFields_data() {
        QTest::addColumn<int>("empty");     // the first empty field, every later box empty too; 4: the list
        QTest::addColumn<QString>("focus"); // where the empty field is told, the focus goes
        QTest::newRow("file name") << 0 << "Text10";
        QTest::newRow("group name") << 1 << "Text11";
        QTest::newRow("main project") << 2 << "Text12";
        QTest::newRow("no linked project") << 4 << "btn_Plus";
        QTest::newRow("file not writable: named") << 5 << QString();
    }

    void refusedSaveKeepsTheFields() {
        QFETCH(int, empty);
        QTemporaryDir folder;
        QStringList fields{folder.filePath("missing/G.vbpgroup"), "Acc", "/p/Acc.vbp", "/b/"};
        for (int i = empty; i < 3; ++i)
            fields[i].clear();
        const QStringList linked = empty == 5 ? QStringList{"/p/Lib.vbp"} : QStringList();
        Editor editor(fields, linked);
        editor.form.btnGroup()->click();
        QCOMPARE(editor.state(), fields + linked);
        QVERIFY(editor.form.isVisible() && editor.mainPath.text() == "/earlier.vbp");
        QCOMPARE(editor.ui.messageBoxes.size(), 1);
        QCOMPARE(editor.ui.messageBoxes[0].style, MsgBox::OkOnly + MsgBox::Exclamation);
        if (empty == 5)
            QVERIFY(editor.ui.messageBoxes[0].text.contains(fields[0]));
        else
            QTEST(editor.focused(), "focus");
    }

    // only a selected project goes, after a Yes; none stays selected, so a second click asks nothing (an
    // unscripted question fails the test)
    void removal() {
        const QStringList all{"/A.vbp", "/B.vbp", "/C.vbp"};
        for (const auto& [selected, answer, left] :
             {std::tuple(-1, 0, all), std::tuple(1, +MsgBox::Yes, QStringList{"/A.vbp", "/C.vbp"}),
              std::tuple(0, +MsgBox::No, all)}) {
            Editor editor({}, all);
            editor.form.list1()->setCurrentRow(selected);
            if (answer)
                editor.ui.queueMessageBoxAnswer(answer);
            editor.form.btnMoins()->click();
            editor.form.btnMoins()->click();
            QCOMPARE(editor.state().mid(4), left);
            QVERIFY(!answer || editor.ui.messageBoxes[0].text.endsWith("\r\n" + all[selected]));
        }
    }

    // "$" for the folder, then the focus after a Yes: a new file is asked about, a Yes empties the fields
    // under its name (a ".vbg" one becoming this program's) and a No keeps them; a Visual Basic group is
    // read, to be saved under this program's extension; choosing writes nothing
    void chooseGroupFile() {
        const auto choose = [](const QByteArray& content, const QString& name, int answer) {
            QTemporaryDir folder;
            if (!content.isEmpty())
                WriteBytes(folder.filePath(name), content);
            Editor editor({"/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/bk/"}, {"/old/Lib.vbp"});
            editor.ui.queueFileChoice(folder.filePath(name));
            if (answer)
                editor.ui.queueMessageBoxAnswer(answer);
            editor.form.dbPathDialog()->click();
            QString shown = editor.state().join(',') + (answer == MsgBox::Yes ? " " + editor.focused() : "");
            if (QDir(folder.path()).count() != (content.isEmpty() ? 2u : 3u))
                shown += " and a file written";
            return shown.replace(folder.path(), "$");
        };
        QCOMPARE(choose("", "new.vbpgroup", MsgBox::No),
                 QString("/old.vbpgroup,Typed,/old/Old.vbp,/old/bk/,/old/Lib.vbp"));
        QCOMPARE(choose("", "mine.vbg", MsgBox::Yes), QString("$/mine.vbpgroup,,, Text11"));
        QCOMPARE(choose("G\r\n/p/A.vbp\r\n[PATH]/b/\r\n/p/L.vbp\r\n", "G.vbpgroup", 0),
                 QString("$/G.vbpgroup,G,/p/A.vbp,/b/,/p/L.vbp"));
        QCOMPARE(choose("VBGROUP 5.0\r\nProject=lib/Lib.vbp\r\nStartupProject=Acc.vbp\r\n", "Suite.VBG", 0),
                 QString("$/Suite.vbpgroup,Suite,$/Acc.vbp,$/Sources.Backup/,$/lib/Lib.vbp"));
    }
};

QTEST_MAIN(TestFormGroup)
#include "test_form_group.moc"
