#include "web/PasswordHash.h"

#include <charconv>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#include <openssl/rand.h>
#endif

namespace relaydeck::web {

namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kKeyBytes = 32;

using Bytes = std::vector<unsigned char>;

std::string toHex(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

bool fromHex(std::string_view hex, Bytes& out) {
    if (hex.size() % 2 != 0) return false;
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (ec != std::errc{} || end != hex.data() + i + 2) return false;
        out.push_back(static_cast<unsigned char>(value));
    }
    return true;
}

void randomBytes(Bytes& out) {
#ifdef _WIN32
    if (BCryptGenRandom(nullptr, out.data(), static_cast<ULONG>(out.size()),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
        throw std::runtime_error("no random numbers from the system");
    }
#else
    if (RAND_bytes(out.data(), static_cast<int>(out.size())) != 1) {
        throw std::runtime_error("no random numbers from OpenSSL");
    }
#endif
}

Bytes derive(std::string_view password, const Bytes& salt, unsigned iterations) {
    Bytes key(kKeyBytes);
#ifdef _WIN32
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                    BCRYPT_ALG_HANDLE_HMAC_FLAG) != 0) {
        throw std::runtime_error("SHA-256 is not available");
    }
    const LONG status = BCryptDeriveKeyPBKDF2(
        algorithm, reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
        static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt.data()),
        static_cast<ULONG>(salt.size()), iterations, key.data(), static_cast<ULONG>(key.size()), 0);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (status != 0) throw std::runtime_error("the password could not be hashed");
#else
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                          static_cast<int>(key.size()), key.data()) != 1) {
        throw std::runtime_error("the password could not be hashed");
    }
#endif
    return key;
}

}  // namespace

std::string makePasswordHash(std::string_view password, unsigned iterations) {
    Bytes salt(kSaltBytes);
    randomBytes(salt);
    return std::string(kScheme) + "$" + std::to_string(iterations) + "$" + toHex(salt) + "$" +
           toHex(derive(password, salt, iterations));
}

bool checkPassword(std::string_view password, std::string_view stored) {
    // scheme $ iterations $ salt $ key
    std::string_view parts[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t dollar = stored.find('$');
        if ((dollar == std::string_view::npos) != (i == 3)) return false;
        parts[i] = stored.substr(0, dollar);
        stored.remove_prefix(dollar == std::string_view::npos ? stored.size() : dollar + 1);
    }
    unsigned iterations = 0;
    const auto [end, ec] =
        std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), iterations);
    Bytes salt, key;
    if (parts[0] != kScheme || ec != std::errc{} || end != parts[1].data() + parts[1].size() ||
        iterations == 0 || iterations > 10'000'000 || !fromHex(parts[2], salt) ||
        !fromHex(parts[3], key) || salt.empty() || key.size() != kKeyBytes) {
        return false;
    }
    try {
        return sameSecret(toHex(derive(password, salt, iterations)), parts[3]);
    } catch (const std::runtime_error&) {
        return false;
    }
}

std::string randomToken(std::size_t bytes) {
    Bytes out(bytes);
    randomBytes(out);
    return toHex(out);
}

bool sameSecret(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char differ = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        differ = static_cast<unsigned char>(differ | (a[i] ^ b[i]));
    }
    return differ == 0;
}

}  // namespace relaydeck::web
