#include "platform/controls/HeaderCtrl.h"

#include "platform/controls/ControlClasses.h"
#include "platform/controls/NativeControl.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    KelRegisterControlClasses();
    return CWnd::Create(WC_HEADER, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CHeaderCtrl::GetOrderArray(LPINT piArray, int iCount) {
    if (iCount == -1)
        iCount = GetItemCount();
    return (BOOL)::SendMessage(m_hWnd, HDM_GETORDERARRAY, static_cast<WPARAM>(iCount),
                               reinterpret_cast<LPARAM>(piArray));
}

CImageList* CHeaderCtrl::SetImageList(CImageList* pImageList) {
    auto old = reinterpret_cast<HIMAGELIST>(::SendMessage(
        m_hWnd, HDM_SETIMAGELIST, 0,
        reinterpret_cast<LPARAM>(pImageList ? pImageList->GetSafeHandle() : nullptr)));
    return kel::ctl::TempImageList(old);
}

CImageList* CHeaderCtrl::GetImageList() const {
    return kel::ctl::TempImageList(
        reinterpret_cast<HIMAGELIST>(::SendMessage(m_hWnd, HDM_GETIMAGELIST, 0, 0)));
}

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct == nullptr)
        return;
    char text[256] = {};
    HDITEM hdi{};
    hdi.mask = HDI_TEXT | HDI_FORMAT;
    hdi.pszText = text;
    hdi.cchTextMax = sizeof(text);
    if (!GetItem(static_cast<int>(lpDrawItemStruct->itemID), &hdi))
        return;
    CRect rc(lpDrawItemStruct->rcItem);
    rc.DeflateRect(6, 1);
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if ((hdi.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
        fmt |= DT_RIGHT;
    else if ((hdi.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
        fmt |= DT_CENTER;
    HDC hdc = lpDrawItemStruct->hDC;
    const int mode = ::SetBkMode(hdc, TRANSPARENT);
    ::DrawText(hdc, text, -1, &rc, fmt);
    ::SetBkMode(hdc, mode);
}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
}
