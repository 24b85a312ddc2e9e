// the stand-in controls: what the windows rely on of each
#include <QSignalSpy>
#include <QtTest>

#include "app/frame3d.h"
#include "app/icons.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "app/vista_prog.h"

using namespace corvane;

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void progressClamps_data() {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<double>("fraction");
        QTest::newRow("inside") << 4 << 1 << 1 << 0.25;
        QTest::newRow("above") << 3 << 7 << 3 << 1.0;
        QTest::newRow("below") << 10 << -2 << 0 << 0.0;
        QTest::newRow("empty group") << 0 << 0 << 0 << 0.0;
        QTest::newRow("negative maximum") << -5 << 1 << 0 << 0.0;
    }

    void progressClamps() {
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, expected);
        VistaProg bar;
        bar.setMaximum(maximum);
        bar.setValue(value);
        QCOMPARE(bar.value(), expected);
        QTEST(bar.fraction(), "fraction");
        bar.setMaximum(maximum / 2); // a smaller maximum pulls the value down with it
        QCOMPARE(bar.value(), qMin(expected, qMax(0, maximum / 2)));
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

QTEST_MAIN(TestControls)
#include "test_controls.moc"
