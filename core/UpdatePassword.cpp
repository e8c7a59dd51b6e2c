#include "core/UpdatePassword.h"

#include <cstring>

#include "core/Sha256.h"

namespace qm {

namespace {

constexpr char kSalt[] = "qmverify: update the release data";
constexpr uint32_t kIterations = 20000;

// PBKDF2-HMAC-SHA-256 of the password with the salt and iterations above.
constexpr Sha256Digest kPasswordDigest = {
    0xb6, 0x14, 0x23, 0x90, 0xce, 0xdc, 0x45, 0x13, 0x9f, 0x68, 0x6c, 0xfb, 0x07, 0x85, 0x06, 0xb7,
    0x30, 0x96, 0x5a, 0x0c, 0x3c, 0xb9, 0xa9, 0x4a, 0x1a, 0xdf, 0x3c, 0xbb, 0xe2, 0x2c, 0x42, 0x34,
};

}  // namespace

bool IsUpdatePassword(const std::string& typed) {
    const Sha256Digest digest = Pbkdf2Sha256(
        std::string_view(typed.c_str(), std::strlen(typed.c_str())), kSalt, kIterations);
    // Every byte is looked at, whatever the first difference.
    uint8_t difference = 0;
    for (size_t i = 0; i < digest.size(); ++i) difference |= digest[i] ^ kPasswordDigest[i];
    return difference == 0;
}

}  // namespace qm
