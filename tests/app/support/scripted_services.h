// UiServices for tests: answers come from queues the test fills, every request is recorded
#pragma once

#include <QList>
#include <QQueue>

#include "app/ui_services.h"

namespace corvane {

// A box with only OK takes no answer. A request whose queue is empty fails the running test and answers
// Cancel, so no test waits on a dialog; answers left unused when the object dies fail it too.
class ScriptedServices : public UiServices {
public:
    using Choice = std::optional<QString>;
    struct MessageBoxCall {
        QString text, title;
        int style;
    };
    struct OpenCall {
        QString target, workingFolder;
    };

    ~ScriptedServices() override;

    void queueMessageBoxAnswer(int answer) { m_answers.enqueue(answer); }
    void queueFileChoice(Choice path) { m_files.enqueue(std::move(path)); }
    void queueFolderChoice(Choice path) { m_folders.enqueue(std::move(path)); }
    void queuePassword(Choice password) { m_passwords.enqueue(std::move(password)); }
    bool isBusy() const { return !busyCalls.isEmpty() && busyCalls.last(); }

    int messageBox(QWidget*, const QString& text, const QString& title, int style) override;
    void beep() override { ++beeps; }
    void setBusyPointer(bool busy) override { busyCalls.append(busy); }
    Choice chooseOpenFile(QWidget*, const FileDialogRequest& request) override;
    Choice chooseFolder(QWidget*, const FolderRequest& request) override;
    Choice askPassword(QWidget*, const QString& archiveName) override;
    qint64 openInDesktop(const QString& target, const QString& workingFolder) override {
        opened.append({target, workingFolder});
        return openResult;
    }

    qint64 openResult = 4242; // what openInDesktop returns: a started process
    QList<MessageBoxCall> messageBoxes;
    QList<FileDialogRequest> fileRequests;
    QList<FolderRequest> folderRequests;
    QList<OpenCall> opened;
    QList<bool> busyCalls; // every setting of the busy pointer, true = busy
    int beeps = 0;

private:
    QQueue<int> m_answers;
    QQueue<Choice> m_files, m_folders, m_passwords;
};

} // namespace corvane
