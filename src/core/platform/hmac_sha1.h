// the two primitives of WinZip AES's authentication code, from the system's own cryptography
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// PBKDF2 with HMAC-SHA1: `length` bytes derived from the password and salt; nothing when the system
// refuses.
std::optional<std::vector<unsigned char>> DeriveKeyPbkdf2Sha1(const std::string& password,
                                                              const unsigned char* salt, std::size_t saltBytes,
                                                              unsigned iterations, std::size_t length);

// HMAC-SHA1 over data given in pieces. A failure of the system makes Finish give nothing.
class HmacSha1 {
public:
    static constexpr std::size_t kDigestBytes = 20;

    HmacSha1(const unsigned char* key, std::size_t keyBytes);
    ~HmacSha1();
    HmacSha1(const HmacSha1&) = delete;
    HmacSha1& operator=(const HmacSha1&) = delete;

    void Update(const unsigned char* data, std::size_t size);
    std::optional<std::array<unsigned char, kDigestBytes>> Finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace corvane
