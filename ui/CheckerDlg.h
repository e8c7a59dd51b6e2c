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
//
// A double-click on a row (or Enter) opens Edit comment with the row's
// values; the window writes what the operator confirms into the release list
// and brings the row up to date.
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
#include "core/ResultTable.h"
#include "core/SortState.h"
#include "ui/AnchorLayout.h"
#include "ui/CommentDlg.h"
#include "ui/Dialog.h"
#include "ui/IconButton.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/MessageMap.h"
#include "ui/ResultListView.h"

class CCheckerDlg : public CDialog {
public:
    CCheckerDlg();

    // The sort state of the result list (column and direction of the last
    // sort).
    const qm::SortState& CurrentSortState() const { return m_sort; }

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
    bool OnScaleChanged(int dpi, const RECT* suggested);
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
    // Edit comment's store: writes the edit into entry `entry` of `section`
    // if it still names `path`, and tells the operator over `dialog` why not.
    static CommentStoreOutcome StoreComment(HWND dialog, const std::string& section, int entry,
                                            const std::string& path, const CommentEdit& edit);
    // During a comparison: the rows so far in the list, and their count in
    // the group box.
    void ShowProgress(int rowsSoFar, const std::string& format);
    void SetGroupText(const std::string& text);

    int m_nDpi = 96;
    qm::SortState m_sort;
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
