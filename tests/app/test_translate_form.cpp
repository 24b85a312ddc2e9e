// window translation from language files, the control lookup it rests on, and the start-up command line
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "app/app_startup.h"
#include "app/control_lookup.h"
#include "app/form_main.h"
#include "app/image_control.h"
#include "app/translate_form.h"

using namespace corvane;

class TestTranslateForm : public QObject {
    Q_OBJECT

private slots:
    void appliesLanguageFile() {
        // as translators write them: ANSI bytes, CR LF line ends, the section name in any case
        const QByteArray french =
            "[frmGroup]\r\nForm=Groupe\r\n[FRMMAIN]\r\nForm=Archiveur de sources\r\n"
            "Label14=Hors tableau\r\nText10=Pas de titre\r\nText10ToolTipText=Chemin du projet\r\n"
            "Label11=Nom du fichier :\r\nBtn_Valider=&Archiver|maintenant\r\nFrame3D2=\r\n"
            "Image14ToolTipText=D\xe9\x63ompresser \x80\r\nDBpathDialog0=Choisir un fichier\r\n"
            "DBpathDialog0ToolTipText=Projet ou groupe\r\nSavepathDialog=Sans indice\r\n"
            "AlphaImgCtl2=Pas de titre\r\nTimer1=Minuterie\r\nTimer1ToolTipText=Minuterie\r\n";
        QTemporaryDir folder;
        QFile file(folder.filePath("fra.lng"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(french) == french.size());
        file.close();
        FormMain window;
        TranslateForm(&window, file.fileName());
        QCOMPARE(window.windowTitle(), QString("Archiveur de sources"));
        // a label's text, a text box's text or a button's caption, then the tool tip
        const auto shown = [&](const char* name, int index) {
            QObject* control = findControl(&window, name, index);
            if (!control)
                return QString("no control");
            const char* text =
                qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control) ? "text" : "Caption";
            return control->property(text).toString() + "|" + control->property("toolTip").toString();
        };
        QCOMPARE(shown("Label1", 1), QString("Nom du fichier :|"));
        QCOMPARE(shown("Text1", 0), QString("|Chemin du projet")); // a text box takes no caption
        QCOMPARE(shown("Btn_Valider", -1), QString("&Archiver|maintenant|"));
        QCOMPARE(shown("Frame3D2", -1),
                 QString("Corvane, free VB6 backup tool \u00A9 2024-|")); // empty: kept
        QCOMPARE(shown("Image1", 4), QString("|D\u00E9compresser \u20AC"));
        QCOMPARE(shown("DBpathDialog", 0), QString("Choisir un fichier|Projet ou groupe"));
        QCOMPARE(shown("SavepathDialog", 1), QString("...|")); // a key without the index misses it
        // a key of another window's fifth label names no control here
        for (int i = 0; i < 4; ++i)
            QVERIFY(window.label1(i)->text() != "Hors tableau");
        // a control without a caption gets no new property either
        QVERIFY(window.alphaImgCtl2()->property("Caption").isNull());
    }

    // with every key missing, as from a missing file, nothing changes
    void readsEachKeyOnceInOneSection() {
        FormMain window, designed;
        QStringList keys;
        QSet<QString> sections;
        TranslateForm(&window, "/x/eng.lng",
                      [&](const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& file) {
                          sections << QString::fromStdString(section);
                          keys << QString::fromStdString(key);
                          return std::string(defaultValue.empty() && file == "/x/eng.lng" ? ""
                                                                                          : "wrong call");
                      });
        QCOMPARE(sections, QSet<QString>{"frmMain"});
        QCOMPARE(keys.first(), QString("Form"));
        for (const char* key : {"Text10", "Label11ToolTipText", "SavepathDialog1", "Timer1", "AlphaImgCtl2"})
            QCOMPARE(keys.count(key), 1);
        QCOMPARE(keys.size(), 1 + 2 * WindowControls(&window).size());
        QCOMPARE(window.windowTitle(), designed.windowTitle());
        const QList<QObject*> before = WindowControls(&designed), after = WindowControls(&window);
        for (int i = 0; i < before.size(); ++i)
            for (const char* property : {"Caption", "text", "toolTip"})
                QCOMPARE(after[i]->property(property), before[i]->property(property));
    }

    void lookup() {
        FormMain window;
        const auto found = [&](const char* name, int index) {
            QObject* control = findControl(&window, name, index);
            return control ? control->objectName() + ControlIndexSuffix(control) : QString("-");
        };
        QCOMPARE(found("Text1", 3), QString("Text13"));
        QCOMPARE(found("DBpathDialog", 0), QString("DBpathDialog0"));
        QCOMPARE(found("Label2", -1), QString("Label2"));
        QCOMPARE(found("Text1", -1), QString("-"));
        QCOMPARE(found("Text1", 4), QString("-"));
        QCOMPARE(found("Label2", 0), QString("-"));
        QCOMPARE(found("qt_scrollarea_viewport", -1), QString("-")); // Qt's own parts are no controls
    }

    void commandLine() {
        // the command line, then the screenshot file or "-"
        const auto read = [](const QStringList& arguments) {
            const AppStartup startup = ReadStartup(arguments);
            return startup.gCommandLine + "|" + (startup.screenshot ? startup.screenshot->file : "-");
        };
        QCOMPARE(read({}), QString("|-"));
        QCOMPARE(read({"\"C:\\Dev\\Acc\\Acc.vbpgroup\""}), QString("C:\\Dev\\Acc\\Acc.vbpgroup|-"));
        // every mark goes, each argument stays whole
        QCOMPARE(read({"a b", "\"c\"", "x\"\"y\""}), QString("a b c xy|-"));
        QCOMPARE(read({" a ", ""}), QString(" a  |-"));
        QCOMPARE(read({"--state", "selected", "--screenshot", "o.png", "--lang", "deu", "g"}),
                 QString("g|o.png"));
        QCOMPARE(read({"--screenshot"}), QString("--screenshot|-")); // without a file it is no option
    }

    void programVersion() {
        QCOMPARE(ProgramVersionText(), QString("Version " CORVANE_VERSION));
        QVERIFY(!ZipVersionText().isEmpty());
    }
};

QTEST_MAIN(TestTranslateForm)
#include "test_translate_form.moc"
