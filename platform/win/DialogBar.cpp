#include "platform/win/DialogBar.h"

#include "platform/core/Resources.h"
#include "platform/win/DialogManager.h"
#include "platform/win/FrameWnd.h"

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

CDialogBar::CDialogBar() {
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CDialogBar::~CDialogBar() {
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID) {
    if (pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr || m_hWnd != nullptr)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    const auto* tmpl = AfxGetResourceData<KelDialogTemplate>(hInst, RT_DIALOG, lpszTemplateName);
    if (tmpl == nullptr)
        return FALSE;
    m_dwStyle = nStyle & CBRS_ALL;
    // A child dialog without a frame of its own, made hidden and shown once it is complete.
    KelDialogTemplate child = *tmpl;
    child.dwStyle =
        (child.dwStyle & ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                             WS_VISIBLE | DS_MODALFRAME)) |
        WS_CHILD;
    kel::win::DialogLayout layout;
    if (!kel::win::PrepareDialog(child, pParentWnd->GetSafeHwnd(), true, layout))
        return FALSE;
    if (!CreateEx(layout.exStyle, KEL_DIALOG_CLASS, "", layout.style | WS_CLIPSIBLINGS, 0, 0,
                  layout.rect.Width(), layout.rect.Height(), pParentWnd->GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)))) {
        kel::win::DiscardDialog(layout);
        return FALSE;
    }
    if (!kel::win::FinishDialog(m_hWnd, hInst, child, layout, 0))
        return FALSE;
    m_sizeDefault = layout.rect.Size();
    SetOwner(pParentWnd);
    // The frame's layout gives the bar its place and size.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    return Stretched(m_sizeDefault, bStretch, bHorz);
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
