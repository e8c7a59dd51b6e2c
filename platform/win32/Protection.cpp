// The protection of a replaced file on Windows: the new file takes the old
// one's security descriptor (its access list, whether that list is shielded
// from the folder's, and its owner and group where the system lets us set
// them) and its attributes before it is moved into place, so that a list
// an administrator locked down stays locked down. A symbolic link is written
// through to its target.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <string>

#include "platform/Platform.h"

namespace qm {

namespace {

// The path a system call takes (the drive root in force, the path rules'
// dots dropped).
std::string SystemPath(const std::string& path) { return ShownPath(path); }

// A descriptor of the system's, freed with its object.
struct Descriptor {
    PSECURITY_DESCRIPTOR handle = nullptr;
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL dacl = nullptr;
    ~Descriptor() {
        if (handle) LocalFree(handle);
    }
};

// Errors that say the volume keeps no access lists (FAT, some shares):
// there is nothing to keep.
bool NoSecurityHere(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

bool IsTrustedWriter(PSID sid, PSID owner) {
    static const char* const kTrusted[] = {
        "S-1-5-18",                                                        // SYSTEM
        "S-1-5-32-544",                                                    // Administrators
        "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
    };
    if (owner && EqualSid(sid, owner)) return true;
    for (const char* text : kTrusted) {
        PSID trusted = nullptr;
        if (!ConvertStringSidToSidA(text, &trusted)) continue;
        const bool same = EqualSid(sid, trusted) != FALSE;
        LocalFree(trusted);
        if (same) return true;
    }
    return false;
}

std::string AccountName(PSID sid) {
    char name[256];
    char domain[256];
    DWORD nameLength = sizeof name;
    DWORD domainLength = sizeof domain;
    SID_NAME_USE use;
    if (LookupAccountSidA(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
        return domainLength > 0 ? std::string(domain) + "\\" + name : std::string(name);
    }
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return "an account";
    std::string shown = text;
    LocalFree(text);
    return shown;
}

// The owner, group and access list of a file, and whether the list is
// shielded from what its folder passes on.
DWORD ReadDescriptor(const std::string& path, Descriptor& descriptor, bool& shielded) {
    const DWORD error = GetNamedSecurityInfoA(
        path.c_str(), SE_FILE_OBJECT,
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        &descriptor.owner, &descriptor.group, &descriptor.dacl, nullptr, &descriptor.handle);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    shielded = error == ERROR_SUCCESS &&
               GetSecurityDescriptorControl(descriptor.handle, &control, &revision) &&
               (control & SE_DACL_PROTECTED) != 0;
    return error;
}

bool SameList(const ACL* a, const ACL* b) {
    if (!a || !b) return a == b;
    return a->AclSize == b->AclSize && std::memcmp(a, b, a->AclSize) == 0;
}

// Wine keeps no descriptor of a file: it makes one up from the file's mode,
// and turns one that is set into a mode by rules of its own (a list at 0640
// came back as 0775). There the new file keeps the mode it was made with.
bool UnderWine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// Gives `target` the access list (and, where the system lets us, the owner
// and group) of `old`. Nothing is set where the new file has them already,
// as it has when both inherit their folder's.
DWORD TakeDescriptor(const std::string& old, const std::string& target) {
    if (UnderWine()) return ERROR_SUCCESS;
    Descriptor was;
    Descriptor now;
    bool wasShielded = false;
    bool nowShielded = false;
    DWORD error = ReadDescriptor(old, was, wasShielded);
    if (error == ERROR_SUCCESS) error = ReadDescriptor(target, now, nowShielded);
    if (error != ERROR_SUCCESS) return error;
    char* path = const_cast<char*>(target.c_str());
    if (wasShielded != nowShielded || !SameList(was.dacl, now.dacl)) {
        const SECURITY_INFORMATION shield = wasShielded ? PROTECTED_DACL_SECURITY_INFORMATION
                                                        : UNPROTECTED_DACL_SECURITY_INFORMATION;
        error = SetNamedSecurityInfoA(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | shield,
                                      nullptr, nullptr, was.dacl, nullptr);
        if (error != ERROR_SUCCESS) return error;
    }
    // An owner other than ourselves needs the restore privilege: where the
    // system refuses, the access list above is what keeps others out.
    if (was.owner && now.owner && was.group && now.group &&
        (!EqualSid(was.owner, now.owner) || !EqualSid(was.group, now.group))) {
        SetNamedSecurityInfoA(path, SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, was.owner,
                              was.group, nullptr, nullptr);
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::string IPlatform::WriteTarget(const std::string& path) {
    const std::string system = SystemPath(path);
    const DWORD attributes = GetFileAttributesA(system.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return path;
    }
    HANDLE handle =
        CreateFileA(system.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return path;  // a dangling link: the write replaces it
    char final[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(handle, final, sizeof final,
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof final) return path;
    std::string target(final, length);
    // "\\?\C:\..." and "\\?\UNC\server\...": the plain forms.
    if (target.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + target.substr(8);
    if (target.compare(0, 4, "\\\\?\\") == 0) return target.substr(4);
    return target;
}

uint32_t IPlatform::CopyProtection(const std::string& like, const std::string& to) {
    const std::string from = SystemPath(like);
    const std::string target = SystemPath(to);
    const DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return kErrorSuccess;  // new: the folder's
    const DWORD error = TakeDescriptor(from, target);
    if (error != ERROR_SUCCESS && !NoSecurityHere(error)) return error;
    // The attributes but read-only, which a replaced file never has (a
    // read-only list is refused before).
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (!SetFileAttributesA(target.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL)) {
        return GetLastError();
    }
    return kErrorSuccess;
}

std::string IPlatform::OthersWhoMayWrite(const std::string& path) {
    Descriptor descriptor;
    if (GetNamedSecurityInfoA(SystemPath(path).c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &descriptor.owner, nullptr, &descriptor.dacl, nullptr,
                              &descriptor.handle) != ERROR_SUCCESS) {
        return std::string();
    }
    if (!descriptor.dacl) return "Everyone (the file has no access list)";
    constexpr ACCESS_MASK kWriting =
        FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    for (DWORD i = 0; i < descriptor.dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(descriptor.dacl, i, &entry)) continue;
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) {
            continue;
        }
        const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if ((allowed->Mask & kWriting) != 0 && !IsTrustedWriter(sid, descriptor.owner)) {
            return AccountName(sid);
        }
    }
    return std::string();
}

}  // namespace qm
