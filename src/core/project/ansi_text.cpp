// our own table for code page 1252, so the core needs no conversion library
#include "core/project/text.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace corvane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// 0x80..0x9F; the five bytes Windows leaves undefined map to the C1 control of the same value,
// as its own conversion does, so that every byte survives a round trip
constexpr std::array<char32_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Decode1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHigh1252[byte - 0x80] : static_cast<char32_t>(byte);
}

int Encode1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (std::size_t i = 0; i < kHigh1252.size(); ++i) {
        if (kHigh1252[i] == codePoint) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

std::string Lower(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '-' && c != '_' && c != ' ') {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

} // namespace

CodePage CodePageFromName(const std::string& name) {
    const std::string key = Lower(name);
    if (key == "28591" || key == "latin1" || key == "iso88591") {
        return CodePage::Latin1;
    }
    if (key == "utf8" || key == "65001") {
        return CodePage::Utf8;
    }
    return CodePage::Windows1252;
}

CodePage CodePageFromEnvironment() {
    const char* value = std::getenv("CORVANE_ANSI_CODEPAGE");
    return value == nullptr ? CodePage::Windows1252 : CodePageFromName(value);
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

char32_t DecodeUtf8(const std::string& text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int length = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    // overlong forms, surrogates and values past Unicode would smuggle characters past checks
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return codePoint;
}

std::string AnsiToUtf8(const std::string& bytes, CodePage codePage) {
    std::string out;
    out.reserve(bytes.size());
    if (codePage == CodePage::Utf8) {
        for (std::size_t pos = 0; pos < bytes.size();) {
            AppendUtf8(out, DecodeUtf8(bytes, pos));
        }
        return out;
    }
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, codePage == CodePage::Latin1 ? byte : Decode1252(byte));
    }
    return out;
}

std::string Utf8ToAnsi(const std::string& text, CodePage codePage) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t codePoint = DecodeUtf8(text, pos);
        const bool invalid = codePoint == kReplacement && pos - start == 1;
        if (codePage == CodePage::Utf8) {
            out += invalid ? std::string("?") : text.substr(start, pos - start);
            continue;
        }
        const int byte = codePage == CodePage::Latin1 ? (codePoint <= 0xFF ? static_cast<int>(codePoint) : -1)
                                                      : Encode1252(codePoint);
        out += byte < 0 || invalid ? '?' : static_cast<char>(byte);
    }
    return out;
}

} // namespace corvane
