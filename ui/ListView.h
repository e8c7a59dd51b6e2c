// CListCtrl: a report-style list view control, by handle. Only what the
// result list needs (an owner-data control: the rows live elsewhere); every
// method is one list-view message.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/Window.h"

class CImageList;

class CListCtrl : public CWindow {
public:
    int InsertColumn(int column, const std::string& heading, int format, int width);
    int GetColumnWidth(int column) const {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    }
    void SetColumnWidth(int column, int width) {
        SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    }
    bool SetItemState(int item, UINT state, UINT mask);

    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != FALSE; }
    // An owner-data control: it shows `count` items and keeps its scroll
    // position.
    void SetItemCount(int count) {
        SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
    }
    UINT GetItemState(int item, UINT mask) const {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
    }
    int GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
    void SetSelectionMark(int item) {
        SendMessage(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item));
    }
    // The state bits the control asks its owner for instead of keeping them.
    void SetCallbackMask(UINT mask) { SendMessage(LVM_SETCALLBACKMASK, mask); }
    void RedrawItems(int first, int last) {
        SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
    }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int GetNextItem(int start, UINT flags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
    }
    // Replaces the extended styles selected by `mask` (0: all of them).
    void SetExtendedStyle(DWORD mask, DWORD style) {
        SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
    }
    // The control destroys its image lists unless it has LVS_SHAREIMAGELISTS;
    // then it takes `images` over, and the list it held before is destroyed.
    void SetImageList(CImageList& images, int kind);
};
