// UiServices for tests: answers come from queues filled by the test, every request is recorded
#pragma once

#include <QList>
#include <QQueue>

#include "app/ui_services.h"

namespace corvane {

// Queue the answers the code under test will need, run it, then look at what was asked. A box with only
// OK takes no answer. A request with its queue empty fails the running test and answers Cancel, so no
// test waits on a dialog; answers left unused when the object dies fail it too.
class ScriptedServices : public UiServices {
public:
    struct MessageBoxCall {
        QString text;
        QString title;
        int style = 0;
    };
    struct OpenCall {
        QString target;
        QString workingFolder;
    };

    ~ScriptedServices() override;

    void queueMessageBoxAnswer(int answer) { m_messageBoxAnswers.enqueue(answer); }
    void queueFileChoice(std::optional<QString> path) { m_fileChoices.enqueue(std::move(path)); }
    void queueFolderChoice(std::optional<QString> path) { m_folderChoices.enqueue(std::move(path)); }
    void queuePassword(std::optional<QString> password) { m_passwords.enqueue(std::move(password)); }
    // what openInDesktop returns from now on; 4242 (a started process) until set
    void setOpenResult(qint64 result) { m_openResult = result; }
    void discardUnusedAnswers();
    bool allAnswersUsed() const;

    const QList<MessageBoxCall>& messageBoxes() const { return m_messageBoxes; }
    const QList<FileDialogRequest>& fileRequests() const { return m_fileRequests; }
    const QList<FolderRequest>& folderRequests() const { return m_folderRequests; }
    const QStringList& passwordRequests() const { return m_passwordRequests; }
    const QList<OpenCall>& opened() const { return m_opened; }
    int beeps() const { return m_beeps; }
    // the pointer now, and every setting in order (true = busy)
    bool isBusy() const { return m_busy; }
    const QList<bool>& busyCalls() const { return m_busyCalls; }

    int messageBox(QWidget* parent, const QString& text, const QString& title, int style) override;
    void beep() override { ++m_beeps; }
    void setBusyPointer(bool busy) override {
        m_busy = busy;
        m_busyCalls.append(busy);
    }
    std::optional<QString> chooseOpenFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* parent, const FolderRequest& request) override;
    std::optional<QString> askPassword(QWidget* parent, const QString& archiveName) override;
    qint64 openInDesktop(const QString& target, const QString& workingFolder) override {
        m_opened.append({target, workingFolder});
        return m_openResult;
    }

private:
    QQueue<int> m_messageBoxAnswers;
    QQueue<std::optional<QString>> m_fileChoices, m_folderChoices, m_passwords;
    qint64 m_openResult = 4242;

    QList<MessageBoxCall> m_messageBoxes;
    QList<FileDialogRequest> m_fileRequests;
    QList<FolderRequest> m_folderRequests;
    QStringList m_passwordRequests;
    QList<OpenCall> m_opened;
    int m_beeps = 0;
    bool m_busy = false;
    QList<bool> m_busyCalls;
};

} // namespace corvane
