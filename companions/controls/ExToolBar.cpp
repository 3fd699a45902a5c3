#include "companions/controls/ExToolBar.h"

#include "companions/controls/CommandTip.h"
#include "companions/controls/ControlDrawing.h"

IMPLEMENT_DYNAMIC(CExToolBar, CToolBar)

namespace {

constexpr int kEdge = 7; // a button is its image and 7 pixels of edge

} // namespace

CExToolBar::CExToolBar()
    : m_sizeSmall(16, 15), m_bShowText(FALSE), m_bLargeMode(FALSE), m_hInstance(NULL) {}

CExToolBar::~CExToolBar() {
    // The toolbar control draws from the image lists: the window goes first.
    if (m_hWnd != NULL)
        DestroyWindow();
}

void CExToolBar::SetShowText(BOOL bShowText) {
    m_bShowText = bShowText != FALSE;
    Apply();
}

void CExToolBar::SetLargeMode(BOOL bLargeMode) {
    m_bLargeMode = bLargeMode != FALSE;
    Apply();
}

CImageList* CExToolBar::GetImages(ImageMode nMode) {
    if (nMode < imSmall || nMode > imLargeDisabled || !HasImages(nMode))
        return nullptr;
    return &m_images[nMode];
}

BOOL CExToolBar::SetBitmap(UINT nIDBitmap, ImageMode nMode, COLORREF crMask) {
    if (nMode < imSmall || nMode > imLargeDisabled)
        return FALSE;
    // As high as the strip, as wide as the toolbar resource's images in proportion.
    CSize strip;
    if (!KelGetBitmapSize(m_hInstance, nIDBitmap, strip) || strip.cy <= 0)
        return FALSE;
    const CSize image((strip.cy * m_sizeSmall.cx + m_sizeSmall.cy / 2) / m_sizeSmall.cy, strip.cy);
    if (!KelLoadImageStrip(m_images[nMode], m_hInstance, nIDBitmap, image.cx, image.cy, crMask))
        return FALSE;
    Apply();
    return TRUE;
}

BOOL CExToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
    if (m_hWnd == NULL)
        return FALSE;
    HINSTANCE hInst = m_hInstance;
    if (hInst == NULL || FindResource(hInst, lpszResourceName, RT_TOOLBAR) == NULL)
        hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    const auto* res = AfxGetResourceData<KelToolBarResource>(hInst, RT_TOOLBAR, lpszResourceName);
    if (res == nullptr || res->cx <= 0 || res->cy <= 0)
        return FALSE;
    m_sizeSmall = CSize(res->cx, res->cy);
    if (!SetButtons(res->items.data(), static_cast<int>(res->items.size())))
        return FALSE;
    // The toolbar's own strip, when it has one: the classic light grey is its transparent
    // colour.
    UINT nBitmap = res->nBitmapID;
    if (nBitmap == 0 && IS_INTRESOURCE(lpszResourceName))
        nBitmap = LOWORD(reinterpret_cast<ULONG_PTR>(lpszResourceName));
    if (nBitmap != 0) {
        HINSTANCE hStrip = FindResource(hInst, MAKEINTRESOURCE(nBitmap), RT_BITMAP) ? hInst : NULL;
        KelLoadImageStrip(m_images[imSmall], hStrip, nBitmap, res->cx, res->cy, RGB(192, 192, 192));
    }
    Apply();
    return TRUE;
}

void CExToolBar::Apply() {
    if (m_hWnd == NULL)
        return;
    // The size in use: large when asked for and there, else whichever there is.
    const bool haveLarge = HasImages(imLarge) != FALSE;
    const bool haveSmall = HasImages(imSmall) != FALSE;
    const int base = (haveLarge && (m_bLargeMode || !haveSmall)) ? imLarge : imSmall;
    CImageList* normal = HasImages(base) ? &m_images[base] : nullptr;
    CImageList* hot = HasImages(base + 1) ? &m_images[base + 1] : nullptr;
    CImageList* disabled = HasImages(base + 2) ? &m_images[base + 2] : nullptr;
    SendMessage(TB_SETIMAGELIST, 0,
                reinterpret_cast<LPARAM>(normal ? normal->GetSafeHandle() : nullptr));
    SendMessage(TB_SETHOTIMAGELIST, 0,
                reinterpret_cast<LPARAM>(hot ? hot->GetSafeHandle() : nullptr));
    SendMessage(TB_SETDISABLEDIMAGELIST, 0,
                reinterpret_cast<LPARAM>(disabled ? disabled->GetSafeHandle() : nullptr));
    CSize image = m_sizeSmall;
    int cx = 0, cy = 0;
    if (normal != nullptr && ImageList_GetIconSize(normal->GetSafeHandle(), &cx, &cy))
        image = CSize(cx, cy);
    SetSizes(CSize(image.cx + kEdge, image.cy + kEdge), image);
    for (int i = 0, n = GetCount(); i < n; ++i) {
        const UINT id = GetItemID(i);
        if (id == ID_SEPARATOR)
            continue;
        const CString text = m_bShowText ? KelCommandTip(id) : CString();
        if (GetButtonText(i) != text)
            SetButtonText(i, text);
    }
    Invalidate();
    if (m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
}

void CExToolBar::UpdateButtons(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (m_hWnd == NULL || pTarget == nullptr)
        return;
    UpdateButtonStates(pTarget, bDisableIfNoHndler);
}
