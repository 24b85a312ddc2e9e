// what a backup of the selection would miss, shown as soon as it is selected rather than when Archive fails
#include <QLabel>

#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/window_texts.h"

namespace corvane {

// Label2 says how many, with the list a click away; it is the line above the bars, which are hidden
// until a run starts.
void MainWindow::showMissingFiles(std::vector<ProjectCheck> checks) {
    m_missing = std::move(checks);
    const std::size_t problems = CountProblems(m_missing);
    if (problems == 0) {
        label2()->hide();
        return;
    }
    label2()->setTextFormat(Qt::RichText);
    label2()->setText(
        QStringLiteral("<span style=\"color:#b00000\">%1</span> <a href=\"list\">%2</a>")
            .arg(message("MissingCount", QStringLiteral("Files the backup would miss: %1.")).arg(problems)
                     .toHtmlEscaped(),
                 message("MissingShow", QStringLiteral("Show them")).toHtmlEscaped()));
    label2()->show();
}

void MainWindow::showMissingList() {
    QStringList lines;
    const TranslationFile language = translation();
    for (const ProjectCheck& check : m_missing) {
        const QString project = PathText(check.project);
        if (check.unreadable)
            lines << project + QStringLiteral(": ") + project + QStringLiteral(" \u2014 ") +
                         MessageText(check.unreadable->message);
        for (const MissingFile& file : check.missing)
            lines << project + QStringLiteral(":%1: ").arg(file.line) + QString::fromStdString(file.reference) +
                         QStringLiteral(" \u2014 ") + ReasonText(language, file.systemError, file.reason);
    }
    m_services.messageBox(this, lines.join(QStringLiteral("\r\n")), QStringLiteral("Corvane"), MsgBox::Exclamation);
}

} // namespace corvane
