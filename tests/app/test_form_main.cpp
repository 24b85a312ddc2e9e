// the main window: its controls as designed, its two states and the handlers that are its own
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "app/control_lookup.h"
#include "app/form_main.h"
#include "app/frame3d.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
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
    // the names and indices are what language files address
    void designedControls() {
        FormMain window;
        QCOMPARE(window.size(), QSize(932, 441));
        // by parent: "-" when hidden, name and index, "!" when read-only, "=" text or caption, "?" tool tip
        QMap<QString, QStringList> tree;
        for (QObject* object : WindowControls(&window)) {
            auto* control = qobject_cast<QWidget*>(object);
            if (!control)
                continue;
            const bool texted = qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control);
            QString entry =
                (control->isHidden() ? "-" : "") + control->objectName() + ControlIndexSuffix(control);
            if (auto* edit = qobject_cast<QLineEdit*>(control); edit && edit->isReadOnly())
                entry += "!";
            if (const QString caption = control->property(texted ? "text" : "Caption").toString();
                !caption.isEmpty())
                entry += "=" + caption;
            if (!control->toolTip().isEmpty())
                entry += "?" + control->toolTip();
            tree[control->parentWidget()->objectName()] << entry;
            tree[control->parentWidget()->objectName()].sort();
            QVERIFY(window.rect().contains(control->mapTo(&window, control->rect().bottomRight())));
        }
        QCOMPARE(tree.keys(), (QStringList{"Frame3D1", "Frame3D2", "Frame3D3", "frmMain"}));
        QCOMPARE(tree["frmMain"], (QStringList{"Btn_Annuler=&Quit", "Btn_Valider=&Archive", "Frame3D1",
                                               "Frame3D2=Corvane, free VB6 backup tool \u00A9 2024-"}));
        QCOMPARE(
            tree["Frame3D1"],
            (QStringList{"-Frame3D3", "-List1", "-PelmOpenThe=Open the last backup folder...",
                         "DBpathDialog0=Choose a project group or source file on disk", "Image12", "Image13",
                         "Image14?Unzip...", "Label3=Corvane", "PelmButton1=Create or modify a project group",
                         "lblLabel4=Version ", "lblOR=OR"}));
        QCOMPARE(tree["Frame3D2"], (QStringList{"Image10", "Image11"}));
        QCOMPARE(
            tree["Frame3D3"],
            (QStringList{"-Label2=Label2", "-SavepathDialog1=...", "-VistaProg1", "-VistaProg2",
                         "AlphaImgCtl2", "Label10=Visual Basic\u00A9 Project or Project Group to Back Up:",
                         "Label11=Backup file name :", "Label12=Save Path :", "Label13=Password :", "Text10!",
                         "Text11!", "Text12!", "Text13"}));
        QCOMPARE(window.frame3D3()->geometry(), QRect(77, 120, 767, 219));
        QCOMPARE(window.image1(2)->geometry(), QRect(888, 3, 44, 48)); // the designed box, cut to fit
    }

    // the project panel lies over the product name, the version and the logo while it is shown
    void panelCoversProductArea() {
        FormMain window;
        window.frame3D3()->show();
        for (QWidget* beneath : QList<QWidget*>{window.label3(), window.lblLabel4(), window.image1(3)})
            QVERIFY(
                window.frame3D3()->isAncestorOf(window.frame3D1()->childAt(beneath->geometry().center())));
    }

    void timer1HidesPanelOnce() {
        FormMain window;
        QTimer* timer = findControlAs<QTimer>(&window, "Timer1");
        QVERIFY(timer && timer->interval() == 3000 && timer->isSingleShot() && !timer->isActive());
        window.frame3D3()->show();
        timer->setInterval(30);
        timer->start();
        QTRY_VERIFY(window.frame3D3()->isHidden());
        QVERIFY(window.pelmOpenThe()->property1());
        QVERIFY(!timer->isActive());
    }

    void passwordToggleTwice() {
        FormMain window;
        const QString secret = "s3cr\u20ACt \"x\"";
        window.text1(3)->setText(secret);
        const QImage masked = window.alphaImgCtl2()->picture().toImage();
        ClickCentre(window.alphaImgCtl2());
        QCOMPARE(window.text1(3)->displayText(), secret);
        QVERIFY(window.alphaImgCtl2()->picture().toImage() != masked);
        ClickCentre(window.alphaImgCtl2());
        QVERIFY(window.passwordMasked() && window.text1(3)->text() == secret);
        QCOMPARE(window.alphaImgCtl2()->picture().toImage(), masked);
    }

    // the "..." button goes when the path box is emptied, whichever box changed, and never comes back
    void savePathButtonFollowsPath() {
        const auto shownAfter = [](const QString& path, bool shown, int changed, const QString& text) {
            FormMain window;
            for (int i = 0; i < 4; ++i)
                window.text1(i)->setText(i == 0 ? path : QString("old"));
            window.savePathDialog()->setVisible(shown);
            window.text1(changed)->setText(text);
            return !window.savePathDialog()->isHidden();
        };
        QVERIFY(!shownAfter("C:\\a.vbp", true, 0, ""));
        QVERIFY(shownAfter("C:\\a.vbp", true, 2, "D:\\"));
        QVERIFY(!shownAfter("", true, 3, "x"));
        QVERIFY(!shownAfter("C:\\a.vbp", false, 0, "C:\\b.vbp"));
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
};

QTEST_MAIN(TestFormMain)
#include "test_form_main.moc"
