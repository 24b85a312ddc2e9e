// window translation from language files, the control lookup it rests on, and the start-up command line
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "app/app_startup.h"
#include "app/control_lookup.h"
#include "app/form_main.h"
#include "app/frame3d.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "app/translate_form.h"

using namespace corvane;

namespace {

// a language file as translators write them: ANSI bytes, CR LF line ends
QString WriteLanguageFile(const QTemporaryDir& folder, const QByteArray& bytes) {
    const QString path = folder.filePath("fra.lng");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

const QByteArray kFrench = "[Setup]\r\nlng=fr\r\n"
                           "[frmGroup]\r\nForm=Groupe\r\nLabel14=Chemin\r\n"
                           "[FRMMAIN]\r\n"
                           "Form=Archiveur de sources Visual Basic 6\r\n"
                           "Label14=Hors tableau\r\n"
                           "Text10=Pas de titre\r\n"
                           "Text10ToolTipText=Chemin du projet\r\n"
                           "Label11=Nom du fichier :\r\n"
                           "Btn_Valider=&Archiver|maintenant\r\n"
                           "Frame3D2=\r\n"
                           "Image14ToolTipText=D\xe9\x63ompresser \x80\r\n"
                           "DBpathDialog0=Choisir un fichier\r\n"
                           "DBpathDialog0ToolTipText=Projet ou groupe\r\n"
                           "SavepathDialog=Sans indice\r\n"
                           "List1=Pas de titre\r\n"
                           "AlphaImgCtl2=Pas de titre\r\n"
                           "lblOR=OU\r\n"
                           "Timer1=Minuterie\r\n"
                           "Timer1ToolTipText=Minuterie\r\n";

} // namespace

class TestTranslateForm : public QObject {
    Q_OBJECT

private slots:
    void appliesLanguageFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("label caption") << "Label1" << 1 << "Nom du fichier :"
                                       << "";
        QTest::newRow("text box: tool tip, no caption") << "Text1" << 0 << ""
                                                        << "Chemin du projet";
        QTest::newRow("bar stays in a caption") << "Btn_Valider" << -1 << "&Archiver|maintenant"
                                                << "";
        QTest::newRow("empty value keeps built-in")
            << "Frame3D2" << -1 << "Corvane, free VB6 backup tool \u00A9 2024-"
            << "";
        QTest::newRow("ANSI tool tip") << "Image1" << 4 << ""
                                       << "D\u00E9compresser \u20AC";
        QTest::newRow("array member") << "DBpathDialog" << 0 << "Choisir un fichier"
                                      << "Projet ou groupe";
        QTest::newRow("key without index misses array member") << "SavepathDialog" << 1 << "..."
                                                               << "";
        QTest::newRow("other label") << "lblOR" << -1 << "OU"
                                     << "";
        QTest::newRow("untranslated label") << "Label1" << 3 << "Password :"
                                            << "";
    }

    void appliesLanguageFile() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        QTemporaryDir folder;
        const QString file = WriteLanguageFile(folder, kFrench);
        QVERIFY(!file.isEmpty());

