#include "ui/CheckerDlg.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <utility>

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/EntryComment.h"
#include "core/InstalledRelease.h"
#include "core/ResultSort.h"
#include "core/RunSummary.h"
#include "core/Settings.h"
#include "core/WaitCursor.h"
#include "core/WriterLock.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/AppServices.h"
#include "ui/ChildSearch.h"
#include "ui/DataExchange.h"
#include "ui/Dpi.h"
#include "ui/EnterKey.h"
#include "ui/KeepAlive.h"
#include "ui/MessageBoxes.h"
#include "ui/ModalDialog.h"
#include "ui/RedrawPace.h"
#include "ui/SettingsDlg.h"
#include "ui/SettingsFlags.h"
#include "ui/TextFit.h"
#include "ui/WindowFit.h"

namespace {

struct ColumnSpec {
    UINT headingId;  // 0: no heading
    int width;
};

// The nine columns of the result list, their widths at 100 %; the last two
// (entry number and section) are hidden by their width and identify the
// release-list entry.
const ColumnSpec kColumns[qm::kColumnCount] = {
    {IDS_COL_FILENAME, 140},
    {IDS_COL_STATUS, 100},
    {IDS_COL_CRC_CURRENT, 80},
    {IDS_COL_DATE_CURRENT, 100},
    {IDS_COL_CRC_RELEASE, 80},
    {IDS_COL_DATE_RELEASE, 100},
    {IDS_COL_COMMENT, 400},
    {0, 0},
    {0, 0},
};

// Status images in FileStatus order: Identical, NotIdentical, Updated, NotListed.
const UINT kStatusIcons[] = {IDI_IDENTICAL, IDI_NOT_IDENTICAL, IDI_UPDATED, IDI_NOT_LISTED};
constexpr int kStatusImageSize = 13;

// How often a comparison shows its progress: often enough to watch the rows
// arrive, seldom enough to cost nothing beside the file work.
constexpr std::chrono::milliseconds kProgressInterval{100};

// The smallest window, in dialog units: a list of some five rows below its
// header, and side by side controls no closer than this.
constexpr int kListLeastHeight = 60;
constexpr int kLeastGap = 4;

// Posted after a move to a monitor of another scale: the layout follows once
// the dialog manager has scaled the controls.
constexpr UINT kRelayoutMessage = WM_APP + 1;

qm::StatusTexts LoadStatusTexts() {
    qm::StatusTexts texts;
    texts.identical = LoadResString(IDS_IDENTICAL);
    texts.notIdentical = LoadResString(IDS_NOT_IDENTICAL);
    texts.updated = LoadResString(IDS_UPDATED);
    texts.notListed = LoadResString(IDS_NOT_LISTED);
    return texts;
}

// The directories whose program files that no entry names are shown: those
// whose flag of the settings file is set.
qm::UnlistedScope UnlistedScopeOfSettings() {
    qm::UnlistedScope scope;
    scope.sections[0] = ProcessSettingsFlags().checkQmw != 0;
    scope.sections[1] = ProcessSettingsFlags().checkDb1 != 0;
    return scope;
}

// The result group box's text after a run: the counts, and on a second line
// the files changed with their CRC-32 kept and the entries that the CRC-32
// alone checks.
std::string SummaryText(const qm::RunSummary& summary) {
    std::string text = qm::BoundedFormat(
        qm::kSummaryCapacity, nullptr, LoadResString(IDS_COMPARE_SUMMARY).c_str(), summary.compared,
        summary.identical, summary.notIdentical, summary.updated, summary.notListed);
    // The second line runs under the header fields on the right: it stays
    // short, and the files changed with their CRC-32 kept come first.
    std::string notes;
    if (!summary.crafted.empty()) {
        notes = qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                                  LoadResString(IDS_SUMMARY_CRAFTED).c_str(),
                                  qm::NamesInBrief(summary.crafted, 2).c_str());
    }
    if (summary.crcOnly > 0) {
        const UINT note = notes.empty() ? IDS_SUMMARY_CRC_ONLY : IDS_SUMMARY_CRC_ONLY_SHORT;
        notes += qm::BoundedFormat(qm::kSummaryCapacity, nullptr, LoadResString(note).c_str(),
                                   summary.crcOnly);
    }
    return notes.empty() ? text : text + "\n" + notes;
}

}  // namespace

