// the system's own code page converter (MultiByteToWideChar), asked for the "CP<number>" sets
#include "core/platform/charset.h"

#include <windows.h>

namespace corvane {

namespace {

std::optional<UINT> CodePageNumber(const std::string& charset) {
    if (charset.size() < 3 || (charset.compare(0, 2, "CP") != 0 && charset.compare(0, 2, "cp") != 0))
        return std::nullopt;
    UINT number = 0;
    for (std::size_t i = 2; i < charset.size(); ++i) {
        if (charset[i] < '0' || charset[i] > '9')
            return std::nullopt;
        number = number * 10 + static_cast<UINT>(charset[i] - '0');
    }
    return number;
}

std::optional<char32_t> DecodeOne(UINT codePage, const std::string& unit) {
    wchar_t out[4];
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, unit.data(),
                                           static_cast<int>(unit.size()), out, 4);
    if (length == 1 && (out[0] < 0xD800 || out[0] > 0xDFFF))
        return static_cast<char32_t>(out[0]);
    if (length == 2 && out[0] >= 0xD800 && out[0] < 0xDC00 && out[1] >= 0xDC00 && out[1] <= 0xDFFF)
        return static_cast<char32_t>(0x10000 + ((out[0] - 0xD800) << 10) + (out[1] - 0xDC00));
    return std::nullopt;
}

} // namespace

std::optional<std::vector<std::optional<char32_t>>> DecodeEachUnit(const std::string& charset,
                                                                   const std::vector<std::string>& units) {
    const std::optional<UINT> codePage = CodePageNumber(charset);
    if (!codePage || !IsValidCodePage(*codePage))
        return std::nullopt;
    std::vector<std::optional<char32_t>> decoded;
    decoded.reserve(units.size());
    for (const std::string& unit : units)
        decoded.push_back(DecodeOne(*codePage, unit));
    return decoded;
}

} // namespace corvane
