// Painting: everything the grid shows itself, off screen in one pass per paint. The header
// and the scroll bars paint themselves. Painting reads only the row window, never the
// database.
#include "grid/RecordsetCtrl.h"

#include "companions/other/AppPalette.h"
#include "companions/other/MemDC.h"

#include <algorithm>
#include <vector>

namespace {

constexpr COLORREF kGridLine = RGB(192, 192, 192);

// The header item at a display position: its column index and width.
struct Slot {
    int nColumn;
    int nWidth;
};

Slot SlotAt(const CExHeaderCtrl& header, int nOrder) {
    HDITEM item{};
    item.mask = HDI_WIDTH | HDI_LPARAM;
    header.GetItem(header.OrderToIndex(nOrder), &item);
    return Slot{(int)item.lParam, item.cxy};
}

} // namespace

BOOL CRecordsetCtrl::OnEraseBkgnd(CDC*) {
    return TRUE; // OnPaint covers everything: no flicker
}

void CRecordsetCtrl::OnPaint() {
    CPaintDC dc(this);
    AppPalette.UsePalette(&dc, FALSE);
    // The off-screen image starts in the window's colour, which most columns have: theirs
    // need no fill of their own.
    dc.SetBkColor(m_crWindow);
    {
        CMemDC mem(&dc);
        AppPalette.UsePalette(&mem, FALSE);
        mem.SetBkMode(TRANSPARENT);
        DrawBackground(&mem);
        DrawTable(&mem, mem.IsOffScreen() ? m_crWindow : CLR_INVALID);
    } // the image reaches the window here
}

void CRecordsetCtrl::DrawBackground(CDC* pDC) {
    CRect G;
    GetClientRect(&G);
    const int H = m_wndHeader.GetHeight();
    if (m_bShowBackground && m_bmpBackground.GetSafeHandle() != NULL && m_nBackgroundWidth > 0 &&
        m_nBackgroundHeight > 0) {
        CDC dcBitmap;
        dcBitmap.CreateCompatibleDC(pDC);
        AppPalette.UsePalette(&dcBitmap, FALSE);
        CBitmap* pOld = dcBitmap.SelectObject(&m_bmpBackground);
        for (int y = H; y < G.bottom; y += m_nBackgroundHeight)
            for (int x = 0; x < G.right; x += m_nBackgroundWidth)
                pDC->BitBlt(x, y, m_nBackgroundWidth, m_nBackgroundHeight, &dcBitmap, 0, 0,
                            SRCCOPY);
        dcBitmap.SelectObject(pOld);
    }

    CRect C;
    CWnd::GetClientRect(&C);
    const int hs = m_nHScrollHeight, vw = m_nVScrollWidth;
    pDC->FillSolidRect(0, C.bottom - hs, 100, hs, m_crBtnFace);
    pDC->FillSolidRect(C.right - vw, C.bottom - hs, vw, hs, m_crBtnFace);

    int nMin = 0, nMax = 0;
    m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    CString strRecords, strCount;
    if (m_bCounting) {
        strCount.LoadString(IDS_RSC_COUNTING); // no number that could pass for the count
    } else {
        strRecords.LoadString(IDS_RSC_RECORDS);
        strCount.Format("%d ", nMax + 1);
        strCount += strRecords;
    }
    CFont* pOldFont = pDC->SelectObject(&m_fontSmall);
    pDC->SetTextColor(m_crWindowText);
    pDC->SetTextAlign(TA_RIGHT);
    pDC->TextOut(85, C.bottom - hs + (hs - m_nSmallCharHeight + 2) / 2, strCount);
    pDC->SetTextAlign(TA_LEFT);
    pDC->SelectObject(pOldFont);

    CGdiObject* pOldPen = pDC->SelectStockObject(WHITE_PEN);
    pDC->MoveTo(0, C.bottom - hs + 1);
    pDC->LineTo(100, C.bottom - hs + 1);
    pDC->SelectObject(pOldPen);
}

