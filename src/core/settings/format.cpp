// the text form of one settings file
#include "core/settings/format.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/common/ascii_case.h"

namespace corvane {

namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAsciiChar(x) == LowerAsciiChar(y); });
}

// Length of the valid UTF-8 sequence of a non-ASCII byte at bytes[i], or 0.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

void AppendHexEscape(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos]; pos ends after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
        // plain runs in one piece: files with thousands of values are read on every write
        const std::size_t special = std::min(line.find_first_of("\"\\", pos), line.size());
        text.append(line, pos, special - pos);
        pos = special;
        if (pos >= line.size())
            break;
        if (line[pos] == '"') {
            ++pos;
            return text;
        }
        if (++pos >= line.size())
            return std::nullopt;
        switch (line[pos]) {
        case '\\':
            text += '\\';
            break;
        case '"':
            text += '"';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case 'x': {
            if (pos + 2 >= line.size())
                return std::nullopt;
            const int high = HexValue(line[pos + 1]);
            const int low = HexValue(line[pos + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            text += static_cast<char>(high * 16 + low);
            pos += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ReadType(std::string_view line, std::size_t& pos) {
    std::uint64_t type = 0;
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        type = type * 10 + static_cast<std::uint64_t>(line[pos] - '0');
        if (type > 0xFFFFFFFFu)
            return std::nullopt;
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return static_cast<std::uint32_t>(type);
}

Error LineError(std::size_t lineNumber, const std::string& what) {
    return fail(ErrorKind::Damaged, "line " + std::to_string(lineNumber) + ": " + what);
}

bool IsPlainAscii(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"';
}

} // namespace

std::string QuoteSettingsText(const std::string& bytes) {
    std::string out = "\"";
    out.reserve(bytes.size() + 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::size_t run = i;
        while (run < bytes.size() && IsPlainAscii(static_cast<unsigned char>(bytes[run])))
            ++run;
        if (run > i) {
            out.append(bytes, i, run - i);
            i = run - 1;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[i]);
        switch (byte) {
        case '\\':
            out += "\\\\";
            continue;
        case '"':
            out += "\\\"";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (byte < 0x80) {
            AppendHexEscape(out, byte);
        } else if (const std::size_t length = Utf8SequenceLength(bytes, i)) {
            out.append(bytes, i, length);
            i += length - 1;
        } else {
            AppendHexEscape(out, byte);
        }
    }
    return out + "\"";
}

Result<SettingsDocument> SettingsDocument::Parse(const std::string& text) {
    SettingsDocument document;
    SettingsKey* current = nullptr;
    std::unordered_set<std::string> keysSeen, valuesSeen; // lower-case names
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == ';')
            continue;

        std::size_t pos = 0;
        if (line.front() == '[') {
            pos = 1;
            std::optional<std::string> path = ReadQuoted(line, pos);
            if (!path || pos + 1 != line.size() || line[pos] != ']')
                return LineError(lineNumber, "a key line must be [\"path\"]");
            if (!keysSeen.insert(LowerAscii(*path)).second)
                return LineError(lineNumber, "the key appears twice");
            valuesSeen.clear();
            document.m_keys.push_back(SettingsKey{std::move(*path), {}});
            current = &document.m_keys.back();
            continue;
        }
        if (!current)
            return LineError(lineNumber, "a value before any key");
        std::optional<std::string> name = ReadQuoted(line, pos);
        if (!name || pos >= line.size() || line[pos++] != '=')
            return LineError(lineNumber, "a value line must be \"name\"=type:\"data\"");
        std::optional<std::uint32_t> type = ReadType(line, pos);
        if (!type || pos >= line.size() || line[pos++] != ':')
            return LineError(lineNumber, "a value's type must be a number followed by \":\"");
        std::optional<std::string> data = ReadQuoted(line, pos);
        if (!data || pos != line.size())
            return LineError(lineNumber, "a value's data must be a quoted text ending the line");
        if (!valuesSeen.insert(LowerAscii(*name)).second)
            return LineError(lineNumber, "the value appears twice in its key");
        current->values.push_back(SettingsValue{std::move(*name), *type, std::move(*data)});
    }
    return document;
}

std::string SettingsDocument::Serialize() const {
    std::string text = "; Corvane settings\n";
    for (const SettingsKey& key : m_keys) {
        text += "[" + QuoteSettingsText(key.path) + "]\n";
        for (const SettingsValue& value : key.values)
            text += QuoteSettingsText(value.name) + "=" + std::to_string(value.type) + ":" +
                    QuoteSettingsText(value.data) + "\n";
    }
    return text;
}

const SettingsKey* SettingsDocument::FindKey(const std::string& path) const {
    for (const SettingsKey& key : m_keys) {
        if (EqualIgnoringAsciiCase(key.path, path))
            return &key;
    }
    return nullptr;
}

SettingsKey* SettingsDocument::FindKeyForUpdate(const std::string& path) {
    return const_cast<SettingsKey*>(std::as_const(*this).FindKey(path));
}

const SettingsValue* SettingsDocument::FindValue(const std::string& path, const std::string& name) const {
    const SettingsKey* key = FindKey(path);
    if (!key)
        return nullptr;
    for (const SettingsValue& value : key->values) {
        if (EqualIgnoringAsciiCase(value.name, name))
            return &value;
    }
    return nullptr;
}

void SettingsDocument::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                                std::string data) {
    SettingsKey* key = FindKeyForUpdate(path);
    if (!key) {
        m_keys.push_back(SettingsKey{path, {}});
        key = &m_keys.back();
    }
    for (SettingsValue& value : key->values) {
        if (EqualIgnoringAsciiCase(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    key->values.push_back(SettingsValue{name, type, std::move(data)});
}

} // namespace corvane
