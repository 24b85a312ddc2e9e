// the main window's controls, their arrangement, and its own handlers
#include "app/form_main.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "app/controls.h"
#include "app/window_texts.h"

namespace corvane {

namespace {
// the panel's label column and text column, in twips inside the project panel
constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 3900;
constexpr int kTextLeft = 4080;
constexpr int kTextWidth = 6765;
constexpr int kTextHeight = 375;
constexpr int kBesideLeft = kTextLeft + kTextWidth + 60;


// a control is kept inside its container: the help picture's designed box overhangs the panel's edge
void Place(QWidget* control, int left, int top, int width, int height) {
    QRect box = TwipsToPixels(left, top, width, height);
    if (const QWidget* container = control->parentWidget())
        box = box.intersected(container->rect());
    control->setGeometry(box);
}

QFont Weighted(QFont font, QFont::Weight weight, int pixelSize = 0) {
    font.setWeight(weight);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    return font;
}

void Colour(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}
} // namespace

QRect TwipsToPixels(int left, int top, int width, int height) {
    const int scale = FormMain::kTwipsPerPixel;
    return {left / scale, top / scale, width / scale, height / scale};
}

FormMain::FormMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Visual Basic 6 Sources Archiver"));
    setWindowIcon(WindowIcon());
    setFixedSize(TwipsToPixels(0, 0, 13980, 6615).size());
    setAutoFillBackground(true);
    setPalette(LightWindowPalette(palette()));

    // in this order the keyboard focus runs from the selection buttons through the panel to the foot
    createMainPanelControls();
    createProjectPanelControls();
    createFootControls();

    // the project panel lies over the product name, the version and the logo while it is shown
    m_frame3D3->raise();

    m_timer1 = new QTimer(this);
    NameControl(m_timer1, QStringLiteral("Timer1"));
    m_timer1->setInterval(kTimer1Interval);
    m_timer1->setSingleShot(true);

    connectHandlers();
}

void FormMain::createFootControls() {
    m_frame3D2 = MakeControl<Frame3D>(this, QStringLiteral("Frame3D2"));
    Place(m_frame3D2, 4200, 5685, 5280, 600);
    m_frame3D2->setCaption(QStringLiteral("Corvane, free VB6 backup tool \u00A9 2024-"));
    m_frame3D2->setFont(Weighted(font(), QFont::Normal, 11));
    m_frame3D2->setCursor(Qt::PointingHandCursor);

    for (int index : {0, 1}) {
        m_image1[index] = MakeControl<ImageControl>(m_frame3D2, QStringLiteral("Image1"), index);
        m_image1[index]->setGeometry(index == 0 ? 8 : m_frame3D2->width() - 32, 8, 24, 24);
    }
    m_image1[0]->setPicture(ProductLogo(64));
    m_image1[0]->setCursor(Qt::ArrowCursor);
    m_image1[1]->setPicture(VersionPicture(64));

    m_btnAnnuler = MakeControl<PelmButton>(this, QStringLiteral("Btn_Annuler"));
    Place(m_btnAnnuler, 1260, 5685, 2115, 510);
    m_btnAnnuler->setCaption(QStringLiteral("&Quit"));

    m_btnValider = MakeControl<PelmButton>(this, QStringLiteral("Btn_Valider"));
    Place(m_btnValider, 10335, 5685, 2160, 510);
    m_btnValider->setCaption(QStringLiteral("&Archive"));
    m_btnValider->setFont(Weighted(font(), QFont::DemiBold));

    // between the main panel and the foot, where the eye goes after a click on Archive
    m_lblStatus = MakeControl<QLabel>(this, QStringLiteral("lblStatus"));
    Place(m_lblStatus, 1260, 5295, 11235, 360);
    m_lblStatus->setAlignment(Qt::AlignCenter);
    m_lblStatus->setFont(Weighted(font(), QFont::DemiBold, 12));
    Colour(m_lblStatus, QColor(0x9a, 0x4a, 0x00));
}

