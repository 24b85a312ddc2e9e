// the INI reader against the quirks of the Windows profile functions, the message table read with it, and
// the shipped language files: translators edit them by hand, and the program silently keeps English for
// any key it cannot use
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "core/locale/ini_file.h"
#include "core/locale/locale.h"
#include "core/locale/string_table.h"
#include "core/project/text.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const fs::path kLanguageFolder = fs::path(__FILE__).parent_path().parent_path().parent_path() / "lng";

// Every key each section may carry, and must. Label2 and lblLabel4 get their captions, and Label3,
// Frame3D2, Image11 and Image13 their tool tips, at run time, so a translation of them would never show.
const std::map<std::string, std::string> kKeyLists = {
    {"Setup", "lng"},
    {"frmMain", "Form Label10 Label11 Label12 Label13 DBpathDialog0 SavepathDialog1 lblOR PelmButton1 "
                "PelmOpenThe Label3 Btn_Valider Btn_Annuler Frame3D2 Text10ToolTipText Text11ToolTipText "
                "Text12ToolTipText Text13ToolTipText DBpathDialog0ToolTipText SavepathDialog1ToolTipText "
                "PelmButton1ToolTipText PelmOpenTheToolTipText Btn_ValiderToolTipText Btn_AnnulerToolTipText "
                "btnCancelRun btnCancelRunToolTipText "
                "Image14ToolTipText Image12ToolTipText AlphaImgCtl2ToolTipText List1ToolTipText"},
    {"frmGroup", "Form Label10 Label13 Label12 Label11 Label14 btn_Group Btn_Annuler Text10ToolTipText "
                 "Text11ToolTipText Text12ToolTipText Text13ToolTipText DBpathDialog0ToolTipText "
                 "SavepathDialog1ToolTipText SetPathDialog0ToolTipText btn_PlusToolTipText "
                 "btn_MoinsToolTipText List1ToolTipText btn_GroupToolTipText Btn_AnnulerToolTipText"},
    {"Strings", "String1 String2 String3 String4 String5 String6 String7 String8 String9 String10 String11 "
                "String12 String13 String14 String15 String16 String17 String18 String19 String20 String21 "
                "String22 String23 String24 String25 String26 String27 String28 String29 String30 String31 "
                "String32 String33 String34"},
    {"Messages", "FolderNotRemembered ReasonPermission ReasonReadOnly ReasonNoSpace ReasonNotAFolder "
                 "PasswordAgain PasswordsDiffer QuitDuringRun MissingCount MissingShow StatusBackupRunning "
                 "StatusUnzipRunning StatusReading StatusChooseFirst StatusChooseSavePath StatusNotAnArchive "
                 "StatusNothingArchived OpenBackupFolder PasswordOf "
                 "ReasonNotFound ReasonIsAFolder ReasonLinkLoop"},
};

std::string CheckLanguageFile(const std::string& bytes, const std::string& helpCode) {
    std::ostringstream problems;
    for (std::size_t i = 0, line = 1; i < bytes.size(); line += bytes[i++] == '\n') {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b < 0x20 && b != '\r' && b != '\n') || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F ||
            b == 0x90 || b == 0x9D)
            problems << "\n  line " << line
                     << ": control byte or byte not defined in Windows-1252: " << int(b);
        else if (b >= 0xC2 && b <= 0xF4 && i + 1 < bytes.size() && (bytes[i + 1] & 0xC0) == 0x80)
            problems << "\n  line " << line << ": UTF-8 sequence instead of a Windows-1252 character";
    }
    const IniFile file = IniFile::Parse(bytes);
    for (const auto& [section, list] : kKeyLists) {
        std::istringstream words(list);
        std::set<std::string> missing{std::istream_iterator<std::string>(words), {}};
        for (const auto& [key, value] : file.Section(section)) {
            const std::string where = key + " in [" + section + "]";
            if (missing.erase(key) == 0 || value.empty() || value.size() >= kMaxIniValueLength)
                problems << "\n  unknown, empty or too long (may be cut): " << where;
        }
        for (const std::string& key : missing)
            problems << "\n  missing key " << key << " in [" << section << "]";
    }
    // the help code, the end marker, a quoted trailing space, one accelerator, the name, the first year
    const std::string oneAccelerator = "[^&]*&[^&]*";
    const struct {
        const char *section, *key;
        std::string shape;
    } rules[] = {{"Setup", "lng", helpCode},
                 {"Strings", "String34", "###END###"},
                 {"Strings", "String32", oneAccelerator},
                 {"Strings", "String33", oneAccelerator},
                 {"Strings", "String27", ".*%1.*%2.*"},
                 {"Strings", "String28", ".*%1.*"},
                 {"Strings", "String30", ".*%1.*"},
                 {"Strings", "String13", ".* "},
                 {"frmMain", "Btn_Valider", oneAccelerator},
                 {"frmMain", "Btn_Annuler", oneAccelerator},
                 {"frmGroup", "Btn_Annuler", oneAccelerator},
                 {"frmMain", "Label3", "Corvane"},
                 {"frmMain", "Frame3D2", ".*[0-9]{4}-"}};
    for (const auto& rule : rules)
        if (!std::regex_match(file.Get(rule.section, rule.key, ""), std::regex(rule.shape)))
            problems << "\n  " << rule.key << " in [" << rule.section << "] does not match " << rule.shape;
    return problems.str();
}

