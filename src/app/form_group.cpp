// the group editor's controls, their arrangement and translation
#include "app/form_group.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <QValidator>

#include "app/controls.h"
#include "app/window_texts.h"

namespace corvane {

namespace {

const char* const kList = "QListWidget { background: white; color: #1d2b3c; border: 1px solid #b4bfcc; border-radius: 3px;"
                          " padding: 2px; }"
                          "QListWidget:focus { border-color: #2f7dd8; }"
                          "QListWidget::item { padding: 3px 2px; }"
                          "QListWidget::item:selected { background: #2f7dd8; color: white; }";

constexpr int kBoxHeight = 26;
constexpr int kSmallButton = 30;

PelmButton* SmallButton(QWidget* parent, const QString& name, int index, const QString& caption,
                        const QString& tip) {
    auto* button = MakeControl<PelmButton>(parent, name, index);
    button->setCaption(caption);
    button->setToolTip(tip);
    button->setFixedSize(kSmallButton, kBoxHeight);
    return button;
}

// A pasted name keeps its line breaks in a QLineEdit; a validator may rewrite what is typed, set or
// pasted before the box takes it.
class GroupNameValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        const auto kept = [](const QString& text) {
            return QString::fromStdString(WithoutControlCharacters(text.toStdString()));
        };
        const QString cleaned = kept(input);
        if (cleaned != input) {
            pos = static_cast<int>(kept(input.left(pos)).size());
            input = cleaned;
        }
        return Acceptable;
    }
};

} // namespace

FormGroup::FormGroup(UiServices& services, const StringTable& strings, const TranslationFile& language,
                     CodePage codePage, QLineEdit* projectPathBox, QWidget* parent)
    : QDialog(parent), m_services(services), m_strings(strings), m_language(language),
      m_projectPathBox(projectPathBox), m_codePage(codePage) {
    setObjectName(QStringLiteral("frmGroup"));
    setWindowTitle(QStringLiteral("Visual Basic\u00A9 project group to create:"));
    setWindowIcon(WindowIcon());
    setModal(true);
    setAutoFillBackground(true);
    setPalette(LightWindowPalette(palette()));

    createControls();
    arrangeControls();
    connectCommands();
    if (!language.path.isEmpty())
        TranslateForm(this, language.path, language.codePage);
    // the group name is the one box the user types into; the file box above it is read-only
    m_text1[1]->setFocus();
    markSaved(QString());
}

void FormGroup::createControls() {
    m_frame3D1 = MakeControl<Frame3D>(this, QStringLiteral("Frame3D1"));

    const QString titles[] = {QStringLiteral("Create or modify a Project Group"),
                              QStringLiteral("Linked Projects :"), QStringLiteral("Main Project :"),
                              QStringLiteral("Group name :"), QStringLiteral("Save Path :")};
    for (int index = 0; index < 5; ++index) {
        m_label1[index] = MakeControl<QLabel>(m_frame3D1, QStringLiteral("Label1"), index);
        m_label1[index]->setText(titles[index]);
    }

    const QString tips[] = {QStringLiteral("Full path of the project group file"),
                            QStringLiteral("Name of the project group"),
                            QStringLiteral("Full path of the main project"),
                            QStringLiteral("Folder that receives the group's backups")};
    for (int index = 0; index < 4; ++index) {
        m_text1[index] = MakeControl<QLineEdit>(m_frame3D1, QStringLiteral("Text1"), index);
        m_text1[index]->setReadOnly(index != 1);
        m_text1[index]->setStyleSheet(QLatin1String(index != 1 ? kReadOnlyBoxStyle : kTypingBoxStyle));
        m_text1[index]->setFixedHeight(kBoxHeight);
        m_text1[index]->setToolTip(tips[index]);
    }
    m_text1[1]->setValidator(new GroupNameValidator(m_text1[1]));
    // the file being edited stands out as in the main window's path box
    QFont bold = m_text1[0]->font();
    bold.setWeight(QFont::DemiBold);
    m_text1[0]->setFont(bold);
    m_text1[0]->setStyleSheet(QLatin1String(kReadOnlyBoxStyle) +
                              QStringLiteral(" QLineEdit { color: rgb(128, 0, 0); }"));

    const QString choose = QStringLiteral("...");
    m_dbPathDialog = SmallButton(m_frame3D1, QStringLiteral("DBpathDialog"), 0, choose,
                                 QStringLiteral("Choose or create the project group file"));
    m_savePathDialog = SmallButton(m_frame3D1, QStringLiteral("SavepathDialog"), 1, choose,
                                   QStringLiteral("Choose the main project"));
    m_setPathDialog = SmallButton(m_frame3D1, QStringLiteral("SetPathDialog"), 0, choose,
                                  QStringLiteral("Choose the backup folder"));
    m_btnPlus = SmallButton(m_frame3D1, QStringLiteral("btn_Plus"), -1, QStringLiteral("+"),
                            QStringLiteral("Add a linked project"));
    m_btnMoins = SmallButton(m_frame3D1, QStringLiteral("btn_Moins"), -1, QStringLiteral("\u2212"),
                             QStringLiteral("Remove the selected linked project"));

    m_list1 = MakeControl<QListWidget>(m_frame3D1, QStringLiteral("List1"));
    m_list1->setStyleSheet(QLatin1String(kList));
    m_list1->setToolTip(QStringLiteral("Projects linked to the group"));
    m_list1->setMinimumHeight(120);

    m_btnAnnuler = MakeControl<PelmButton>(this, QStringLiteral("Btn_Annuler"));
    m_btnAnnuler->setCaption(QStringLiteral("&Return"));
    m_btnAnnuler->setToolTip(QStringLiteral("Close without saving"));
    m_btnGroup = MakeControl<PelmButton>(this, QStringLiteral("btn_Group"));
    m_btnGroup->setCaption(QStringLiteral("Save and use this project group"));
    m_btnGroup->setToolTip(QStringLiteral("Save the group file and select it in the main window"));
    QFont strong = m_btnGroup->font();
    strong.setWeight(QFont::DemiBold);
    m_btnGroup->setFont(strong);

    m_lblStatus = MakeControl<QLabel>(m_frame3D1, QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);
    m_lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette red = m_lblStatus->palette();
    red.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_lblStatus->setPalette(red);
}