void FormMain::createMainPanelControls() {
    m_frame3D1 = MakeControl<Frame3D>(this, QStringLiteral("Frame3D1"));
    Place(m_frame3D1, 0, 0, 13980, 5265);

    m_frame3D3 = MakeControl<Frame3D>(m_frame3D1, QStringLiteral("Frame3D3"));
    Place(m_frame3D3, 1155, 1800, 11505, 3285);
    m_frame3D3->hide();

    m_list1 = MakeControl<QListWidget>(m_frame3D1, QStringLiteral("List1"));
    Place(m_list1, 1155, 1800, 11505, 3285);
    m_list1->hide();

    m_dbPathDialog = MakeControl<PelmButton>(m_frame3D1, QStringLiteral("DBpathDialog"), 0);
    Place(m_dbPathDialog, 1770, 1080, 10290, 555);
    m_dbPathDialog->setCaption(QStringLiteral("Choose a project group or source file on disk"));

    m_lblOR = MakeControl<QLabel>(m_frame3D1, QStringLiteral("lblOR"));
    Place(m_lblOR, 3600, 765, 6765, 300);
    m_lblOR->setText(QStringLiteral("OR"));
    m_lblOR->setAlignment(Qt::AlignCenter);
    m_lblOR->setFont(Weighted(font(), QFont::DemiBold));
    Colour(m_lblOR, QColor(0x1f, 0x5f, 0xc0));

    m_pelmButton1 = MakeControl<PelmButton>(m_frame3D1, QStringLiteral("PelmButton1"));
    Place(m_pelmButton1, 1770, 180, 10290, 555);
    m_pelmButton1->setCaption(QStringLiteral("Create or modify a project group"));

    m_pelmOpenThe = MakeControl<PelmButton>(m_frame3D1, QStringLiteral("PelmOpenThe"));
    Place(m_pelmOpenThe, 1770, 4410, 10290, 555);
    m_pelmOpenThe->setCaption(QStringLiteral("Open the last backup folder..."));
    m_pelmOpenThe->hide();

    m_label3 = MakeControl<QLabel>(m_frame3D1, QStringLiteral("Label3"));
    Place(m_label3, 45, 3240, 13920, 375);
    m_label3->setText(QStringLiteral("Corvane"));
    m_label3->setAlignment(Qt::AlignCenter);
    m_label3->setFont(Weighted(font(), QFont::Bold, 19));
    Colour(m_label3, QColor(0x1f, 0x5f, 0xc0));

    m_lblLabel4 = MakeControl<QLabel>(m_frame3D1, QStringLiteral("lblLabel4"));
    Place(m_lblLabel4, 0, 3735, 13965, 375);
    m_lblLabel4->setText(QStringLiteral("Version "));
    m_lblLabel4->setAlignment(Qt::AlignCenter);
    m_lblLabel4->setFont(Weighted(font(), QFont::DemiBold));
    Colour(m_lblLabel4, QColor(0x3c, 0x4a, 0x5c));

    const struct {
        int index, left, top, size;
    } images[] = {{2, 13320, 45, 720}, {3, 6615, 2115, 960}, {4, 90, 45, 480}};
    for (const auto& image : images) {
        m_image1[image.index] = MakeControl<ImageControl>(m_frame3D1, QStringLiteral("Image1"), image.index);
        Place(m_image1[image.index], image.left, image.top, image.size, image.size);
    }
    m_image1[2]->setPicture(HelpPicture(64));
    m_image1[3]->setPicture(ProductLogo(128));
    m_image1[3]->setCursor(Qt::ArrowCursor);
    m_image1[4]->setPicture(UnzipPicture(64));
    m_image1[4]->setToolTip(QStringLiteral("Unzip..."));
    m_image1[2]->setToolTip(QStringLiteral("Online help"));
    // the pictures that are commands, reachable without a mouse
    for (ImageControl* command : {m_image1[4], m_image1[2]})
        command->makeKeyboardReachable();
}

void FormMain::createProjectPanelControls() {
    const QString titles[] = {QStringLiteral("Visual Basic\u00A9 Project or Project Group to Back Up:"),
                              QStringLiteral("Backup file name :"), QStringLiteral("Save Path :"),
                              QStringLiteral("Password :")};
    const int tops[] = {180, 915, 1410, 1905};
    for (int index = 0; index < 4; ++index) {
        m_label1[index] = MakeControl<QLabel>(m_frame3D3, QStringLiteral("Label1"), index);
        m_label1[index]->setText(titles[index]);
        m_label1[index]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Place(m_label1[index], kLabelLeft, tops[index], kLabelWidth, kTextHeight);

        m_text1[index] = MakeControl<QLineEdit>(m_frame3D3, QStringLiteral("Text1"), index);
        Place(m_text1[index], kTextLeft, tops[index], kTextWidth, kTextHeight);
        m_text1[index]->setReadOnly(index < 3);
        m_text1[index]->setStyleSheet(QLatin1String(index < 3 ? kReadOnlyBoxStyle : kTypingBoxStyle));
    }
    // the long first title wraps onto a second line, its first line level with the box
    m_label1[0]->setWordWrap(true);
    m_label1[0]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Place(m_label1[0], kLabelLeft, tops[0] + 60, kLabelWidth, 660);

    m_text1[0]->setFont(Weighted(font(), QFont::DemiBold));
    m_text1[0]->setStyleSheet(QLatin1String(kReadOnlyBoxStyle) +
                              QStringLiteral(" QLineEdit { color: rgb(128, 0, 0); }"));
    m_text1[3]->setEchoMode(QLineEdit::Password);

    m_savePathDialog = MakeControl<PelmButton>(m_frame3D3, QStringLiteral("SavepathDialog"), 1);
    Place(m_savePathDialog, kBesideLeft, 1410, 480, kTextHeight);
    m_savePathDialog->setCaption(QStringLiteral("..."));
    m_savePathDialog->hide();

    m_alphaImgCtl2 = MakeControl<ImageControl>(m_frame3D3, QStringLiteral("AlphaImgCtl2"));
    Place(m_alphaImgCtl2, kBesideLeft + 52, 1905, kTextHeight, kTextHeight);
    m_alphaImgCtl2->makeKeyboardReachable();
    updatePasswordPicture();

    m_label2 = MakeControl<QLabel>(m_frame3D3, QStringLiteral("Label2"));
    Place(m_label2, kLabelLeft, 2370, kBesideLeft + 480 - kLabelLeft, 210);
    m_label2->setText(QStringLiteral("Label2"));
    m_label2->setFont(Weighted(font(), QFont::Normal, 10));
    m_label2->hide();

    m_vistaProg1 = MakeControl<VistaProg>(m_frame3D3, QStringLiteral("VistaProg1"));
    Place(m_vistaProg1, kLabelLeft, 2580, kBesideLeft + 480 - kLabelLeft, 180);
    m_vistaProg1->hide();
    m_vistaProg2 = MakeControl<VistaProg>(m_frame3D3, QStringLiteral("VistaProg2"));
    Place(m_vistaProg2, kLabelLeft, 2805, kBesideLeft + 480 - kLabelLeft, 180);
    m_vistaProg2->hide();
}