TEST(LanguageFiles, EveryShippedFileIsCompleteAndWindows1252) {
    const std::map<std::string, std::string> shipped = {{"fra.lng", "fr"}, {"deu.lng", "de"},
                                                        {"ita.lng", "it"}, {"spa.lng", "es"},
                                                        {"por.lng", "pt"}, {"nld.lng", "nl"}};
    std::set<std::string> onDisk;
    for (const auto& entry : fs::directory_iterator(kLanguageFolder))
        if (entry.path().extension() == ".lng")
            onDisk.insert(entry.path().filename().string());
    EXPECT_EQ(onDisk.size(), shipped.size());
    for (const std::string& name : onDisk) {
        const Result<std::string> bytes = ReadTextFile((kLanguageFolder / name).string());
        ASSERT_TRUE(bytes.ok() && shipped.contains(name)) << name;
        EXPECT_EQ(CheckLanguageFile(*bytes, shipped.at(name)), "") << name;
    }
}

TEST(IniFile, GetFollowsTheProfileFunctions) {
    const std::string a300(300, 'a'), a254(254, 'a'), c254(254, 'c');
    const struct {
        std::string bytes, section, key, defaultValue, expected;
    } cases[] = {
        {"[Strings]\r\nString1=Hello\r\n", "STRINGS", "string1", "d", "Hello"},
        {"  [ Strings ]  \n \tString1  =   Hello world \t\n", "Strings", " String1 ", "d", "Hello world"},
        {"[S]\nA=\"\"quoted\"\"\n", "S", "A", "d", "\"quoted\""}, // one pair of quotes only
        {"[S]\nA=  \"  padded  \"  \n", "S", "A", "d", "  padded  "},
        {"[S]\nA=\"open\n", "S", "A", "d", "\"open"},
        {"[S]\nA='single'\n", "S", "A", "d", "single"},
        {"[S]\nA='mixed\"\n", "S", "A", "d", "'mixed\""},
        {"[S]\nA=\"'inner'\"\n", "S", "A", "d", "'inner'"},
        {"[S]\nA='\n", "S", "A", "d", "'"},
        {"[S]\nA=" + a300 + "\n", "S", "A", "d", a254},
        {"[S]\nA=\"" + c254 + "\"\n", "S", "A", "d", c254}, // quotes go before the cut
        {"", "S", "A", a300, a254},
        {"[S]\nA=\n", "S", "A", "eng", ""},
        {"[S]\nA=first\nA=second\n", "S", "A", "d", "first"},
        {"[S]\nA=1\n[T]\nB=2\n[s]\nA=3\n", "S", "A", "d", "1"},
        {"[S]\r\nA=1\nB=2\rC=3", "S", "C", "d", "3"},
        {"[S]\n;A=1\n  ;B=1\nA=2\n", "S", "A", "d", "2"},
        {"A=1\n[S]\nB=2\n", "S", "A", "d", "d"},
        {"[S]\nA\nA=2\n", "S", "A", "d", "d"}, // a bare key hides the later one
        {"\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "d", "1"},
        {"[S]\nA=caf\xE9 \xC3\xA9\n", "S", "A", "d", "caf\xE9 \xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniFile::Parse(c.bytes).Get(c.section, c.key, c.defaultValue), c.expected) << c.bytes;
    // a section lists the first occurrence of each key, its repetitions merged
    using Values = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(IniFile::Parse("[S]\nB=2\nA=1\nbare\nb=again\n[T]\nX=9\n[s]\nC=\"3\"\n").Section("S"),
              (Values{{"B", "2"}, {"A", "1"}, {"C", "3"}}));
}

// "[Strings]" with String1, String2... holding the values in order
std::string Messages(std::initializer_list<std::string> values) {
    std::string text = "[Strings]\r\n";
    for (int n = 1; const std::string& value : values)
        text += "String" + std::to_string(n++) + "=" + value + "\r\n";
    return text;
}

// an empty or missing value does not end the table, a quoted marker does (read as the profile functions do)
TEST(StringTable, EndsAtTheMarkerAndGivesTheFilesOrTheEnglishText) {
    const std::pair<std::string, std::size_t> cases[] = {
        {Messages({"###END###", "a"}), 0},
        {Messages({"a", "", "c", "###END###"}), 5},
        {"[Strings]\nString1=a\nString3=c\nString4=###END###\n", 5},
        {Messages({"a", "\"###END###\""}), 3},
        {Messages({"a", "###end###"}), 32002}};
    for (const auto& [text, size] : cases)
        EXPECT_EQ(StringTable::FromIniFile(IniFile::Parse(text), CodePage::Windows1252).size(), size) << text;
    // "|" is a line end; past the end, at an empty value, or without a table, the English text stays
    testing::ScratchFolder folder;
    folder.Write("Lng/fra.lng", Messages({"Erreur", "", "a||b", "###END###", "after the end"}));
    const StringTable table = StringTable::LoadStringTable("fra", folder.Path("Lng"), CodePage::Windows1252);
    EXPECT_EQ(table.GetString(1, "Input error"), "Erreur");
    EXPECT_EQ(table.GetString(2, "Input|error"), "Input\r\nerror");
    EXPECT_EQ(table.GetString(3, ""), "a\r\n\r\nb");
    for (int n : {0, -1, 4, 5, 32001})
        EXPECT_EQ(table.GetString(n, "English"), "English") << n;
    EXPECT_EQ(StringTable::LoadStringTable("deu", folder.Path("Lng"), CodePage::Windows1252).GetString(18, "A|B"),
              "A\r\nB");
}

// a Russian file written on a Russian machine: 1251 bytes, shown as Cyrillic whichever way it was chosen
TEST(StringTable, ALanguageFileIsReadInItsLanguagesCodePage) {
    testing::ScratchFolder folder;
    folder.Write("Lng/Local.ini", "[LocaleID]\r\n1036=fra\r\n1049=rus\r\nForce=\r\n");
    folder.Write("Lng/rus.lng", Messages({"\xCE\xF8\xE8\xE1\xEA\xE0", "###END###"})); // "Ошибка"
    const std::string cyrillic = "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0";
    ASSERT_EQ(ChooseLanguage(1049, LanguageFiles{folder.Path("Lng"), false}), "rus");
    for (const std::int32_t userLcid : {1049, 1033}) { // by the user's locale, or forced on an English one
        const CodePage codePage = LanguageCodePage("rus", userLcid, folder.Path("Lng"));
        EXPECT_EQ(codePage.number(), 1251) << userLcid;
        EXPECT_EQ(StringTable::LoadStringTable("rus", folder.Path("Lng"), codePage).GetString(1, "Error"),
                  cyrillic);
    }
    // a language the map does not name is read as the user's locale writes
    EXPECT_EQ(LanguageCodePage("pol", 1045, folder.Path("Lng")).number(), 1250);
}

} // namespace
} // namespace corvane
