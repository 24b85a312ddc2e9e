// UiServices for tests: answers come from queues the test fills, every message and opening is recorded
#pragma once

#include <QList>
#include <QQueue>
#include <QTest>

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

    ~ScriptedServices() override {
        if (!m_answers.isEmpty() || !m_files.isEmpty() || !m_folders.isEmpty() || !m_passwords.isEmpty())
            fail("scripted answers left unused: the code asked fewer questions than expected");
    }

    void queueMessageBoxAnswer(int answer) { m_answers.enqueue(answer); }
    void queueFileChoice(Choice path) { m_files.enqueue(std::move(path)); }
    void queueFolderChoice(Choice path) { m_folders.enqueue(std::move(path)); }
    void queuePassword(Choice password) { m_passwords.enqueue(std::move(password)); }

    int messageBox(QWidget*, const QString& text, const QString& title, int style) override {
        messageBoxes.append({text, title, style});
        if ((style & 0x0F) == MsgBox::OkOnly)
            return MsgBox::Ok;
        return next(m_answers, "message box \"" + text + "\"", int(MsgBox::Cancel));
    }
    // recorded as a question box; the answer is the queued message box answer, a button's index
    int askChoice(QWidget*, const QString& text, const QString& title, const QStringList& buttons,
                  int icon) override {
        messageBoxes.append({text, title, icon});
        choiceButtons.append(buttons);
        return next(m_answers, "question \"" + text + "\"", int(buttons.size()) - 1);
    }
    void beep() override { ++beeps; }
    Choice chooseOpenFile(QWidget*, const FileDialogRequest& request) override {
        fileRequests.append(request);
        return next(m_files, "file dialog \"" + request.title + "\"", Choice());
    }
    Choice chooseFolder(QWidget*, const FolderRequest& request) override {
        folderRequests.append(request);
        return next(m_folders, "folder dialog \"" + request.title + "\"", Choice());
    }
    Choice askPassword(QWidget*, const QString& prompt) override {
        passwordPrompts.append(prompt);
        if (whilePasswordAsked)
            whilePasswordAsked();
        return next(m_passwords, "password question \"" + prompt + "\"", Choice());
    }
    qint64 openInDesktop(const QString& target, const QString& workingFolder) override {
        opened.append({target, workingFolder});
        return 4242; // a started process
    }

    // runs while a worker waits on the password: what the user does meanwhile, at a known moment
    std::function<void()> whilePasswordAsked;
    QList<MessageBoxCall> messageBoxes;
    QList<FileDialogRequest> fileRequests;
    QList<FolderRequest> folderRequests;
    QList<QStringList> choiceButtons; // of every askChoice, in order
    QList<OpenCall> opened;
    QStringList passwordPrompts;
    int beeps = 0;

private:
    static void fail(const QString& message) {
        if (QTest::currentTestFunction() ==
            nullptr) // a fixture torn down late: nothing to fail, say it loudly
            qCritical("%s", qPrintable(message));
        else
            QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    }
    template <typename T> static T next(QQueue<T>& queue, const QString& what, T cancel) {
        if (!queue.isEmpty())
            return queue.dequeue();
        fail("unscripted " + what + ": queue an answer first");
        return cancel;
    }

    QQueue<int> m_answers;
    QQueue<Choice> m_files, m_folders, m_passwords;
};

} // namespace corvane
