#include "dialogs/RecordsetDlg.h"

IMPLEMENT_DYNAMIC(CRecordsetDlg, CToolBarDialog)

BEGIN_MESSAGE_MAP(CRecordsetDlg, CToolBarDialog)
ON_WM_SIZE()
ON_COMMAND(ID_RECORD_NEW, OnNew)
ON_COMMAND(ID_RECORD_OPEN, OnOpen)
ON_COMMAND(ID_RECORD_DELETE, OnDelete)
ON_COMMAND(ID_RECORD_PRINT, OnPrint)
ON_COMMAND(ID_RECORD_CHOOSE, OnChoose)
ON_COMMAND(ID_RECORD_CLOSE, OnCancel)
END_MESSAGE_MAP()

CRecordsetDlg::CRecordsetDlg(UINT nIDTemplate, CWnd* pParentWnd)
    : CToolBarDialog(nIDTemplate, pParentWnd), m_bModeless(FALSE), m_pRecordsetCtrl(NULL),
      m_pLoad(NULL), m_nWidth(0), m_nHeight(0), m_pParentWnd(NULL), m_nDescription(0),
      m_pRecordset(NULL) {}

CRecordsetDlg::~CRecordsetDlg() {
    delete m_pRecordsetCtrl;
}

BOOL CRecordsetDlg::Create() {
    m_bModeless = TRUE;
    return CDialog::Create(IDD_RSC_LIST, NULL);
}

BOOL CRecordsetDlg::OnInitDialog() {
    CToolBarDialog::OnInitDialog();
    if (m_pLoad == NULL) {
        OnCancel();
        return FALSE;
    }

    CRect rcGrid;
    if (CWnd* pFrame = GetDlgItem(IDC_RSC_LISTFRAME)) {
        pFrame->GetWindowRect(&rcGrid);
        pFrame->DestroyWindow();
        ScreenToClient(&rcGrid);
    }
    const CString strTitle = m_pLoad->m_strTitle;

    CRuntimeClass* pClass =
        m_pLoad->m_pCtrlClass ? m_pLoad->m_pCtrlClass : RUNTIME_CLASS(CRecordsetCtrl);
    CObject* pObject = pClass->CreateObject();
    m_pRecordsetCtrl = DYNAMIC_DOWNCAST(CRecordsetCtrl, pObject);
    if (m_pRecordsetCtrl == NULL) {
        // Not a grid class: nothing to show the records in.
        delete pObject;
        delete m_pLoad;
        m_pLoad = NULL;
        OnCancel();
        return FALSE;
    }
    CRecordsetLoad* pLoad = m_pLoad;
    m_pLoad = NULL; // the grid's Create takes it over and deletes it
    m_pRecordsetCtrl->Create(pLoad, "", WS_EX_CLIENTEDGE,
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, rcGrid, this,
                             IDC_RSC_LISTFRAME);

    m_sizeDialog.Set(this);
    for (int i = 0; i < GetBarCount(); ++i) {
        const UINT nID = GetBarID(i);
        switch (GetBarSide(i)) {
        case CBRS_LEFT:
            m_sizeDialog.Add(nID, 1, 1, 1, 2);
            break;
        case CBRS_TOP:
            m_sizeDialog.Add(nID, 1, 1, 2, 1);
            break;
        case CBRS_RIGHT:
            m_sizeDialog.Add(nID, 2, 1, 2, 2);
            break;
        case CBRS_BOTTOM:
            m_sizeDialog.Add(nID, 1, 2, 2, 2);
            break;
        default:
            break;
        }
    }
    m_sizeDialog.Add(IDC_RSC_LISTFRAME, 1, 1, 2, 2);
    CWnd* pDescription = GetDlgItem(IDC_RSC_DESCRIPTION);
    if (pDescription)
        m_sizeDialog.Add(IDC_RSC_DESCRIPTION, 1, 1, 2, 1);

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (m_nWidth == 0)
        m_nWidth = rcWindow.Width();
    if (m_nHeight == 0)
        m_nHeight = rcWindow.Height();
    MoveWindow(rcWindow.left + (rcWindow.Width() - m_nWidth) / 2,
               rcWindow.top + (rcWindow.Height() - m_nHeight) / 2, m_nWidth, m_nHeight, FALSE);

    if (m_nDescription != 0 && pDescription) {
        CString strDescription;
        strDescription.LoadString(m_nDescription);
        pDescription->SetWindowText(strDescription);
    }
    SetWindowText(strTitle);
    if (m_pRecordsetCtrl->GetSafeHwnd())
        m_pRecordsetCtrl->SetFocus();
    if (m_bModeless)
        ShowWindow(SW_SHOW);
    return FALSE;
}

void CRecordsetDlg::OnSize(UINT nType, int cx, int cy) {
    CToolBarDialog::OnSize(nType, cx, cy);
    m_sizeDialog.Resize(cx, cy);
}

void CRecordsetDlg::ForwardToGrid(UINT nID) {
    if (m_pRecordsetCtrl && m_pRecordsetCtrl->GetSafeHwnd())
        m_pRecordsetCtrl->SendMessage(WM_COMMAND, nID, 0);
}

void CRecordsetDlg::OnNew() {
    ForwardToGrid(ID_RECORD_NEW);
}
void CRecordsetDlg::OnOpen() {
    ForwardToGrid(ID_RECORD_OPEN);
}
void CRecordsetDlg::OnDelete() {
    ForwardToGrid(ID_RECORD_DELETE);
}
void CRecordsetDlg::OnPrint() {
    ForwardToGrid(ID_RECORD_PRINT);
}

void CRecordsetDlg::OnChoose() {
    if (m_pRecordset && m_pRecordsetCtrl &&
        m_pRecordsetCtrl->GetCurrentRecord(m_pRecordset, FALSE, 0))
        CDialog::EndDialog(IDOK);
}

void CRecordsetDlg::Close(int nResult) {
    if (m_bModeless) {
        CWnd* pParentWnd = m_pParentWnd;
        DestroyWindow(); // the object is gone after this
        if (pParentWnd && pParentWnd->GetSafeHwnd())
            pParentWnd->SetFocus();
    } else {
        CDialog::EndDialog(nResult);
    }
}

void CRecordsetDlg::OnOk() {
    Close(IDOK);
}

void CRecordsetDlg::OnCancel() {
    Close(IDCANCEL);
}

void CRecordsetDlg::PostNcDestroy() {
    CWnd::PostNcDestroy();
    if (m_bModeless)
        delete this;
}
