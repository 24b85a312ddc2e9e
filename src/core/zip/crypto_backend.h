// the few primitives WinZip AES takes from a cryptographic library; one implementation per build
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace corvane::crypto {

// PBKDF2 with HMAC-SHA1: `length` bytes into `out`.
void Pbkdf2HmacSha1(std::string_view password, const std::uint8_t* salt, std::size_t saltLength,
                    unsigned iterations, std::uint8_t* out, std::size_t length);

// The AES-256 block function alone, encrypting: the counter mode around it is WinZip's own.
class Aes256 {
public:
    static constexpr std::size_t kBlockBytes = 16;

    explicit Aes256(const std::uint8_t* key); // 32 bytes
    ~Aes256();
    Aes256(const Aes256&) = delete;
    Aes256& operator=(const Aes256&) = delete;

    void EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

class HmacSha1 {
public:
    static constexpr std::size_t kCodeBytes = 20;

    HmacSha1(const std::uint8_t* key, std::size_t length);
    ~HmacSha1();
    HmacSha1(const HmacSha1&) = delete;
    HmacSha1& operator=(const HmacSha1&) = delete;

    void Update(const std::uint8_t* data, std::size_t length);
    std::array<std::uint8_t, kCodeBytes> Final();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace corvane::crypto
