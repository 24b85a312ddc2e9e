// JSON output with escaping and comma placement
#include "cli/json_writer.h"

#include <cstdio>

#include "core/project/text.h"

namespace corvane {

std::string JsonWriter::Quote(const std::string& text) {
    const std::string valid = AnsiToUtf8(text, CodePage::Utf8);
    std::string out = "\"";
    for (char c : valid) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasItems.empty()) {
        if (m_hasItems.back()) {
            m_out << ',';
        }
        m_hasItems.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    m_out << '{';
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_out << '}';
    m_hasItems.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    m_out << '[';
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_out << ']';
    m_hasItems.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& name) {
    BeforeValue();
    m_out << Quote(name) << ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& text) {
    BeforeValue();
    m_out << Quote(text);
    return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t number) {
    BeforeValue();
    m_out << number;
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out << (value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_out << "null";
    return *this;
}

} // namespace corvane
