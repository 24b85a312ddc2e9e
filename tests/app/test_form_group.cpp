// the group editor: validation, list editing, file choices and saving
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/form_group.h"
#include "app/window_texts.h"
#include "core/locale/string_table.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

const QString kQuestion = QString::number(MsgBox::YesNo + MsgBox::Question);
const QString kWarning = QString::number(MsgBox::OkOnly + MsgBox::Exclamation);
const QStringList kFilled{"/g.vbpgroup", "Acc", "/p/Acc.vbp", "/b/"};

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
    // each message box shown as "text|title|style ", then the fields as "a,b,c"
    QString shown() const {
        QString all;
        for (const auto& box : ui.messageBoxes)
            all += box.text + "|" + box.title + "|" + QString::number(box.style) + " ";
        return all + state().join(',');
    }
};

} // namespace

class TestFormGroup : public QObject {
    Q_OBJECT

private slots:
    // the first empty field (4: the list) is told, with every later one empty too; the focus goes there
    void validationInOrder() {
        const auto validate = [](int empty) {
            QStringList fields = kFilled;
            for (int i = empty; i < 3; ++i)
                fields[i].clear();
            Editor editor(fields, {});
            editor.form.btnGroup()->click();
            const bool kept = editor.form.isVisible() && editor.mainPath.text() == "/earlier.vbp";
            return editor.shown() + " " + editor.focused() + (kept ? "" : " closed");
        };
        const QString tail = "|Input error|" + kWarning + " ";
        QCOMPARE(validate(0), "Please select the project group file name !" + tail + ",,,/b/ Text10");
        QCOMPARE(validate(1), "Please enter the project group name !" + tail + "/g.vbpgroup,,,/b/ Text11");
        QCOMPARE(validate(2), "Please choose the main project for the project group !" + tail +
                                  "/g.vbpgroup,Acc,,/b/ Text12");
        QCOMPARE(validate(4),
                 "A project group must contain multiple projects !" + tail + kFilled.join(',') + " btn_Plus");
    }

    void removal() {
        const auto remove = [](int selected, int answer) {
            Editor editor({}, {"/A.vbp", "/B.vbp", "/C.vbp"});
            editor.form.list1()->setCurrentRow(selected);
            if (answer)
                editor.ui.queueMessageBoxAnswer(answer);
            editor.form.btnMoins()->click();
            editor.form.btnMoins()->click(); // nothing is selected afterwards, so this asks nothing
            return editor.shown();
        };
        const QString question =
            "Are you sure you want to delete the project :\r\n%1|Deleting...|" + kQuestion;
        QCOMPARE(remove(-1, 0), QString(",,,,/A.vbp,/B.vbp,/C.vbp"));
        QCOMPARE(remove(1, MsgBox::Yes), question.arg("/B.vbp") + " ,,,,/A.vbp,/C.vbp");
        QCOMPARE(remove(0, MsgBox::No), question.arg("/A.vbp") + " ,,,,/A.vbp,/B.vbp,/C.vbp");
    }

    // what is shown after a choice ("$" for the folder), the focus after a Yes; choosing writes nothing
    void chooseGroupFile() {
        const auto choose = [](const QByteArray& content, const QString& name, int answer) {
            QTemporaryDir folder;
            const QString path = folder.filePath(name);
            if (!content.isEmpty())
                WriteBytes(path, content);
            Editor editor({"/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/bk/"}, {"/old/Lib.vbp"});
            editor.ui.queueFileChoice(path);
            if (answer)
                editor.ui.queueMessageBoxAnswer(answer);
            editor.form.dbPathDialog()->click();
            QString shown = editor.shown() + (answer == MsgBox::Yes ? " " + editor.focused() : "");
            if (QDir(folder.path()).count() != (content.isEmpty() ? 2u : 3u))
                shown += " and a file written";
            return shown.replace(folder.path(), "$");
        };
        const QString question =
            "$/%1\r\nThis file doesn't exist. Do you want to create it ? |Create a project group|" +
            kQuestion + " ";
        QCOMPARE(choose("", "new.vbpgroup", MsgBox::No),
                 question.arg("new.vbpgroup") + "/old.vbpgroup,Typed,/old/Old.vbp,/old/bk/,/old/Lib.vbp");
        QCOMPARE(choose("", "mine.vbg", MsgBox::Yes),
                 question.arg("mine.vbpgroup") + "$/mine.vbpgroup,,, Text11");
        // a Visual Basic group is read, and saved under this program's extension
        QCOMPARE(choose("VBGROUP 5.0\r\nProject=lib/Lib.vbp\r\nStartupProject=Acc.vbp\r\n", "Suite.VBG", 0),
                 QString("$/Suite.vbpgroup,Suite,$/Acc.vbp,$/Sources.Backup/,$/lib/Lib.vbp"));
    }

    // saved: closed, accepted and the path handed back; a file that cannot be written keeps the window
    // open with its fields after a warning naming the file, so that another one can be chosen
    void save() {
        const auto save = [](const QString& name, const QString& groupName) {
            QTemporaryDir folder;
            const QString path = folder.filePath(name);
            if (!name.contains('/'))
                WriteBytes(path, "an older, longer group file\r\nwith\r\nmore\r\nlines\r\n");
            const QStringList fields{path,   groupName,      "/dev/Acc.vbp",
                                     "/bk/", "/dev/Lib.vbp", "/dev/Caf\u00E9.vbp"};
            Editor editor(fields, fields.mid(4));
            editor.form.btnGroup()->click();
            const auto& boxes = editor.ui.messageBoxes;
            QFile written(path);
            const bool saved = editor.form.result() == QDialog::Accepted && !editor.form.isVisible() &&
                               editor.mainPath.text() == path && boxes.isEmpty();
            const bool kept = editor.form.isVisible() && editor.mainPath.text() == "/earlier.vbp" &&
                              boxes.size() == 1 && boxes[0].text.contains(path) &&
                              boxes[0].title == "Corvane" && boxes[0].style == kWarning.toInt();
            return QString(editor.state() != fields ? "changed "
                           : saved                  ? "saved "
                           : kept                   ? "kept "
                                                    : "neither ") +
                   (written.open(QIODevice::ReadOnly) ? QString::fromUtf8(written.readAll()) : "<missing>");
        };
        const QString rest = "\r\n/dev/Acc.vbp\r\n[PATH]/bk/\r\n/dev/Lib.vbp\r\n/dev/Caf\u00E9.vbp\r\n";
        QCOMPARE(save("Acc.vbpgroup", "Accounting suite"),
                 "saved Accounting suite" + rest); // over a longer file
        QCOMPARE(save("missing/Acc.vbpgroup", "Acc"), QString("kept <missing>"));
    }
};

QTEST_MAIN(TestFormGroup)
#include "test_form_group.moc"
