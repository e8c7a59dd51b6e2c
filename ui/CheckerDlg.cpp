#include "ui/CheckerDlg.h"
#include "ui/WideText.h"

#include <chrono>
#include <optional>

#include "core/InstalledRelease.h"
#include "core/Settings.h"
#include "core/WriterLock.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlgParts.h"
#include "ui/ChildSearch.h"
#include "ui/DataExchange.h"
#include "ui/Dpi.h"
#include "ui/EnterKey.h"
#include "ui/KeepAlive.h"
#include "ui/ModalDialog.h"
#include "ui/SettingsFlags.h"
#include "ui/TextFit.h"

namespace {

// Status images in FileStatus order: Identical, NotIdentical, Updated, NotListed.
const UINT kStatusIcons[] = {IDI_IDENTICAL, IDI_NOT_IDENTICAL, IDI_UPDATED, IDI_NOT_LISTED};
constexpr int kStatusImageSize = 13;

using checker::kRelayoutMessage;
using checker::kRunNewsMessage;

// How often a run shows its progress: often enough to watch the rows
// arrive, seldom enough to cost nothing beside the file work.
constexpr std::chrono::milliseconds kProgressInterval{100};

qm::StatusTexts LoadStatusTexts() {
    qm::StatusTexts texts;
    texts.identical = LoadResString(IDS_IDENTICAL);
    texts.notIdentical = LoadResString(IDS_NOT_IDENTICAL);
    texts.updated = LoadResString(IDS_UPDATED);
    texts.notListed = LoadResString(IDS_NOT_LISTED);
    return texts;
}

}  // namespace

// What each handler does while a run goes on (WhileBusy): stopping, closing,
// moving and drawing go on; every request that would start something else
// waits for the run's end. The system menu's About is such a request too:
// OnSysCommand drops it while Busy.
const CMessageMapEntry<CCheckerDlg> CCheckerDlg::kMessageMap[] = {
    OnMessage(WM_SYSCOMMAND, &CCheckerDlg::OnSysCommand, WhileBusy::Handle),
    OnMessage(WM_PAINT, &CCheckerDlg::OnPaint, WhileBusy::Handle),
    OnMessage(WM_QUERYDRAGICON, &CCheckerDlg::OnQueryDragIcon, WhileBusy::Handle),
    OnMessage(WM_DRAWITEM, &CCheckerDlg::OnDrawItem, WhileBusy::Handle),
    OnDpiChanged(&CCheckerDlg::OnScaleChanged),
    OnMessage(WM_DESTROY, &CCheckerDlg::OnDestroy, WhileBusy::Handle),
    OnMessage(WM_SIZE, &CCheckerDlg::OnSize, WhileBusy::Handle),
    OnMessage(WM_GETMINMAXINFO, &CCheckerDlg::OnGetMinMaxInfo, WhileBusy::Handle),
    OnMessage(kRelayoutMessage, &CCheckerDlg::OnRelayout, WhileBusy::Handle),
    OnMessage(kRunNewsMessage, &CCheckerDlg::OnRunNews, WhileBusy::Handle),
    OnMessage(WM_SYSCOLORCHANGE, &CCheckerDlg::OnSysColorChange, WhileBusy::Handle),
    OnMessage(WM_THEMECHANGED, &CCheckerDlg::OnThemeChanged, WhileBusy::Handle),
    OnMessage(WM_UPDATEUISTATE, &CCheckerDlg::OnUpdateUiState, WhileBusy::Handle),
    OnMessage(WM_SETCURSOR, &CCheckerDlg::OnSetCursor, WhileBusy::Handle),
    OnMessage(WM_CTLCOLORSTATIC, &CCheckerDlg::OnCtlColorStatic, WhileBusy::Handle),
    // Compare is Stop while a run goes on; Esc stops it; Exit stops it and closes.
    OnCommand(IDC_COMPARE, BN_CLICKED, &CCheckerDlg::OnCompare, WhileBusy::Handle),
    OnCommand(IDCANCEL, BN_CLICKED, &CCheckerDlg::OnEscape, WhileBusy::Handle),
    OnCommand(IDOK, BN_CLICKED, &CCheckerDlg::OnExit, WhileBusy::Handle),
    OnCommand(IDC_ABOUT, BN_CLICKED, &CCheckerDlg::OnAbout, WhileBusy::Ignore),
    OnCommand(IDC_SETTINGS, BN_CLICKED, &CCheckerDlg::OnSettings, WhileBusy::Ignore),
    OnNotify(IDC_RESULT_LIST, NM_DBLCLK, &CCheckerDlg::OnDblclkResultList, WhileBusy::Ignore),
    // Enter in the list, as a double-click.
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(NM_RETURN), &CCheckerDlg::OnDblclkResultList,
             WhileBusy::Ignore),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(NM_SETFOCUS), &CCheckerDlg::OnListFocus,
             WhileBusy::Handle),
    // The list view's header has control id 0. The rows arrive at the top
    // during a run: no sort reorders them meanwhile.
    OnNotify(0, static_cast<UINT>(HDN_ITEMCLICKA), &CCheckerDlg::OnHeaderItemClick,
             WhileBusy::Ignore),
    OnNotify(0, static_cast<UINT>(HDN_ITEMCLICKW), &CCheckerDlg::OnHeaderItemClick,
             WhileBusy::Ignore),
    // The owner-data list asks for what it shows, a run or not.
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_GETDISPINFOA), &CCheckerDlg::OnGetDispInfoA,
             WhileBusy::Handle),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_GETDISPINFOW), &CCheckerDlg::OnGetDispInfoW,
             WhileBusy::Handle),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_ODFINDITEMA), &CCheckerDlg::OnFindItemA,
             WhileBusy::Handle),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_ODFINDITEMW), &CCheckerDlg::OnFindItemW,
             WhileBusy::Handle),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_GETINFOTIPA), &CCheckerDlg::OnGetInfoTipA,
             WhileBusy::Handle),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_GETINFOTIPW), &CCheckerDlg::OnGetInfoTipW,
             WhileBusy::Handle),
    // Any other command: a control that got the focus moves the ring.
    OnMessage(WM_COMMAND, &CCheckerDlg::OnFocusNotice, WhileBusy::Handle),
};