// crUnder: the colour the area already has (CLR_INVALID: unknown), whose fills are skipped.
void CRecordsetCtrl::DrawTable(CDC* pDC, COLORREF crUnder) {
    CRect G;
    GetClientRect(&G);
    const int R = (int)m_arrayTable.GetSize();
    const int N = m_wndHeader.GetItemCount();
    const int f = m_wndHScroll.GetScrollPos();
    const int nPitch = m_nCharHeight + 2;

    // The slots shown, left to right; only those that start inside the grid area matter.
    std::vector<Slot> slots;
    for (int s = f, x = G.left; s < N && x <= G.right; ++s) {
        Slot slot = SlotAt(m_wndHeader, s);
        if (slot.nColumn < 0 || slot.nColumn >= m_arrayColumns.GetSize())
            slot.nColumn = -1;
        slots.push_back(slot);
        x += slot.nWidth;
    }

    if (!m_bShowBackground) {
        int x = G.left;
        for (const Slot& slot : slots) {
            const COLORREF cr =
                slot.nColumn >= 0 ? m_arrayColumns[slot.nColumn].m_crBack : m_crWindow;
            if (cr != crUnder)
                pDC->FillSolidRect(x, G.top, slot.nWidth, G.Height(), cr);
            x += slot.nWidth;
        }
        if (x < G.right && m_crWindow != crUnder)
            pDC->FillSolidRect(x, G.top, G.right - x, G.Height(), m_crWindow);
    }

    DrawGrid(pDC);

    if (R <= 0 || m_pDoc == NULL || !m_pDoc->IsOpen())
        return;
    // Only the rows in the area being painted are drawn.
    CRect rcClip;
    const int nClip = pDC->GetClipBox(&rcClip);
    if (nClip == ERROR || nClip == NULLREGION || rcClip.IsRectEmpty())
        rcClip = G;
    CFont* pOldFont = pDC->SelectObject(&m_font);
    for (int r = 0; r < R; ++r) {
        const int y = G.top + r * nPitch;
        if (y >= G.bottom || y >= rcClip.bottom)
            break;
        if (y + nPitch <= rcClip.top)
            continue;
        const BOOL bCursor = r == m_nCursor;
        if (bCursor)
            pDC->FillSolidRect(CRect(G.left + 1, y + 1, G.right - 1, y + m_nCharHeight),
                               m_crHighlight);
        const CStringArray& row = m_arrayTable[r];
        int x = G.left + 3;
        for (const Slot& slot : slots) {
            if (x > G.right)
                break;
            if (slot.nColumn >= 0 && slot.nColumn < row.GetSize()) {
                const CColumnDetails& col = m_arrayColumns[slot.nColumn];
                const UINT nAlign = col.m_nAlign == 1   ? DT_CENTER
                                    : col.m_nAlign == 2 ? DT_RIGHT
                                                        : DT_LEFT;
                CRect rcText(x, y, x + slot.nWidth - 9, y + m_nCharHeight);
                pDC->SetTextColor(bCursor ? m_crHighlightText : col.m_crText);
                pDC->DrawText(row[slot.nColumn], &rcText,
                              nAlign | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            }
            x += slot.nWidth;
        }
    }
    pDC->SelectObject(pOldFont);
}

int CRecordsetCtrl::ColumnsRight(const CRect& rcGrid) const {
    const int N = m_wndHeader.GetItemCount();
    int x = rcGrid.left;
    for (int s = m_wndHScroll.GetScrollPos(); s < N && x < rcGrid.right; ++s)
        x += SlotAt(m_wndHeader, s).nWidth;
    return std::min<int>(x, rcGrid.right);
}

void CRecordsetCtrl::DrawGrid(CDC* pDC) {
    CRect G;
    GetClientRect(&G);
    CPen pen;
    pen.CreatePen(PS_SOLID, 0, kGridLine);
    CPen* pOldPen = pDC->SelectObject(&pen);
    const int nPitch = m_nCharHeight + 2;
    for (int y = G.top + nPitch - 1; y < G.bottom; y += nPitch) {
        pDC->MoveTo(G.left, y);
        pDC->LineTo(G.right, y);
    }
    const int N = m_wndHeader.GetItemCount();
    int x = G.left - 1;
    for (int s = m_wndHScroll.GetScrollPos(); s < N && x < G.right; ++s) {
        x += SlotAt(m_wndHeader, s).nWidth;
        pDC->MoveTo(x, G.top);
        pDC->LineTo(x, G.bottom);
    }
    pDC->SelectObject(pOldPen);
}
