#include "platform/win/ToolBar.h"

#include "platform/core/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/CmdUI.h"
#include "platform/win/FrameWnd.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

// The update of a toolbar button: enabling and checking go to the button's state.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override {
        m_bEnableChanged = TRUE;
        auto* pToolBar = static_cast<CToolBar*>(m_pOther);
        UINT nNewStyle = pToolBar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
        if (!bOn) {
            nNewStyle |= TBBS_DISABLED;
            nNewStyle &= ~TBBS_PRESSED; // a disabled button cannot stay pressed
        }
        pToolBar->SetButtonStyle(static_cast<int>(m_nIndex), nNewStyle);
    }
    void SetCheck(int nCheck) override {
        auto* pToolBar = static_cast<CToolBar*>(m_pOther);
        UINT nNewStyle = pToolBar->GetButtonStyle(static_cast<int>(m_nIndex)) &
                         ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            nNewStyle |= TBBS_CHECKED;
        else if (nCheck == 2)
            nNewStyle |= TBBS_INDETERMINATE;
        pToolBar->SetButtonStyle(static_cast<int>(m_nIndex), nNewStyle | TBBS_CHECKBOX);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR) override {}
};

} // namespace

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15), m_hbmImageWell(nullptr) {
    m_cxLeftBorder = 4;
    m_cxRightBorder = 4;
    m_cyTopBorder = 2;
    m_cyBottomBorder = 2;
}

CToolBar::~CToolBar() {
    if (m_hWnd != nullptr)
        DestroyWindow();
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders,
                        UINT nID) {
    if (pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr)
        return FALSE;
    if (!rcBorders.IsRectNull()) {
        m_cxLeftBorder = rcBorders.left;
        m_cyTopBorder = rcBorders.top;
        m_cxRightBorder = rcBorders.right;
        m_cyBottomBorder = rcBorders.bottom;
    }
    m_dwStyle = dwStyle & CBRS_ALL;
    dwStyle &= ~static_cast<DWORD>(CBRS_ALL);
    dwStyle |= (dwCtrlStyle & 0xFFFF) | WS_CHILD;
    if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, dwStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(TB_SETINDENT, static_cast<WPARAM>(m_cxLeftBorder));
    SetSizes(m_sizeButton, m_sizeImage);
    SetOwner(pParentWnd);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd == nullptr)
        return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight) {
    m_sizeButton.cy = cyHeight - m_cyTopBorder - m_cyBottomBorder;
    SetSizes(m_sizeButton, m_sizeImage);
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    const auto* res = AfxGetResourceData<KelToolBarResource>(hInst, RT_TOOLBAR, lpszResourceName);
    if (res == nullptr || res->cx <= 0 || res->cy <= 0)
        return FALSE;
    LPCTSTR bitmapName = res->nBitmapID != 0 ? MAKEINTRESOURCE(res->nBitmapID) : lpszResourceName;
    // The image size first: the strip is cut by it.
    const CSize oldImage = m_sizeImage, oldButton = m_sizeButton;
    SetSizes(CSize(res->cx + 7, res->cy + 7), CSize(res->cx, res->cy));
    if (!LoadBitmap(bitmapName)) {
        SetSizes(oldButton, oldImage);
        return FALSE;
    }
    return SetButtons(res->items.data(), static_cast<int>(res->items.size()));
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    auto hbm = static_cast<HBITMAP>(
        ::LoadImage(hInst, lpszResourceName, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    if (hbm == nullptr)
        return FALSE;
    return SetBitmap(hbm);
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell) {
    if (hbmImageWell == nullptr)
        return FALSE;
    CImageList images;
    if (!images.Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR32 | ILC_MASK, 8, 8))
        return FALSE;
    CBitmap strip;
    strip.Attach(hbmImageWell);
    // The face colour (the artwork's light grey, mapped) is transparent.
    const int first = images.Add(&strip, ::GetSysColor(COLOR_3DFACE));
    strip.Detach();
    if (first < 0)
        return FALSE;
    if (m_hbmImageWell != nullptr && m_hbmImageWell != hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbmImageWell;
    if (m_hWnd != nullptr)
        SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.GetSafeHandle()));
    m_imageList.DeleteImageList();
    m_imageList.Attach(images.Detach());
    Invalidate();
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    if (m_hWnd == nullptr || nIDCount < 0)
        return FALSE;
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons(static_cast<size_t>(nIDCount));
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON& b = buttons[static_cast<size_t>(i)];
        std::memset(&b, 0, sizeof(b));
        b.fsState = TBSTATE_ENABLED;
        if (lpIDArray == nullptr) {
            b.fsStyle = TBSTYLE_SEP;
            continue;
        }
        b.idCommand = static_cast<int>(lpIDArray[i]);
        if (lpIDArray[i] == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
        } else {
            b.fsStyle = TBSTYLE_BUTTON;
            b.iBitmap = image++;
        }
    }
    if (!buttons.empty())
        SendMessage(TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    Invalidate();
    if (m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
    return TRUE;
}

int CToolBar::GetCount() const {
    return static_cast<int>(::SendMessage(m_hWnd, TB_BUTTONCOUNT, 0, 0));
}

TBBUTTON CToolBar::GetButton(int nIndex) const {
    TBBUTTON b{};
    ::SendMessage(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b));
    return b;
}

