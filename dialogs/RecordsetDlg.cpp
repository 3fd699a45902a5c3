#include "dialogs/RecordsetDlg.h"

IMPLEMENT_DYNAMIC(CRecordsetDlg, CToolBarDialog)

BEGIN_MESSAGE_MAP(CRecordsetDlg, CToolBarDialog)
ON_WM_SIZE()
ON_COMMAND(ID_RECORD_NEW, OnNew)
ON_COMMAND(ID_RECORD_OPEN, OnOpen)
ON_COMMAND(ID_RECORD_DELETE, OnDelete)
ON_COMMAND(ID_RECORD_PRINT, OnPrint)
ON_COMMAND(ID_RECORD_CHOOSE, OnChoose)
ON_COMMAND(ID_RECORD_CLOSE, OnCloseCommand)
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
    CRect rcGrid(0, 0, 0, 0);
    if (CWnd* pFrame = GetDlgItem(IDC_RSD_GRID)) {
        pFrame->GetWindowRect(&rcGrid);
        pFrame->DestroyWindow();
        ScreenToClient(&rcGrid);
    }
    const CString strTitle = m_pLoad->m_strTitle;
    CRecordsetLoad* pLoad = m_pLoad;
    m_pLoad = NULL; // the grid's Create takes it, whatever happens
    CObject* pObject = pLoad->m_pCtrlClass ? pLoad->m_pCtrlClass->CreateObject() : NULL;
    m_pRecordsetCtrl = DYNAMIC_DOWNCAST(CRecordsetCtrl, pObject);
    if (m_pRecordsetCtrl == NULL) {
        // A class that is no grid: nothing to choose from.
        delete pObject;
        delete pLoad;
        OnCancel();
        return FALSE;
    }
    m_pRecordsetCtrl->Create(pLoad, "", WS_EX_CLIENTEDGE,
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, rcGrid, this,
                             IDC_RSD_GRID);

    m_sizeDialog.Set(this);
    for (int i = 0; i < GetBarCount(); ++i) {
        switch (GetBarSide(i)) {
        case CBRS_LEFT:
            m_sizeDialog.Add(GetBarID(i), 1, 1, 1, 2);
            break;
        case CBRS_TOP:
            m_sizeDialog.Add(GetBarID(i), 1, 1, 2, 1);
            break;
        case CBRS_RIGHT:
            m_sizeDialog.Add(GetBarID(i), 2, 1, 2, 2);
            break;
        case CBRS_BOTTOM:
            m_sizeDialog.Add(GetBarID(i), 1, 2, 2, 2);
            break;
        default:
            break;
        }
    }
    m_sizeDialog.Add(IDC_RSD_GRID, 1, 1, 2, 2);
    CWnd* pDescription = GetDlgItem(IDC_RSD_DESCRIPTION);
    if (pDescription != NULL)
        m_sizeDialog.Add(IDC_RSD_DESCRIPTION, 1, 1, 2, 1);

    CRect rc;
    GetWindowRect(&rc);
    if (m_nWidth == 0)
        m_nWidth = rc.Width();
    if (m_nHeight == 0)
        m_nHeight = rc.Height();
    MoveWindow(rc.left + (rc.Width() - m_nWidth) / 2, rc.top + (rc.Height() - m_nHeight) / 2,
               m_nWidth, m_nHeight, FALSE);

    if (m_nDescription != 0 && pDescription != NULL) {
        CString strDescription;
        strDescription.LoadString(m_nDescription);
        pDescription->SetWindowText(strDescription);
    }
    SetWindowText(strTitle);
    if (m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->SetFocus();
    if (m_bModeless)
        ShowWindow(SW_SHOW);
    return FALSE;
}

void CRecordsetDlg::OnSize(UINT nType, int cx, int cy) {
    CToolBarDialog::OnSize(nType, cx, cy);
    m_sizeDialog.Resize(cx, cy);
}

void CRecordsetDlg::Close(int nResult) {
    if (m_bModeless) {
        CWnd* pFocus = m_pParentWnd;
        DestroyWindow(); // PostNcDestroy deletes this object: no member is read afterwards
        if (pFocus != NULL && pFocus->GetSafeHwnd() != NULL)
            pFocus->SetFocus();
    } else {
        EndDialog(nResult);
    }
}

void CRecordsetDlg::OnOk() {
    Close(IDOK);
}

void CRecordsetDlg::OnCancel() {
    Close(IDCANCEL);
}

void CRecordsetDlg::OnCloseCommand() {
    OnCancel();
}

void CRecordsetDlg::PostNcDestroy() {
    CWnd::PostNcDestroy();
    if (m_bModeless)
        delete this;
}

void CRecordsetDlg::SendToGrid(UINT nID) {
    if (m_pRecordsetCtrl != NULL && m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->SendMessage(WM_COMMAND, nID, 0);
}

void CRecordsetDlg::OnNew() {
    SendToGrid(ID_RECORD_NEW);
}

void CRecordsetDlg::OnOpen() {
    SendToGrid(ID_RECORD_OPEN);
}

void CRecordsetDlg::OnDelete() {
    SendToGrid(ID_RECORD_DELETE);
}

void CRecordsetDlg::OnPrint() {
    SendToGrid(ID_RECORD_PRINT);
}

// A modeless chooser closes as on OK: ending it as a modal one would only hide it, and the
// hidden window would keep its grid and document for the life of the program.
void CRecordsetDlg::OnChoose() {
    if (m_pRecordset != NULL && m_pRecordsetCtrl != NULL &&
        m_pRecordsetCtrl->GetCurrentRecord(m_pRecordset, FALSE, 0))
        Close(IDOK);
}
