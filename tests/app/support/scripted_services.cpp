// scripted answers handed out in order, a missing one failing the test instead of blocking it
#include "support/scripted_services.h"

#include <QTest>

namespace corvane {

namespace {
void FailTest(const QString& message) {
    if (QTest::currentTestFunction() == nullptr) // a fixture torn down late: nothing to fail, say it loudly
        qCritical("%s", qPrintable(message));
    else
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

template <typename T> T Next(QQueue<T>& queue, const QString& what, T cancel) {
    if (!queue.isEmpty())
        return queue.dequeue();
    FailTest("unscripted " + what + ": queue an answer first");
    return cancel;
}
} // namespace

ScriptedServices::~ScriptedServices() {
    if (!m_answers.isEmpty() || !m_files.isEmpty() || !m_folders.isEmpty() || !m_passwords.isEmpty())
        FailTest("scripted answers left unused: the code asked fewer questions than expected");
}

int ScriptedServices::messageBox(QWidget*, const QString& text, const QString& title, int style) {
    messageBoxes.append({text, title, style});
    if ((style & 0x0F) == MsgBox::OkOnly)
        return MsgBox::Ok;
    return Next(m_answers, "message box \"" + text + "\"", int(MsgBox::Cancel));
}

ScriptedServices::Choice ScriptedServices::chooseOpenFile(QWidget*, const FileDialogRequest& request) {
    fileRequests.append(request);
    return Next(m_files, "file dialog \"" + request.title + "\"", Choice());
}

ScriptedServices::Choice ScriptedServices::chooseFolder(QWidget*, const FolderRequest& request) {
    folderRequests.append(request);
    return Next(m_folders, "folder dialog \"" + request.title + "\"", Choice());
}

ScriptedServices::Choice ScriptedServices::askPassword(QWidget*, const QString& archiveName) {
    return Next(m_passwords, "password question for \"" + archiveName + "\"", Choice());
}

} // namespace corvane
