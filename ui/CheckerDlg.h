// CCheckerDlg: the main window. It shows the result list, the four icon
// buttons and the installed release of both products; it runs the
// comparison and the release list build, sorts the list and carries out
// what the operator asks for in Edit comment and Settings.
//
// A comparison or a build runs on a thread of its own (CBackgroundRun): the
// window stays the operator's meanwhile. The rows arrive at the top of the
// list in the order the run makes them, at a pace a person can follow, with
// the count in the group box and on the taskbar button; Compare reads "Stop"
// and, like Esc, stops the run (Exit and the close box stop it, then close).
// Every other request of the operator waits for the run's end: the message
// map ignores it while the window is Busy, and the input queued when a run
// ends is dropped, so that nothing done for a run acts after it.
//
// Above the rows, beside their label, a line tells the state of the
// release list's signature after a comparison; an alarm shows bold in the
// warning colour.
//
// Its images, the icon buttons' offsets and the column widths follow the
// DPI of its monitor, at start and when it moves to a monitor of another
// scale (WM_DPICHANGED); the dialog manager scales the controls by the font.
//
// The window starts with the focus on Compare. The default ring is on the
// button that Enter presses: the focused icon button, Compare from a field,
// none from the list (where Enter opens Edit comment for the row).
//
// The window can be resized, down to a smallest size (layout::CDialogLayout):
// the list takes the free space, the header fields and the rows of buttons
// keep to their edges. It starts inside the work area of its monitor, shrunk
// to fit where the template is larger; where the template fits, it starts as
// the template lays it out.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ComparisonRun.h"
#include "core/ResultTable.h"
#include "core/SortState.h"
#include "ui/AnchorLayout.h"
#include "ui/BackgroundRun.h"
#include "ui/CommentDlg.h"
#include "ui/Dialog.h"
#include "ui/IconButton.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/MessageMap.h"
#include "ui/RedrawPace.h"
#include "ui/ResultListView.h"
#include "ui/RunSignals.h"
#include "ui/SettingsDlg.h"

class CCheckerDlg : public CDialog {
public:
    CCheckerDlg();

    // The sort state of the result list (column and direction of the last
    // sort).
    const qm::SortState& CurrentSortState() const { return m_sort; }

    // Where a minimised window draws its icon: centred, with the half pixel
    // rounded up (integer division truncating toward zero).
    static POINT IconPosition(const RECT& client, int cx, int cy);
    // The colour of an alarm of the list's state on a face of `face`.
    static COLORREF WarningColour(COLORREF face);
    // The list's state shows an alarm.
    bool ListAlarmShown() const { return m_bListAlarm; }

    // The icon button of control `id` (IDOK, IDC_SETTINGS, IDC_COMPARE,
    // IDC_ABOUT); nullptr for any other id.
    const CIconButton* IconButton(int id) const;
    // The DPI the window is drawn for.
    int Dpi() const { return m_nDpi; }

    // A comparison or a build goes on.
    bool RunGoesOn() const { return m_run.Active(); }
    // While a run goes on, the operator's requests other than stopping it
    // (and moving, sizing, closing the window) wait for its end.
    bool Busy() const override;
    // The milliseconds from the key or click that stopped the last run to the
    // window showing it stopped (also, plus one, the window property
    // kStopTimeProperty, for the drive tool); -1 before any.
    int LastStopMilliseconds() const { return m_nStopMilliseconds; }
    static constexpr char kStopTimeProperty[] = "qmverify.stop-ms";

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CCheckerDlg> kMessageMap[];

