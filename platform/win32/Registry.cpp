#include "platform/win32/Registry.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "platform/win32/Text.h"

namespace qm::win32 {

namespace {

// Reads one value of an open key, whatever its size.
RegistryValue QueryValue(HKEY key, const std::string& name) {
    RegistryValue value;
    std::string data;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const std::wstring wideName = ToWide(name);
    LONG result = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls: ask again until it fits.
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        data.resize(size);
        DWORD capacity = size;
        result =
            RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                             data.empty() ? nullptr : reinterpret_cast<BYTE*>(&data[0]), &capacity);
        if (result == ERROR_SUCCESS) {
            data.resize(capacity);
            break;
        }
        size = capacity > size ? capacity : size + 256;
    }
    if (result != ERROR_SUCCESS) return value;  // missing or unreadable

    switch (type) {
        case REG_SZ: {
            // UTF-16, as UTF-8 up to its first terminator.
            std::wstring wide(data.size() / 2, L'\0');
            if (!wide.empty()) std::memcpy(&wide[0], data.data(), wide.size() * 2);
            wide.resize(wcsnlen(wide.c_str(), wide.size()));
            data = FromWide(wide);
            value.type = RegistryValue::Type::Text;
            break;
        }
        case REG_DWORD:
            // Fewer than 4 bytes hold no number; more are another kind of value.
            value.type = data.size() == 4  ? RegistryValue::Type::Dword
                         : data.size() < 4 ? RegistryValue::Type::CutDword
                                           : RegistryValue::Type::Other;
            break;
        default:
            value.type = RegistryValue::Type::Other;
            break;
    }
    value.data = data;
    return value;
}

}  // namespace

bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                    std::vector<RegistryValue>& values) {
    values.clear();
    // The program's own view of the registry first, then the other one
    // (where a 32-bit installer on a 64-bit system writes its keys).
#ifdef _WIN64
    const REGSAM kOtherView = KEY_WOW64_32KEY;
#else
    const REGSAM kOtherView = KEY_WOW64_64KEY;
#endif
    HKEY key = nullptr;
    const std::wstring path = ToWide(keyPath);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kOtherView, &key) !=
            ERROR_SUCCESS) {
        return false;
    }
    for (const std::string& name : names) values.push_back(QueryValue(key, name));
    RegCloseKey(key);
    return true;
}

}  // namespace qm::win32
