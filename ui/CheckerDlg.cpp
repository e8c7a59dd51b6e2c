#include "ui/CheckerDlg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>

#include "core/BoundedFormat.h"
#include "core/EntryComment.h"
#include "core/InstalledRelease.h"
#include "core/ResultSort.h"
#include "core/Settings.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/AppServices.h"
#include "ui/CommentDlg.h"
#include "ui/DataExchange.h"
#include "ui/MessageBoxes.h"
#include "ui/ResultListView.h"
#include "ui/SettingsDlg.h"
#include "ui/SettingsFlags.h"
#include "ui/TextFit.h"

namespace {

struct ColumnSpec {
    UINT headingId;  // 0: no heading
    int width;
};

// The nine columns of the result list; the last two (entry number and
// section) are hidden by their width and identify the release-list entry.
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

// Status images in FileStatus order: Identical, NotIdentical, Updated.
const UINT kStatusIcons[] = {IDI_IDENTICAL, IDI_NOT_IDENTICAL, IDI_UPDATED};
constexpr int kStatusImageSize = 13;

qm::StatusTexts LoadStatusTexts() {
    qm::StatusTexts texts;
    texts.identical = LoadResString(IDS_IDENTICAL);
    texts.notIdentical = LoadResString(IDS_NOT_IDENTICAL);
    texts.updated = LoadResString(IDS_UPDATED);
    return texts;
}

}  // namespace

const CMessageMapEntry<CCheckerDlg> CCheckerDlg::kMessageMap[] = {
    OnMessage(WM_SYSCOMMAND, &CCheckerDlg::OnSysCommand),
    OnMessage(WM_PAINT, &CCheckerDlg::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &CCheckerDlg::OnQueryDragIcon),
    OnMessage(WM_DRAWITEM, &CCheckerDlg::OnDrawItem),
    OnCommand(IDC_COMPARE, BN_CLICKED, &CCheckerDlg::OnCompare),
    OnNotify(IDC_RESULT_LIST, NM_DBLCLK, &CCheckerDlg::OnDblclkResultList),
    OnCommand(IDC_ABOUT, BN_CLICKED, &CCheckerDlg::OnAbout),
    OnCommand(IDC_SETTINGS, BN_CLICKED, &CCheckerDlg::OnSettings),
    // The list view's header has control id 0.
    OnNotify(0, static_cast<UINT>(HDN_ITEMCLICKA), &CCheckerDlg::OnHeaderItemClick),
    OnNotify(0, static_cast<UINT>(HDN_ITEMCLICKW), &CCheckerDlg::OnHeaderItemClick),
};

CCheckerDlg::CCheckerDlg() : CDialog(IDD_QMVERIFY_DIALOG) {
    // Shared icon from the resources: never freed.
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

bool CCheckerDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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
    std::snprintf(m_szReleaseList, sizeof m_szReleaseList, "%s", "qmverify.lst");
    m_listResult.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    SetUpButtons();
    SetUpResultList();
    ReadInstalledReleases();
    ProcessSettingsFlags() = qm::ReadSettingsFlags();
    UpdateData(false);
    FitTextsToControls(m_hWnd);
    return TRUE;
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
    // A missing image leaves its button with the caption only.
    m_btnExit.SetIconImage(IDI_EXIT, 20, 20);
    m_btnSettings.SetIconImage(IDI_SETTINGS, 18, 18);
    m_btnCompare.SetIconImage(IDI_COMPARE, 18, 18);
    m_btnAbout.SetBitmapImage(IDB_LOGO, 44, 22, RGB(0xFF, 0xFF, 0xFF));
    m_btnAbout.SetImagePosition(-1, -1);
    m_btnCompare.SetDefaultButton(TRUE);
}

