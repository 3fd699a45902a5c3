// CExHeaderCtrl: the column header of the grid. Items are raised buttons that draw their
// caption in the header's font, an optional 16 x 16 image cut from a strip, and a sort mark
// (a triangle pointing up for ascending, down for descending) on the sorted item. The header
// also knows its display positions as a strip of widths: it places itself so that a given
// display position stands at the left edge of a rectangle (the items left of it scrolled
// out), and finds the first position one page to the left or right.
//
// Tracking a divider and dragging an item to a new place work, and are told to the parent,
// as for any header; owner-drawn items (HDF_OWNERDRAW) are drawn here.
#pragma once

#include "afxcmn.h"

class CExHeaderCtrl : public CHeaderCtrl {
    DECLARE_DYNAMIC(CExHeaderCtrl)
public:
    CExHeaderCtrl();
    ~CExHeaderCtrl() override;

    // The height MoveToTop gives the header, in pixels (18 unless set).
    int m_nHeight;
    int GetHeight() const { return m_nHeight; }
    void SetHeight(int nHeight) { m_nHeight = nHeight; }

    // The images of the items: bitmap nID of hInstance cut into cx by cy images, crMask
    // transparent (CLR_DEFAULT: the colour of the strip's top-left pixel). An item's image
    // index (HDI_IMAGE) picks its image; an index outside the strip shows none.
    BOOL SetBitmap(HINSTANCE hInstance, int nID, int cx, int cy, COLORREF crMask);
    BOOL IsBitmapSet() const { return m_imageList.GetSafeHandle() != NULL; }

    // The sort mark: on item nItem (an item index), pointing down when bDescending; -1 for
    // none.
    void SetSortCol(int nItem, BOOL bDescending);
    int GetSortCol() const { return m_nSortCol; }
    BOOL IsSortDescending() const { return m_bSortDesc; }

    // The width of display positions 0 to nCount - 1 (a count beyond the items, such as 900,
    // means all of them).
    int GetWidth(int nCount) const;
    // Moves the header to the top of the rectangle, m_nHeight high, so that display position
    // nFirst stands at the rectangle's left edge and the header reaches its right edge.
    void MoveToTop(CRect* pRect, int nFirst);
    // The first display position of the page left (right) of the one that starts at nFirst in
    // a rectangle as wide as pRect: always a position of the header (0 when it is empty).
    int GetPageLeftCol(CRect* pRect, int nFirst) const;
    int GetPageRightCol(CRect* pRect, int nFirst) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    // The item widths in display order.
    CArray<int, int> GetPositionWidths() const;
    int ClampPosition(int nPos) const;
    int GetPageCol(CRect* pRect, int nFirst, int nStep) const;
    void DrawSortMark(CDC* pDC, const CRect& rcMark, BOOL bDescending) const;

    CImageList m_imageList;
    int m_nSortCol;
    BOOL m_bSortDesc;
};
