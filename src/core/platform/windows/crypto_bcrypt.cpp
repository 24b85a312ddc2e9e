// the cryptographic primitives from Windows' own BCrypt, so that the Windows build needs no other library
#include "core/zip/crypto_backend.h"

#include <windows.h>

#include <bcrypt.h>

#include <stdexcept>
#include <cstring>
#include <cwchar>
#include <string>

namespace corvane::crypto {
namespace {

// BCrypt fails only on arguments it was never meant to get, or on a system without the algorithm: nothing
// a caller could recover from
void Check(NTSTATUS status, const char* what) {
    if (!BCRYPT_SUCCESS(status))
        throw std::runtime_error(std::string("The system's cryptography failed to ") + what + ".");
}

// A provider opened once for the process: opening one costs more than a key's whole work.
class Provider {
public:
    Provider(const wchar_t* algorithm, ULONG flags, const wchar_t* chainingMode = nullptr) {
        Check(BCryptOpenAlgorithmProvider(&m_handle, algorithm, nullptr, flags), "open a provider");
        if (chainingMode != nullptr)
            Check(BCryptSetProperty(m_handle, BCRYPT_CHAINING_MODE,
                                    reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(chainingMode)),
                                    static_cast<ULONG>((std::wcslen(chainingMode) + 1) * sizeof(wchar_t)), 0),
                  "choose the chaining mode");
    }
    ~Provider() { BCryptCloseAlgorithmProvider(m_handle, 0); }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;

    BCRYPT_ALG_HANDLE handle() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};

BCRYPT_ALG_HANDLE Sha1Hmac() {
    static const Provider provider(BCRYPT_SHA1_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    return provider.handle();
}

// the block function alone: WinZip's counter mode is built around it by the caller
BCRYPT_ALG_HANDLE AesBlocks() {
    static const Provider provider(BCRYPT_AES_ALGORITHM, 0, BCRYPT_CHAIN_MODE_ECB);
    return provider.handle();
}

PUCHAR Bytes(const void* data) {
    return reinterpret_cast<PUCHAR>(const_cast<void*>(data));
}

} // namespace

void Pbkdf2HmacSha1(std::string_view password, const std::uint8_t* salt, std::size_t saltLength,
                    unsigned iterations, std::uint8_t* out, std::size_t length) {
    Check(BCryptDeriveKeyPBKDF2(Sha1Hmac(), Bytes(password.data()), static_cast<ULONG>(password.size()),
                                Bytes(salt), static_cast<ULONG>(saltLength), iterations, out,
                                static_cast<ULONG>(length), 0),
          "derive a key");
}

struct Aes256::State {
    BCRYPT_KEY_HANDLE key = nullptr;
    ~State() {
        if (key != nullptr)
            BCryptDestroyKey(key);
    }
};

Aes256::Aes256(const std::uint8_t* key) : m_state(std::make_unique<State>()) {
    Check(BCryptGenerateSymmetricKey(AesBlocks(), &m_state->key, nullptr, 0, Bytes(key), 32, 0),
          "make an AES key");
}
Aes256::~Aes256() = default;

void Aes256::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) const {
    ULONG written = 0;
    const auto bytes = static_cast<ULONG>(blocks * kBlockBytes);
    Check(BCryptEncrypt(m_state->key, Bytes(in), bytes, nullptr, nullptr, 0, out, bytes, &written, 0),
          "encrypt");
}

struct HmacSha1::State {
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~State() {
        if (hash != nullptr)
            BCryptDestroyHash(hash);
    }
};

HmacSha1::HmacSha1(const std::uint8_t* key, std::size_t length) : m_state(std::make_unique<State>()) {
    Check(BCryptCreateHash(Sha1Hmac(), &m_state->hash, nullptr, 0, Bytes(key), static_cast<ULONG>(length), 0),
          "start an authentication code");
}
HmacSha1::~HmacSha1() = default;

void HmacSha1::Update(const std::uint8_t* data, std::size_t length) {
    Check(BCryptHashData(m_state->hash, Bytes(data), static_cast<ULONG>(length), 0), "hash");
}

std::array<std::uint8_t, HmacSha1::kCodeBytes> HmacSha1::Final() {
    std::array<std::uint8_t, kCodeBytes> code{};
    Check(BCryptFinishHash(m_state->hash, code.data(), static_cast<ULONG>(code.size()), 0),
          "finish an authentication code");
    return code;
}

} // namespace corvane::crypto