const CMessageMapEntry<CCheckerDlg> CCheckerDlg::kMessageMap[] = {
    OnMessage(WM_SYSCOMMAND, &CCheckerDlg::OnSysCommand),
    OnMessage(WM_PAINT, &CCheckerDlg::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &CCheckerDlg::OnQueryDragIcon),
    OnMessage(WM_DRAWITEM, &CCheckerDlg::OnDrawItem),
    OnDpiChanged(&CCheckerDlg::OnScaleChanged),
    OnMessage(WM_DESTROY, &CCheckerDlg::OnDestroy),
    OnMessage(WM_SIZE, &CCheckerDlg::OnSize),
    OnMessage(WM_GETMINMAXINFO, &CCheckerDlg::OnGetMinMaxInfo),
    OnMessage(kRelayoutMessage, &CCheckerDlg::OnRelayout),
    OnMessage(WM_SYSCOLORCHANGE, &CCheckerDlg::OnSysColorChange),
    OnMessage(WM_THEMECHANGED, &CCheckerDlg::OnThemeChanged),
    OnMessage(WM_UPDATEUISTATE, &CCheckerDlg::OnUpdateUiState),
    OnCommand(IDC_COMPARE, BN_CLICKED, &CCheckerDlg::OnCompare),
    OnNotify(IDC_RESULT_LIST, NM_DBLCLK, &CCheckerDlg::OnDblclkResultList),
    // Enter in the list, as a double-click.
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(NM_RETURN), &CCheckerDlg::OnDblclkResultList),
    OnCommand(IDC_ABOUT, BN_CLICKED, &CCheckerDlg::OnAbout),
    OnCommand(IDC_SETTINGS, BN_CLICKED, &CCheckerDlg::OnSettings),
    // The list view's header has control id 0.
    OnNotify(0, static_cast<UINT>(HDN_ITEMCLICKA), &CCheckerDlg::OnHeaderItemClick),
    OnNotify(0, static_cast<UINT>(HDN_ITEMCLICKW), &CCheckerDlg::OnHeaderItemClick),
    // The owner-data list asks for what it shows.
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_GETDISPINFOA), &CCheckerDlg::OnGetDispInfoA),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_GETDISPINFOW), &CCheckerDlg::OnGetDispInfoW),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_ODFINDITEMA), &CCheckerDlg::OnFindItemA),
    OnNotify(IDC_RESULT_LIST, static_cast<UINT>(LVN_ODFINDITEMW), &CCheckerDlg::OnFindItemW),
};

CCheckerDlg::CCheckerDlg() : CDialog(IDD_QMVERIFY_DIALOG) {
    // Shared icon from the resources: never freed.
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

bool CCheckerDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (m_bComparing && IsOperatorRequest(message, wParam, lParam)) {
        result = 0;
        return true;
    }
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

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
    m_listResult.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    // Enter in the list opens the row, and never presses a button.
    LetControlTakeEnter(m_listResult);
    SetUpButtons();
    SetUpResultList();
    m_hResultGroup = FirstGroupBox(m_hWnd);
    m_strResultGroup = CWindow(m_hResultGroup).GetWindowText();
    ReadInstalledReleases();
    ProcessSettingsFlags() = qm::ReadSettingsFlags();
    UpdateData(false);
    FitTextsToControls(m_hWnd);
    m_layout.Capture(m_hWnd, {m_listResult.GetSafeHwnd(), m_hResultGroup}, TemplateClientSize());
    m_dialogUnits = DialogUnits();
    StartInsideWorkArea();
    // Windows makes a window no larger than the screen as it creates it: the
    // controls follow that size too.
    m_layout.Apply();
    // Every write of the window and its dialogs (comment, Add, settings,
    // build) may wait up to 10 s for another writer: the window stays alive.
    m_previousLockWaitHook = qm::CWriterLock::SetWaitHook(KeepAliveWithWaitCursor);
    return TRUE;
}

bool CCheckerDlg::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    qm::CWriterLock::SetWaitHook(std::move(m_previousLockWaitHook));
    return false;
}

SIZE CCheckerDlg::DialogUnits() const {
    RECT units{0, 0, 4, 8};
    ::MapDialogRect(m_hWnd, &units);
    return {units.right, units.bottom};
}

