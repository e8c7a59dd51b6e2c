#include "ui/ListView.h"

#include "ui/ImageList.h"

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) {
    LVCOLUMNA lvc{};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = format;
    lvc.cx = width;
    lvc.pszText = const_cast<char*>(heading.c_str());
    lvc.iSubItem = column;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                        reinterpret_cast<LPARAM>(&lvc)));
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMA lvi{};
    lvi.state = state;
    lvi.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                       reinterpret_cast<LPARAM>(&lvi)) != FALSE;
}

void CListCtrl::SetImageList(CImageList& images, int kind) {
    HIMAGELIST handle = images.GetSafeHandle();
    auto previous = reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(handle)));
    if ((GetStyle() & LVS_SHAREIMAGELISTS) == 0) {
        images.Detach();
        // A list replaced is no longer the control's to destroy.
        if (previous != nullptr && previous != handle) ::ImageList_Destroy(previous);
    }
}
