#include "ui/ListView.h"

#include <vector>

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

int CListCtrl::InsertItem(int item, const std::string& text, int image) {
    LVITEMA lvi{};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE;
    lvi.iItem = item;
    lvi.pszText = const_cast<char*>(text.c_str());
    lvi.iImage = image;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
}

bool CListCtrl::SetItemText(int item, int subItem, const std::string& text) {
    LVITEMA lvi{};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = item;
    lvi.iSubItem = subItem;
    lvi.pszText = const_cast<char*>(text.c_str());
    return SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvi)) != FALSE;
}

std::string CListCtrl::GetItemText(int item, int subItem) const {
    // The control copies at most the buffer's size less one: grow until the
    // text fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA lvi{};
        lvi.iSubItem = subItem;
        lvi.pszText = buffer.data();
        lvi.cchTextMax = static_cast<int>(buffer.size());
        auto length = static_cast<size_t>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                                      reinterpret_cast<LPARAM>(&lvi)));
        if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

CListCtrl::ItemAttributes CListCtrl::GetItemAttributes(int item) const {
    LVITEMA lvi{};
    lvi.mask = LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
    lvi.iItem = item;
    lvi.stateMask = kStateMask;
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
    return {lvi.iImage, lvi.state & kStateMask, lvi.lParam};
}

bool CListCtrl::SetItemAttributes(int item, const ItemAttributes& attributes) {
    LVITEMA lvi{};
    lvi.mask = LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
    lvi.iItem = item;
    lvi.iImage = attributes.image;
    lvi.state = attributes.state;
    lvi.stateMask = kStateMask;
    lvi.lParam = attributes.param;
    return SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvi)) != FALSE;
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
