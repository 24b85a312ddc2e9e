// the main window's form alone: its controls, their states, its own handlers and its translation
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "app/app_startup.h"
#include "app/control_lookup.h"
#include "app/form_main.h"
#include "app/frame3d.h"
#include "app/icons.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "app/translate_form.h"
#include "app/vista_prog.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

// records which handlers ran instead of running the commands behind them
class ProbeForm : public FormMain {
public:
    QStringList calls;
    int ends = 0;

protected:
    void endProgram() override { ++ends; }
    void onDBpathDialogClick() override { calls << "DBpathDialog"; }
    void onSavepathDialogClick() override { calls << "SavepathDialog"; }
    void onPelmButton1Click() override { calls << "PelmButton1"; }
    void onPelmOpenTheClick() override { calls << "PelmOpenThe"; }
    void onFrame3D2Click() override { calls << "Frame3D2"; }
    void onBtnValiderClick() override { calls << "Btn_Valider"; }
    void showVersionBox() override { calls << "version"; }
    void openHelpPage() override { calls << "help"; }
    void runUnzip() override { calls << "unzip"; }
};

void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestFormMain : public QObject {
    Q_OBJECT

private slots:
    // the controls shown at first, by name and index; every control inside the window
    void initialState() {
        FormMain window;
        QStringList shown;
        for (QObject* object : WindowControls(&window)) {
            auto* control = qobject_cast<QWidget*>(object);
            if (control && control->isVisibleTo(&window))
                shown << control->objectName() + ControlIndexSuffix(control);
            if (control)
                QVERIFY(window.rect().contains(control->mapTo(&window, control->rect().bottomRight())));
        }
        QCOMPARE(shown.join(' '),
                 QString("Frame3D1 DBpathDialog0 lblOR PelmButton1 Label3 lblLabel4 Image12 Image13 "
                         "Image14 Frame3D2 Image10 Image11 Btn_Annuler Btn_Valider"));
        QCOMPARE(window.image1(2)->geometry(), QRect(888, 3, 44, 48)); // the designed box, cut to fit
        for (int i = 0; i < 4; ++i)
            QCOMPARE(window.text1(i)->isReadOnly(), i < 3);
    }

    // the project panel lies over the product name, the version and the logo while it is shown
    void panelCoversProductArea() {
        FormMain window;
        window.frame3D3()->show();
        for (QWidget* beneath : QList<QWidget*>{window.label3(), window.lblLabel4(), window.image1(3)})
            QVERIFY(
                window.frame3D3()->isAncestorOf(window.frame3D1()->childAt(beneath->geometry().center())));
    }

    void passwordToggleTwice() {
        FormMain window;
        const QString secret = "s3cr\u20ACt \"x\"";
        window.text1(3)->setText(secret);
        const QImage masked = window.alphaImgCtl2()->picture().toImage();
        ClickCentre(window.alphaImgCtl2());
        QVERIFY(window.text1(3)->displayText() == secret &&
                window.alphaImgCtl2()->picture().toImage() != masked);
        ClickCentre(window.alphaImgCtl2());
        QVERIFY(window.passwordMasked() && window.text1(3)->text() == secret);
        QCOMPARE(window.alphaImgCtl2()->picture().toImage(), masked);
    }

    // the logos do nothing; Quit closes the window and ends the program
    void clicksReachTheirCommands() {
        ProbeForm window;
        window.pelmOpenThe()->show();
        window.savePathDialog()->show();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (QWidget* control : QList<QWidget*>{
                 window.image1(0), window.image1(1), window.image1(2), window.image1(3), window.image1(4),
                 window.dbPathDialog(), window.savePathDialog(), window.pelmButton1(), window.pelmOpenThe(),
                 window.frame3D2(), window.btnValider()}) {
            // the panel would cover the last-folder button: it is shown only for the controls it holds
            window.frame3D3()->setVisible(window.frame3D3()->isAncestorOf(control));
            ClickCentre(control); // the foot frame's middle is its caption, clear of its two pictures
            window.calls << "|";
        }
        QCOMPARE(window.calls.join(""), QString("|version|help||unzip|DBpathDialog|SavepathDialog|"
                                                "PelmButton1|PelmOpenThe|Frame3D2|Btn_Valider|"));
        QCOMPARE(window.ends, 0);
        ClickCentre(window.btnAnnuler());
        QVERIFY(!window.isVisible());
        QCOMPARE(window.ends, 1);
        QCOMPARE(window.calls.size(), 20);
    }

    // the version texts replace what the language file gives; the year completes the translated range
    void versionTextsFollowTranslation() {
        QTemporaryDir folder;
        WriteBytes(folder.filePath("eng.lng"),
                   "[frmMain]\r\nlblLabel4=Ausgabe\r\nLabel3ToolTipText=Produkt\r\n"
                   "Frame3D2=Notice 1999-\r\nImage11ToolTipText=Zip\r\nLabel3=Corvane Pro\r\n");
        FormMain window;
        window.FormLoad({folder.filePath("eng.lng"), "Version 2.0.0", "1.7.3", 2025});
        const QString pad(4, ' ');
        QCOMPARE(window.lblLabel4()->text(), QString("Version 2.0.0"));
        QCOMPARE(window.label3()->text(), QString("Corvane Pro"));
        for (QWidget* versioned : QList<QWidget*>{window.label3(), window.image1(3), window.frame3D2()})
            QCOMPARE(versioned->toolTip(), pad + "Version 2.0.0" + pad);
        QCOMPARE(window.image1(1)->toolTip(), pad + "Toolbox version 1.7.3" + pad);
        QCOMPARE(window.frame3D2()->caption(), QString("Notice 1999-2025"));
    }
    void appliesLanguageFile() {
        // as translators write them: ANSI bytes, CR LF line ends, the section name in any case
        QTemporaryDir folder;
        WriteBytes(folder.filePath("fra.lng"),
                   "[frmGroup]\r\nForm=Groupe\r\n[FRMMAIN]\r\nForm=Archiveur de sources\r\n"
                   "Label14=Hors tableau\r\nText10=Pas de titre\r\nText10ToolTipText=Chemin du projet\r\n"
                   "Label11=Nom du fichier :\r\nBtn_Valider=&Archiver|maintenant\r\nFrame3D2=\r\n"
                   "Image14ToolTipText=D\xe9\x63ompresser \x80\r\nDBpathDialog0=Choisir un fichier\r\n"
                   "DBpathDialog0ToolTipText=Projet ou groupe\r\nSavepathDialog=Sans indice\r\n"
                   "AlphaImgCtl2=Pas de titre\r\nTimer1=Minuterie\r\nTimer1ToolTipText=Minuterie\r\n");
        FormMain window;
        TranslateForm(&window, folder.filePath("fra.lng"));
        QCOMPARE(window.windowTitle(), QString("Archiveur de sources"));
        // a label's text, a text box's text or a button's caption, then the tool tip
        const auto shown = [&](const char* name, int index) {
            QObject* control = findControl(&window, name, index);
            const bool texted = qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control);
            return control->property(texted ? "text" : "Caption").toString() + "|" +
                   control->property("toolTip").toString();
        };
        QCOMPARE(shown("Label1", 1), QString("Nom du fichier :|"));
        QCOMPARE(shown("Text1", 0), QString("|Chemin du projet")); // a text box takes no caption
        QCOMPARE(shown("Btn_Valider", -1), QString("&Archiver|maintenant|"));
        QCOMPARE(shown("Frame3D2", -1),
                 QString("Corvane, free VB6 backup tool \u00A9 2024-|")); // empty: kept
        QCOMPARE(shown("Image1", 4), QString("|D\u00E9compresser \u20AC"));
        QCOMPARE(shown("DBpathDialog", 0), QString("Choisir un fichier|Projet ou groupe"));
        QCOMPARE(shown("SavepathDialog", 1), QString("...|")); // a key without the index misses it
        for (int i = 0; i < 4; ++i) // another window's fifth label names no control here
            QVERIFY(window.label1(i)->text() != "Hors tableau");
        QVERIFY(window.alphaImgCtl2()->property("Caption").isNull()); // no new property either
    }

    // every control once, Qt's own parts not; with every key missing, as from a missing file, nothing changes
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
        QVERIFY(!keys.contains("qt_scrollarea_viewport"));
        QCOMPARE(window.windowTitle(), designed.windowTitle());
        const QList<QObject*> before = WindowControls(&designed), after = WindowControls(&window);
        for (int i = 0; i < before.size(); ++i)
            for (const char* property : {"Caption", "text", "toolTip"})
                QCOMPARE(after[i]->property(property), before[i]->property(property));
    }

    // every mark goes, each argument stays whole; "--screenshot" without a file is no option
    void commandLine() {
        const QStringList cases{"||-",
                                "\"C:\\Dev\\Acc\\Acc.vbpgroup\"|C:\\Dev\\Acc\\Acc.vbpgroup|-",
                                "a b;\"c\";x\"\"y|a b c xy|-",
                                " a ;| a  |-",
                                "--state;selected;--screenshot;o.png;--lang;deu;g|g|o.png",
                                "--screenshot|--screenshot|-"};
        for (const QString& row : cases) {
            const QString given = row.section('|', 0, 0);
            const AppStartup startup = ReadStartup(given.isEmpty() ? QStringList() : given.split(';'));
            QCOMPARE(startup.gCommandLine + "|" + (startup.screenshot ? startup.screenshot->file : "-"),
                     row.section('|', 1));
        }
    }

    // a smaller maximum afterwards pulls the value down with it
    void progressClamps() {
        const struct {
            int maximum, value, expected;
            double fraction;
        } rows[] = {{4, 1, 1, 0.25}, {3, 7, 3, 1.0}, {10, -2, 0, 0.0}, {0, 0, 0, 0.0}, {-5, 1, 0, 0.0}};
        for (const auto& row : rows) {
            VistaProg bar;
            bar.setMaximum(row.maximum);
            bar.setValue(row.value);
            QCOMPARE(bar.value(), row.expected);
            QCOMPARE(bar.fraction(), row.fraction);
            bar.setMaximum(row.maximum / 2);
            QCOMPARE(bar.value(), qMin(row.expected, qMax(0, row.maximum / 2)));
        }
    }

    // a click counts only when the press and the release are both on the control: dragging off cancels
    void clickNeedsReleaseInside() {
        QWidget window;
        auto* image = new ImageControl(&window);
        image->setPicture(HelpPicture(32));
        const QList<QWidget*> controls{new PelmButton(&window), new Frame3D(&window), image};
        window.resize(200, 140);
        for (int i = 0; i < controls.size(); ++i)
            controls[i]->setGeometry(10, 10 + 40 * i, 80, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (QWidget* control : controls) {
            QSignalSpy spy(control, SIGNAL(clicked()));
            for (const QPoint release : {QPoint(45, 16), QPoint(150, 20)}) {
                QTest::mousePress(control, Qt::LeftButton, {}, {40, 15});
                QTest::mouseRelease(control, Qt::LeftButton, {}, release);
            }
            QTest::mousePress(control, Qt::RightButton, {}, {40, 15});
            QTest::mouseRelease(control, Qt::RightButton, {}, {40, 15});
            QVERIFY2(spy.count() == 1, control->metaObject()->className());
        }
    }
};

QTEST_MAIN(TestFormMain)
#include "test_form_main.moc"
