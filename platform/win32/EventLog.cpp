// The Application log: the events of a run, and the key that registers the
// source "qmverify" with the message table in qmverify-cli.exe, so that Event
// Viewer and a collector show each event's text, not only its strings.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/WideText.h"

namespace qm {

namespace {

// One string of an event holds at most 31,839 characters.
constexpr size_t kMostInsertCharacters = 31839;

WORD EventTypeFlag(EventType type) {
    switch (type) {
        case EventType::Information:
            return EVENTLOG_INFORMATION_TYPE;
        case EventType::Warning:
            return EVENTLOG_WARNING_TYPE;
        case EventType::Error:
            break;
    }
    return EVENTLOG_ERROR_TYPE;
}

}  // namespace

uint32_t IPlatform::WriteEvent(EventType type, uint32_t id,
                               const std::vector<std::string>& inserts) {
    std::vector<std::wstring> strings;
    std::vector<LPCWSTR> pointers;
    for (const std::string& insert : inserts) {
        std::wstring wide = win32::WideText(insert);
        if (wide.size() > kMostInsertCharacters) wide.resize(kMostInsertCharacters);
        strings.push_back(std::move(wide));
    }
    for (const std::wstring& text : strings) pointers.push_back(text.c_str());
    const std::wstring source = win32::WideText(kEventSourceName);
    HANDLE log = RegisterEventSourceW(nullptr, source.c_str());
    if (log == nullptr) return GetLastError();
    const BOOL written =
        ReportEventW(log, EventTypeFlag(type), 0, id, nullptr, static_cast<WORD>(pointers.size()),
                     0, pointers.empty() ? nullptr : pointers.data(), nullptr);
    const DWORD error = written ? ERROR_SUCCESS : GetLastError();
    DeregisterEventSource(log);
    return error;
}

uint32_t IPlatform::InstallEventSource(const std::string& messageFile) {
    HKEY key = nullptr;
    LONG result =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::WideText(kEventSourceKey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<uint32_t>(result);
    // A plain string, as the installer writes it: the path is whole.
    const std::wstring file = win32::WideText(messageFile);
    result = RegSetValueExW(key, L"EventMessageFile", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(file.c_str()),
                            static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
    const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&types), sizeof types);
    }
    RegCloseKey(key);
    return static_cast<uint32_t>(result);
}

uint32_t IPlatform::RemoveEventSource() {
    const LONG result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, win32::WideText(kEventSourceKey).c_str());
    return result == ERROR_FILE_NOT_FOUND ? kErrorSuccess : static_cast<uint32_t>(result);
}

}  // namespace qm
