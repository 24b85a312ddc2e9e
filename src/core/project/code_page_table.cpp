// the characters of the ANSI code pages, taken from the system's converter rather than our own tables
#include "core/project/code_page_table.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "core/platform/charset.h"

namespace corvane {

namespace {

std::string Unit(int first, int second = -1) {
    std::string unit(1, static_cast<char>(first));
    if (second >= 0)
        unit += static_cast<char>(second);
    return unit;
}

void ReadSingleBytes(CodePageTable& table, const std::string& charset, bool doubleByte) {
    std::vector<std::string> units;
    for (int byte = 0; byte < 256; ++byte)
        units.push_back(Unit(byte));
    const auto decoded = DecodeEachUnit(charset, units);
    table.complete = decoded.has_value();
    for (int byte = 0; byte < 256; ++byte) {
        const std::optional<char32_t> character = decoded ? (*decoded)[byte] : std::nullopt;
        // a double-byte code page's undefined bytes are its lead bytes, known once their pairs are read
        table.single[byte] = character.value_or(doubleByte ? kNoCharacter : static_cast<char32_t>(byte));
    }
}

void ReadPairs(CodePageTable& table, const std::string& charset) {
    std::vector<std::string> units;
    for (int lead = 0x80; lead < 256; ++lead) {
        if (table.single[lead] != kNoCharacter)
            continue;
        for (int trail = 0x20; trail < 256; ++trail)
            units.push_back(Unit(lead, trail));
    }
    const auto decoded = DecodeEachUnit(charset, units);
    for (std::size_t i = 0; decoded && i < units.size(); ++i) {
        if (!(*decoded)[i])
            continue;
        const auto lead = static_cast<unsigned char>(units[i][0]);
        const auto trail = static_cast<unsigned char>(units[i][1]);
        table.lead[lead] = true;
        table.pairs.emplace(static_cast<std::uint16_t>(lead << 8 | trail), *(*decoded)[i]);
        // the lowest bytes of a character written in several ways, after its single-byte form
        table.bytesOf.emplace(*(*decoded)[i], units[i]);
    }
    for (int byte = 0; byte < 256; ++byte) {
        if (table.single[byte] == kNoCharacter && !table.lead[byte]) {
            table.single[byte] = static_cast<char32_t>(byte);
            table.bytesOf.emplace(table.single[byte], Unit(byte));
        }
    }
}

std::unique_ptr<CodePageTable> Build(CodePage codePage) {
    auto table = std::make_unique<CodePageTable>();
    const std::string charset = "CP" + std::to_string(codePage.number());
    ReadSingleBytes(*table, charset, codePage.IsDoubleByte());
    for (int byte = 0; byte < 256; ++byte) {
        if (table->single[byte] != kNoCharacter)
            table->bytesOf.emplace(table->single[byte], Unit(byte));
    }
    if (codePage.IsDoubleByte())
        ReadPairs(*table, charset);
    return table;
}

} // namespace

const CodePageTable& TableOf(CodePage codePage) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePageTable>> tables;
    const std::lock_guard lock(mutex);
    std::unique_ptr<CodePageTable>& table = tables[codePage.number()];
    if (!table)
        table = Build(codePage);
    return *table;
}

} // namespace corvane
