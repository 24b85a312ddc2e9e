// a minimal JSON writer for the machine-readable output of the commands
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace corvane {

// Writes one compact JSON value; commas and escapes are its business, the order of calls is the caller's.
// Strings must be UTF-8; invalid bytes are written as U+FFFD so the output always parses.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : m_out(out) {}

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& name);
    JsonWriter& String(const std::string& text);
    JsonWriter& Int(std::int64_t number);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    static std::string Quote(const std::string& text);

private:
    void BeforeValue();

    std::ostream& m_out;
    std::vector<bool> m_hasItems; // one per open object or array
    bool m_afterKey = false;
};

} // namespace corvane
