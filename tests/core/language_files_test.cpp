// checks the shipped language files byte by byte and key by key: translators edit them by hand,
// and the program silently falls back to English on any key it cannot use
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path LanguageFolder() {
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "lng";
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every key a translation may carry. Label2 and lblLabel4 get their captions, and Label3, Frame3D2,
// Image11 and Image13 their tool tips, at run time, so a translation of them would never show.
const std::map<std::string, std::string> kExpectedKeyLists = {
    {"frmMain", "Form Label10 Label11 Label12 Label13 DBpathDialog0 SavepathDialog1 lblOR PelmButton1 "
                "PelmOpenThe Label3 Btn_Valider Btn_Annuler Frame3D2 Text10ToolTipText Text11ToolTipText "
                "Text12ToolTipText Text13ToolTipText DBpathDialog0ToolTipText SavepathDialog1ToolTipText "
                "PelmButton1ToolTipText PelmOpenTheToolTipText Btn_ValiderToolTipText Btn_AnnulerToolTipText "
                "Image14ToolTipText Image12ToolTipText AlphaImgCtl2ToolTipText List1ToolTipText"},
    {"frmGroup", "Form Label10 Label13 Label12 Label11 Label14 btn_Group Btn_Annuler Text10ToolTipText "
                 "Text11ToolTipText Text12ToolTipText Text13ToolTipText DBpathDialog0ToolTipText "
                 "SavepathDialog1ToolTipText SetPathDialog0ToolTipText btn_PlusToolTipText "
                 "btn_MoinsToolTipText List1ToolTipText btn_GroupToolTipText Btn_AnnulerToolTipText"},
};
constexpr int kMessageCount = 20;
const std::map<std::string, std::vector<std::string>> kAcceleratedKeys = {
    {"frmMain", {"Btn_Valider", "Btn_Annuler"}}, {"frmGroup", {"Btn_Annuler"}}};
const std::vector<std::pair<std::string, std::string>> kKeepsCopyrightSign = {
    {"frmMain", "Label10"},  {"frmMain", "Frame3D2"}, {"frmGroup", "Form"},
    {"Strings", "String10"}, {"Strings", "String14"}, {"Strings", "String16"}};

std::set<std::string> ExpectedKeys(const std::string& list) {
    std::set<std::string> keys;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(' ', start), list.size());
        keys.insert(list.substr(start, end - start));
        start = end + 1;
    }
    return keys;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsContinuation(unsigned char b) {
    return b >= 0x80 && b <= 0xBF;
}

// A lead byte followed by the continuation bytes it announces: the editor saved UTF-8.
bool StartsUtf8Sequence(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > bytes.size())
        return false;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(bytes[i + k])))
            return false;
    }
    return true;
}

void CheckBytes(std::string_view bytes, std::vector<std::string>& problems) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        problems.push_back("starts with a UTF-8 byte order mark");
    int line = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const std::string where = "line " + std::to_string(line) + ": ";
        if (b == '\n') {
            if (i == 0 || bytes[i - 1] != '\r')
                problems.push_back(where + "line feed without carriage return");
            ++line;
        } else if (b == '\r') {
            if (i + 1 == bytes.size() || bytes[i + 1] != '\n')
                problems.push_back(where + "carriage return without line feed");
        } else if (b < 0x20 || b == 0x7F) {
            problems.push_back(where + "control byte " + std::to_string(b));
        } else if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            problems.push_back(where + "byte not defined in Windows-1252");
        } else if (StartsUtf8Sequence(bytes, i)) {
            problems.push_back(where + "UTF-8 sequence instead of a Windows-1252 character");
        }
    }
    if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n")
        problems.push_back("last line is not ended by CR LF");
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// section -> key -> value as the program reads it: blanks trimmed, then one pair of quotes removed
using Sections = std::map<std::string, std::map<std::string, std::string>>;