void CCheckerDlg::SetUpResultList() {
    for (int column = 0; column < qm::kColumnCount; ++column) {
        const ColumnSpec& spec = kColumns[column];
        const std::string heading = spec.headingId != 0 ? LoadResString(spec.headingId) : "";
        m_listResult.InsertColumn(column, heading, LVCFMT_LEFT, spec.width);
    }
    m_imageList.Create(kStatusImageSize, kStatusImageSize, ILC_MASK | ILC_COLOR32, 3, 3);
    for (UINT iconId : kStatusIcons) {
        auto icon = static_cast<HICON>(
            ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                         kStatusImageSize, kStatusImageSize, LR_DEFAULTCOLOR));
        m_imageList.Add(icon);  // the list keeps a copy
        if (icon != nullptr) ::DestroyIcon(icon);
    }
    m_listResult.SetImageList(m_imageList, LVSIL_SMALL);
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
    CResultListView rows(m_listResult);
    qm::ComparisonHooks hooks;
    hooks.noticeNoReleaseList = [this] {
        AppMessageBox(m_hWnd, LoadResString(IDS_NO_RELEASE_LIST), kAppName, MB_ICONINFORMATION);
    };
    hooks.showWaitCursor = ShowWaitCursor;
    // Each row shows as it arrives.
    hooks.rowAdded = [this](int) { m_listResult.UpdateWindow(); };

    qm::SortState sort = CurrentSortState();
    const qm::ComparisonResult run = qm::RunComparison(rows, sort, LoadStatusTexts(), hooks);
    StoreSortState(sort);
    if (run.builtList) ShowBuildOutcome(m_hWnd, run.build);
    if (run.listUnreadable) ShowFailure(m_hWnd, IDS_LIST_UNREADABLE);
}

qm::BuildResult CCheckerDlg::BuildReleaseList() {
    qm::CReleaseListBuild build(ShowWaitCursor);
    return build.BuildReleaseList();
}

void CCheckerDlg::OnHeaderItemClick(NMHDR* header, LRESULT* result) {
    // NMHEADERA and NMHEADERW differ only in the item record they point to.
    const auto* click = reinterpret_cast<const NMHEADERA*>(header);
    CResultListView rows(m_listResult);
    qm::SortState sort = CurrentSortState();
    qm::SortOnHeaderClick(rows, sort, click->iItem, click->iButton);
    StoreSortState(sort);
    *result = 0;
}

void CCheckerDlg::StoreSortState(const qm::SortState& state) {
    m_nSortColumn = state.m_nSortColumn;
    m_bSortAscending = state.m_bSortAscending;
}

void CCheckerDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal(m_hWnd);
}

void CCheckerDlg::OnSettings() {
    CSettingsDlg settings;
    settings.DoModal(m_hWnd);
}

void CCheckerDlg::OnDblclkResultList(NMHDR*, LRESULT* result) {
    *result = 0;
    // The first selected row in list order, whichever row was hit.
    const int row = m_listResult.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) return;

    // Each cell as a buffer of its size would hold it.
    auto cell = [&](int column, size_t capacity) {
        return qm::CutToCapacity(m_listResult.GetItemText(row, column), capacity);
    };
    const std::string path = cell(qm::kColFileName, 128);
    const std::string date = cell(qm::kColDateCurrent, 80);
    const std::string comment = cell(qm::kColComment, 512);
    const std::string entry = cell(qm::kColEntry, 40);
    const std::string section = cell(qm::kColSection, 80);
    const auto earlier = static_cast<qm::FileStatus>(m_listResult.GetItemAttributes(row).image);

    CCommentDlg dlg;
    dlg.m_strFileName = path;
    dlg.m_strDate = date;
    dlg.m_strComment = comment;
    dlg.m_nEntry = std::atoi(entry.c_str());
    dlg.m_bUpdated = earlier == qm::Updated ? 1 : 0;
    std::strncpy(dlg.m_szSection, section.c_str(), sizeof dlg.m_szSection - 1);
    dlg.DoModal(m_hWnd);

    // After Cancel, or an OK that stored nothing, the dialog hands back the
    // values it opened with, so the row ends up as it was.
    CResultListView rows(m_listResult);
    qm::ApplyCommentToRow(rows, row, dlg.m_strComment, dlg.m_bUpdated != 0, earlier,
                          LoadResString(IDS_UPDATED));
}
