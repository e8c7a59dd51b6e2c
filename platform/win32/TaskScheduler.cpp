// Tasks of the Task Scheduler (its COM interface, version 2): registered from
// an XML definition to run as SYSTEM, read back and deleted. Each call opens
// its own COM apartment and connection; none is kept.
#include <windows.h>

#include <oleauto.h>
#include <taskschd.h>

#include <string>

#include "platform/Platform.h"
#include "platform/win32/WideText.h"

namespace qm {

namespace {

// A COM interface pointer, released at the end of its scope.
template <class Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (m_pointer != nullptr) m_pointer->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface** Out() { return &m_pointer; }
    Interface* operator->() const { return m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

// A BSTR of the text, freed at the end of its scope.
class Bstr {
public:
    explicit Bstr(const std::string& text)
        : m_text(SysAllocString(win32::WideText(text).c_str())) {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_text; }

private:
    BSTR m_text;
};

// COM on this thread for the lifetime of the object; a thread that has it
// already (in another model) keeps it as it is.
class ComApartment {
public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

// A failure of the Win32 kind as its Win32 code, for the system's words;
// any other as the HRESULT itself.
uint32_t ErrorOf(HRESULT result) {
    if (SUCCEEDED(result)) return kErrorSuccess;
    const uint32_t code = static_cast<uint32_t>(result);
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? (code & 0xFFFFu) : code;
}

// The scheduler's root folder on this machine, as the caller, for the
// lifetime of the object: COM on this thread first and last, then the
// connection and the folder.
class SchedulerRoot {
public:
    SchedulerRoot() { m_result = Open(); }
    SchedulerRoot(const SchedulerRoot&) = delete;
    SchedulerRoot& operator=(const SchedulerRoot&) = delete;
    HRESULT Result() const { return m_result; }
    ITaskFolder* operator->() const { return m_folder.operator->(); }

private:
    HRESULT Open() {
        HRESULT result =
            CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                             reinterpret_cast<void**>(m_service.Out()));
        if (FAILED(result)) return result;
        VARIANT none;
        VariantInit(&none);
        result = m_service->Connect(none, none, none, none);
        if (FAILED(result)) return result;
        const Bstr root("\\");
        return m_service->GetFolder(root.Get(), m_folder.Out());
    }

    ComApartment m_apartment;
    ComPointer<ITaskService> m_service;
    ComPointer<ITaskFolder> m_folder;
    HRESULT m_result = E_FAIL;
};

}  // namespace

uint32_t IPlatform::RegisterTask(const std::string& name, const std::string& definition) {
    const SchedulerRoot folder;
    if (FAILED(folder.Result())) return ErrorOf(folder.Result());
    const Bstr path(name);
    const Bstr xml(definition);
    // The local system account, by its well-known SID.
    const Bstr system("S-1-5-18");
    VARIANT user;
    VariantInit(&user);
    user.vt = VT_BSTR;
    user.bstrVal = system.Get();
    VARIANT none;
    VariantInit(&none);
    ComPointer<IRegisteredTask> task;
    return ErrorOf(folder->RegisterTask(path.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, user, none,
                                        TASK_LOGON_SERVICE_ACCOUNT, none, task.Out()));
}

uint32_t IPlatform::DeleteTask(const std::string& name) {
    const SchedulerRoot folder;
    if (FAILED(folder.Result())) return ErrorOf(folder.Result());
    const Bstr path(name);
    return ErrorOf(folder->DeleteTask(path.Get(), 0));
}

uint32_t IPlatform::ReadTask(const std::string& name, std::string& definition) {
    definition.clear();
    const SchedulerRoot folder;
    if (FAILED(folder.Result())) return ErrorOf(folder.Result());
    const Bstr path(name);
    ComPointer<IRegisteredTask> task;
    HRESULT result = folder->GetTask(path.Get(), task.Out());
    if (FAILED(result)) return ErrorOf(result);
    BSTR xml = nullptr;
    result = task->get_Xml(&xml);
    if (SUCCEEDED(result) && xml != nullptr) {
        definition = win32::SystemText(std::wstring(xml, SysStringLen(xml)));
    }
    SysFreeString(xml);
    return ErrorOf(result);
}

}  // namespace qm
