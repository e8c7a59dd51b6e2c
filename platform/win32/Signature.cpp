// The Authenticode signature of a file, as Explorer and SmartScreen see it:
// WinVerifyTrust without a revocation check and without fetching anything
// over the network, first on the signature embedded in the file, then, for
// a file without one, through the catalogs of the system (how Windows signs
// most of its own files).
//
// The catalog member of a SHA-256 catalog is checked within its own catalog
// context, which WINTRUST_CATALOG_INFO carries from Windows 8 on (an older
// system reads the smaller structure that cbStruct names).
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#include <windows.h>

#include <mscat.h>
#include <mssip.h>
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/WideText.h"

namespace qm {

namespace {

// What the verification found of the signer: the name of its certificate.
std::string SignerName(HANDLE state) {
    CRYPT_PROVIDER_DATA* data = WTHelperProvDataFromStateData(state);
    CRYPT_PROVIDER_SGNR* signer =
        data ? WTHelperGetProvSignerFromChain(data, 0, FALSE, 0) : nullptr;
    if (signer == nullptr || signer->csCertChain == 0 || signer->pasCertChain == nullptr ||
        signer->pasCertChain[0].pCert == nullptr) {
        return std::string();
    }
    wchar_t name[256] = L"";
    CertGetNameStringW(signer->pasCertChain[0].pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr,
                       name, sizeof name / sizeof name[0]);
    return win32::SystemText(name);
}

// One verification of what `data` names, with the signer's name.
SignatureCheck Verify(WINTRUST_DATA& data) {
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
    SignatureCheck check;
    check.answer = static_cast<uint32_t>(WinVerifyTrust(noWindow, &action, &data));
    check.signer = SignerName(data.hWVTStateData);
    // The state that VERIFY keeps must be given back, whatever the answer.
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(noWindow, &action, &data);
    check.state = FileSignatureStateOf(check.answer);
    return check;
}

// Whether no subject interface package knows the file's kind (it is no
// program, cabinet or other file that carries a signature of its own).
// Windows answers TRUST_E_SUBJECT_FORM_UNKNOWN; Wine does so too, but
// ERROR_INVALID_PARAMETER for a file shorter than the four bytes it reads
// first, and WinVerifyTrust ERROR_INVALID_PARAMETER for every such file:
// asked first, each reads as unsigned.
bool OfNoSignedForm(const std::wstring& path) {
    GUID subject{};
    if (CryptSIPRetrieveSubjectGuid(path.c_str(), nullptr, &subject)) return false;
    const DWORD error = GetLastError();
    return error == static_cast<DWORD>(TRUST_E_SUBJECT_FORM_UNKNOWN) ||
           error == ERROR_INVALID_PARAMETER;
}

SignatureCheck VerifyEmbedded(const std::wstring& path) {
    if (OfNoSignedForm(path)) {
        SignatureCheck check;
        check.answer = static_cast<uint32_t>(TRUST_E_SUBJECT_FORM_UNKNOWN);
        check.state = FileSignatureStateOf(check.answer);
        return check;
    }
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    return Verify(data);
}

// The SHA-256 catalog calls exist from Windows 8 on, and not in Wine: looked
// up, never imported, so that the program starts where they are missing.
using AcquireContext2 = BOOL(WINAPI*)(HCATADMIN*, const GUID*, const WCHAR*,
                                      const CERT_STRONG_SIGN_PARA*, DWORD);
using CalcHash2 = BOOL(WINAPI*)(HCATADMIN, HANDLE, DWORD*, BYTE*, DWORD);

template <class Function>
Function WintrustCall(const char* name) {
    const HMODULE wintrust = GetModuleHandleW(L"wintrust.dll");
    if (wintrust == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(wintrust, name)));
}

// A catalog context for SHA-256 (Windows 8 on) or SHA-1 hashes.
bool AcquireCatalogContext(HCATADMIN& admin, bool sha256) {
    if (!sha256) return CryptCATAdminAcquireContext(&admin, nullptr, 0) != FALSE;
    const auto acquire = WintrustCall<AcquireContext2>("CryptCATAdminAcquireContext2");
    return acquire != nullptr && acquire(&admin, nullptr, L"SHA256", nullptr, 0) != FALSE;
}

// The file's hash as the catalog context of `admin` forms it; empty when it
// cannot be formed.
std::vector<BYTE> CatalogHash(HCATADMIN admin, HANDLE file, bool sha256) {
    const auto hash2 =
        sha256 ? WintrustCall<CalcHash2>("CryptCATAdminCalcHashFromFileHandle2") : nullptr;
    if (sha256 && hash2 == nullptr) return {};
    // Each hash reads the file from its start.
    const auto rewind = [file] { SetFilePointer(file, 0, nullptr, FILE_BEGIN); };
    DWORD size = 0;
    rewind();
    sha256 ? hash2(admin, file, &size, nullptr, 0)
           : CryptCATAdminCalcHashFromFileHandle(file, &size, nullptr, 0);
    std::vector<BYTE> hash(size);
    rewind();
    if (size == 0 || !(sha256 ? hash2(admin, file, &size, hash.data(), 0)
                              : CryptCATAdminCalcHashFromFileHandle(file, &size, hash.data(), 0))) {
        return {};
    }
    hash.resize(size);
    return hash;
}

// The file through the first catalog that lists its hash, in a context of
// the hash (SHA-256, then SHA-1); answer TRUST_E_NOSIGNATURE when none does.
SignatureCheck VerifyByCatalog(const std::wstring& path, HANDLE file, bool sha256) {
    SignatureCheck check;
    check.answer = static_cast<uint32_t>(TRUST_E_NOSIGNATURE);
    check.state = FileSignatureState::Unsigned;
    HCATADMIN admin = nullptr;
    if (!AcquireCatalogContext(admin, sha256)) return check;
    std::vector<BYTE> hash = CatalogHash(admin, file, sha256);
    HCATINFO info = hash.empty()
                        ? nullptr
                        : CryptCATAdminEnumCatalogFromHash(
                              admin, hash.data(), static_cast<DWORD>(hash.size()), 0, nullptr);
    CATALOG_INFO catalog{};
    catalog.cbStruct = sizeof catalog;
    if (info != nullptr && CryptCATCatalogInfoFromContext(info, &catalog, 0)) {
        std::wstring tag;
        for (BYTE byte : hash) {
            wchar_t digits[3];
            std::swprintf(digits, 3, L"%02X", byte);
            tag += digits;
        }
        WINTRUST_CATALOG_INFO member{};
        member.cbStruct = sizeof member;
        member.pcwszCatalogFilePath = catalog.wszCatalogFile;
        member.pcwszMemberTag = tag.c_str();
        member.pcwszMemberFilePath = path.c_str();
        member.hMemberFile = file;
        member.pbCalculatedFileHash = hash.data();
        member.cbCalculatedFileHash = static_cast<DWORD>(hash.size());
        member.hCatAdmin = admin;
        WINTRUST_DATA data{};
        data.dwUnionChoice = WTD_CHOICE_CATALOG;
        data.pCatalog = &member;
        check = Verify(data);
    }
    if (info != nullptr) CryptCATAdminReleaseCatalogContext(admin, info, 0);
    CryptCATAdminReleaseContext(admin, 0);
    return check;
}

}  // namespace

SignatureCheck IPlatform::FileSignature(const std::string& path) {
    const std::wstring wide = win32::WideText(ShownPath(path));
    SignatureCheck check = VerifyEmbedded(wide);
    if (check.state != FileSignatureState::Unsigned) return check;
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return check;
    for (bool sha256 : {true, false}) {
        const SignatureCheck byCatalog = VerifyByCatalog(wide, file, sha256);
        if (byCatalog.state != FileSignatureState::Unsigned) {
            check = byCatalog;
            break;
        }
    }
    CloseHandle(file);
    return check;
}

}  // namespace qm