CCheckerDlg::CCheckerDlg()
    : CDialog(IDD_QMVERIFY_DIALOG), m_table(LoadStatusTexts()), m_showPace(kProgressInterval) {
    // Shared icon from the resources: never freed.
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

bool CCheckerDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

bool CCheckerDlg::Busy() const { return m_run.Active() || CDialog::Busy(); }

void CCheckerDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RESULT_LIST, m_listResult);
    DDX_Control(dx, IDOK, m_btnExit);
    DDX_Control(dx, IDC_SETTINGS, m_btnSettings);
    DDX_Control(dx, IDC_COMPARE, m_btnCompare);
    DDX_Control(dx, IDC_ABOUT, m_btnAbout);
    DDX_Text(dx, IDC_SENTINEL_DATE, m_strSentinelDate);
    DDX_Text(dx, IDC_QMW_DATE, m_strQmwDate);
    DDX_Text(dx, IDC_SENTINEL_RELEASE, m_strSentinelRelease);
    DDX_Text(dx, IDC_QMW_RELEASE, m_strQmwRelease);
}

BOOL CCheckerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutToSystemMenu();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    SetWindowText(LoadResString(IDS_MAIN_TITLE));
    m_nDpi = dpi::OfWindow(m_hWnd);
    m_listResult.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    // Enter in the list opens the row, and never presses a button.
    LetControlTakeEnter(m_listResult);
    SetUpButtons();
    SetUpResultList();
    m_hResultGroup = FirstGroupBox(m_hWnd);
    m_strResultGroup = CWindow(m_hResultGroup).GetWindowText();
    MarkLiveRegion(m_hResultGroup);
    MarkLiveRegion(GetDlgItem(IDC_LIST_STATE));
    ReadInstalledReleases();
    ProcessSettingsFlags() = qm::ReadSettingsFlags();
    UpdateData(false);
    FitTextsToControls(m_hWnd);
    m_layout.Capture(m_hWnd, {m_listResult.GetSafeHwnd(), m_hResultGroup}, TemplateClientSize(),
                     {GetDlgItem(IDC_LIST_STATE)});
    m_dialogUnits = DialogUnits();
    StartInsideWorkArea();
    // Windows makes a window no larger than the screen as it creates it: the
    // controls follow that size too.
    m_layout.Apply();
    // Every write of the window and its dialogs (comment, Add, settings) may
    // wait up to 10 s for another writer: the window stays alive.
    m_previousLockWaitHook = qm::CWriterLock::SetWaitHook(KeepAliveWithWaitCursor);
    // Enter presses Compare from the start, and the focus is there.
    ::SetFocus(m_btnCompare.GetSafeHwnd());
    FollowFocus();
    return FALSE;  // the focus is set
}

