// The SHA-256 engine under arbitrary bytes. The whole input is the message;
// its last bytes also choose how it is cut into pieces (an empty piece hands
// over the rest in one). Properties, for every kernel the processor has:
//  - the digest of the pieces equals the digest of the message in one call;
//  - every kernel gives the digest of the portable kernel;
//  - the message cut in two (where the last bytes choose) and hashed as two
//    streams side by side gives the digest of each part alone;
//  - the hexadecimal form is 64 lower-case digits.
#include <algorithm>
#include <string>
#include <vector>

#include "core/Sha256.h"
#include "core/Sha256Kernels.h"
#include "fuzz/FuzzSupport.h"

namespace {

using qm::CSha256;
using qm::Sha256Digest;
using qm::sha256::Kernel;

// Up to three blocks and one byte: pieces within a block and across several.
constexpr size_t kLargestPiece = 3 * 64 + 1;

Sha256Digest InOneCall(Kernel kernel, const uint8_t* data, size_t size) {
    CSha256 hash(kernel);
    hash.Update(data, size);
    return hash.Finish();
}

Sha256Digest InPieces(Kernel kernel, const uint8_t* data, size_t size) {
    qm::fuzz::CChoices choices(data, size);
    CSha256 hash(kernel);
    for (size_t at = 0; at < size;) {
        size_t piece = choices.Below(kLargestPiece + 1);
        if (piece == 0) {
            hash.Update(nullptr, 0);
            piece = size - at;
        }
        piece = std::min(piece, size - at);
        hash.Update(data + at, piece);
        at += piece;
    }
    return hash.Finish();
}

// The two parts of the message as two streams side by side.
bool SideBySideMatches(Kernel kernel, const uint8_t* data, size_t size) {
    qm::fuzz::CChoices choices(data, size);
    const size_t cut = size == 0 ? 0 : choices.Below(size + 1);
    CSha256 first(kernel);
    CSha256 second(kernel);
    CSha256::UpdateBoth(first, data, cut, second, data + cut, size - cut);
    return first.Finish() == InOneCall(kernel, data, cut) &&
           second.Finish() == InOneCall(kernel, data + cut, size - cut);
}

bool IsLowerHex(const std::string& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Sha256Digest expected = InOneCall(Kernel::Portable, data, size);
    FUZZ_CHECK(IsLowerHex(qm::Sha256Hex(expected)));
    for (Kernel kernel : qm::sha256::kAllKernels) {
        if (!qm::sha256::IsAvailable(kernel)) continue;
        FUZZ_CHECK(InOneCall(kernel, data, size) == expected);
        FUZZ_CHECK(InPieces(kernel, data, size) == expected);
        FUZZ_CHECK(SideBySideMatches(kernel, data, size));
    }
    return 0;
}
