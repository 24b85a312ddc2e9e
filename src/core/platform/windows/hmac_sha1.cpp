// WinZip AES's key derivation and authentication code from Windows' own cryptography (BCrypt), the
// library libzip uses here for the encryption itself
#include "core/platform/hmac_sha1.h"

#include <windows.h>

#include <bcrypt.h>

namespace corvane {

namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

// the algorithm provider, opened for HMAC
class Provider {
public:
    Provider() {
        if (!Succeeded(BCryptOpenAlgorithmProvider(&m_handle, BCRYPT_SHA1_ALGORITHM, nullptr,
                                                   BCRYPT_ALG_HANDLE_HMAC_FLAG)))
            m_handle = nullptr;
    }
    ~Provider() {
        if (m_handle)
            BCryptCloseAlgorithmProvider(m_handle, 0);
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    BCRYPT_ALG_HANDLE get() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};

} // namespace

std::optional<std::vector<unsigned char>> DeriveKeyPbkdf2Sha1(const std::string& password,
                                                              const unsigned char* salt, std::size_t saltBytes,
                                                              unsigned iterations, std::size_t length) {
    Provider provider;
    if (!provider.get())
        return std::nullopt;
    std::vector<unsigned char> key(length);
    std::string secret = password; // the call wants writable buffers, though it writes neither
    std::vector<unsigned char> saltCopy(salt, salt + saltBytes);
    if (!Succeeded(BCryptDeriveKeyPBKDF2(provider.get(), reinterpret_cast<PUCHAR>(secret.data()),
                                         static_cast<ULONG>(secret.size()), saltCopy.data(),
                                         static_cast<ULONG>(saltCopy.size()), iterations, key.data(),
                                         static_cast<ULONG>(key.size()), 0)))
        return std::nullopt;
    return key;
}

struct HmacSha1::State {
    Provider provider;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = false;
    ~State() {
        if (hash)
            BCryptDestroyHash(hash);
    }
};

HmacSha1::HmacSha1(const unsigned char* key, std::size_t keyBytes) : m_state(std::make_unique<State>()) {
    std::vector<unsigned char> secret(key, key + keyBytes);
    m_state->failed = !m_state->provider.get() ||
                      !Succeeded(BCryptCreateHash(m_state->provider.get(), &m_state->hash, nullptr, 0,
                                                  secret.data(), static_cast<ULONG>(secret.size()), 0));
}

HmacSha1::~HmacSha1() = default;

void HmacSha1::Update(const unsigned char* data, std::size_t size) {
    if (!m_state->failed &&
        !Succeeded(BCryptHashData(m_state->hash, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0)))
        m_state->failed = true;
}

std::optional<std::array<unsigned char, HmacSha1::kDigestBytes>> HmacSha1::Finish() {
    std::array<unsigned char, kDigestBytes> digest{};
    if (m_state->failed ||
        !Succeeded(BCryptFinishHash(m_state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0)))
        return std::nullopt;
    return digest;
}

} // namespace corvane