SIZE CCheckerDlg::MinimumClientSize() const {
    RECT least{0, 0, kLeastGap, kListLeastHeight};
    ::MapDialogRect(m_hWnd, &least);
    SIZE minimum = m_layout.MinimumClient({least.bottom, least.bottom}, least.right);
    // The group box's text, each of its lines whole, with the room the box
    // keeps beside it.
    if (m_hResultGroup != nullptr) {
        const std::string text = CWindow(m_hResultGroup).GetWindowText();
        HDC dc = ::GetDC(m_hResultGroup);
        HGDIOBJ oldFont = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hResultGroup, WM_GETFONT, 0, 0)));
        RECT extent{0, 0, 0, 0};
        ::DrawTextA(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_NOPREFIX);
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc, &metrics);
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(m_hResultGroup, dc);
        const RECT group = m_layout.BaseOf(m_hResultGroup);
        const SIZE client = m_layout.BaseClient();
        const LONG needed =
            group.left + extent.right + 2 * metrics.tmHeight + client.cx - group.right;
        if (needed > minimum.cx) minimum.cx = needed;
    }
    return minimum;
}

SIZE CCheckerDlg::MinimumWindowSize() const {
    return dpi::WindowSizeForClient(m_hWnd, MinimumClientSize());
}

// The dialog manager has placed the window where the template says, moved
// into the work area when it lay outside; a window larger than the work area
// (the template at a large scale, a screen with a taskbar) is shrunk to fit.
void CCheckerDlg::StartInsideWorkArea() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const RECT place = FitWindowIntoWorkArea(window, monitor.rcWork, MinimumWindowSize());
    if (::EqualRect(&place, &window)) return;
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CCheckerDlg::OnSize(WPARAM kind, LPARAM, LRESULT&) {
    if (kind != SIZE_MINIMIZED && !m_bDpiChanging) m_layout.Apply();
    return false;
}

bool CCheckerDlg::OnGetMinMaxInfo(WPARAM, LPARAM info, LRESULT& result) {
    auto& limits = *reinterpret_cast<MINMAXINFO*>(info);
    result = 0;
    if (m_bDpiChanging) {
        // The window takes the place Windows suggests for the new scale,
        // whatever the limits of the old one.
        limits.ptMinTrackSize = POINT{0, 0};
        limits.ptMaxTrackSize.x = std::max(limits.ptMaxTrackSize.x, m_suggestedSize.cx);
        limits.ptMaxTrackSize.y = std::max(limits.ptMaxTrackSize.y, m_suggestedSize.cy);
        return true;
    }
    // Before the layout is taken, the system's limits hold.
    if (!m_layout.Captured()) return false;
    const SIZE minimum = MinimumWindowSize();
    limits.ptMinTrackSize = POINT{minimum.cx, minimum.cy};
    return true;
}

// After a move to a monitor of another scale: the places taken follow the
// dialog's new font, the controls take them for the window's size now, the
// texts are fitted anew (a bitmap face does not scale in step), and the
// layout goes on from there.
bool CCheckerDlg::OnRelayout(WPARAM, LPARAM, LRESULT& result) {
    m_bDpiChanging = false;
    const SIZE units = DialogUnits();
    m_layout.Scale(units, m_dialogUnits);
    m_dialogUnits = units;
    m_layout.Apply();
    FitTextsToControls(m_hWnd);
    m_layout.Rebase();
    result = 0;
    return true;
}

void CCheckerDlg::AddAboutToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(false);
    if (systemMenu == nullptr) return;
    const std::string about = LoadResString(IDS_ABOUTBOX);
    if (about.empty()) return;
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
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

