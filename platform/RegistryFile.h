// A reader of exported registry files (what regedit exports: "Windows
// Registry Editor Version 5.00" in UTF-16LE or 8-bit text, and "REGEDIT4"),
// so that the machine's registry keys can come from a file where there is no
// registry. Portable: it reads bytes given to it and touches nothing else.
//
// Contract:
//  - only sections under HKEY_LOCAL_MACHINE (or HKLM) count; key paths and
//    value names match without regard to case; a section that starts with
//    "-" deletes and names no key;
//  - values: "text" with \\ and \" escapes (Text), dword:xxxxxxxx and
//    hex(4): with four bytes (Dword, 4 little-endian bytes), dword: with
//    fewer than 8 hexadecimal digits and hex(4): with fewer than 4 bytes
//    (CutDword: cut short, no number), hex:/hex(n): and anything else (Other,
//    with the bytes that can be read), "-" (Missing); lines ending in "\"
//    continue hexadecimal data on the next line;
//  - when a key or a value name appears more than once, later lines win over
//    earlier ones; the work is linear in the size of the file;
//  - a key under SOFTWARE that is not found is looked for again below
//    SOFTWARE\WOW6432Node, where a 32-bit installer on a 64-bit system puts it.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qm {

// The values `names` of the key `keyPath` (below HKEY_LOCAL_MACHINE) as the
// exported registry file `fileBytes` records them: one entry per name, in
// order, Missing for a name it does not hold. False when no section of the
// file names the key.
bool ReadRegistryFileKey(const std::string& fileBytes, const std::string& keyPath,
                         const std::vector<std::string>& names, std::vector<RegistryValue>& values);

}  // namespace qm