Sections ParseLines(std::string_view bytes, std::vector<std::string>& problems) {
    Sections sections;
    std::string current;
    std::set<std::string> lowerKeysSeen;
    int number = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string_view::npos ? bytes.size() : end;
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        ++number;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            current = std::string(line.substr(1, line.find(']') - 1));
            if (current != "Setup" && current != "Strings" && kExpectedKeyLists.count(current) == 0)
                problems.push_back(where + "unknown section [" + current + "]");
            if (sections.count(current) != 0)
                problems.push_back(where + "section [" + current + "] opened twice");
            sections[current];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current.empty() || equals == std::string_view::npos) {
            problems.push_back(where + "neither a section nor a key=value line");
            continue;
        }
        const std::string key(line.substr(0, equals));
        if (key != TrimBlanks(key))
            problems.push_back(where + "blanks around key " + key);
        std::string_view value = TrimBlanks(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.size() > 254)
            problems.push_back(where + key + " is longer than 254 bytes and would be cut");
        if (!lowerKeysSeen.insert(Lower(current + "]" + key)).second)
            problems.push_back(where + "duplicate key " + key + " (only the first one is read)");
        sections[current].emplace(key, value);
    }
    return sections;
}

void CheckWindowKeys(const Sections& sections, std::vector<std::string>& problems) {
    for (const auto& [window, list] : kExpectedKeyLists) {
        const std::set<std::string> expected = ExpectedKeys(list);
        const auto found = sections.find(window);
        const std::map<std::string, std::string> none;
        const auto& keys = found == sections.end() ? none : found->second;
        for (const auto& [key, value] : keys) {
            if (expected.count(key) == 0)
                problems.push_back("unknown key " + key + " in [" + window + "]");
            else if (value.empty())
                problems.push_back("empty value for " + key + " in [" + window + "]");
        }
        for (const std::string& key : expected) {
            if (keys.count(key) == 0)
                problems.push_back("missing key " + key + " in [" + window + "]");
        }
    }
}

void CheckMessages(const Sections& sections, std::vector<std::string>& problems) {
    const auto found = sections.find("Strings");
    const std::map<std::string, std::string> none;
    const auto& messages = found == sections.end() ? none : found->second;
    for (int n = 1; n <= kMessageCount; ++n) {
        const auto it = messages.find("String" + std::to_string(n));
        if (it == messages.end() || it->second.empty())
            problems.push_back("message String" + std::to_string(n) + " missing or empty");
    }
    const auto end = messages.find("String" + std::to_string(kMessageCount + 1));
    if (end == messages.end() || end->second != "###END###")
        problems.push_back("String" + std::to_string(kMessageCount + 1) + " is not ###END###");
    for (const auto& [key, value] : messages) {
        const std::string digits = key.size() > 6 ? key.substr(6) : "";
        const bool numbered = key.rfind("String", 0) == 0 && !digits.empty() && digits.size() <= 2 &&
                              std::all_of(digits.begin(), digits.end(), IsDigit);
        if (!numbered || std::stoi(digits) < 1 || std::stoi(digits) > kMessageCount + 1 || digits[0] == '0')
            problems.push_back("unknown key " + key + " in [Strings]");
    }
    const auto question = messages.find("String13");
    if (question != messages.end() && (question->second.empty() || question->second.back() != ' '))
        problems.push_back("String13 must end with a space once read (quote the value)");
}

void CheckCaptionRules(const Sections& sections, std::vector<std::string>& problems) {
    const auto value = [&](const std::string& section, const std::string& key) -> std::string {
        const auto s = sections.find(section);
        if (s == sections.end() || s->second.count(key) == 0)
            return {};
        return s->second.at(key);
    };
    for (const auto& [window, keys] : kAcceleratedKeys) {
        std::set<char> letters;
        for (const std::string& key : keys) {
            const std::string caption = value(window, key);
            const std::size_t amp = caption.find('&');
            if (amp == std::string::npos || amp + 1 == caption.size() ||
                caption.find('&', amp + 1) != std::string::npos)
                problems.push_back(key + " in [" + window + "] needs exactly one & accelerator");
            else if (!letters
                          .insert(
                              static_cast<char>(std::tolower(static_cast<unsigned char>(caption[amp + 1]))))
                          .second)
                problems.push_back(key + " in [" + window + "] repeats another button's accelerator");
        }
    }
    if (value("frmMain", "Label3") != "Corvane")
        problems.push_back("Label3 in [frmMain] must keep the product name Corvane");
    const std::string notice = value("frmMain", "Frame3D2");
    const bool endsWithYearAndHyphen = notice.size() >= 5 && notice.back() == '-' &&
                                       std::all_of(notice.end() - 5, notice.end() - 1, IsDigit);
    if (!endsWithYearAndHyphen)
        problems.push_back("Frame3D2 in [frmMain] must end with a first year and a hyphen");
    for (const auto& [section, key] : kKeepsCopyrightSign) {
        if (value(section, key).find('\xA9') == std::string::npos)
            problems.push_back(key + " in [" + section + "] lost its copyright sign");
    }
}

