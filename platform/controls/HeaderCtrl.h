// CHeaderCtrl: the column header: items with widths, texts, formats, data, images and a
// display order; owner-drawn items are drawn by DrawItem.
#pragma once

#include "platform/controls/CommCtrlDefs.h"
#include "platform/win/Wnd.h"

class CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    CHeaderCtrl() = default;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetItemCount() const { return (int)::SendMessage(m_hWnd, HDM_GETITEMCOUNT, 0, 0); }
    BOOL GetItem(int nPos, HDITEM* pHeaderItem) const {
        return (BOOL)::SendMessage(m_hWnd, HDM_GETITEM, nPos, (LPARAM)pHeaderItem);
    }
    BOOL SetItem(int nPos, HDITEM* pHeaderItem) {
        return (BOOL)::SendMessage(m_hWnd, HDM_SETITEM, nPos, (LPARAM)pHeaderItem);
    }
    // Past the end the item is appended; the answer is its index, -1 on failure.
    int InsertItem(int nPos, HDITEM* phdi) {
        return (int)::SendMessage(m_hWnd, HDM_INSERTITEM, nPos, (LPARAM)phdi);
    }
    BOOL DeleteItem(int nPos) { return (BOOL)::SendMessage(m_hWnd, HDM_DELETEITEM, nPos, 0); }
    BOOL Layout(HDLAYOUT* pHeaderLayout) {
        return (BOOL)::SendMessage(m_hWnd, HDM_LAYOUT, 0, (LPARAM)pHeaderLayout);
    }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
        return (BOOL)::SendMessage(m_hWnd, HDM_GETITEMRECT, nIndex, (LPARAM)lpRect);
    }
    int HitTest(LPHDHITTESTINFO pHeaderHitTestInfo) {
        return (int)::SendMessage(m_hWnd, HDM_HITTEST, 0, (LPARAM)pHeaderHitTestInfo);
    }
    // Display order: the item index at each position.
    BOOL GetOrderArray(LPINT piArray, int iCount = -1);
    BOOL SetOrderArray(int iCount, LPINT piArray) {
        return (BOOL)::SendMessage(m_hWnd, HDM_SETORDERARRAY, iCount, (LPARAM)piArray);
    }
    int OrderToIndex(int nOrder) const {
        return (int)::SendMessage(m_hWnd, HDM_ORDERTOINDEX, nOrder, 0);
    }
    // The list's images are drawn in items with HDF_IMAGE; the list is not owned.
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;

    // Items with HDF_OWNERDRAW are drawn here (the parent hands WM_DRAWITEM back); this one
    // writes the item's text.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
