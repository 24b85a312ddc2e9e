// what the window tells without a box: why a command cannot run now, which commands a job leaves usable,
// and Qt's own texts in the window's language
#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QTranslator>

#include "app/controls.h"
#include "app/jobs.h"
#include "app/main_window.h"
#include "app/ui_services.h"

namespace corvane {

// A beep alone is usually silent on a Linux desktop, so the reason is written where the eye goes next.
void MainWindow::refuse(const QString& why) {
    m_services.beep();
    lblStatus()->setText(why);
}

QString MainWindow::busyText() const {
    if (m_unzipProgress != nullptr)
        return message("StatusUnzipRunning", QStringLiteral("An archive is being unpacked."));
    if (runIsActive())
        return backupRunningText();
    return message("StatusReading", QStringLiteral("The chosen file is still being read."));
}

QString MainWindow::backupRunningText() const {
    return message("StatusBackupRunning", QStringLiteral("A backup is running: wait for it to end, or cancel it."));
}

void MainWindow::setJobRunning(bool running, const QString& status) {
    for (QWidget* command : std::initializer_list<QWidget*>{dbPathDialog(), pelmButton1(), savePathDialog(),
                                                             btnValider(), image1(4)})
        command->setEnabled(!running);
    // the password of the archive being written is fixed; typing on would suggest otherwise
    text1(3)->setReadOnly(running);
    lblStatus()->setText(status);
}

void MainWindow::swallowStrayClicks() {
    if (m_swallowingClicks)
        return;
    m_swallowingClicks = true;
    qApp->installEventFilter(this);
    QTimer::singleShot(QApplication::doubleClickInterval(), this, [this] {
        qApp->removeEventFilter(this);
        m_swallowingClicks = false;
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (m_swallowingClicks) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
            if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == this)
                return true;
            break;
        default:
            break;
        }
    }
    return FormMain::eventFilter(watched, event);
}

// Standard dialogs (file and folder choosers, the buttons of message boxes) come from Qt; its
// translations are a separate package, so a missing one leaves them English and nothing else.
void MainWindow::loadQtTranslation() {
    if (m_qtTranslator != nullptr) {
        QApplication::removeTranslator(m_qtTranslator);
        delete m_qtTranslator;
        m_qtTranslator = nullptr;
    }
    if (m_helpLanguage.isEmpty() || m_helpLanguage == QLatin1String("en"))
        return;
    auto* translator = new QTranslator(this);
    if (!translator->load(QLocale(m_helpLanguage), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QApplication::installTranslator(translator);
    m_qtTranslator = translator;
}

} // namespace corvane
