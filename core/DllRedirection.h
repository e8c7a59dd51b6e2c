// What makes Windows load a program's code from elsewhere than the program
// names: a <program>.exe.local file or folder beside it (DLL redirection), a
// <program>.exe.manifest or .exe.config beside it, a program under another
// extension (its first two bytes are "MZ"), and DevOverrideEnable = 1, which
// turns DLL redirection on for every program of the machine.
#pragma once

#include <string>
#include <unordered_set>

#include "core/ComparedFile.h"

namespace qm {

// The key below HKEY_LOCAL_MACHINE that holds DevOverrideEnable.
extern const char kImageFileExecutionOptionsKey[];

// Whether DevOverrideEnable is the DWORD 1; false when the key or the value
// is missing or of another type.
bool DllRedirectionEnabled();

// Why a file of a component directory that no mask takes and no entry names
// is shown: DllRedirection, Manifest or ProgramByContent; Unknown when it
// is none of them. `programs` holds the directory's .exe files, their names
// in lower-case ASCII; `path` is the whole path of `name`, read (two bytes)
// only when the name alone decides nothing.
RowCause LoadCauseOf(const std::string& name, bool isFolder, const std::string& path,
                     const std::unordered_set<std::string>& programs);

}  // namespace qm
