#pragma once
// Proof Key for Code Exchange (RFC 7636) with the S256 method: a random
// verifier kept by the program, its SHA-256 sent with the authorization.
#include <string>
#include <string_view>

// base64url without padding (RFC 4648, 5).
std::string Base64Url(std::string_view bytes);
// `bytes` random bytes from the system's generator, in base64url: 32 give
// a 43-character verifier. Throws std::runtime_error when the generator fails.
std::string RandomUrlSafe(int bytes);
// BASE64URL(SHA256(verifier)).
std::string PkceChallenge(std::string_view verifier);
