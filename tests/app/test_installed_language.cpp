// the desktop program finds its language files from its own folder: bin/ beside share/corvane/lng, in
// the build tree and, in check mode, in an installed tree, and a French user gets the French window.
// Check mode: CORVANE_INSTALLED_BINDIR names the installed program's folder (/usr/bin) and the user's
// own environment (LANG, HOME) is used, so that it runs as that user against the package.
#include <filesystem>

#include "core/locale/ini_file.h"
#include "support/main_window_fixture.h"

using namespace corvane;

class TestInstalledLanguage : public QObject {
    Q_OBJECT

private slots:
    void frenchWindowFromTheProgramsFolder() {
        const QByteArray installed = qgetenv("CORVANE_INSTALLED_BINDIR");
        const std::string programFolder =
            installed.isEmpty() ? CORVANE_BUILD_BINDIR : installed.toStdString();
        MainWindowFixture f;
        const std::string home = PathBytes(f.path("home"));
        const EnvLookup french = [home](const std::string& name) -> std::optional<std::string> {
            if (name == "LANG")
                return "fr_FR.UTF-8";
            if (name == "HOME")
                return home;
            return std::nullopt;
        };
        f.setup = DesktopSetup(installed.isEmpty() ? french : ProcessEnvironment(), programFolder);

        const std::filesystem::path folder =
            (std::filesystem::path(programFolder) / "../share/corvane/lng").lexically_normal();
        QCOMPARE(f.setup.languages.folder, folder.string());
        QVERIFY(!f.setup.languages.mapWritable);
        const bool mapShipped = std::filesystem::exists(folder / "Local.ini");
        MainWindow& window = f.open();
        QCOMPARE(window.CurrentLanguage(), QStringLiteral("fra"));
        const std::string title = ReadIniString("frmMain", "Form", "", (folder / "fra.lng").string());
        QVERIFY(!title.empty());
        QCOMPARE(window.windowTitle(), FromAnsi(title, CodePage::Windows1252)); // French is written in 1252
        // the language folder is the package's (or the sources'): the map is never written into it
        QCOMPARE(std::filesystem::exists(folder / "Local.ini"), mapShipped);
    }
};

QTEST_MAIN(TestInstalledLanguage)
#include "test_installed_language.moc"
