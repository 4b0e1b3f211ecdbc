#pragma once
/// @file
/// @brief Passwords kept as salted slow hashes (PBKDF2-HMAC-SHA256, through OpenSSL on
///        Linux and Windows' CNG), and random tokens, from the same platform libraries.

#include <cstddef>
#include <string>
#include <string_view>

namespace relaydeck::web {

/// @brief Iterations of a new hash.
inline constexpr unsigned kPasswordIterations = 600000;

/// @brief "pbkdf2-sha256$<iterations>$<salt hex>$<key hex>" for @p password, with a fresh
/// random salt. Throws std::runtime_error when the platform cannot hash.
std::string makePasswordHash(std::string_view password, unsigned iterations = kPasswordIterations);

/// @brief True when @p password gives @p stored (as made by makePasswordHash); a stored
/// text of any other form matches nothing.
bool checkPassword(std::string_view password, std::string_view stored);

/// @brief @p bytes random bytes from the platform's generator, as lower-case hex.
std::string randomToken(std::size_t bytes);

/// @brief Compares two texts in a time that does not depend on where they differ.
bool sameSecret(std::string_view a, std::string_view b);

}  // namespace relaydeck::web
