#include "net/pkce.h"

#include <openssl/rand.h>
#include <openssl/sha.h>

#include <stdexcept>

#include "platform/text.h"

std::string Base64Url(std::string_view bytes) {
    std::string text = EncodeBase64(bytes);
    while (!text.empty() && text.back() == '=') text.pop_back();
    for (char& c : text) c = c == '+' ? '-' : c == '/' ? '_' : c;
    return text;
}

std::string RandomUrlSafe(int bytes) {
    std::string random(static_cast<std::size_t>(bytes), '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(random.data()), bytes) != 1)
        throw std::runtime_error("no random bytes");
    return Base64Url(random);
}

std::string PkceChallenge(std::string_view verifier) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest);
    return Base64Url(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}
