// CCheckerDlg: the main window. It shows the result list, the four icon
// buttons and the installed release of both products, and it carries the
// comparison run, the release list build and the result list sorting.
//
// The rows live in a table that the list view shows (CResultListView). A
// comparison fills the table and lets the list catch up at a pace a person
// can follow, with the count of files done in the group box; meanwhile the
// window answers messages that other programs send it (so that Windows never
// takes it for hung), but no command of the operator's starts inside a run.
//
// Its images, the icon buttons' offsets and the column widths follow the
// DPI of its monitor, at start and when it moves to a monitor of another
// scale (WM_DPICHANGED); the dialog manager scales the controls by the font.
// Constructing it creates no window, so the Settings dialog can run the
// build on an object that is never shown.
//
// The window can be resized, down to a smallest size (layout::CDialogLayout):
// the list takes the free space, the header fields and the rows of buttons
// keep to their edges. It starts inside the work area of its monitor, shrunk
// to fit where the template is larger; where the template fits, it starts as
// the template lays it out.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/ComparisonRun.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultTable.h"
#include "core/SortState.h"
#include "ui/AnchorLayout.h"
#include "ui/Dialog.h"
#include "ui/IconButton.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/MessageMap.h"
#include "ui/ResultListView.h"

class CCheckerDlg : public CDialog {
public:
    CCheckerDlg();
    ~CCheckerDlg() override = default;

    // Backs up the release list and writes a new one from both component
    // directories, with the wait cursor shown meanwhile.
    qm::BuildResult BuildReleaseList();

    // The sort state of the result list (column and direction of the last
    // sort).
    qm::SortState CurrentSortState() const { return {m_nSortColumn, m_bSortAscending}; }

    // Where a minimised window draws its icon: centred, with the half pixel
    // rounded up (integer division truncating toward zero).
    static POINT IconPosition(const RECT& client, int cx, int cy);

    // The icon button of control `id` (IDOK, IDC_SETTINGS, IDC_COMPARE,
    // IDC_ABOUT); nullptr for any other id.
    const CIconButton* IconButton(int id) const;
    // The DPI the window is drawn for.
    int Dpi() const { return m_nDpi; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CCheckerDlg> kMessageMap[];

    bool OnSysCommand(WPARAM id, LPARAM lParam, LRESULT& result);
    bool OnPaint(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnQueryDragIcon(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnDrawItem(WPARAM id, LPARAM item, LRESULT& result);
    bool OnDpiChanged(WPARAM dpi, LPARAM suggested, LRESULT& result);
    bool OnDestroy(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSize(WPARAM kind, LPARAM size, LRESULT& result);
    bool OnGetMinMaxInfo(WPARAM wParam, LPARAM info, LRESULT& result);
    bool OnRelayout(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSysColorChange(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnThemeChanged(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnUpdateUiState(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnCompare();
    void OnDblclkResultList(NMHDR* header, LRESULT* result);
    void OnAbout();
    void OnSettings();
    void OnHeaderItemClick(NMHDR* header, LRESULT* result);
    void OnGetDispInfoA(NMHDR* header, LRESULT* result);
    void OnGetDispInfoW(NMHDR* header, LRESULT* result);
    void OnFindItemA(NMHDR* header, LRESULT* result);
    void OnFindItemW(NMHDR* header, LRESULT* result);

    void AddAboutToSystemMenu();
    // The size of 4 x 8 dialog units in pixels: the font's average character.
    SIZE DialogUnits() const;
    // The smallest client and window sizes: the layout's, and room for the
    // group box's text on its line(s).
    SIZE MinimumClientSize() const;
    SIZE MinimumWindowSize() const;
    void StartInsideWorkArea();
    // The height of `text` as the group box shows it, wrapped at its width.
    int GroupTextHeight(const std::string& text) const;
    void SetUpButtons();
    void SetButtonImages();
    void RemapButtonColours();
    void SetUpResultList();
    void SetStatusImages();
    void ReadInstalledReleases();
    void StoreSortState(const qm::SortState& state);
    // During a comparison: the rows so far in the list, and their count in
    // the group box.
    void ShowProgress(int rowsSoFar, const std::string& format);
    // A hook for each step of a long run that keeps alive at the progress pace.
    static std::function<void(int)> KeepAliveAtPace();
    void SetGroupText(const std::string& text);

    char m_szReleaseList[40] = "";
    int m_nDpi = 96;
    int m_bSortAscending = 0;
    int m_nSortColumn = 1;
    CImageList m_imageList;
    CListCtrl m_listResult;
    qm::CResultTable m_table;
    CResultListView m_rows{m_listResult, m_table};
    bool m_bComparing = false;
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
};