        FormMain window;
        TranslateForm(&window, file);
        auto* control = findControlAs<QWidget>(&window, name, index);
        QVERIFY(control);
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), caption);
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            QCOMPARE(edit->text(), caption);
        else
            QCOMPARE(control->property("Caption").toString(), caption);
        QCOMPARE(control->toolTip(), toolTip);
    }

    void titleAndSectionByWindowName() {
        QTemporaryDir folder;
        const QString file = WriteLanguageFile(folder, kFrench);
        FormMain window;
        TranslateForm(&window, file);
        QCOMPARE(window.windowTitle(), QString("Archiveur de sources Visual Basic 6"));
        // the key of frmGroup's fifth label in this window's section names no control here
        for (int i = 0; i < 4; ++i)
            QVERIFY(window.label1(i)->text() != "Hors tableau");
        // nothing is painted for controls without a caption
        QVERIFY(window.alphaImgCtl2()->property("Caption").isNull());
    }

    void missingFileKeepsEverything() {
        FormMain translated;
        FormMain designed;
        TranslateForm(&translated, QDir::temp().filePath("no-such-folder/xyz.lng"));
        QCOMPARE(translated.windowTitle(), designed.windowTitle());
        const QList<QObject*> before = WindowControls(&designed);
        const QList<QObject*> after = WindowControls(&translated);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            for (const char* property : {"Caption", "text", "toolTip"})
                QCOMPARE(after[i]->property(property), before[i]->property(property));
        }
    }

    void readsEachKeyOnceInOneSection() {
        FormMain window;
        QStringList keys;
        QSet<QString> sections;
        TranslateForm(&window, "/x/eng.lng",
                      [&](const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& file) {
                          sections << QString::fromStdString(section);
                          keys << QString::fromStdString(key);
                          if (!defaultValue.empty() || file != "/x/eng.lng")
                              return std::string("wrong call");
                          return std::string();
                      });
        QCOMPARE(sections, QSet<QString>{"frmMain"});
        QCOMPARE(keys.first(), QString("Form"));
        const QStringList expected = {
            "Text10",       "Text10ToolTipText",      "Label11", "Label11ToolTipText",
            "Image14",      "SavepathDialog1",        "Timer1",  "lblLabel4ToolTipText",
            "AlphaImgCtl2", "AlphaImgCtl2ToolTipText"};
        for (const QString& key : expected)
            QCOMPARE(keys.count(key), 1);
        QCOMPARE(keys.size(), 1 + 2 * WindowControls(&window).size());
        QCOMPARE(window.windowTitle(), QString("Visual Basic 6 Sources Archiver"));
    }

    void lookup_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("suffix"); // "-" when no such control
        QTest::newRow("array member") << "Text1" << 3 << "3";
        QTest::newRow("array member zero") << "DBpathDialog" << 0 << "0";
        QTest::newRow("array needs its index") << "Text1" << -1 << "-";
        QTest::newRow("index out of array") << "Text1" << 4 << "-";
        QTest::newRow("single control") << "Label2" << -1 << "";
        QTest::newRow("single control given an index") << "Label2" << 0 << "-";
        QTest::newRow("timer") << "Timer1" << -1 << "";
        QTest::newRow("name is case-sensitive") << "text1" << 0 << "-";
        QTest::newRow("Qt's own parts are no controls") << "qt_scrollarea_viewport" << -1 << "-";
    }

    void lookup() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, suffix);
        FormMain window;
        QObject* control = findControl(&window, name, index);
        if (suffix == "-") {
            QVERIFY(!control);
            return;
        }
        QVERIFY(control);
        QCOMPARE(control->objectName(), name);
        QCOMPARE(ControlIndexSuffix(control), suffix);
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("screenshot");
        QTest::newRow("none") << QStringList{} << ""
                              << "";
        QTest::newRow("quoted path") << QStringList{"\"C:\\Dev\\Acc\\Acc.vbpgroup\""}
                                     << "C:\\Dev\\Acc\\Acc.vbpgroup"
                                     << "";
        QTest::newRow("several arguments kept whole") << QStringList{"a b", "\"c\"", "d"} << "a b c d"
                                                      << "";
        QTest::newRow("marks inside") << QStringList{"x\"\"y\""} << "xy"
                                      << "";
        QTest::newRow("spaces kept") << QStringList{" a ", ""} << " a  "
                                     << "";
        QTest::newRow("screenshot taken out")
            << QStringList{"p.vbp", "--screenshot", "s.png", "--lang", "fra"} << "p.vbp"
            << "s.png";
        QTest::newRow("screenshot options anywhere")
            << QStringList{"--state", "selected", "--screenshot", "o.png", "--lang", "deu", "g"} << "g"
            << "o.png";
        QTest::newRow("screenshot without file stays") << QStringList{"--screenshot"} << "--screenshot"
                                                       << "";
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, commandLine);
        QFETCH(QString, screenshot);
        const AppStartup startup = ReadStartup(arguments);
        QCOMPARE(startup.gCommandLine, commandLine);
        QCOMPARE(startup.screenshot.has_value(), !screenshot.isEmpty());
        if (startup.screenshot)
            QCOMPARE(startup.screenshot->file, screenshot);
    }

    void programVersion() {
        QCOMPARE(ProgramVersionText(), QString("Version " CORVANE_VERSION));
        QVERIFY(!ZipVersionText().isEmpty());
    }
};

QTEST_MAIN(TestTranslateForm)
#include "test_translate_form.moc"
