// WinZip AES-256 of one entry: the key derivation against published vectors and another library, and
// the counter mode across every way a stream may be cut
#include <gtest/gtest.h>

#ifndef _WIN32
#include <openssl/evp.h>
#endif

#include "core/zip/winzip_aes.h"
#include "support/zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

std::string Hex(const std::uint8_t* bytes, std::size_t length) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
    return text;
}

std::string Pbkdf2(const std::string& password, const std::string& salt, unsigned iterations, std::size_t length) {
    std::vector<std::uint8_t> out(length);
    crypto::Pbkdf2HmacSha1(password, reinterpret_cast<const std::uint8_t*>(salt.data()), salt.size(), iterations,
                           out.data(), out.size());
    return Hex(out.data(), out.size());
}

// RFC 6070's vectors
TEST(Pbkdf2Test, GivesThePublishedKeys) {
    EXPECT_EQ(Pbkdf2("password", "salt", 1, 20), "0c60c80f961f0e71f3a9b524af6012062fe037a6");
    EXPECT_EQ(Pbkdf2("password", "salt", 2, 20), "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957");
    EXPECT_EQ(Pbkdf2("password", "salt", 4096, 20), "4b007901b765489abead49d926f721d065a429c1");
    EXPECT_EQ(Pbkdf2("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25),
              "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
    EXPECT_EQ(Pbkdf2(std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096, 16),
              "56fa6aa75548099dcc37d7f03425e0c3");
}

// FIPS 197's AES-256 example and RFC 2202's HMAC-SHA1 case 2, the code fed in two pieces: what each build's
// cryptographic library is held to
TEST(CryptoBackendTest, GivesThePublishedBlocksAndCodes) {
    std::uint8_t key[32], plain[32], cipher[32];
    for (int i = 0; i < 32; ++i)
        key[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 16; ++i)
        plain[i] = plain[16 + i] = static_cast<std::uint8_t>(i * 0x11);
    crypto::Aes256(key).EncryptBlocks(plain, cipher, 2);
    EXPECT_EQ(Hex(cipher, 32), "8ea2b7ca516745bfeafc49904b496089"
                               "8ea2b7ca516745bfeafc49904b496089");
    crypto::HmacSha1 mac(reinterpret_cast<const std::uint8_t*>("Jefe"), 4);
    mac.Update(reinterpret_cast<const std::uint8_t*>("what do ya want "), 16);
    mac.Update(reinterpret_cast<const std::uint8_t*>("for nothing?"), 12);
    const auto code = mac.Final();
    EXPECT_EQ(Hex(code.data(), code.size()), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
}

#ifndef _WIN32
// passwords around the hash's block (64 bytes, above which the key is hashed first), the empty one,
// and the length WinZip AES-256 asks for, against OpenSSL's implementation
TEST(Pbkdf2Test, AgreesWithOpenSslForEveryPasswordLength) {
    const std::string salt = RandomBytes(16, 3);
    for (std::size_t length : {0, 1, 8, 55, 56, 63, 64, 65, 100, 200}) {
        const std::string password = RandomBytes(length, static_cast<unsigned>(length));
        std::uint8_t expected[66];
        ASSERT_EQ(PKCS5_PBKDF2_HMAC_SHA1(password.data(), static_cast<int>(password.size()),
                                         reinterpret_cast<const unsigned char*>(salt.data()), 16, 1000, 66, expected),
                  1);
        EXPECT_EQ(Pbkdf2(password, salt, 1000, 66), Hex(expected, 66)) << length;
    }
}
#endif

// Decrypting in pieces of any size gives back what was encrypted in one piece, with the same code: the
// key stream is made a kilobyte at a time, and a piece may end anywhere in it.
TEST(WinZipAesStreamTest, PiecesOfAnySizeMeetTheWholeStream) {
    const std::string salt = RandomBytes(kAesSaltBytes, 1);
    const WinZipAesKeys keys = DeriveWinZipAesKeys("pässword", reinterpret_cast<const std::uint8_t*>(salt.data()));
    const std::string plain = RandomBytes(5000, 2);
    std::string whole = plain;
    WinZipAesStream encrypting(keys);
    encrypting.Encrypt(reinterpret_cast<std::uint8_t*>(whole.data()), whole.size());
    const auto code = encrypting.Code();
    EXPECT_NE(whole.substr(0, 100), plain.substr(0, 100));
    for (std::size_t piece : {1, 15, 16, 17, 1023, 1024, 1025, 4999}) {
        std::string bytes = whole;
        WinZipAesStream decrypting(keys);
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            decrypting.Decrypt(reinterpret_cast<std::uint8_t*>(bytes.data()) + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(bytes, plain) << piece;
        EXPECT_EQ(decrypting.Code(), code) << piece;
    }
}

// each entry its own salt, so that no two entries share a key stream; the frame is salt, verifier,
// data, code
TEST(WinZipAesStreamTest, SealedEntriesNeverShareASalt) {
    std::string first = "the same deflated bytes", second = first;
    const WinZipAesKeys a = SealWinZipAesEntry("pw", first), b = SealWinZipAesEntry("pw", second);
    EXPECT_NE(a.salt, b.salt);
    EXPECT_NE(a.encryption, b.encryption);
    ASSERT_EQ(first.size(), 23 + kAesOverhead);
    EXPECT_EQ(first.substr(0, kAesSaltBytes), std::string(a.salt.begin(), a.salt.end()));
    EXPECT_EQ(first.substr(kAesSaltBytes, kAesVerifierBytes), std::string(a.verifier.begin(), a.verifier.end()));
    EXPECT_NE(first.substr(kAesHeaderBytes, 23), second.substr(kAesHeaderBytes, 23));
}

} // namespace
} // namespace corvane