bool CCheckerDlg::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    // A run still going ends at its next file, and writes nothing then.
    m_run.Abandon();
    m_bListAlarm = false;
    UseAlarmFont();  // the bold face goes with the window
    m_taskbar.Clear(m_hWnd);
    ::RemovePropA(m_hWnd, kStopTimeProperty);
    qm::CWriterLock::SetWaitHook(std::move(m_previousLockWaitHook));
    return false;
}

void CCheckerDlg::AddAboutToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(false);
    if (systemMenu == nullptr) return;
    const std::string about = LoadResString(IDS_ABOUTBOX);
    if (about.empty()) return;
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, Wide(about).c_str());
}

void CCheckerDlg::SetUpButtons() {
    SetButtonImages();
    m_btnAbout.SetImagePosition(-1, -1);
    m_btnCompare.SetDefaultButton(TRUE);
    // Enter on a focused button presses that button, not Compare.
    for (const CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        LetButtonTakeEnter(button->GetSafeHwnd());
    }
}

// Each image at the size the window's scale asks for; the icons hold an
// image of that size for 100 to 200 %. A missing image leaves its button
// with the caption only.
void CCheckerDlg::SetButtonImages() {
    for (CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        button->SetDpi(m_nDpi);
    }
    const int exit = dpi::Scale(20, m_nDpi);
    const int small = dpi::Scale(18, m_nDpi);
    m_btnExit.SetIconImage(IDI_EXIT, exit, exit);
    m_btnSettings.SetIconImage(IDI_SETTINGS, small, small);
    m_btnCompare.SetIconImage(IDI_COMPARE, small, small);
    const dpi::Bitmap logo = dpi::Logo(m_nDpi, 44, 22);
    m_btnAbout.SetBitmapImage(logo.id, logo.width, logo.height, RGB(0xFF, 0xFF, 0xFF));
}

const CIconButton* CCheckerDlg::IconButton(int id) const {
    switch (id) {
        case IDOK:
            return &m_btnExit;
        case IDC_SETTINGS:
            return &m_btnSettings;
        case IDC_COMPARE:
            return &m_btnCompare;
        case IDC_ABOUT:
            return &m_btnAbout;
        default:
            return nullptr;
    }
}

// Enter presses the focused icon button (LetButtonTakeEnter); from a field
// the dialog's default, Compare; from the list none (it opens the row).
void CCheckerDlg::FollowFocus() {
    const HWND focus = ::GetFocus();
    CIconButton* ring = focus == m_listResult.GetSafeHwnd() ? nullptr : &m_btnCompare;
    for (CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        if (button->GetSafeHwnd() == focus) ring = button;
    }
    for (CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        if (button != ring && button->IsDefaultButton()) button->SetDefaultButton(FALSE);
    }
    if (ring != nullptr && !ring->IsDefaultButton()) ring->SetDefaultButton(TRUE);
}

bool CCheckerDlg::OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (IsFocusNotice(reinterpret_cast<HWND>(lParam), wParam)) FollowFocus();
    return false;
}

void CCheckerDlg::OnListFocus(NMHDR*, LRESULT* result) {
    FollowFocus();
    *result = 0;
}

void CCheckerDlg::SetUpResultList() {
    for (int column = 0; column < qm::kColumnCount; ++column) {
        const checker::ColumnSpec& spec = checker::kColumns[column];
        const std::string heading = spec.headingId != 0 ? LoadResString(spec.headingId) : "";
        m_listResult.InsertColumn(column, heading, LVCFMT_LEFT, dpi::Scale(spec.width, m_nDpi));
    }
    SetStatusImages();
    m_rows.SetUpControl();
}

