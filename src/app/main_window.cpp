// the main window's set-up and loading, its shell links, the version box and its closing
#include "app/main_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "app/controls.h"
#include "app/jobs.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/common/environment.h"
#include "core/locale/ini_file.h"
#include "core/locale/locale.h"
#include "core/project/paths.h"
#include "core/zip/zip.h"

namespace corvane {

namespace {
const char* const kAppName = "Corvane";
} // namespace

QString CommandLineText(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' ')).remove(QLatin1Char('"'));
}

QString ProgramVersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(CORVANE_VERSION_MAJOR)
        .arg(CORVANE_VERSION_MINOR)
        .arg(CORVANE_VERSION_PATCH);
}

QString ZipVersionText() {
    return QString::fromStdString(ZipVersion());
}

MainWindowSetup DesktopSetup(const EnvLookup& env, const std::string& programFolder) {
    MainWindowSetup setup;
    setup.languages = FindLanguageFiles(programFolder);
    setup.settings = DefaultSettingsLocation(env);
    setup.lcid = UserDefaultLCID(env);
    setup.versionText = ProgramVersionText();
    setup.zipVersion = ZipVersionText();
    setup.driveMap = DriveMap::FromEnvironment(env);
    // the command line refuses to run with a code page no one meant; the window says so and reads the
    // files as a machine of the user's locale writes them, which the names it shows make visible
    const Result<CodePage> codePage = ChooseAnsiCodePage(env);
    setup.codePage = codePage ? *codePage : AnsiCodePageOfLcid(setup.lcid);
    if (!codePage)
        setup.codePageProblem = codePage.error() + " Code page " + std::to_string(setup.codePage.number()) +
                                " of your locale is used instead.";
    return setup;
}

MainWindow::MainWindow(UiServices& services, MainWindowSetup setup, QWidget* parent)
    : FormMain(parent), m_services(services), m_setup(std::move(setup)), m_settings(m_setup.settings) {
    timer1()->setInterval(m_setup.timer1Interval);
    setAcceptDrops(true); // a project or group file dropped on the window selects it
    connect(label2(), &QLabel::linkActivated, this, [this] { showMissingList(); });

    // a control of the window like the others, so that the language files translate it
    m_btnCancelRun = new PelmButton(frame3D3());
    m_btnCancelRun->setCaption(QStringLiteral("Cancel"));
    m_btnCancelRun->setToolTip(QStringLiteral("Stop the archive being written"));
    NameControl(m_btnCancelRun, QStringLiteral("btnCancelRun"));
    m_btnCancelRun->setFocusPolicy(Qt::NoFocus);
    m_btnCancelRun->setCursor(Qt::ArrowCursor);
    m_btnCancelRun->hide();
    m_barGeometry[0] = vistaProg1()->geometry();
    m_barGeometry[1] = vistaProg2()->geometry();
    const int top = m_barGeometry[0].top();
    const int height = m_barGeometry[1].bottom() - top + 1;
    const int width = 76;
    m_btnCancelRun->setGeometry(m_barGeometry[0].right() - width + 1, top, width, height);
}

MainWindow::~MainWindow() {
    // while the window is still whole: the wait handles pending events, which must not reach a window
    // half torn down
    cancelRunAndWait();
}

QString MainWindow::GetString(int n, const QString& english) const {
    return QString::fromStdString(m_strings.GetString(n, english.toStdString()));
}

QString MainWindow::message(const char* key, const QString& english) const {
    return MessageOf(translation(), key, english);
}

TranslationFile MainWindow::translation() const {
    return {languageFile(), m_languageCodePage};
}

QString MainWindow::languageFile() const {
    if (m_setup.languages.folder.empty())
        return QString(); // never a file of that name in the current folder
    return PathText(JoinPath(m_setup.languages.folder, PathBytes(m_currentLanguage) + ".lng"));
}

void MainWindow::applyLanguage(const std::string& language) {
    m_currentLanguage = PathText(language); // the name of a file in the language folder
    m_languageCodePage = LanguageCodePage(language, m_setup.lcid, m_setup.languages.folder);
    m_helpLanguage =
        FromAnsi(ReadIniString("Setup", "lng", "en", PathBytes(languageFile())), m_languageCodePage);
    m_strings = StringTable::LoadStringTable(language, m_setup.languages.folder, m_languageCodePage);
    loadQtTranslation();
    TranslateForm(this, languageFile(), m_languageCodePage);
}

