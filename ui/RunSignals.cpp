#include "ui/RunSignals.h"

#include <initguid.h>

#include <oleacc.h>

namespace {

// UI Automation's LiveSetting property and its value Polite, for a window
// that is no UI Automation element of its own (UIAutomationCore.h).
DEFINE_GUID(kLiveSettingProperty, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d,
            0x58, 0xeb);
constexpr LONG kLivePolite = 1;
// The dynamic annotation service (oleacc.h; MinGW's import library lacks
// its class id).
DEFINE_GUID(kAccPropServices, 0xb5f8350b, 0x0548, 0x48b1, 0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5,
            0xe7);
DEFINE_GUID(kAccPropServicesInterface, 0x6e26e776, 0x04f0, 0x495d, 0x80, 0xe4, 0x33, 0x30, 0x35,
            0x2e, 0x31, 0x69);
// EVENT_OBJECT_LIVEREGIONCHANGED, of Windows 8 on (older systems ignore it).
constexpr DWORD kLiveRegionChanged = 0x8019;

}  // namespace

CTaskbarProgress::~CTaskbarProgress() {
    if (m_pTaskbar != nullptr) m_pTaskbar->Release();
}

ITaskbarList3* CTaskbarProgress::TaskbarList() {
    if (!m_bTried) {
        m_bTried = true;
        void* list = nullptr;
        if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_ITaskbarList3, &list))) {
            m_pTaskbar = static_cast<ITaskbarList3*>(list);
            if (FAILED(m_pTaskbar->HrInit())) {
                m_pTaskbar->Release();
                m_pTaskbar = nullptr;
            }
        }
    }
    return m_pTaskbar;
}

void CTaskbarProgress::Show(HWND window, uint64_t done, uint64_t total) {
    ITaskbarList3* list = TaskbarList();
    if (list == nullptr) return;
    if (!m_bShown) list->SetProgressState(window, TBPF_NORMAL);
    m_bShown = true;
    list->SetProgressValue(window, done, total > 0 ? total : 1);
}

void CTaskbarProgress::Clear(HWND window) {
    if (!m_bShown || m_pTaskbar == nullptr) return;
    m_pTaskbar->SetProgressState(window, TBPF_NOPROGRESS);
    m_bShown = false;
}

void MarkLiveRegion(HWND control) {
    void* services = nullptr;
    if (FAILED(::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  kAccPropServicesInterface, &services))) {
        return;
    }
    auto* annotation = static_cast<IAccPropServices*>(services);
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kLivePolite;
    annotation->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                            kLiveSettingProperty, polite);
    annotation->Release();
}

void AnnounceChange(HWND control) {
    ::NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}
