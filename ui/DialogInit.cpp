#include "ui/DialogInit.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr WORD kDlgInitResourceType = 240;
// The message word of an entry: the 16-bit LB_ADDSTRING and CB_ADDSTRING,
// both taken as "add a string" to whatever list the control is.
constexpr WORD kAddString16 = 0x0403;
constexpr WORD kComboAddString16 = 0x0406;

bool IsComboBox(HWND control) {
    char className[32] = "";
    ::GetClassNameA(control, className, sizeof className);
    return ::lstrcmpiA(className, "ComboBox") == 0;
}

}  // namespace

void ExecuteDlgInit(HWND dialog, UINT templateId) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(templateId),
                                  MAKEINTRESOURCEA(kDlgInitResourceType));
    if (found == nullptr) return;
    const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, found)));
    const DWORD size = ::SizeofResource(module, found);
    if (data == nullptr) return;

    // Entries: WORD control id, WORD message, DWORD length, text bytes.
    size_t at = 0;
    while (at + sizeof(WORD) <= size) {
        WORD id = 0, message = 0;
        DWORD length = 0;
        std::memcpy(&id, data + at, sizeof id);
        if (id == 0 || at + 8 > size) break;
        std::memcpy(&message, data + at + 2, sizeof message);
        std::memcpy(&length, data + at + 4, sizeof length);
        at += 8;
        if (length > size - at) break;
        HWND control = ::GetDlgItem(dialog, id);
        if (control != nullptr && (message == kAddString16 || message == kComboAddString16)) {
            // The text is zero-terminated inside its length; make sure of it.
            std::string text(reinterpret_cast<const char*>(data + at), length);
            UINT add = IsComboBox(control) ? CB_ADDSTRING : LB_ADDSTRING;
            ::SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        at += length;
    }
}
