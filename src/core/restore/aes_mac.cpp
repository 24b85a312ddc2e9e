// the authentication code of a WinZip AES entry, checked without libzip's CRC check in the way
#include "core/restore/aes_mac.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "core/platform/hmac_sha1.h"

namespace corvane {
namespace {

constexpr std::size_t kVerifierBytes = 2, kCodeBytes = 10, kIterations = 1000;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::size_t KeyBytes(zip_uint16_t method) {
    switch (method) {
    case ZIP_EM_AES_128:
        return 16;
    case ZIP_EM_AES_192:
        return 24;
    case ZIP_EM_AES_256:
        return 32;
    default:
        return 0;
    }
}

} // namespace

bool StoredAesEntryIsAuthentic(zip_t* archive, zip_uint64_t index, const std::string& password) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return false;
    const std::size_t keyBytes = KeyBytes(stat.encryption_method), saltBytes = keyBytes / 2;
    const std::size_t overhead = saltBytes + kVerifierBytes + kCodeBytes;
    if (keyBytes == 0 || stat.comp_size < overhead)
        return false;
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED));
    if (!file)
        return false;
    // the raw bytes: salt, password verifier, encrypted data, authentication code
    std::vector<unsigned char> head(saltBytes + kVerifierBytes);
    if (zip_fread(file.get(), head.data(), head.size()) != static_cast<zip_int64_t>(head.size()))
        return false;
    const std::optional<std::vector<unsigned char>> keys =
        DeriveKeyPbkdf2Sha1(password, head.data(), saltBytes, kIterations, 2 * keyBytes + kVerifierBytes);
    if (!keys ||
        !std::equal(head.begin() + static_cast<long>(saltBytes), head.end(), keys->begin() + 2L * keyBytes))
        return false;
    HmacSha1 mac(keys->data() + keyBytes, keyBytes);
    std::uint64_t remaining = stat.comp_size - overhead;
    std::vector<unsigned char> buffer(64 * 1024);
    while (remaining > 0) {
        const auto want = static_cast<zip_uint64_t>(std::min<std::uint64_t>(remaining, buffer.size()));
        const zip_int64_t read = zip_fread(file.get(), buffer.data(), want);
        if (read <= 0)
            return false;
        mac.Update(buffer.data(), static_cast<std::size_t>(read));
        remaining -= static_cast<std::uint64_t>(read);
    }
    std::array<unsigned char, kCodeBytes> stored{};
    if (zip_fread(file.get(), stored.data(), stored.size()) != static_cast<zip_int64_t>(stored.size()))
        return false;
    const std::optional<std::array<unsigned char, HmacSha1::kDigestBytes>> computed = mac.Finish();
    return computed && std::memcmp(computed->data(), stored.data(), kCodeBytes) == 0;
}

} // namespace corvane
