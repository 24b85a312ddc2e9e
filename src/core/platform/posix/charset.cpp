// the character set converter of the C library (iconv)
#include "core/platform/charset.h"

#include <array>
#include <iconv.h>

namespace corvane {

namespace {

const auto kFailedOpen = reinterpret_cast<iconv_t>(-1);
constexpr auto kFailedConversion = static_cast<std::size_t>(-1);

class Converter {
public:
    explicit Converter(const std::string& charset) : m_handle(iconv_open("UTF-32LE", charset.c_str())) {}
    ~Converter() {
        if (m_handle != kFailedOpen)
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_handle != kFailedOpen; }

    std::optional<char32_t> DecodeOne(const std::string& unit) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr); // a fresh shift state for every unit
        std::string input = unit;
        std::array<unsigned char, 16> output{};
        char* in = input.data();
        std::size_t inLeft = input.size();
        auto* out = reinterpret_cast<char*>(output.data());
        std::size_t outLeft = output.size();
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == kFailedConversion || inLeft != 0)
            return std::nullopt;
        // a converter that combines characters (1258) holds the last one back until told the input ended
        if (iconv(m_handle, nullptr, nullptr, &out, &outLeft) == kFailedConversion)
            return std::nullopt;
        if (output.size() - outLeft != 4)
            return std::nullopt;
        return static_cast<char32_t>(output[0] | output[1] << 8 | output[2] << 16 | output[3] << 24);
    }

private:
    iconv_t m_handle;
};

} // namespace

std::optional<std::vector<std::optional<char32_t>>> DecodeEachUnit(const std::string& charset,
                                                                   const std::vector<std::string>& units) {
    Converter converter(charset);
    if (!converter.valid())
        return std::nullopt;
    std::vector<std::optional<char32_t>> decoded;
    decoded.reserve(units.size());
    for (const std::string& unit : units)
        decoded.push_back(converter.DecodeOne(unit));
    return decoded;
}

} // namespace corvane