std::vector<std::string> CheckLanguageFile(const std::string& bytes, const std::string& helpCode) {
    std::vector<std::string> problems;
    CheckBytes(bytes, problems);
    const Sections sections = ParseLines(bytes, problems);
    const auto setup = sections.find("Setup");
    if (setup == sections.end() || setup->second.size() != 1 || setup->second.count("lng") == 0 ||
        setup->second.at("lng") != helpCode)
        problems.push_back("[Setup] must hold exactly lng=" + helpCode);
    CheckWindowKeys(sections, problems);
    CheckMessages(sections, problems);
    CheckCaptionRules(sections, problems);
    return problems;
}

std::string Join(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems)
        text += "\n  " + problem;
    return text;
}

struct Shipped {
    const char* code;
    const char* helpCode;
};
const Shipped kShipped[] = {{"fra", "fr"}, {"deu", "de"}, {"ita", "it"},
                            {"spa", "es"}, {"por", "pt"}, {"nld", "nl"}};

class ShippedLanguageFile : public ::testing::TestWithParam<Shipped> {};

TEST_P(ShippedLanguageFile, IsCompleteAndReadableAsWindows1252) {
    const fs::path path = LanguageFolder() / (std::string(GetParam().code) + ".lng");
    ASSERT_TRUE(fs::exists(path)) << path;
    const std::vector<std::string> problems = CheckLanguageFile(ReadBytes(path), GetParam().helpCode);
    EXPECT_TRUE(problems.empty()) << path << Join(problems);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageFile, ::testing::ValuesIn(kShipped),
                         [](const auto& info) { return std::string(info.param.code); });

TEST(ShippedLanguageFiles, EveryFileInTheFolderIsChecked) {
    std::set<std::string> onDisk;
    for (const auto& entry : fs::directory_iterator(LanguageFolder())) {
        if (entry.path().extension() == ".lng")
            onDisk.insert(entry.path().stem().string());
    }
    std::set<std::string> checked;
    for (const Shipped& shipped : kShipped)
        checked.insert(shipped.code);
    EXPECT_EQ(onDisk, checked);
}

// Each row breaks the French file in one way a hand edit could, and names the complaint it must raise.
struct Fault {
    const char* name;
    const char* from;
    const char* to;
    const char* complaint;
};

class FaultyLanguageFile : public ::testing::TestWithParam<Fault> {};

TEST_P(FaultyLanguageFile, IsReported) {
    std::string bytes = ReadBytes(LanguageFolder() / "fra.lng");
    const Fault& fault = GetParam();
    const std::size_t at = bytes.find(fault.from);
    ASSERT_NE(at, std::string::npos) << "the French file no longer holds " << fault.from;
    bytes.replace(at, std::string_view(fault.from).size(), fault.to);
    const std::string problems = Join(CheckLanguageFile(bytes, "fr"));
    EXPECT_NE(problems.find(fault.complaint), std::string::npos) << "complaints were:" << problems;
}

const std::string kTooLong = "Form=" + std::string(255, 'x');