void CCheckerDlg::SetUpResultList() {
    for (int column = 0; column < qm::kColumnCount; ++column) {
        const ColumnSpec& spec = kColumns[column];
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

// The window moved to a monitor of another scale: the images and the column
// widths (as the operator left them, scaled) follow, and the window takes the
// place Windows suggests. The default processing after this lets the dialog
// manager scale the controls and their font.
bool CCheckerDlg::OnScaleChanged(int dpi, const RECT* suggested) {
    const int previous = m_nDpi;
    m_nDpi = dpi;
    for (int column = 0; column < qm::kColumnCount; ++column) {
        const int width = m_listResult.GetColumnWidth(column);
        const int standard = kColumns[column].width;
        // Widths as the window set them are scaled anew, so they never drift.
        m_listResult.SetColumnWidth(column, width == dpi::Scale(standard, previous)
                                                ? dpi::Scale(standard, m_nDpi)
                                                : ::MulDiv(width, m_nDpi, previous));
    }
    SetStatusImages();
    SetButtonImages();
    m_bDpiChanging = true;
    if (suggested != nullptr) {
        m_suggestedSize =
            SIZE{suggested->right - suggested->left, suggested->bottom - suggested->top};
    }
    dpi::MoveToSuggested(m_hWnd, suggested);
    PostMessage(kRelayoutMessage);
    return false;
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
    if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;  // move, minimise, close, ...
    OnAbout();
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

void CCheckerDlg::OnCompare() {
    qm::ComparisonHooks hooks;
    hooks.noticeNoReleaseList = [this] {
        AppMessageBox(m_hWnd, LoadResString(IDS_NO_RELEASE_LIST), kAppName, MB_ICONINFORMATION);
    };
    hooks.showWaitCursor = ShowWaitCursor;
    // The rows show as they arrive, newest at the top, at a pace a person can
    // follow.
    const std::string progress = LoadResString(IDS_COMPARE_PROGRESS);
    // Other programs get their answers at their interval, whatever a repaint
    // costs; the repaints follow at their own pace.
    CRedrawPace alivePace(kKeepAliveInterval);
    CRedrawPace showPace(kProgressInterval);
    hooks.rowAdded = [&](int rowsSoFar) {
        const CRedrawPace::Clock::time_point now = CRedrawPace::Clock::now();
        if (showPace.Due(now)) {
            ShowProgress(rowsSoFar, progress);
            showPace.Shown(now, CRedrawPace::Clock::now());
        }
        if (alivePace.Due(now)) KeepAlive();
    };
    // A missing list is built first, and files are read on other threads:
    // the window stays alive meanwhile too.
    hooks.entryBuilt = KeepAliveAtPace();
    hooks.waiting = KeepAlive;

    // Whatever leaves the run, the window is the operator's again after it.
    struct RunScope {
        CCheckerDlg& dlg;
        explicit RunScope(CCheckerDlg& d) : dlg(d) {
            dlg.m_bComparing = true;
            dlg.m_rows.BeginBatch();
        }
        ~RunScope() {
            dlg.m_rows.EndBatch();
            dlg.SetGroupText(dlg.m_strResultGroup);
            dlg.m_bComparing = false;
        }
    };
    qm::ComparisonResult run;
    {
        RunScope scope(*this);
        // The run shows from its first moment, before any file is read.
        SetGroupText(qm::BoundedFormat(progress.size() + 16, nullptr, progress.c_str(), 0));
        run =
            qm::RunComparison(m_rows, m_sort, LoadStatusTexts(), hooks, UnlistedScopeOfSettings());
    }
    // The summary stays until the next run.
    SetGroupText(SummaryText(qm::SummarizeRows(m_rows)));
    if (run.builtList) ShowBuildOutcome(m_hWnd, run.build);
    if (run.listUnreadable) {
        ShowFailure(m_hWnd, IDS_LIST_UNREADABLE);
    } else if (!run.builtList || run.build.status == qm::BuildResult::Ok) {
        // (A build that wrote no list has said why already.)
        ShowListFindings(m_hWnd, run.findings);
    }
    for (const qm::UnsearchedDirectory& directory : run.unsearched) {
        ShowUnsearched(m_hWnd, qm::ShownPath(directory.directory), directory.error);
    }
}

void CCheckerDlg::ShowProgress(int rowsSoFar, const std::string& format) {
    m_rows.ShowRows();
    SetGroupText(qm::BoundedFormat(format.size() + 16, nullptr, format.c_str(), rowsSoFar));
    m_listResult.UpdateWindow();
}

void CCheckerDlg::SetGroupText(const std::string& text) {
    if (m_hResultGroup == nullptr) return;
    CWindow group(m_hResultGroup);
    const std::string before = group.GetWindowText();
    if (before == text) return;
    group.SetWindowText(text);
    // A group box paints only its new text: the strip of the old one is
    // erased through the window, then painted at once. A text may take two
    // lines (BS_MULTILINE): the strip is as high as the higher of the two.
    RECT strip{};
    ::GetWindowRect(m_hResultGroup, &strip);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&strip), 2);
    strip.bottom = strip.top + std::max(GroupTextHeight(before), GroupTextHeight(text)) + 1;
    ::RedrawWindow(m_hWnd, &strip, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

int CCheckerDlg::GroupTextHeight(const std::string& text) const {
    HDC dc = ::GetDC(m_hResultGroup);
    HGDIOBJ oldFont = ::SelectObject(
        dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hResultGroup, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    RECT group{};
    ::GetClientRect(m_hResultGroup, &group);
    // The box keeps about a character's room on each side of its text.
    RECT extent{0, 0, std::max(1L, group.right - 2 * metrics.tmHeight), 0};
    ::DrawTextA(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hResultGroup, dc);
    return std::max(static_cast<int>(extent.bottom), static_cast<int>(metrics.tmHeight));
}

void CCheckerDlg::OnHeaderItemClick(NMHDR* header, LRESULT* result) {
    // NMHEADERA and NMHEADERW differ only in the item record they point to.
    const auto* click = reinterpret_cast<const NMHEADERA*>(header);
    m_rows.SortOnHeaderClick(m_sort, click->iItem, click->iButton);
    *result = 0;
}

void CCheckerDlg::OnGetDispInfoA(NMHDR* header, LRESULT* result) {
    m_rows.AnswerDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(header));
    *result = 0;
}

void CCheckerDlg::OnGetDispInfoW(NMHDR* header, LRESULT* result) {
    m_rows.AnswerDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
    *result = 0;
}

void CCheckerDlg::OnFindItemA(NMHDR* header, LRESULT* result) {
    *result = m_rows.FindRow(*reinterpret_cast<const NMLVFINDITEMA*>(header));
}

void CCheckerDlg::OnFindItemW(NMHDR* header, LRESULT* result) {
    *result = m_rows.FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(header));
}

void CCheckerDlg::OnAbout() {
    CModalDialog<CAboutDlg> about;
    about.DoModal(m_hWnd);
}

void CCheckerDlg::OnSettings() {
    CModalDialog<CSettingsDlg> settings;
    settings.DoModal(m_hWnd);
}

void CCheckerDlg::OnDblclkResultList(NMHDR* header, LRESULT* result) {
    *result = 0;
    // A double-click: the first selected row in list order, whichever row
    // was hit. Enter (NM_RETURN): the row with the focus.
    const bool enter = header->code == static_cast<UINT>(NM_RETURN);
    const int row = m_listResult.GetNextItem(-1, enter ? LVNI_FOCUSED : LVNI_SELECTED);
    if (row < 0) return;
    // A file that no entry names has no comment to edit.
    if (m_rows.GetRowAttributes(row).cause == qm::RowCause::NotListed) {
        AppMessageBox(m_hWnd, LoadResString(IDS_NOT_LISTED_ROW), kAppName, MB_ICONINFORMATION);
        return;
    }

    // Each cell as a buffer of its size would hold it.
    auto cell = [&](int column, size_t capacity) {
        return qm::CutToCapacity(m_rows.GetCellText(row, column), capacity);
    };
    CommentDlgArgs args;
    args.fileName = cell(qm::kColFileName, qm::kListedPathCapacity);
    args.date = cell(qm::kColDateCurrent, qm::kFingerprintCapacity);
    args.comment = cell(qm::kColComment, qm::kCommentCapacity);
    const auto earlier = static_cast<qm::FileStatus>(m_rows.GetRowAttributes(row).image);
    args.updated = earlier == qm::Updated;
    const int entry = std::atoi(cell(qm::kColEntry, qm::kEntryNumberCapacity).c_str());
    const std::string section = cell(qm::kColSection, qm::kSectionNameCapacity);

    const std::optional<CommentEdit> stored =
        ShowCommentDialog(m_hWnd, args, [&](HWND dialog, const CommentEdit& edit) {
            return StoreComment(dialog, section, entry, args.fileName, edit);
        });
    // After Cancel, or an edit that was not stored, the row stays as it was.
    if (stored) {
        qm::ApplyCommentToRow(m_rows, row, stored->comment, stored->updated, earlier,
                              LoadResString(IDS_UPDATED));
    }
}

CommentStoreOutcome CCheckerDlg::StoreComment(HWND dialog, const std::string& section, int entry,
                                              const std::string& path, const CommentEdit& edit) {
    uint32_t error = 0;
    const qm::CommentResult result = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // while another writer keeps the list
        return qm::WriteEntryComment(section, entry, path, edit.comment, edit.updated, &error);
    }();
    switch (result) {
        case qm::CommentResult::Written:
            return CommentStoreOutcome::Stored;
        case qm::CommentResult::EntryChanged:
            // The list was rebuilt since the comparison: the entry names
            // another file now, and no retry can help.
            ShowFailure(dialog, IDS_ENTRY_CHANGED);
            return CommentStoreOutcome::Refused;
        case qm::CommentResult::ReadFailed:
        case qm::CommentResult::WriteFailed:
            // The dialog stays open with what was typed, so the operator can
            // try again or cancel.
            ShowWriteFailure(dialog, IDS_COMMENT_WRITE_FAILED, error);
            return CommentStoreOutcome::TryAgain;
    }
    return CommentStoreOutcome::TryAgain;
}
