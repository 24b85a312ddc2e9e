// UiServices for tests: answers come from queues filled by the test, every request is recorded
#include "support/scripted_services.h"

#include <QTest>

namespace corvane {

namespace {

// fails the running test function and goes on, so the code under test sees a Cancel instead of hanging
void FailTest(const QString& message) {
    const QByteArray text = message.toUtf8();
    if (QTest::currentTestFunction() == nullptr) // a fixture torn down late: nothing to fail, say it loudly
        qCritical("%s", text.constData());
    else
        QTest::qFail(text.constData(), __FILE__, __LINE__);
}

template <typename T> T Next(QQueue<T>& queue, const QString& what, T cancel) {
    if (!queue.isEmpty())
        return queue.dequeue();
    FailTest("unscripted " + what + ": queue an answer first");
    return cancel;
}

} // namespace

ScriptedServices::~ScriptedServices() {
    if (!allAnswersUsed())
        FailTest("scripted answers left unused: the code asked fewer questions than expected");
}

void ScriptedServices::discardUnusedAnswers() {
    m_messageBoxAnswers.clear();
    m_fileChoices.clear();
    m_folderChoices.clear();
    m_passwords.clear();
}

bool ScriptedServices::allAnswersUsed() const {
    return m_messageBoxAnswers.isEmpty() && m_fileChoices.isEmpty() && m_folderChoices.isEmpty() &&
           m_passwords.isEmpty();
}

int ScriptedServices::messageBox(QWidget*, const QString& text, const QString& title, int style) {
    m_messageBoxes.append({text, title, style});
    if ((style & 0x0F) == MsgBox::OkOnly)
        return MsgBox::Ok;
    return Next(m_messageBoxAnswers, "message box \"" + text + "\"", int(MsgBox::Cancel));
}

std::optional<QString> ScriptedServices::chooseOpenFile(QWidget*, const FileDialogRequest& request) {
    m_fileRequests.append(request);
    return Next(m_fileChoices, "file dialog \"" + request.title + "\"", std::optional<QString>());
}

std::optional<QString> ScriptedServices::chooseFolder(QWidget*, const FolderRequest& request) {
    m_folderRequests.append(request);
    return Next(m_folderChoices, "folder dialog \"" + request.title + "\"", std::optional<QString>());
}

std::optional<QString> ScriptedServices::askPassword(QWidget*, const QString& archiveName) {
    m_passwordRequests.append(archiveName);
    return Next(m_passwords, "password question for \"" + archiveName + "\"", std::optional<QString>());
}

} // namespace corvane
