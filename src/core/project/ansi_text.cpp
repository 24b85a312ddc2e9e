// ANSI text to UTF-8 and back, and the characters of a double-byte text
#include "core/project/text.h"

#include <utility>

#include "core/project/code_page_table.h"

namespace corvane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// the character at bytes[pos] and its length; U+FFFD and 1 for a lead byte without a trail to complete it
std::pair<char32_t, std::size_t> DecodeAt(const CodePageTable& table, const std::string& bytes,
                                          std::size_t pos) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (!table.lead[byte])
        return {table.single[byte], 1};
    if (pos + 1 < bytes.size()) {
        const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
        const auto found = table.pairs.find(static_cast<std::uint16_t>(byte << 8 | trail));
        if (found != table.pairs.end())
            return {found->second, 2};
    }
    return {kReplacement, 1};
}

bool IsTableCodePage(CodePage codePage) {
    return codePage != CodePage::Utf8 && codePage != CodePage::Latin1;
}

} // namespace

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
    if (codePage == CodePage::Latin1) {
        for (char c : bytes)
            AppendUtf8(out, static_cast<unsigned char>(c));
        return out;
    }
    const CodePageTable& table = TableOf(codePage);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto [character, length] = DecodeAt(table, bytes, pos);
        AppendUtf8(out, character);
        pos += length;
    }
    return out;
}

std::string Utf8ToAnsi(const std::string& text, CodePage codePage) {
    std::string out;
    out.reserve(text.size());
    const CodePageTable* table = IsTableCodePage(codePage) ? &TableOf(codePage) : nullptr;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t codePoint = DecodeUtf8(text, pos);
        if (codePoint == kReplacement && pos - start == 1) {
            out += '?';
        } else if (codePage == CodePage::Utf8) {
            out += text.substr(start, pos - start);
        } else if (codePage == CodePage::Latin1) {
            out += codePoint <= 0xFF ? static_cast<char>(codePoint) : '?';
        } else {
            const auto found = table->bytesOf.find(codePoint);
            out += found != table->bytesOf.end() ? found->second : std::string("?");
        }
    }
    return out;
}

bool CanConvert(CodePage codePage) {
    return !IsTableCodePage(codePage) || TableOf(codePage).complete;
}

std::size_t CharacterLengthAt(const std::string& bytes, std::size_t pos, CodePage codePage) {
    if (!codePage.IsDoubleByte())
        return 1;
    return DecodeAt(TableOf(codePage), bytes, pos).second;
}

std::size_t FindCharacter(const std::string& bytes, char c, CodePage codePage, std::size_t from) {
    if (!codePage.IsDoubleByte())
        return bytes.find(c, from);
    // characters are found from the start of the text: only there is a byte known to start one
    const CodePageTable& table = TableOf(codePage);
    for (std::size_t pos = 0; pos < bytes.size(); pos += DecodeAt(table, bytes, pos).second) {
        if (pos >= from && bytes[pos] == c)
            return pos;
    }
    return std::string::npos;
}

} // namespace corvane
