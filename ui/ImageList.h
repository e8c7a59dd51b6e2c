// CImageList: an owned image list of the common controls. It destroys its
// list unless it has been handed over (Detach) to a control that owns it.
#pragma once

#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    bool Create(int cx, int cy, UINT flags, int initial, int grow) {
        DeleteImageList();
        m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // Appends an icon; returns its index, or -1.
    int Add(HICON icon) { return ::ImageList_AddIcon(m_hImageList, icon); }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    HIMAGELIST Detach() {
        HIMAGELIST list = m_hImageList;
        m_hImageList = nullptr;
        return list;
    }
    void DeleteImageList() {
        if (m_hImageList != nullptr) ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }

private:
    HIMAGELIST m_hImageList = nullptr;
};
