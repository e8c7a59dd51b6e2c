#include "platform/win32/Lock.h"

#include <windows.h>

#include <aclapi.h>
#include <restartmanager.h>
#include <sddl.h>

#include "platform/win32/ErrorText.h"
#include "platform/win32/Files.h"
#include "platform/win32/PathMapping.h"
#include "platform/win32/Text.h"

namespace qm::win32 {

namespace {

class Win32FileLock : public IFileLock {
public:
    Win32FileLock(HANDLE handle, std::string notice)
        : m_handle(handle), m_notice(std::move(notice)) {}
    ~Win32FileLock() override {
        OVERLAPPED start{};
        UnlockFileEx(m_handle, 0, 1, 0, &start);
        CloseHandle(m_handle);
    }
    Win32FileLock(const Win32FileLock&) = delete;
    Win32FileLock& operator=(const Win32FileLock&) = delete;

    std::string Notice() const override { return m_notice; }

private:
    HANDLE m_handle;
    std::string m_notice;
};

// The lock file's access: Administrators, SYSTEM and its owner alone, not
// inherited from the Windows directory (where every user may read), so that
// no standard user can open it and take the lock (LockFileEx needs no more
// than a handle). The owner is who made it: an administrator in the Windows
// directory, a standard user only in a folder of the user's own (--windir).
constexpr char kLockFileSecurity[] = "D:P(A;;GA;;;BA)(A;;GA;;;SY)(A;;GA;;;OW)";

// A security descriptor made from an SDDL text, freed with the object.
class SecurityDescriptor {
public:
    explicit SecurityDescriptor(const char* sddl) {
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &m_descriptor,
                                                             nullptr);
    }
    ~SecurityDescriptor() {
        if (m_descriptor) LocalFree(m_descriptor);
    }
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_descriptor; }
    PACL Dacl() const {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        if (!m_descriptor ||
            !GetSecurityDescriptorDacl(m_descriptor, &present, &dacl, &defaulted) || !present) {
            return nullptr;
        }
        return dacl;
    }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

// Whether the DACL of an open lock file lets anyone but Administrators,
// SYSTEM and its owner in: a missing (null) DACL or an allowing entry for
// another account.
bool OthersMayOpen(HANDLE handle) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;  // what cannot be read cannot be judged
    }
    bool others = dacl == nullptr;
    BYTE accounts[3][SECURITY_MAX_SID_SIZE];
    const WELL_KNOWN_SID_TYPE kinds[3] = {WinBuiltinAdministratorsSid, WinLocalSystemSid,
                                          WinCreatorOwnerRightsSid};
    for (int k = 0; k < 3; ++k) {
        DWORD size = sizeof accounts[k];
        CreateWellKnownSid(kinds[k], nullptr, accounts[k], &size);
    }
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount && !others; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) continue;
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) {
            continue;
        }
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
        others = !(owner != nullptr && EqualSid(sid, owner)) && !EqualSid(sid, accounts[0]) &&
                 !EqualSid(sid, accounts[1]) && !EqualSid(sid, accounts[2]);
    }
    LocalFree(descriptor);
    return others;
}

// A lock file of an earlier version, or one that someone made: tightened
// when we may change its access. A volume or system that keeps no access of
// files (FAT, Wine) takes the change without keeping it: nothing to tell
// there, nothing to do. What the holder should pass on, or "".
std::string TightenLockFile(HANDLE handle, const std::string& path, std::wstring wide,
                            const SecurityDescriptor& security) {
    const DWORD changed =
        security.Dacl() == nullptr
            ? static_cast<DWORD>(ERROR_INVALID_SECURITY_DESCR)
            : SetNamedSecurityInfoW(&wide[0], SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, security.Dacl(), nullptr);
    const std::string told = "the lock file " + ShownPath(path) + " could be opened by other users";
    if (changed != ERROR_SUCCESS) {
        return told + "; its access could not be changed (" +
               ErrorText(static_cast<uint32_t>(changed)) + ")";
    }
    if (!OthersMayOpen(handle)) {
        return told + "; it is now open to Administrators, SYSTEM and its owner only";
    }
    return std::string();
}

}  // namespace

uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) {
    lock.reset();
    const std::wstring wide = WidePath(path);
    const SecurityDescriptor security(kLockFileSecurity);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.Get(), FALSE};
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | READ_CONTROL,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                security.Get() ? &attributes : nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    std::string notice;
    if (GetLastError() == ERROR_ALREADY_EXISTS && OthersMayOpen(handle)) {
        notice = TightenLockFile(handle, path, wide, security);
    }
    OVERLAPPED start{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
        const uint32_t error = LastError();
        CloseHandle(handle);
        return error == ERROR_IO_PENDING ? uint32_t{kErrorLockViolation} : error;
    }
    lock = std::make_unique<Win32FileLock>(handle, std::move(notice));
    return kErrorSuccess;
}

// The processes that have the lock file open, as the Restart Manager lists
// them: one of them holds the lock.
std::string LockHolder(const std::string& path) {
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (RmStartSession(&session, 0, key) != ERROR_SUCCESS) return std::string();
    std::string holders;
    const std::wstring wide = WidePath(path);
    LPCWSTR files[] = {wide.c_str()};
    UINT needed = 0;
    UINT count = 8;
    RM_PROCESS_INFO processes[8];
    DWORD reasons = 0;
    if (!wide.empty() &&
        RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        RmGetList(session, &needed, &count, processes, &reasons) == ERROR_SUCCESS) {
        for (UINT i = 0; i < count; ++i) {
            if (processes[i].Process.dwProcessId == GetCurrentProcessId()) continue;
            const std::string name = FromWide(processes[i].strAppName);
            if (!holders.empty()) holders += ", ";
            holders += "process " + std::to_string(processes[i].Process.dwProcessId);
            if (!name.empty()) holders += " (" + name + ")";
        }
    }
    RmEndSession(session);
    return holders;
}

}  // namespace qm::win32
