// the code pages known by number and by name
#include "core/project/code_page.h"

#include <algorithm>
#include <cctype>

namespace corvane {

namespace {

// what people type for a code page, reduced to letters and digits
std::string NameKey(const std::string& name) {
    std::string key;
    for (char c : name) {
        if (c != '-' && c != '_' && c != ' ')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

std::optional<int> NumberOfKey(const std::string& key) {
    if (key == "latin1" || key == "iso88591")
        return 28591;
    if (key == "utf8")
        return 65001;
    std::string digits = key;
    for (const char* prefix : {"windows", "cp"}) {
        if (digits.starts_with(prefix)) {
            digits.erase(0, std::char_traits<char>::length(prefix));
            break;
        }
    }
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(digits);
}

std::string AcceptedNames() {
    std::string list;
    for (int number : KnownCodePageNumbers())
        list += (list.empty() ? "" : ", ") + std::to_string(number);
    return list + " (28591 is Latin-1, 65001 UTF-8; \"cp1251\" and \"windows-1251\" are read as 1251)";
}

} // namespace

const std::vector<int>& KnownCodePageNumbers() {
    static const std::vector<int> numbers = {1250, 1251, 1252, 1253, 1254, 1255, 1256,  1257,
                                             1258, 874,  932,  936,  949,  950,  28591, 65001};
    return numbers;
}

std::optional<CodePage> CodePage::FromNumber(int number) {
    const std::vector<int>& known = KnownCodePageNumbers();
    if (std::find(known.begin(), known.end(), number) == known.end())
        return std::nullopt;
    return CodePage(number);
}

bool CodePage::IsDoubleByte() const {
    return m_number == 932 || m_number == 936 || m_number == 949 || m_number == 950;
}

Result<CodePage> CodePageFromName(const std::string& name) {
    const std::optional<int> number = NumberOfKey(NameKey(name));
    if (const std::optional<CodePage> codePage = number ? CodePage::FromNumber(*number) : std::nullopt)
        return *codePage;
    return fail(ErrorKind::Refused,
                "\"" + name + "\" is not a code page Corvane knows. Accepted: " + AcceptedNames() + ".");
}

} // namespace corvane
