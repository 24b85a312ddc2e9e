// the characters of one code page, read once from the system's converter
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/project/code_page.h"

namespace corvane {

inline constexpr char32_t kNoCharacter = 0xFFFFFFFF;

struct CodePageTable {
    bool complete = false;                             // the system could convert the code page
    std::array<char32_t, 256> single{};                // kNoCharacter for a lead byte
    std::array<bool, 256> lead{};                      // starts a two-byte character
    std::unordered_map<std::uint16_t, char32_t> pairs; // lead << 8 | trail
    std::unordered_map<char32_t, std::string> bytesOf; // the first bytes found for each character
};

// The table of a code page other than Latin-1 and UTF-8, built at its first use and kept; safe to call
// from any thread. Bytes a single-byte code page leaves undefined stand for the C1 control of the same
// value, as Windows reads them, so that every byte survives a round trip.
const CodePageTable& TableOf(CodePage codePage);

} // namespace corvane
