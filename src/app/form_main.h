// the main window "frmMain": its controls, their arrangement and the handlers that are the window's own
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "core/project/code_page.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

namespace corvane {

class Frame3D;
class ImageControl;
class PelmButton;
class VistaProg;

// What the window's loading needs from outside, so that tests can give fixed values.
struct FormLoadInputs {
    QString languageFile;                              // empty: keep the built-in texts
    CodePage languageCodePage = CodePage::Windows1252; // the language file's
    QString versionText;                               // "Version " + major.minor.revision
    QString zipVersion;                                // the zip layer's version text
    int year = 0; // the current year, completing the foot caption's range
};

class FormMain : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kTimer1Interval = 3000;

    explicit FormMain(QWidget* parent = nullptr);

    // The part of the window's loading that is the window's own: translation, version texts and
    // the year range, in that order. The caller runs it once, before the window is first shown.
    void ApplyLoadInputs(const FormLoadInputs& inputs);
    void ApplyVersionTexts(const QString& versionText, const QString& zipVersion);
    void CompleteYearRange(int year);

    // The controls, for the commands that drive them.
    QLineEdit* text1(int index) const { return m_text1.at(index); }
    QLabel* label1(int index) const { return m_label1.at(index); }
    ImageControl* image1(int index) const { return m_image1.at(index); }
    QLabel* label2() const { return m_label2; }
    QLabel* label3() const { return m_label3; }
    QLabel* lblLabel4() const { return m_lblLabel4; }
    QLabel* lblOR() const { return m_lblOR; }
    // one line above the foot buttons: why a command cannot run now, or what is going on
    QLabel* lblStatus() const { return m_lblStatus; }
    Frame3D* frame3D1() const { return m_frame3D1; }
    Frame3D* frame3D2() const { return m_frame3D2; }
    Frame3D* frame3D3() const { return m_frame3D3; }
    PelmButton* dbPathDialog() const { return m_dbPathDialog; }
    PelmButton* savePathDialog() const { return m_savePathDialog; }
    PelmButton* pelmButton1() const { return m_pelmButton1; }
    PelmButton* pelmOpenThe() const { return m_pelmOpenThe; }
    PelmButton* btnValider() const { return m_btnValider; }
    PelmButton* btnAnnuler() const { return m_btnAnnuler; }
    ImageControl* alphaImgCtl2() const { return m_alphaImgCtl2; }
    VistaProg* vistaProg1() const { return m_vistaProg1; }
    VistaProg* vistaProg2() const { return m_vistaProg2; }
    QListWidget* list1() const { return m_list1; }
    QTimer* timer1() const { return m_timer1; }

    // true while the password box shows "*" for every character
    bool passwordMasked() const;
    void maskPassword();

protected:
    // Handlers of the window itself.
    virtual void onTimer1Tick();
    virtual void onBtnAnnulerClick();
    virtual void onAlphaImgCtl2Click();
    virtual void onText1Change(int index);
    virtual void onImage1Click(int index);

    // Commands wired by the command layer; they do nothing in this window alone.
    virtual void onDBpathDialogClick() {}
    virtual void onSavepathDialogClick() {}
    virtual void onPelmButton1Click() {}
    virtual void onPelmOpenTheClick() {}
    virtual void onFrame3D2Click() {}
    virtual void onBtnValiderClick() {}
    virtual void showVersionBox() {}
    virtual void openHelpPage() {}
    virtual void runUnzip() {}

    // Ends the program at once; tests replace it to stay alive.
    virtual void endProgram();

private:
    void createFootControls();
    void createMainPanelControls();
    void createProjectPanelControls();
    void connectHandlers();
    void updatePasswordPicture();

    std::array<QLineEdit*, 4> m_text1{};
    std::array<QLabel*, 4> m_label1{};
    std::array<ImageControl*, 5> m_image1{};
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_lblLabel4 = nullptr;
    QLabel* m_lblOR = nullptr;
    QLabel* m_lblStatus = nullptr;
    Frame3D* m_frame3D1 = nullptr;
    Frame3D* m_frame3D2 = nullptr;
    Frame3D* m_frame3D3 = nullptr;
    PelmButton* m_dbPathDialog = nullptr;
    PelmButton* m_savePathDialog = nullptr;
    PelmButton* m_pelmButton1 = nullptr;
    PelmButton* m_pelmOpenThe = nullptr;
    PelmButton* m_btnValider = nullptr;
    PelmButton* m_btnAnnuler = nullptr;
    ImageControl* m_alphaImgCtl2 = nullptr;
    VistaProg* m_vistaProg1 = nullptr;
    VistaProg* m_vistaProg2 = nullptr;
    QListWidget* m_list1 = nullptr;
    QTimer* m_timer1 = nullptr;
};

// A rectangle given in twips, in pixels at 15 twips per pixel.
QRect TwipsToPixels(int left, int top, int width, int height);

} // namespace corvane