void CCheckerDlg::SetStatusImages() {
    const int size = dpi::Scale(kStatusImageSize, m_nDpi);
    m_imageList.Create(size, size, ILC_MASK | ILC_COLOR32, qm::kStatusCount, qm::kStatusCount);
    for (UINT iconId : kStatusIcons) {
        auto icon =
            static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        m_imageList.Add(icon);  // the list keeps a copy
        if (icon != nullptr) ::DestroyIcon(icon);
    }
    m_listResult.SetImageList(m_imageList, LVSIL_SMALL);
}

// The system colours or the theme changed (high contrast on or off): the
// logo's background follows the new face. The list view hears of new system
// colours only from its parent; Windows sends WM_THEMECHANGED to every window.
void CCheckerDlg::RemapButtonColours() {
    for (CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        button->RemapColours();
    }
}

bool CCheckerDlg::OnSysColorChange(WPARAM wParam, LPARAM lParam, LRESULT&) {
    RemapButtonColours();
    m_listResult.SendMessage(WM_SYSCOLORCHANGE, wParam, lParam);
    return false;
}

bool CCheckerDlg::OnThemeChanged(WPARAM, LPARAM, LRESULT&) {
    RemapButtonColours();
    return false;
}

// A key was used, or the mouse started the window: the focus rectangle and
// the underlines show or hide, which the icon buttons draw themselves.
bool CCheckerDlg::OnUpdateUiState(WPARAM, LPARAM, LRESULT&) {
    for (CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        if (button->GetSafeHwnd() != nullptr)
            ::InvalidateRect(button->GetSafeHwnd(), nullptr, TRUE);
    }
    return false;
}

// While a run goes on the pointer says that the window works and still
// takes clicks.
bool CCheckerDlg::OnSetCursor(WPARAM, LPARAM lParam, LRESULT& result) {
    if (!m_run.Active() || LOWORD(lParam) != HTCLIENT) return false;
    ::SetCursor(::LoadCursorA(nullptr, IDC_APPSTARTING));
    result = TRUE;
    return true;
}

void CCheckerDlg::ReadInstalledReleases() {
    if (std::optional<qm::InstalledRelease> qmw = qm::ReadInstalledRelease(qm::kQmwRegistryKey)) {
        m_strQmwDate = qmw->installedOn;
        m_strQmwRelease = qmw->version;
    }
    if (std::optional<qm::InstalledRelease> sentinel =
            qm::ReadInstalledRelease(qm::kSentinelRegistryKey)) {
        m_strSentinelDate = sentinel->installedOn;
        m_strSentinelRelease = sentinel->version;
    }
}

bool CCheckerDlg::OnSysCommand(WPARAM id, LPARAM, LRESULT& result) {
    if ((id & 0xFFF0) == SC_CLOSE && m_run.Active()) {
        OnExit();  // the close box stops the run first
        result = 0;
        return true;
    }
    if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;  // move, minimise, close, ...
    if (!Busy()) OnAbout();
    result = 0;
    return true;
}

POINT CCheckerDlg::IconPosition(const RECT& client, int cx, int cy) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    return {(width - cx + 1) / 2, (height - cy + 1) / 2};
}

bool CCheckerDlg::OnPaint(WPARAM, LPARAM, LRESULT& result) {
    if (!IsIconic()) return false;
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const POINT at =
        IconPosition(GetClientRect(), ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc, at.x, at.y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    result = 0;
    return true;
}

bool CCheckerDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
}

bool CCheckerDlg::OnDrawItem(WPARAM, LPARAM item, LRESULT& result) {
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(item);
    for (CIconButton* button : {&m_btnExit, &m_btnSettings, &m_btnCompare, &m_btnAbout}) {
        if (button->GetSafeHwnd() == draw.hwndItem) {
            button->DrawItem(draw);
            result = TRUE;
            return true;
        }
    }
    return false;
}

void CCheckerDlg::OnAbout() {
    CModalDialog<CAboutDlg> about(AboutKeyText());
    about.DoModal(m_hWnd);
}

// Exit, and the close box during a run: the run stops (a build writes
// nothing) and the window closes; its thread ends with its file.
void CCheckerDlg::OnExit() {
    m_run.Abandon();
    EndDialog(IDOK);
}

// Esc stops a run; without one it closes the window, as it always did.
void CCheckerDlg::OnEscape() {
    if (m_run.Active()) {
        StopRun();
        return;
    }
    EndDialog(IDCANCEL);
}
