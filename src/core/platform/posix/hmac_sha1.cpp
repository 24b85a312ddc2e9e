// WinZip AES's key derivation and authentication code from OpenSSL's libcrypto
#include "core/platform/hmac_sha1.h"

#include <algorithm>

#include <openssl/core_names.h>
#include <openssl/evp.h>

namespace corvane {

std::optional<std::vector<unsigned char>> DeriveKeyPbkdf2Sha1(const std::string& password,
                                                              const unsigned char* salt, std::size_t saltBytes,
                                                              unsigned iterations, std::size_t length) {
    std::vector<unsigned char> key(length);
    if (PKCS5_PBKDF2_HMAC_SHA1(password.data(), static_cast<int>(password.size()), salt,
                               static_cast<int>(saltBytes), static_cast<int>(iterations),
                               static_cast<int>(length), key.data()) != 1)
        return std::nullopt;
    return key;
}

struct HmacSha1::State {
    EVP_MAC* mac = nullptr;
    EVP_MAC_CTX* context = nullptr;
    bool failed = false;
    ~State() {
        EVP_MAC_CTX_free(context);
        EVP_MAC_free(mac);
    }
};

HmacSha1::HmacSha1(const unsigned char* key, std::size_t keyBytes) : m_state(std::make_unique<State>()) {
    m_state->mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    m_state->context = m_state->mac ? EVP_MAC_CTX_new(m_state->mac) : nullptr;
    char digest[] = "SHA1";
    const OSSL_PARAM parameters[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                     OSSL_PARAM_construct_end()};
    m_state->failed = !m_state->context || EVP_MAC_init(m_state->context, key, keyBytes, parameters) != 1;
}

HmacSha1::~HmacSha1() = default;

void HmacSha1::Update(const unsigned char* data, std::size_t size) {
    if (!m_state->failed && EVP_MAC_update(m_state->context, data, size) != 1)
        m_state->failed = true;
}

std::optional<std::array<unsigned char, HmacSha1::kDigestBytes>> HmacSha1::Finish() {
    std::array<unsigned char, EVP_MAX_MD_SIZE> computed{};
    std::size_t computedBytes = 0;
    if (m_state->failed ||
        EVP_MAC_final(m_state->context, computed.data(), &computedBytes, computed.size()) != 1 ||
        computedBytes != kDigestBytes)
        return std::nullopt;
    std::array<unsigned char, kDigestBytes> digest{};
    std::copy_n(computed.begin(), kDigestBytes, digest.begin());
    return digest;
}

} // namespace corvane