void FormMain::connectHandlers() {
    connect(m_timer1, &QTimer::timeout, this, [this] { onTimer1Tick(); });
    connect(m_btnAnnuler, &PelmButton::clicked, this, [this] { onBtnAnnulerClick(); });
    connect(m_btnValider, &PelmButton::clicked, this, [this] { onBtnValiderClick(); });
    connect(m_alphaImgCtl2, &ImageControl::clicked, this, [this] { onAlphaImgCtl2Click(); });
    connect(m_dbPathDialog, &PelmButton::clicked, this, [this] { onDBpathDialogClick(); });
    connect(m_savePathDialog, &PelmButton::clicked, this, [this] { onSavepathDialogClick(); });
    connect(m_pelmButton1, &PelmButton::clicked, this, [this] { onPelmButton1Click(); });
    connect(m_pelmOpenThe, &PelmButton::clicked, this, [this] { onPelmOpenTheClick(); });
    connect(m_frame3D2, &Frame3D::clicked, this, [this] { onFrame3D2Click(); });
    for (int index = 0; index < static_cast<int>(m_text1.size()); ++index)
        connect(m_text1[index], &QLineEdit::textChanged, this, [this, index] { onText1Change(index); });
    for (int index = 0; index < static_cast<int>(m_image1.size()); ++index)
        connect(m_image1[index], &ImageControl::clicked, this, [this, index] { onImage1Click(index); });
}

void FormMain::ApplyLoadInputs(const FormLoadInputs& inputs) {
    if (!inputs.languageFile.isEmpty())
        TranslateForm(this, inputs.languageFile, inputs.languageCodePage);
    ApplyVersionTexts(inputs.versionText, inputs.zipVersion);
    CompleteYearRange(inputs.year);
}

void FormMain::ApplyVersionTexts(const QString& versionText, const QString& zipVersion) {
    const QString spaces(4, QLatin1Char(' '));
    m_image1[1]->setToolTip(spaces + QStringLiteral("Toolbox version ") + zipVersion + spaces);
    m_image1[3]->setToolTip(spaces + versionText + spaces);
    m_label3->setToolTip(spaces + versionText + spaces);
    m_lblLabel4->setText(versionText);
    m_frame3D2->setToolTip(spaces + versionText + spaces);
}

void FormMain::CompleteYearRange(int year) {
    m_frame3D2->setCaption(m_frame3D2->caption() + QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')));
}

bool FormMain::passwordMasked() const {
    return m_text1[3]->echoMode() == QLineEdit::Password;
}

void FormMain::onTimer1Tick() {
    m_timer1->stop();
    m_frame3D3->hide();
    m_pelmOpenThe->setProperty1(true);
}

void FormMain::onBtnAnnulerClick() {
    // a window that stays (its user chose to let a run go on) keeps the program
    if (close())
        endProgram();
}

void FormMain::endProgram() {
    QCoreApplication::exit(0);
}

void FormMain::onAlphaImgCtl2Click() {
    m_text1[3]->setEchoMode(passwordMasked() ? QLineEdit::Normal : QLineEdit::Password);
    updatePasswordPicture();
}

void FormMain::maskPassword() {
    m_text1[3]->setEchoMode(QLineEdit::Password);
    updatePasswordPicture();
}

void FormMain::updatePasswordPicture() {
    m_alphaImgCtl2->setPicture(EyePicture(64, !passwordMasked()));
}

void FormMain::onText1Change(int) {
    if (m_text1[0]->text().isEmpty())
        m_savePathDialog->hide();
}

void FormMain::onImage1Click(int index) {
    switch (index) {
    case 1:
        showVersionBox();
        break;
    case 2:
        openHelpPage();
        break;
    case 4:
        runUnzip();
        break;
    default: // the logos do nothing
        break;
    }
}

} // namespace corvane
