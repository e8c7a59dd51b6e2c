// What the system says of a file's Authenticode signature: who signed it,
// whether the signature still covers the file, and whether the system
// trusts the signer. Information beside a verdict, never part of it.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

enum class FileSignatureState {
    NotChecked,  // nobody asked (an identical file, a missing one)
    Signed,      // a signature that covers the file, by a signer the system trusts
    Unsigned,    // no signature, neither in the file nor in a catalog of the system
    Broken,      // a signature whose hash is not the file's: changed after signing
    NotTrusted,  // a signature that covers the file, by a signer the system does not trust
    Unknown,     // the system could not tell (the file could not be read, say)
};

struct SignatureCheck {
    FileSignatureState state = FileSignatureState::NotChecked;
    std::string signer;   // the signing certificate's name, where the system tells it
    uint32_t answer = 0;  // the system's own answer (WinVerifyTrust's code); 0 when none
};

// How an answer of WinVerifyTrust reads: 0 signed; no signature, or a file
// of a kind that carries none, unsigned; a hash that is not the file's,
// broken; a signer whose chain the system does not take (an unknown or
// distrusted root, an expired or revoked certificate, the wrong usage), not
// trusted; anything else (a file that cannot be opened) unknown.
FileSignatureState FileSignatureStateOf(uint32_t answer);

}  // namespace qm