void MainWindow::Form_Load(const QString& commandLine) {
    applyLanguage(ChooseLanguage(m_setup.lcid, m_setup.languages));
    if (!m_setup.codePageProblem.empty())
        m_services.messageBox(this, MessageText(m_setup.codePageProblem), QString::fromLatin1(kAppName),
                              MsgBox::Exclamation);
    ApplyVersionTexts(m_setup.versionText, m_setup.zipVersion);

    // any spelling of the group extension, anywhere in the path, as long as the file is there; and, since a
    // desktop hands over any file it opens with the program, a project or a Visual Basic group as well
    if (FileExists(PathBytes(commandLine))) {
        const InputKind kind = KindOfInput(PathBytes(commandLine));
        if (commandLine.toUpper().contains(QLatin1String(".VBPGROUP")) || kind == InputKind::VbGroup)
            LoadSelectedGroup(commandLine, GroupLoadForm::StartUp);
        else if (kind == InputKind::Project)
            selectSingleProject(commandLine, GroupLoadForm::StartUp);
    }

    // the time stamp starts with the four-digit local year
    CompleteYearRange(QString::fromStdString(FormatTimeStamp(m_setup.clock()).substr(0, 4)).toInt());
    pelmOpenThe()->setCaption(GetString(20, QStringLiteral("Open the last backup folder...")));
    if (!lastDir().empty())
        pelmOpenThe()->show();
}

std::string MainWindow::lastDir() {
    // a damaged or unreadable store reads as nothing stored: the window still opens
    const SettingsResult stored = ReadLastBackupFolder(m_settings);
    // a store found damaged was set aside; say so once, the defaults are in use from now on
    if (const std::optional<std::string> notice = m_settings.TakeNotice())
        m_services.messageBox(this, QString::fromStdString(*notice), QString::fromLatin1(kAppName),
                              MsgBox::Exclamation);
    return stored.ok() ? stored.value() : std::string();
}

void MainWindow::openInShell(const QString& target) {
    ShellEX(m_services, target, QString(), QStringLiteral("open"), 1, nullptr);
}

void MainWindow::onPelmOpenTheClick() {
    openInShell(PathText(lastDir()));
}

void MainWindow::onFrame3D2Click() {
    openInShell(QString::fromLatin1(kHomePageUrl));
}

void MainWindow::openHelpPage() {
    openInShell(QString::fromStdString(HelpPageAddress(m_helpLanguage.toStdString())));
}

void MainWindow::showVersionBox() {
    const QString spaces(4, QLatin1Char(' '));
    m_services.messageBox(this, spaces + QStringLiteral("Toolbox version ") + m_setup.zipVersion + spaces,
                          QString::fromLatin1(kAppName), MsgBox::Information);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // a selection still being read is dropped; its reader ends on its own
    if (m_selectionRead != nullptr)
        m_selectionRead->quit();
    // a run is never left writing behind a closed window: the user says whether to stop it, then it is
    // cancelled and its worker awaited
    if (runIsActive()) {
        const int answer = m_services.messageBox(
            this,
            message("QuitDuringRun", QStringLiteral("Corvane is still at work. Stop it and quit? What it is "
                                                    "writing now is discarded; earlier backups stay.")),
            QStringLiteral("Corvane"), MsgBox::YesNo | MsgBox::Question | MsgBox::DefaultButton2);
        if (answer != MsgBox::Yes) {
            event->ignore();
            return;
        }
        cancelRunAndWait();
        setRunControlsShown(false);
    }
    FormMain::closeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape stops a run as the Cancel beside the bars does
    if (event->key() == Qt::Key_Escape && runIsActive()) {
        m_run->cancel();
        event->accept();
        return;
    }
    FormMain::keyPressEvent(event);
}

void MainWindow::setRunControlsShown(bool shown) {
    const int narrower = shown ? m_btnCancelRun->width() + 8 : 0;
    for (int i = 0; i < 2; ++i) {
        QRect bar = m_barGeometry[i];
        bar.setWidth(bar.width() - narrower);
        (i == 0 ? vistaProg1() : vistaProg2())->setGeometry(bar);
    }
    m_btnCancelRun->setVisible(shown);
}

} // namespace corvane
