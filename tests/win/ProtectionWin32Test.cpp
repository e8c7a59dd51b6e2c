// The Windows side of what keeps the list's protection and its password:
// a new file takes the replaced one's access list and attributes, who else
// may write a file is named, and our PBKDF2 is CNG's. Wine keeps no security
// descriptor of a file (it makes one up from the owner): what needs one is
// skipped there and shows on Windows only.
#include <windows.h>

#include <aclapi.h>
#include <bcrypt.h>
#include <gtest/gtest.h>

#include <string>

#include "core/Sha256.h"
#include "core/TempDirectory.h"
#include "platform/Platform.h"

namespace {

using TempDir = qm::test::TempDirectory;

// Gives `path` an access list of `entries` (account name, rights), shielded
// from the folder's when `shielded`.
bool SetAccess(const std::string& path, const std::vector<std::pair<const char*, DWORD>>& entries,
               bool shielded) {
    std::vector<EXPLICIT_ACCESS_A> access(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        BuildExplicitAccessWithNameA(&access[i], const_cast<char*>(entries[i].first),
                                     entries[i].second, SET_ACCESS, NO_INHERITANCE);
    }
    PACL list = nullptr;
    if (SetEntriesInAclA(static_cast<ULONG>(access.size()), access.data(), nullptr, &list) !=
        ERROR_SUCCESS) {
        return false;
    }
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION |
        (shielded ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD error = SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT, what,
                                              nullptr, nullptr, list, nullptr);
    LocalFree(list);
    return error == ERROR_SUCCESS;
}

// Whether the file's access list is shielded, and how many entries it has.
bool Shielded(const std::string& path, DWORD& entries) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    entries = 0;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    if (list) entries = list->AceCount;
    LocalFree(descriptor);
    return (control & SE_DACL_PROTECTED) != 0;
}

TEST(ProtectionWin32, ANewFileTakesTheReplacedOnesAccessListAndAttributes) {
    TempDir dir;
    dir.Write("qmverify.lst", "old");
    dir.Write("qmverify.lst.tmp", "new");
    const std::string old = dir["qmverify.lst"];
    const std::string fresh = dir["qmverify.lst.tmp"];
    ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(qm::Platform().CopyProtection(old, fresh), 0u);
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              DWORD{FILE_ATTRIBUTE_HIDDEN});
    // A file that is not there yet keeps what its folder passes on.
    EXPECT_EQ(qm::Platform().CopyProtection(dir["missing.lst"], fresh), 0u);
    EXPECT_EQ(qm::Platform().WriteTarget(old), old);

    ASSERT_TRUE(SetAccess(old, {{"Administrators", GENERIC_ALL}, {"Users", GENERIC_READ}}, true));
    DWORD entries = 0;
    if (!Shielded(old, entries))
        GTEST_SKIP() << "this system keeps no access list of a file (Wine)";
    EXPECT_EQ(entries, 2u);
    ASSERT_EQ(qm::Platform().CopyProtection(old, fresh), 0u);
    EXPECT_TRUE(Shielded(fresh, entries));
    EXPECT_EQ(entries, 2u);
}

TEST(ProtectionWin32, WhoElseMayWriteIsNamed) {
    TempDir dir;
    dir.Write("qmverify.lst", "list");
    const std::string path = dir["qmverify.lst"];
    ASSERT_TRUE(SetAccess(path, {{"Administrators", GENERIC_ALL}, {"Users", GENERIC_READ}}, true));
    DWORD entries = 0;
    if (!Shielded(path, entries))
        GTEST_SKIP() << "this system keeps no access list of a file (Wine)";
    EXPECT_EQ(qm::Platform().OthersWhoMayWrite(path), "");
    ASSERT_TRUE(SetAccess(path, {{"Administrators", GENERIC_ALL}, {"Users", GENERIC_WRITE}}, true));
    EXPECT_NE(qm::Platform().OthersWhoMayWrite(path).find("Users"), std::string::npos)
        << qm::Platform().OthersWhoMayWrite(path);
}

// Our PBKDF2 stays for its speed (core/Sha256.h); it gives what CNG gives.
TEST(ProtectionWin32, OurPbkdf2IsTheOneOfCng) {
    BCRYPT_ALG_HANDLE hmac = nullptr;
    ASSERT_EQ(BCryptOpenAlgorithmProvider(&hmac, BCRYPT_SHA256_ALGORITHM, nullptr,
                                          BCRYPT_ALG_HANDLE_HMAC_FLAG),
              0);
    const std::string password = "tallowin";
    const std::string salt("\x8c\xa8\xfb\x5e\xde\xb1\x1d\x8a\x40\xe8\x49\xd7\xbf\xa1\x97\x47", 16);
    for (ULONGLONG iterations : {1ull, 4096ull, 20000ull}) {
        UCHAR derived[32];
        ASSERT_EQ(BCryptDeriveKeyPBKDF2(
                      hmac, reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                      static_cast<ULONG>(password.size()),
                      reinterpret_cast<PUCHAR>(const_cast<char*>(salt.data())),
                      static_cast<ULONG>(salt.size()), iterations, derived, sizeof derived, 0),
                  0);
        const qm::Sha256Digest ours =
            qm::Pbkdf2Sha256(password, salt, static_cast<uint32_t>(iterations));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(ours.data()), ours.size()),
                  std::string(reinterpret_cast<const char*>(derived), sizeof derived))
            << iterations;
    }
    BCryptCloseAlgorithmProvider(hmac, 0);
}

}  // namespace
