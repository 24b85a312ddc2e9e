// the project group editor "frmGroup": a modal window that creates or changes a ".vbpgroup" file
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <array>
#include <optional>

#include "app/window_texts.h"
#include "core/group/group.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace corvane {

class Frame3D;
class PelmButton;
class StringTable;
class UiServices;

// The window keeps its state in its controls, and remembers only what the group file last held, so that
// it knows what is not saved yet; the caller makes a fresh one for every opening. On "Save and use this
// project group" it writes the file, puts its path into the box it was given (the main window's project
// path box) and closes with Accepted; "Return", Escape and the title bar close it with Rejected and
// touch nothing, after asking whether changes are to be saved, if there are any.
class FormGroup : public QDialog {
    Q_OBJECT

public:
    // codePage: of the group files. projectPathBox may be null (nothing is handed back).
    FormGroup(UiServices& services, const StringTable& strings, const TranslationFile& language,
              CodePage codePage, QLineEdit* projectPathBox, QWidget* parent = nullptr);

    // Text1: 0 group file, 1 group name, 2 main project, 3 backup folder.
    QLineEdit* text1(int index) const { return m_text1.at(index); }
    QLabel* label1(int index) const { return m_label1.at(index); }
    PelmButton* dbPathDialog() const { return m_dbPathDialog; }
    PelmButton* savePathDialog() const { return m_savePathDialog; }
    PelmButton* setPathDialog() const { return m_setPathDialog; }
    PelmButton* btnPlus() const { return m_btnPlus; }
    PelmButton* btnMoins() const { return m_btnMoins; }
    PelmButton* btnGroup() const { return m_btnGroup; }
    PelmButton* btnAnnuler() const { return m_btnAnnuler; }
    QListWidget* list1() const { return m_list1; }
    Frame3D* frame3D1() const { return m_frame3D1; }
    // what the editor tells about the last thing it refused to do without a dialog
    QLabel* lblStatus() const { return m_lblStatus; }

    // Escape, "Return" and the title bar all end here.
    void reject() override;

private:
    void createControls();
    void arrangeControls();
    void connectCommands();

    // the commands, one per button (form_group_commands.cpp)
    void onDBpathDialogClick();
    void onSavepathDialogClick();
    void onSetPathDialogClick();
    void onBtnPlusClick();
    void onBtnMoinsClick();
    void onBtnGroupClick();

    // message n of the language, or the English text
    QString message(int n, const QString& english) const;
    // an open-file dialog as every file choice of this window runs it; nullopt on cancel or no name
    std::optional<QString> chooseFile(const QString& title, const QString& filter, quint32 flags);
    void emptyFields();
    void loadGroupFile(const QString& path);
    void loadVbgGroup(const QString& path);
    // the first failed check, its message shown and the focus moved; true when all pass
    bool validateFields();
    // a Yes/No question with the question icon, its text the path and then message n
    bool askAboutFile(const QString& path, int n, const QString& english, const QString& title);
    // false, with the status text saying so, when the path names a linked project, or (withMain)
    // the main project
    bool isNewToTheGroup(const QString& path, bool withMain);

    // the controls as the file would hold them; "changed" compares them with the file last read or saved
    GroupEditorFields fields() const;
    void markSaved(const QString& file);
    bool hasUnsavedChanges() const { return fields() != m_savedFields; }

    UiServices& m_services;
    const StringTable& m_strings;
    const TranslationFile m_language;
    QPointer<QLineEdit> m_projectPathBox;

    std::array<QLineEdit*, 4> m_text1{};
    std::array<QLabel*, 5> m_label1{};
    PelmButton* m_dbPathDialog = nullptr;
    PelmButton* m_savePathDialog = nullptr;
    PelmButton* m_setPathDialog = nullptr;
    PelmButton* m_btnPlus = nullptr;
    PelmButton* m_btnMoins = nullptr;
    PelmButton* m_btnGroup = nullptr;
    PelmButton* m_btnAnnuler = nullptr;
    QListWidget* m_list1 = nullptr;
    Frame3D* m_frame3D1 = nullptr;
    QLabel* m_lblStatus = nullptr;

    CodePage m_codePage;
    GroupEditorFields m_savedFields;
    QString m_savedFile; // the group file that holds m_savedFields; "" when none does yet
};

} // namespace corvane
