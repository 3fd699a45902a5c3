#include "platform/controls/ToolBarCtrl.h"

#include "platform/controls/ControlClasses.h"
#include "platform/controls/NativeControl.h"

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    KelRegisterControlClasses();
    return CWnd::Create(TOOLBARCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CToolBarCtrl::AddBitmap(int nNumButtons, UINT nBitmapID) {
    TBADDBITMAP tbab{AfxFindResourceHandle(MAKEINTRESOURCE(nBitmapID), RT_BITMAP), nBitmapID};
    return (int)::SendMessage(m_hWnd, TB_ADDBITMAP, nNumButtons, reinterpret_cast<LPARAM>(&tbab));
}

int CToolBarCtrl::AddBitmap(int nNumButtons, CBitmap* pBitmap) {
    if (pBitmap == nullptr)
        return -1;
    TBADDBITMAP tbab{nullptr, reinterpret_cast<UINT_PTR>(pBitmap->GetSafeHandle())};
    return (int)::SendMessage(m_hWnd, TB_ADDBITMAP, nNumButtons, reinterpret_cast<LPARAM>(&tbab));
}

int CToolBarCtrl::AddString(UINT nStringID) {
    return (int)::SendMessage(m_hWnd, TB_ADDSTRING,
                              reinterpret_cast<WPARAM>(AfxFindStringResourceHandle(nStringID)),
                              nStringID);
}

namespace {
CImageList* Swap(HWND h, UINT msg, CImageList* p) {
    return kel::ctl::TempImageList(reinterpret_cast<HIMAGELIST>(::SendMessage(
        h, msg, 0, reinterpret_cast<LPARAM>(p != nullptr ? p->GetSafeHandle() : nullptr))));
}
CImageList* Get(HWND h, UINT msg) {
    return kel::ctl::TempImageList(reinterpret_cast<HIMAGELIST>(::SendMessage(h, msg, 0, 0)));
}
} // namespace

CImageList* CToolBarCtrl::SetImageList(CImageList* pImageList) {
    return Swap(m_hWnd, TB_SETIMAGELIST, pImageList);
}
CImageList* CToolBarCtrl::GetImageList() const {
    return Get(m_hWnd, TB_GETIMAGELIST);
}
CImageList* CToolBarCtrl::SetDisabledImageList(CImageList* pImageList) {
    return Swap(m_hWnd, TB_SETDISABLEDIMAGELIST, pImageList);
}
CImageList* CToolBarCtrl::GetDisabledImageList() const {
    return Get(m_hWnd, TB_GETDISABLEDIMAGELIST);
}
CImageList* CToolBarCtrl::SetHotImageList(CImageList* pImageList) {
    return Swap(m_hWnd, TB_SETHOTIMAGELIST, pImageList);
}
CImageList* CToolBarCtrl::GetHotImageList() const {
    return Get(m_hWnd, TB_GETHOTIMAGELIST);
}