const Fault kFaults[] = {
    {"Utf8ByteOrderMark", "[Setup]", "\xEF\xBB\xBF[Setup]", "byte order mark"},
    {"LoneLineFeed", "\r\n[Strings]", "\n[Strings]", "line feed without carriage return"},
    {"LoneCarriageReturn", "\r\n[frmGroup]", "\r[frmGroup]", "carriage return without line feed"},
    {"NoFinalLineEnd", "###END###\r\n", "###END###", "last line"},
    {"SavedAsUtf8", "Form=Archiveur", "Form=Archiveur \xC3\xA9", "UTF-8 sequence"},
    {"UndefinedByte", "Form=Archiveur", "Form=\x81rchiveur", "not defined in Windows-1252"},
    {"TabInValue", "lblOR=OU", "lblOR=O\tU", "control byte"},
    {"MisspelledLabel", "Label13=", "Label15=", "unknown key Label15"},
    {"ArrayWithoutIndex", "Text10ToolTipText", "Text1ToolTipText", "unknown key Text1ToolTipText"},
    {"TextBoxCaption", "lblOR=OU", "lblOR=OU\r\nText10=x", "unknown key Text10"},
    {"RunTimeCaption", "lblOR=OU", "lblOR=OU\r\nLabel2=x", "unknown key Label2"},
    {"RunTimeToolTip", "lblOR=OU", "lblOR=OU\r\nFrame3D2ToolTipText=x", "unknown key Frame3D2ToolTipText"},
    {"MainOnlyKeyInGroup", "btn_Group=", "lblOR=OU\r\nbtn_Group=", "unknown key lblOR in [frmGroup]"},
    {"DroppedToolTip", "Image12ToolTipText=", "Image13ToolTipText=", "missing key Image12ToolTipText"},
    {"EmptyCaption", "lblOR=OU", "lblOR=", "empty value for lblOR"},
    {"DuplicateKey", "lblOR=OU", "lblOR=OU\r\nLBLOR=OU", "duplicate key LBLOR"},
    {"SectionTwice", "[Strings]", "[frmMain]\r\n[Strings]", "opened twice"},
    {"UnknownSection", "[frmGroup]", "[frmGroupe]", "unknown section [frmGroupe]"},
    {"StrayLine", "lblOR=OU", "lblOR OU", "neither a section nor a key=value line"},
    {"BlanksAroundKey", "lblOR=OU", "lblOR =OU", "blanks around key"},
    {"ValueTooLong", "lblOR=OU", kTooLong.c_str(), "longer than 254 bytes"},
    {"MissingMessage", "String7=", "String77=", "String7 missing"},
    {"EmptyMessage", "String18=", "String18=\r\nString99=", "String18 missing or empty"},
    {"MessageAfterEnd", "String21=###END###", "String21=###END###\r\nString22=x", "unknown key String22"},
    {"NoEndMarker", "String21=###END###", "String21=###FIN###", "is not ###END###"},
    {"ZeroPaddedNumber", "String21=", "String021=", "unknown key String021"},
    {"QuestionTrimmed", "? \"\r\n", "? \r\n", "String13 must end with a space"},
    {"NoHelpCode", "lng=fr", "lang=fr", "[Setup] must hold exactly lng=fr"},
    {"WrongHelpCode", "lng=fr", "lng=fra", "[Setup] must hold exactly lng=fr"},
    {"AcceleratorLost", "Btn_Valider=&Archiver", "Btn_Valider=Archiver", "Btn_Valider in [frmMain] needs"},
    {"TwoAccelerators", "Btn_Annuler=&Quitter", "Btn_Annuler=&Quitter&", "Btn_Annuler in [frmMain] needs"},
    {"SameAccelerator", "Btn_Annuler=&Quitter", "Btn_Annuler=&arreter",
     "repeats another button's accelerator"},
    {"ProductNameTranslated", "Label3=Corvane", "Label3=Corvane 2", "product name"},
    {"YearRangeLost", "2024-", "2024", "first year and a hyphen"},
    {"CopyrightSignLost", "Basic\xA9 \xE0 sauvegarder", "Basic \xE0 sauvegarder",
     "Label10 in [frmMain] lost"},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultyLanguageFile, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
