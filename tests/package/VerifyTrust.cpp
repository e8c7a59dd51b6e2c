// Asks Windows whether each named file carries an intact Authenticode
// signature, as Explorer and SmartScreen do before they start it:
//
//   verify-trust FILE...
//
// One line per file: WinVerifyTrust's answer in hex, and the file name.
// 0x00000000 is signed and intact, 0x800B0100 (TRUST_E_NOSIGNATURE) unsigned,
// 0x80096010 (TRUST_E_BAD_DIGEST) changed after signing. Revocation is not
// checked, as the test certificates have no revocation list. Exit status 0
// when every answer is 0, 1 otherwise, 2 on bad arguments.
#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include <cstdio>
#include <string>

namespace {

LONG VerifyFile(const char* pszFile) {
    const int nChars = MultiByteToWideChar(CP_ACP, 0, pszFile, -1, nullptr, 0);
    if (nChars <= 0) return static_cast<LONG>(HRESULT_FROM_WIN32(GetLastError()));
    std::wstring strFile(static_cast<size_t>(nChars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, pszFile, -1, &strFile[0], nChars);

    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = strFile.c_str();

    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;

    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG nResult = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    // The state that VERIFY keeps must be given back, whatever the answer.
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return nResult;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: verify-trust FILE...\n");
        return 2;
    }
    bool bAllTrusted = true;
    for (int i = 1; i < argc; ++i) {
        const LONG nResult = VerifyFile(argv[i]);
        std::printf("0x%08lX %s\n", static_cast<unsigned long>(nResult), argv[i]);
        bAllTrusted = bAllTrusted && nResult == 0;
    }
    return bAllTrusted ? 0 : 1;
}
