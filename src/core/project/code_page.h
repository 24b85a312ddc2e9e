// the Windows ANSI code pages the files of VB6 projects are written in, named by their Windows numbers
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/common/error.h"

namespace corvane {

class CodePage {
public:
    static const CodePage Windows1252;
    static const CodePage Latin1; // 28591, for files that came through Unix tools
    static const CodePage Utf8;   // 65001

    constexpr CodePage() : m_number(1252) {}
    // The code page of a number among KnownCodePageNumbers().
    static std::optional<CodePage> FromNumber(int number);

    constexpr int number() const { return m_number; }
    // 932, 936, 949 and 950 write most characters as a lead byte and a trail byte, and a trail byte may
    // equal "\": such text is cut only where a character starts.
    bool IsDoubleByte() const;

    friend constexpr bool operator==(CodePage, CodePage) = default;

private:
    constexpr explicit CodePage(int number) : m_number(number) {}
    int m_number;
};

inline constexpr CodePage CodePage::Windows1252{1252};
inline constexpr CodePage CodePage::Latin1{28591};
inline constexpr CodePage CodePage::Utf8{65001};

// Every Windows ANSI code page, then Latin-1 and UTF-8.
const std::vector<int>& KnownCodePageNumbers();

// A code page by number ("1251") or by one of its usual names ("cp1251", "windows-1251",
// "ISO-8859-1", "latin1", "utf-8"), without regard to case, "-", "_" or spaces. A name of no known code
// page fails with a message listing the accepted ones.
Result<CodePage> CodePageFromName(const std::string& name);

} // namespace corvane