void FormGroup::arrangeControls() {
    // the heading names the whole editor; the file box under it spans the label column
    QFont heading = m_label1[0]->font();
    heading.setWeight(QFont::DemiBold);
    m_label1[0]->setFont(heading);
    QPalette blue = m_label1[0]->palette();
    blue.setColor(QPalette::WindowText, QColor(0x1f, 0x5f, 0xc0));
    m_label1[0]->setPalette(blue);
    for (int index : {1, 2, 3, 4})
        m_label1[index]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* grid = new QGridLayout(m_frame3D1);
    grid->setContentsMargins(18, 14, 18, 16);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(m_label1[0], 0, 0, 1, 3);
    grid->addWidget(m_text1[0], 1, 0, 1, 2);
    grid->addWidget(m_dbPathDialog, 1, 2);
    grid->setRowMinimumHeight(2, 10);
    // top to bottom: group name, main project, linked projects, save path
    grid->addWidget(m_label1[3], 3, 0);
    grid->addWidget(m_text1[1], 3, 1);
    grid->addWidget(m_label1[2], 4, 0);
    grid->addWidget(m_text1[2], 4, 1);
    grid->addWidget(m_savePathDialog, 4, 2);
    grid->addWidget(m_label1[1], 5, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_list1, 5, 1);
    auto* listButtons = new QVBoxLayout;
    listButtons->setSpacing(6);
    listButtons->addWidget(m_btnPlus);
    listButtons->addWidget(m_btnMoins);
    listButtons->addStretch(1);
    grid->addLayout(listButtons, 5, 2);
    grid->addWidget(m_label1[4], 6, 0);
    grid->addWidget(m_text1[3], 6, 1);
    grid->addWidget(m_setPathDialog, 6, 2);
    // under the fields it is about; empty, it takes no room
    grid->addWidget(m_lblStatus, 7, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    // the list's label sits level with the first entry, like the labels beside the boxes
    m_label1[1]->setMinimumHeight(kBoxHeight);
    m_label1[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* foot = new QHBoxLayout;
    foot->setContentsMargins(18, 10, 18, 14);
    foot->addWidget(m_btnAnnuler);
    foot->addStretch(1);
    foot->addWidget(m_btnGroup);
    m_btnAnnuler->setMinimumSize(140, 34);
    m_btnGroup->setMinimumSize(220, 34);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(m_frame3D1, 1);
    window->addLayout(foot);

    setMinimumWidth(620);
    resize(720, 440);
}

void FormGroup::connectCommands() {
    connect(m_dbPathDialog, &PelmButton::clicked, this, [this] { onDBpathDialogClick(); });
    connect(m_savePathDialog, &PelmButton::clicked, this, [this] { onSavepathDialogClick(); });
    connect(m_setPathDialog, &PelmButton::clicked, this, [this] { onSetPathDialogClick(); });
    connect(m_btnPlus, &PelmButton::clicked, this, [this] { onBtnPlusClick(); });
    connect(m_btnMoins, &PelmButton::clicked, this, [this] { onBtnMoinsClick(); });
    connect(m_btnGroup, &PelmButton::clicked, this, [this] { onBtnGroupClick(); });
    connect(m_btnAnnuler, &PelmButton::clicked, this, [this] { reject(); });
}

} // namespace corvane
