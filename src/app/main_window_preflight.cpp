// what a backup of the selection would miss, shown as soon as it is selected rather than when Archive fails
#include <QLabel>

#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/window_texts.h"

namespace corvane {

std::vector<ProjectMissing> FindMissingInProjects(const std::vector<std::string>& projects, const DriveMap& driveMap,
                                                  CodePage codePage) {
    std::vector<ProjectMissing> missing;
    for (const std::string& project : projects) {
        const Result<std::vector<MissingFile>> found = FindMissingFiles(project, driveMap, codePage);
        if (!found) {
            missing.push_back({project, MissingFile{0, project, project, found.error()}});
            continue;
        }
        for (const MissingFile& file : *found)
            missing.push_back({project, file});
    }
    return missing;
}

// Label2 says how many, with the list a click away; it is the line above the bars, which are hidden
// until a run starts.
void MainWindow::showMissingFiles(std::vector<ProjectMissing> missing) {
    m_missing = std::move(missing);
    if (m_missing.empty()) {
        label2()->hide();
        return;
    }
    label2()->setTextFormat(Qt::RichText);
    label2()->setText(
        QStringLiteral("<span style=\"color:#b00000\">%1</span> <a href=\"list\">%2</a>")
            .arg(message("MissingCount", QStringLiteral("Files the backup would miss: %1.")).arg(m_missing.size())
                     .toHtmlEscaped(),
                 message("MissingShow", QStringLiteral("Show them")).toHtmlEscaped()));
    label2()->show();
}

void MainWindow::showMissingList() {
    QStringList lines;
    for (const ProjectMissing& entry : m_missing)
        lines << PathText(entry.project) + (entry.file.line > 0 ? QStringLiteral(":%1").arg(entry.file.line) : QString()) +
                     QStringLiteral(": ") + QString::fromStdString(entry.file.reference) + QStringLiteral(" \u2014 ") +
                     MessageText(entry.file.reason);
    m_services.messageBox(this, lines.join(QStringLiteral("\r\n")), QStringLiteral("Corvane"), MsgBox::Exclamation);
}

} // namespace corvane
