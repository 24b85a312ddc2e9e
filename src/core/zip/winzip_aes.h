// WinZip AES-256 for one entry: keys from the password and a salt, the counter mode with its
// little-endian counter, and the authentication code over the encrypted bytes
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/zip/crypto_backend.h"

namespace corvane {

// An entry's stored bytes: salt, password verifier, the encrypted stream, then its authentication code.
constexpr std::size_t kAesSaltBytes = 16, kAesVerifierBytes = 2, kAesCodeBytes = 10;
constexpr std::size_t kAesHeaderBytes = kAesSaltBytes + kAesVerifierBytes;
constexpr std::size_t kAesOverhead = kAesHeaderBytes + kAesCodeBytes;

struct WinZipAesKeys {
    std::array<std::uint8_t, kAesSaltBytes> salt{};
    std::array<std::uint8_t, kAesVerifierBytes> verifier{};
    std::array<std::uint8_t, 32> encryption{};
    std::array<std::uint8_t, 32> authentication{};
};

WinZipAesKeys DeriveWinZipAesKeys(std::string_view password, const std::uint8_t* salt);

// One entry's stream, in either direction; the code covers the encrypted bytes.
class WinZipAesStream {
public:
    explicit WinZipAesStream(const WinZipAesKeys& keys);

    void Encrypt(std::uint8_t* data, std::size_t length);
    void Decrypt(std::uint8_t* data, std::size_t length);
    std::array<std::uint8_t, kAesCodeBytes> Code();

private:
    void ApplyKeyStream(std::uint8_t* data, std::size_t length);

    static constexpr std::size_t kBatchBlocks = 64; // the block function runs on a kilobyte at a time
    crypto::Aes256 m_cipher;
    crypto::HmacSha1 m_mac;
    std::uint64_t m_counter = 0; // of the last block made; the first is 1
    std::array<std::uint8_t, kBatchBlocks * crypto::Aes256::kBlockBytes> m_keyStream{};
    std::size_t m_used = sizeof m_keyStream;
};

// Encrypts a raw deflate stream in place under a new random salt and frames it as the entry stores it.
// The keys are returned so that reading the archive back needs no second derivation.
WinZipAesKeys SealWinZipAesEntry(std::string_view password, std::string& bytes);

} // namespace corvane
