// WinZip AES-256 for one entry: keys from the password and a salt, the counter mode with its
// little-endian counter, and the authentication code over the encrypted bytes
#include "core/zip/winzip_aes.h"

#include <algorithm>
#include <random>

namespace corvane {
namespace {

constexpr unsigned kIterations = 1000;

} // namespace

WinZipAesKeys DeriveWinZipAesKeys(std::string_view password, const std::uint8_t* salt) {
    WinZipAesKeys keys;
    std::copy(salt, salt + kAesSaltBytes, keys.salt.begin());
    std::array<std::uint8_t, 2 * 32 + kAesVerifierBytes> derived{};
    crypto::Pbkdf2HmacSha1(password, salt, kAesSaltBytes, kIterations, derived.data(), derived.size());
    auto at = derived.begin();
    std::copy(at, at + 32, keys.encryption.begin());
    std::copy(at + 32, at + 64, keys.authentication.begin());
    std::copy(at + 64, derived.end(), keys.verifier.begin());
    return keys;
}

WinZipAesStream::WinZipAesStream(const WinZipAesKeys& keys)
    : m_cipher(keys.encryption.data()), m_mac(keys.authentication.data(), keys.authentication.size()) {}

void WinZipAesStream::ApplyKeyStream(std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        if (m_used == m_keyStream.size()) {
            for (std::size_t block = 0; block < kBatchBlocks; ++block) {
                std::uint64_t counter = ++m_counter;
                std::uint8_t* at = m_keyStream.data() + block * crypto::Aes256::kBlockBytes;
                for (std::size_t i = 0; i < crypto::Aes256::kBlockBytes; ++i, counter >>= 8)
                    at[i] = static_cast<std::uint8_t>(counter);
            }
            m_cipher.EncryptBlocks(m_keyStream.data(), m_keyStream.data(), kBatchBlocks);
            m_used = 0;
        }
        const std::size_t taken = std::min(length, m_keyStream.size() - m_used);
        for (std::size_t i = 0; i < taken; ++i)
            data[i] ^= m_keyStream[m_used + i];
        m_used += taken;
        data += taken;
        length -= taken;
    }
}

void WinZipAesStream::Encrypt(std::uint8_t* data, std::size_t length) {
    ApplyKeyStream(data, length);
    m_mac.Update(data, length);
}

void WinZipAesStream::Decrypt(std::uint8_t* data, std::size_t length) {
    m_mac.Update(data, length);
    ApplyKeyStream(data, length);
}

std::array<std::uint8_t, kAesCodeBytes> WinZipAesStream::Code() {
    const auto full = m_mac.Final();
    std::array<std::uint8_t, kAesCodeBytes> code{};
    std::copy(full.begin(), full.begin() + kAesCodeBytes, code.begin());
    return code;
}

WinZipAesKeys SealWinZipAesEntry(std::string_view password, std::string& bytes) {
    // the salt only has to differ from entry to entry; the system's generator behind random_device
    // (the processor's or the kernel's) is more than that
    thread_local std::random_device random;
    std::array<std::uint8_t, kAesSaltBytes> salt{};
    for (std::size_t i = 0; i < salt.size(); i += sizeof(unsigned)) {
        const unsigned value = random();
        for (std::size_t b = 0; b < sizeof(unsigned); ++b)
            salt[i + b] = static_cast<std::uint8_t>(value >> (8 * b));
    }
    const WinZipAesKeys keys = DeriveWinZipAesKeys(password, salt.data());
    WinZipAesStream stream(keys);
    stream.Encrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    const auto code = stream.Code();
    std::string header(kAesHeaderBytes, '\0');
    std::copy(keys.salt.begin(), keys.salt.end(), header.begin());
    std::copy(keys.verifier.begin(), keys.verifier.end(), header.begin() + kAesSaltBytes);
    bytes.insert(0, header);
    bytes.append(code.begin(), code.end());
    return keys;
}

} // namespace corvane
