#include "companions/controls/ExHeaderCtrl.h"

#include "companions/controls/ControlDrawing.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CExHeaderCtrl, CHeaderCtrl)

namespace {

constexpr int kMargin = 5;    // space inside an item before and after its contents
constexpr int kGap = 4;       // space between image, caption and sort mark
constexpr int kMarkWidth = 9; // the sort triangle
constexpr int kMarkHeight = 5;

} // namespace

CExHeaderCtrl::CExHeaderCtrl() : m_nHeight(18), m_nSortCol(-1), m_bSortDesc(FALSE) {}

CExHeaderCtrl::~CExHeaderCtrl() {
    // The window draws with the image list: it goes first.
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CExHeaderCtrl::SetBitmap(HINSTANCE hInstance, int nID, int cx, int cy, COLORREF crMask) {
    if (nID <= 0 ||
        !KelLoadImageStrip(m_imageList, hInstance, static_cast<UINT>(nID), cx, cy, crMask))
        return FALSE;
    if (m_hWnd != NULL) {
        SetImageList(&m_imageList);
        Invalidate();
    }
    return TRUE;
}

void CExHeaderCtrl::SetSortCol(int nItem, BOOL bDescending) {
    if (nItem < 0)
        nItem = -1;
    if (nItem == m_nSortCol && (bDescending != FALSE) == (m_bSortDesc != FALSE))
        return;
    m_nSortCol = nItem;
    m_bSortDesc = bDescending != FALSE;
    if (m_hWnd != NULL)
        Invalidate();
}

CArray<int, int> CExHeaderCtrl::GetPositionWidths() const {
    CArray<int, int> widths;
    if (m_hWnd == NULL)
        return widths;
    const int n = GetItemCount();
    if (n <= 0)
        return widths;
    CArray<int, int> order;
    order.SetSize(n);
    if (!::SendMessage(m_hWnd, HDM_GETORDERARRAY, static_cast<WPARAM>(n),
                       reinterpret_cast<LPARAM>(order.GetData()))) {
        for (int i = 0; i < n; ++i)
            order[i] = i;
    }
    widths.SetSize(n);
    for (int pos = 0; pos < n; ++pos) {
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH;
        widths[pos] = GetItem(order[pos], &hdi) ? hdi.cxy : 0;
    }
    return widths;
}

int CExHeaderCtrl::ClampPosition(int nPos) const {
    const int n = m_hWnd != NULL ? GetItemCount() : 0;
    return n <= 0 ? 0 : std::clamp(nPos, 0, n - 1);
}

int CExHeaderCtrl::GetWidth(int nCount) const {
    const CArray<int, int> widths = GetPositionWidths();
    const int n = std::min(nCount, static_cast<int>(widths.GetSize()));
    int total = 0;
    for (int i = 0; i < n; ++i)
        total += widths[i];
    return total;
}

void CExHeaderCtrl::MoveToTop(CRect* pRect, int nFirst) {
    if (m_hWnd == NULL || pRect == nullptr)
        return;
    const int offset = GetWidth(ClampPosition(nFirst));
    MoveWindow(pRect->left - offset, pRect->top, std::max(0, pRect->Width()) + offset, m_nHeight,
               TRUE);
}

int CExHeaderCtrl::GetPageLeftCol(CRect* pRect, int nFirst) const {
    return GetPageCol(pRect, nFirst, -1);
}

int CExHeaderCtrl::GetPageRightCol(CRect* pRect, int nFirst) const {
    return GetPageCol(pRect, nFirst, 1);
}

// Left (nStep -1): the page of whole items that ends just before nFirst. Right (nStep 1): the
// first position that was not wholly shown. An item wider than the page still moves by one.
int CExHeaderCtrl::GetPageCol(CRect* pRect, int nFirst, int nStep) const {
    const CArray<int, int> widths = GetPositionWidths();
    const int n = static_cast<int>(widths.GetSize());
    if (n == 0 || pRect == nullptr)
        return 0;
    const int first = std::clamp(nFirst, 0, n - 1);
    const int page = pRect->Width();
    int k = first, used = 0;
    for (;;) {
        const int next = nStep > 0 ? k : k - 1;
        if (next < 0 || next >= n || used + widths[next] > page)
            break;
        used += widths[next];
        k += nStep;
    }
    if (k == first)
        k += nStep;
    return std::clamp(k, 0, n - 1);
}

void CExHeaderCtrl::DrawSortMark(CDC* pDC, const CRect& rcMark, BOOL bDescending) const {
    // A solid triangle drawn row by row, so that its edges stay sharp.
    const COLORREF cr = ::GetSysColor(IsWindowEnabled() ? COLOR_3DDKSHADOW : COLOR_3DSHADOW);
    const int top = rcMark.top + (rcMark.Height() - kMarkHeight) / 2;
    for (int row = 0; row < kMarkHeight; ++row) {
        const int half = bDescending ? kMarkHeight - 1 - row : row; // 0 at the tip
        const int y = top + row;
        pDC->FillSolidRect(rcMark.left + kMarkWidth / 2 - half, y, 2 * half + 1, 1, cr);
    }
}

void CExHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct == nullptr || lpDrawItemStruct->hDC == nullptr)
        return;
    const int item = static_cast<int>(lpDrawItemStruct->itemID);
    char text[256] = {};
    HDITEM hdi{};
    hdi.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    hdi.pszText = text;
    hdi.cchTextMax = sizeof(text);
    if (!GetItem(item, &hdi))
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const int saved = pDC->SaveDC();
    CRect rc(lpDrawItemStruct->rcItem);
    rc.DeflateRect(kMargin, 1);
    if (lpDrawItemStruct->itemState & ODS_SELECTED)
        rc.OffsetRect(1, 1);
    const BOOL enabled = IsWindowEnabled();

    // The sort mark keeps its place at the right; the caption gives way first.
    if (item == m_nSortCol && rc.Width() >= kMarkWidth) {
        CRect mark(rc.right - kMarkWidth, rc.top, rc.right, rc.bottom);
        DrawSortMark(pDC, mark, m_bSortDesc);
        rc.right = mark.left - kGap;
    }
    int cx = 0, cy = 0;
    if (IsBitmapSet() && hdi.iImage >= 0 && hdi.iImage < m_imageList.GetImageCount() &&
        ImageList_GetIconSize(m_imageList.GetSafeHandle(), &cx, &cy) && rc.Width() >= cx) {
        const CPoint pt(rc.left, rc.top + (rc.Height() - cy) / 2);
        if (enabled)
            m_imageList.Draw(pDC, hdi.iImage, pt, ILD_TRANSPARENT);
        else
            KelDrawDisabledImage(pDC, m_imageList, hdi.iImage, pt);
        rc.left += cx + kGap;
    }
    if (text[0] != '\0' && rc.Width() > 0) {
        const int justify = hdi.fmt & HDF_JUSTIFYMASK;
        const UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                         (justify == HDF_RIGHT    ? DT_RIGHT
                          : justify == HDF_CENTER ? DT_CENTER
                                                  : DT_LEFT);
        pDC->SetBkMode(TRANSPARENT);
        if (enabled) {
            pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
            pDC->DrawText(text, -1, rc, fmt);
        } else {
            KelDrawDisabledText(pDC, text, rc, fmt);
        }
    }
    pDC->RestoreDC(saved);
}
