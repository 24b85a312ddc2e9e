// UiServices for tests: answers come from queues filled by the test, every request is recorded
#include "support/scripted_services.h"

#include <QTest>

namespace corvane {

namespace {

// a failure in the running test function; it does not return, so the code under test goes on with
// a Cancel and the test reports the unscripted request instead of hanging on a dialog
void FailTest(const QString& message) {
    const QByteArray text = message.toUtf8();
    // outside a test function (a fixture torn down late) Qt Test has nothing to fail; say it loudly
    if (QTest::currentTestFunction() == nullptr)
        qCritical("%s", text.constData());
    else
        QTest::qFail(text.constData(), __FILE__, __LINE__);
}

void FailUnscripted(const QString& what) {
    FailTest("unscripted " + what + ": queue an answer first");
}

template <typename T> std::optional<QString> Next(QQueue<T>& queue, const QString& what) {
    if (queue.isEmpty()) {
        FailUnscripted(what);
        return std::nullopt;
    }
    return queue.dequeue();
}

} // namespace

ScriptedServices::~ScriptedServices() {
    if (!allAnswersUsed())
        FailTest(
            QStringLiteral("scripted answers left unused: the code asked fewer questions than expected"));
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
    if (m_messageBoxAnswers.isEmpty()) {
        FailUnscripted("message box \"" + text + "\"");
        return MsgBox::Cancel;
    }
    return m_messageBoxAnswers.dequeue();
}

void ScriptedServices::setBusyPointer(bool busy) {
    m_busy = busy;
    m_busyCalls.append(busy);
}

std::optional<QString> ScriptedServices::chooseOpenFile(QWidget*, const FileDialogRequest& request) {
    m_fileRequests.append(request);
    return Next(m_fileChoices, "file dialog \"" + request.title + "\"");
}

std::optional<QString> ScriptedServices::chooseFolder(QWidget*, const FolderRequest& request) {
    m_folderRequests.append(request);
    return Next(m_folderChoices, "folder dialog \"" + request.title + "\"");
}

std::optional<QString> ScriptedServices::askPassword(QWidget*, const QString& archiveName) {
    m_passwordRequests.append(archiveName);
    return Next(m_passwords, "password question for \"" + archiveName + "\"");
}

qint64 ScriptedServices::openInDesktop(const QString& target, const QString& workingFolder) {
    m_opened.append({target, workingFolder});
    return m_openResult;
}

} // namespace corvane
