// the main window's form alone: its clicks and its password eye
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

} // namespace

class TestFormMain : public QObject {
    Q_OBJECT

private slots:
    // each control reaches its own command and the logos none; a click counts only when the press and the
    // release are both on the control (dragging off cancels) and only with the left button; Quit closes
    // the window and ends the program
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
            const QPoint centre = control->rect().center(); // the foot frame's: its caption, off its pictures
            for (const QPoint release : {centre + QPoint(2, 1), QPoint(-30, -30)}) {
                QTest::mousePress(control, Qt::LeftButton, {}, centre);
                QTest::mouseRelease(control, Qt::LeftButton, {}, release);
            }
            QTest::mouseClick(control, Qt::RightButton, {}, centre);
            window.calls << "|";
        }
        QCOMPARE(window.calls.join(""), QString("|version|help||unzip|DBpathDialog|SavepathDialog|"
                                                "PelmButton1|PelmOpenThe|Frame3D2|Btn_Valider|"));
        QCOMPARE(window.ends, 0);
        QTest::mouseClick(window.btnAnnuler(), Qt::LeftButton); // at its centre
        QVERIFY(!window.isVisible() && window.ends == 1 && window.calls.size() == 20);
    }

    // the pictures that are commands are reached with Tab and run with Space or Return; the logos are not
    void picturesReachableFromTheKeyboard() {
        ProbeForm window;
        window.frame3D3()->show();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        window.dbPathDialog()->setFocus();
        QSet<QWidget*> reached;
        for (int step = 0; step < 40; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget());
        }
        QVERIFY(reached.contains(window.image1(4)) && reached.contains(window.image1(2)) &&
                reached.contains(window.alphaImgCtl2()));
        QVERIFY(!reached.contains(window.image1(0)) && !reached.contains(window.image1(3)));
        QTest::keyClick(window.image1(4), Qt::Key_Space);
        QTest::keyClick(window.image1(2), Qt::Key_Return);
        QTest::keyClick(window.image1(3), Qt::Key_Space);
        QCOMPARE(window.calls, (QStringList{"unzip", "help"}));
    }

    void passwordToggleTwice() {
        FormMain window;
        window.text1(3)->setText("s3cr\u20ACt");
        const QImage masked = window.alphaImgCtl2()->picture().toImage();
        for (const bool shown : {true, false}) {
            QTest::mouseClick(window.alphaImgCtl2(), Qt::LeftButton);
            QCOMPARE(window.text1(3)->displayText() == "s3cr\u20ACt", shown);
            QCOMPARE(window.alphaImgCtl2()->picture().toImage() == masked, !shown);
        }
    }
};

QTEST_MAIN(TestFormMain)
#include "test_form_main.moc"
