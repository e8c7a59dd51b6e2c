// The machine's registry keys on Windows, read only.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qm::win32 {

bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                    std::vector<RegistryValue>& values);

}  // namespace qm::win32