    // The window itself (CheckerDlg.cpp).
    bool OnSysCommand(WPARAM id, LPARAM lParam, LRESULT& result);
    bool OnPaint(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnQueryDragIcon(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnDrawItem(WPARAM id, LPARAM item, LRESULT& result);
    bool OnDestroy(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSysColorChange(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnThemeChanged(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnUpdateUiState(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnListFocus(NMHDR* header, LRESULT* result);
    void OnAbout();
    void OnExit();
    void OnEscape();
    void AddAboutToSystemMenu();
    void SetUpButtons();
    void SetButtonImages();
    void RemapButtonColours();
    void SetUpResultList();
    void SetStatusImages();
    void ReadInstalledReleases();
    // The default ring on the button that Enter presses from the focus.
    void FollowFocus();

    // Size, layout and scale (CheckerDlgLayout.cpp).
    bool OnScaleChanged(int dpi, const RECT* suggested);
    bool OnSize(WPARAM kind, LPARAM size, LRESULT& result);
    bool OnGetMinMaxInfo(WPARAM wParam, LPARAM info, LRESULT& result);
    bool OnRelayout(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The size of 4 x 8 dialog units in pixels: the font's average character.
    SIZE DialogUnits() const;
    // The smallest client and window sizes: the layout's, and room for the
    // group box's resting text on its line(s).
    SIZE MinimumClientSize() const;
    SIZE MinimumWindowSize() const;
    void StartInsideWorkArea();
    // The height of `text` as the group box shows it, wrapped at its width.
    int GroupTextHeight(const std::string& text) const;
    void SetGroupText(const std::string& text);

    // The runs (CheckerDlgRun.cpp).
    void OnCompare();
    bool OnRunNews(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void StartComparison();
    void StartBuild(const std::shared_ptr<const qm::CUpdateKey>& key);
    void EnterRun();
    void ShowRunProgress();
    void StopRun();
    void FinishComparison(bool stopped);
    void FinishBuild();
    // The window is the operator's again: buttons, taskbar, the summary
    // announced, and the input queued for the run dropped.
    void LeaveRun(const std::string& groupText);

    // Edit comment, the sort and the rows' texts (CheckerDlgRows.cpp).
    void OnDblclkResultList(NMHDR* header, LRESULT* result);
    void OnHeaderItemClick(NMHDR* header, LRESULT* result);
    void OnGetDispInfoA(NMHDR* header, LRESULT* result);
    void OnGetDispInfoW(NMHDR* header, LRESULT* result);
    void OnFindItemA(NMHDR* header, LRESULT* result);
    void OnFindItemW(NMHDR* header, LRESULT* result);
    void OnGetInfoTipA(NMHDR* header, LRESULT* result);
    void OnGetInfoTipW(NMHDR* header, LRESULT* result);
    // The row tip of `row`: its status, its cause and who signed its file,
    // for a row that is not identical; "" for the others.
    std::string RowTip(int row) const;
    // Edit comment's store: writes the edit into the entry the row was made
    // of, if the list still names its file there, and tells the operator
    // over `dialog` why not.
    static CommentStoreOutcome StoreComment(HWND dialog, const qm::ComparedFile& file,
                                            const CommentEdit& edit);

    // The line of the list's state (CheckerDlgListState.cpp).
    // The state of the list's signature after a comparison; nullptr: none.
    void ShowListState(const qm::ListSignature* signature);
    void UseAlarmFont();
    bool OnCtlColorStatic(WPARAM dc, LPARAM control, LRESULT& result);

    // Settings (CheckerDlgSettings.cpp).
    void OnSettings();
    // Carries out a request; true when Settings opens again (after Add, or a
    // write of the flags that failed).
    bool CarryOut(const SettingsRequest& request);
    void AddFile(const SettingsChoice& choice, const qm::CUpdateKey& key);
    void ChangePassword(const AcceptedPassword& password);

    int m_nDpi = 96;
    qm::SortState m_sort;
    CImageList m_imageList;
    CListCtrl m_listResult;
    qm::CResultTable m_table;
    CResultListView m_rows{m_listResult, m_table};
    HWND m_hResultGroup = nullptr;
    std::string m_strResultGroup;  // the group box's resting text
    CIconButton m_btnExit;
    CIconButton m_btnSettings;
    CIconButton m_btnCompare;
    CIconButton m_btnAbout;
    std::string m_strSentinelDate;
    std::string m_strQmwDate;
    std::string m_strSentinelRelease;
    std::string m_strQmwRelease;
    HICON m_hIcon = nullptr;
    // The writer lock's wait hook before the window put its own in force.
    std::function<void()> m_previousLockWaitHook;
    layout::CDialogLayout m_layout;
    SIZE m_dialogUnits{0, 0};  // DialogUnits() when the layout was taken
    // From WM_DPICHANGED until the layout follows the new scale: the dialog
    // manager moves the controls meanwhile.
    bool m_bDpiChanging = false;
    SIZE m_suggestedSize{0, 0};  // the size Windows suggested for the new scale

    // The run that goes on, what it delivered and has not been shown yet,
    // and its last count.
    CBackgroundRun m_run;
    std::vector<qm::ComparedFile> m_pendingFiles;
    qm::RunProgress m_progress;
    CRedrawPace m_showPace;
    CTaskbarProgress m_taskbar;
    std::string m_strBeforeRun;  // the group box's text when the run began
    DWORD m_stopAsked = 0;       // when the operator asked the run to stop; 0: not
    int m_nStopMilliseconds = -1;

    bool m_bListAlarm = false;
    HFONT m_hAlarmFont = nullptr;  // the dialog's font in bold, while an alarm shows
};