void CToolBar::SetButton(int nIndex, const TBBUTTON& button) {
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_IMAGE | TBIF_STATE | TBIF_STYLE;
    info.idCommand = button.idCommand;
    info.iImage = button.iBitmap;
    info.fsState = button.fsState;
    info.fsStyle = button.fsStyle;
    ::SendMessage(m_hWnd, TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex),
                  reinterpret_cast<LPARAM>(&info));
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
    return static_cast<int>(::SendMessage(m_hWnd, TB_COMMANDTOINDEX, nIDFind, 0));
}

UINT CToolBar::GetItemID(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return ID_SEPARATOR;
    return static_cast<UINT>(GetButton(nIndex).idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
    if (!::SendMessage(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(nIndex),
                       reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
    const TBBUTTON b = GetButton(nIndex);
    // TBBS_DISABLED is the enabled bit turned round.
    return MAKELONG(b.fsStyle, b.fsState) ^ TBBS_DISABLED;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
    TBBUTTON b = GetButton(nIndex);
    nStyle ^= TBBS_DISABLED;
    const BYTE style = static_cast<BYTE>(LOWORD(nStyle));
    const BYTE state = static_cast<BYTE>(HIWORD(nStyle));
    if (b.fsStyle == style && b.fsState == state)
        return;
    b.fsStyle = style;
    b.fsState = state;
    SetButton(nIndex, b);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
    const TBBUTTON b = GetButton(nIndex);
    nID = static_cast<UINT>(b.idCommand);
    nStyle = GetButtonStyle(nIndex);
    iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
    TBBUTTON b = GetButton(nIndex);
    nStyle ^= TBBS_DISABLED;
    b.idCommand = static_cast<int>(nID);
    b.iBitmap = iImage; // for a separator: its width
    b.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    b.fsState = static_cast<BYTE>(HIWORD(nStyle));
    SetButton(nIndex, b);
    if (m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText) {
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<LPSTR>(lpszText != nullptr ? lpszText : "");
    const BOOL ok = static_cast<BOOL>(::SendMessage(
        m_hWnd, TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info)));
    if (ok && m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
    return ok;
}

CString CToolBar::GetButtonText(int nIndex) const {
    char text[256] = {};
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = text;
    info.cchText = sizeof(text);
    ::SendMessage(m_hWnd, TB_GETBUTTONINFO, static_cast<WPARAM>(nIndex),
                  reinterpret_cast<LPARAM>(&info));
    return CString(text);
}

// Along a side the buttons lie in a row; up and down one, every button ends a row.
void CToolBar::SetOrientation(bool horz) {
    const int n = GetCount();
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = GetButton(i);
        const BYTE state = horz ? static_cast<BYTE>(b.fsState & ~TBSTATE_WRAP)
                                : static_cast<BYTE>(b.fsState | TBSTATE_WRAP);
        if (state != b.fsState) {
            b.fsState = state;
            SetButton(i, b);
        }
    }
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CSize size;
    if (m_hWnd == nullptr)
        return size;
    SetOrientation(bHorz != FALSE);
    CRect extent(0, 0, 0, 0);
    for (int i = 0, n = GetCount(); i < n; ++i) {
        CRect rc;
        if (::SendMessage(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&rc)))
            extent.UnionRect(&extent, &rc);
    }
    const DWORD bs = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    const int buttonCy = HIWORD(bs), buttonCx = LOWORD(bs);
    size.cx = bHorz ? std::max<LONG>(extent.right, m_cxLeftBorder) + m_cxRightBorder
                    : m_cxLeftBorder + buttonCx + m_cxRightBorder;
    size.cy = std::max<LONG>(extent.bottom, 2 + buttonCy) + m_cyBottomBorder;
    return Stretched(size, bStretch, bHorz);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    UpdateButtonStates(pTarget, bDisableIfNoHndler);
}

void CToolBar::UpdateButtonStates(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    CToolCmdUI state;
    state.m_pOther = this;
    const int n = GetCount();
    state.m_nIndexMax = static_cast<UINT>(n);
    for (int i = 0; i < n; ++i) {
        const TBBUTTON b = GetButton(i);
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = static_cast<UINT>(b.idCommand);
        // The toolbar's own update handlers first, then the target's routing.
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    // Controls placed on the toolbar are updated like a dialog's.
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const {
    for (int i = 0, n = GetCount(); i < n; ++i) {
        const TBBUTTON b = GetButton(i);
        if ((b.fsStyle & TBSTYLE_SEP) || (b.fsState & TBSTATE_HIDDEN))
            continue;
        CRect rc;
        GetItemRect(i, &rc);
        if (!rc.PtInRect(point))
            continue;
        if (pTI != nullptr) {
            pTI->uFlags = 0;
            pTI->hwnd = m_hWnd;
            pTI->uId = static_cast<UINT_PTR>(b.idCommand);
            pTI->rect = rc;
            pTI->lpszText = LPSTR_TEXTCALLBACK;
        }
        return b.idCommand;
    }
    return -1;
}
