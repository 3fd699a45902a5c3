#include "platform/win/Dialog.h"

#include "platform/core/Resources.h"
#include "platform/gdi/Font.h"
#include "platform/win/DataExchange.h"
#include "platform/win/DialogManager.h"
#include "platform/win/UserException.h"
#include "platform/win/WinThread.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_MESSAGE(WM_SETFONT, HandleSetFont)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(nullptr), m_lpDialogTemplate(nullptr), m_pParentWnd(nullptr),
      m_nIDHelp(0) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_lpDialogTemplate(nullptr), m_pParentWnd(pParentWnd),
      m_nIDHelp(0) {
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_lpDialogTemplate(nullptr),
      m_pParentWnd(pParentWnd), m_nIDHelp(nIDTemplate) {}

CDialog::~CDialog() = default;

const KelDialogTemplate* CDialog::FindTemplate(HINSTANCE& hInst) const {
    if (m_lpDialogTemplate != nullptr) {
        hInst = AfxGetResourceHandle();
        return m_lpDialogTemplate;
    }
    if (m_lpszTemplateName == nullptr)
        return nullptr;
    hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    return AfxGetResourceData<KelDialogTemplate>(hInst, RT_DIALOG, m_lpszTemplateName);
}

BOOL CDialog::CreateDlgIndirect(const KelDialogTemplate* lpTemplate, CWnd* pParentWnd,
                                HINSTANCE hInst, bool hidden) {
    if (lpTemplate == nullptr)
        return FALSE;
    HWND hWndParent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    kel::win::DialogLayout layout;
    if (!kel::win::PrepareDialog(*lpTemplate, hWndParent, hidden, layout))
        return FALSE;
    LPCTSTR cls = lpTemplate->strClass.IsEmpty() ? KEL_DIALOG_CLASS
                                                 : static_cast<LPCTSTR>(lpTemplate->strClass);
    if (!CreateEx(layout.exStyle, cls, lpTemplate->strCaption,
                  layout.style & ~static_cast<DWORD>(WS_VISIBLE), layout.rect.left, layout.rect.top,
                  layout.rect.Width(), layout.rect.Height(), hWndParent, nullptr)) {
        kel::win::DiscardDialog(layout);
        return FALSE;
    }
    HWND hWnd = m_hWnd;
    // The dialog may end (or delete itself) while it initialises: nothing of the object is
    // touched once its window is gone.
    return kel::win::FinishDialog(hWnd, hInst, *lpTemplate, layout, 0);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    m_lpDialogTemplate = nullptr;
    HINSTANCE hInst = nullptr;
    const KelDialogTemplate* tmpl = FindTemplate(hInst);
    if (tmpl == nullptr)
        return FALSE;
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(tmpl, pParentWnd, hInst, false);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(const KelDialogTemplate* lpDialogTemplate, CWnd* pParentWnd) {
    if (lpDialogTemplate == nullptr)
        return FALSE;
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, AfxGetResourceHandle(), false);
}

BOOL CDialog::InitModalIndirect(const KelDialogTemplate* lpDialogTemplate, CWnd* pParentWnd) {
    m_lpDialogTemplate = lpDialogTemplate;
    m_lpszTemplateName = nullptr;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInst = nullptr;
    const KelDialogTemplate* tmpl = FindTemplate(hInst);
    if (tmpl == nullptr || m_hWnd != nullptr)
        return -1;
    // The owner is the top-level window of the parent (the main window without one); it is
    // disabled while the dialog runs.
    CWnd* pParent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    HWND hWndOwner = pParent != nullptr ? pParent->GetSafeHwnd() : nullptr;
    while (hWndOwner != nullptr && (::GetWindowLong(hWndOwner, GWL_STYLE) & WS_CHILD))
        hWndOwner = ::GetParent(hWndOwner);
    const bool enableOwner = hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner);
    if (enableOwner)
        ::EnableWindow(hWndOwner, FALSE);

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    if (CreateDlgIndirect(tmpl, CWnd::FromHandle(hWndOwner), hInst, true)) {
        if (m_nFlags & WF_CONTINUEMODAL)
            RunModalLoop(MLF_SHOWONIDLE | ((GetStyle() & DS_NOIDLEMSG) ? MLF_NOIDLEMSG : 0));
        if (m_hWnd != nullptr)
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    m_nFlags &= ~static_cast<UINT>(WF_CONTINUEMODAL);
    if (enableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner != nullptr && (::GetActiveWindow() == m_hWnd || ::GetActiveWindow() == nullptr))
        ::SetActiveWindow(hWndOwner);
    if (m_hWnd != nullptr)
        DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    Default();
    return OnInitDialog();
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM) {
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    Default();
    return 0;
}

void CDialog::OnSetFont(CFont*) {}

BOOL CDialog::OnInitDialog() {
    // The members go into the controls; a failure ends the dialog.
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return; // the exchange told the user and kept the dialog open
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::NextDlgCtrl() const {
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const {
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl != nullptr)
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}

void CDialog::SetDefID(UINT nID) {
    ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const {
    return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0));
}

void CDialog::MapDialogRect(LPRECT lpRect) const {
    ::MapDialogRect(m_hWnd, lpRect);
}

// Keys and mouse messages of the dialog and its controls meet the dialog manager.
BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    const UINT m = pMsg->message;
    if ((m < WM_KEYFIRST || m > WM_KEYLAST) && (m < WM_MOUSEFIRST || m > WM_MOUSELAST))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}
