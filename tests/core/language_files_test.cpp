// checks the shipped language files as the program reads them: translators edit them by hand, and the
// program silently keeps English for any key it cannot use
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "core/ini_file.h"
#include "core/text_lines.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

fs::path LanguageFolder() {
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "lng";
}

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
                "String12 String13 String14 String15 String16 String17 String18 String19 String20 String21"},
};

std::string CheckLanguageFile(const std::string& bytes, const std::string& helpCode) {
    std::ostringstream problems;
    for (std::size_t i = 0, line = 1; i < bytes.size(); line += bytes[i++] == '\n') {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool continued =
            i + 1 < bytes.size() && (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) == 0x80;
        if ((b < 0x20 && b != '\r' && b != '\n') || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F ||
            b == 0x90 || b == 0x9D)
            problems << "\n  line " << line
                     << ": control byte or byte not defined in Windows-1252: " << int(b);
        else if (b >= 0xC2 && b <= 0xF4 && continued) // a lead and a continuation byte: saved as UTF-8
            problems << "\n  line " << line << ": UTF-8 sequence instead of a Windows-1252 character";
    }
    const IniFile file = IniFile::Parse(bytes);
    for (const auto& [section, list] : kKeyLists) {
        std::istringstream words(list);
        std::set<std::string> missing{std::istream_iterator<std::string>(words), {}};
        for (const auto& [key, value] : file.Section(section)) {
            const std::string where = key + " in [" + section + "]";
            if (missing.erase(key) == 0)
                problems << "\n  unknown key " << where;
            else if (value.empty())
                problems << "\n  empty value for " << where;
            else if (value.size() >= kMaxIniValueLength)
                problems << "\n  " << where << " reaches " << kMaxIniValueLength << " bytes and may be cut";
        }
        for (const std::string& key : missing)
            problems << "\n  missing key " << key << " in [" << section << "]";
    }
    const auto value = [&](const char* section, const char* key) { return file.Get(section, key, ""); };
    if (value("Setup", "lng") != helpCode)
        problems << "\n  [Setup] must hold lng=" << helpCode;
    if (value("Strings", "String21") != "###END###")
        problems << "\n  String21 is not ###END###";
    if (const std::string question = value("Strings", "String13"); question.empty() || question.back() != ' ')
        problems << "\n  String13 must end with a space once read (quote the value)";
    for (const auto& [window, key] :
         {std::pair{"frmMain", "Btn_Valider"}, {"frmMain", "Btn_Annuler"}, {"frmGroup", "Btn_Annuler"}}) {
        if (const std::string caption = value(window, key);
            std::count(caption.begin(), caption.end(), '&') != 1)
            problems << "\n  " << key << " in [" << window << "] needs exactly one & accelerator";
    }
    if (value("frmMain", "Label3") != "Corvane")
        problems << "\n  Label3 in [frmMain] must keep the product name Corvane";
    if (!std::regex_search(value("frmMain", "Frame3D2"), std::regex("[0-9]{4}-$")))
        problems << "\n  Frame3D2 in [frmMain] must end with a first year and a hyphen";
    return problems.str();
}

const std::pair<const char*, const char*> kShipped[] = {{"fra", "fr"}, {"deu", "de"}, {"ita", "it"},
                                                        {"spa", "es"}, {"por", "pt"}, {"nld", "nl"}};

TEST(LanguageFiles, EveryShippedFileIsCompleteAndWindows1252) {
    std::set<std::string> onDisk, shipped;
    for (const auto& entry : fs::directory_iterator(LanguageFolder()))
        onDisk.insert(entry.path().extension() == ".lng" ? entry.path().filename().string() : "");
    for (const auto& [code, helpCode] : kShipped) {
        shipped.insert(std::string(code) + ".lng");
        const Result<std::string> bytes =
            ReadTextFile((LanguageFolder() / (std::string(code) + ".lng")).string());
        ASSERT_TRUE(bytes.ok()) << bytes.error();
        EXPECT_EQ(CheckLanguageFile(*bytes, helpCode), "") << code;
    }
    onDisk.erase("");
    EXPECT_EQ(onDisk, shipped);
}

TEST(LanguageFiles, HandEditingFaultsAreReported) {
    const std::string tooLong = "lblOR=" + std::string(kMaxIniValueLength + 1, 'x');
    const struct {
        std::string from, to, complaint;
    } faults[] = {
        {"Form=Archiveur", "Form=Archiveur \xC3\xA9", "line 5: UTF-8 sequence"},
        {"lblOR=OU", "lblOR=O\x81U", "Windows-1252: 129"},
        {"Image12ToolTipText=", "Image13ToolTipText=", "missing key Image12ToolTipText in [frmMain]"},
        {"lblOR=OU", tooLong, "lblOR in [frmMain] reaches 254 bytes"},
        {"? \"\r\n", "? \r\n", "String13 must end with a space"},
        {"Btn_Valider=&Archiver", "Btn_Valider=Archiver", "Btn_Valider in [frmMain] needs"},
        {"2024-", "2024", "first year and a hyphen"},
    };
    const std::string french = ReadTextFile((LanguageFolder() / "fra.lng").string()).value();
    for (const auto& fault : faults) {
        std::string bytes = french;
        const std::size_t at = bytes.find(fault.from);
        ASSERT_NE(at, std::string::npos) << "the French file no longer holds " << fault.from;
        const std::string problems = CheckLanguageFile(bytes.replace(at, fault.from.size(), fault.to), "fr");
        EXPECT_NE(problems.find(fault.complaint), std::string::npos)
            << fault.to << ", complaints were:" << problems;
    }
}

} // namespace
} // namespace corvane
