#include "grid/AdvSearchDlg.h"

#include "companions/controls/FillComboBox.h"
#include "companions/other/Pause.h"
#include "grid/RecordsetCtrl.h"

BEGIN_MESSAGE_MAP(CAdvSearchDlg, CDialog)
ON_BN_CLICKED(IDC_AS_CLEAR, OnClearsearch)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 0, OnSelendokCol1)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 3, OnSelendokCol2)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 6, OnSelendokCol3)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 9, OnSelendokCol4)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 12, OnSelendokCol5)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 15, OnSelendokCol6)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 18, OnSelendokCol7)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 21, OnSelendokCol8)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 24, OnSelendokCol9)
ON_CBN_SELENDOK(IDC_AS_FIRSTCOL + 27, OnSelendokCol10)
END_MESSAGE_MAP()

CAdvSearchDlg::CAdvSearchDlg(CWnd* pParent)
    : CDialog(IDD_RSC_ADVSEARCH, pParent), m_pRecordsetCtrl(NULL), m_pArrayAdvSearch(NULL),
      m_pnAdvSearchOr(NULL), m_pDateEdit{} {}

CAdvSearchDlg::~CAdvSearchDlg() {
    for (CDateEdit*& pEdit : m_pDateEdit) {
        delete pEdit;
        pEdit = NULL;
    }
}

BOOL CAdvSearchDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int nRow = 0; nRow < kRows; ++nRow) {
        m_comboRows[nRow][0].SubclassDlgItem(ColumnID(nRow), this);
        m_comboRows[nRow][1].SubclassDlgItem(OperatorID(nRow), this);
    }
    CString strOperators;
    strOperators.LoadString(IDS_RSC_ADVOPERATORS);
    const int nCount = m_pArrayAdvSearch ? (int)m_pArrayAdvSearch->GetSize() : 0;
    const int nSplit = m_pnAdvSearchOr ? *m_pnAdvSearchOr : 0;
    int k = 0;
    for (int nRow = 0; nRow < kRows; ++nRow) {
        CComboBox* pColumns = Combo(ColumnID(nRow));
        CComboBox* pOperators = Combo(OperatorID(nRow));
        if (pColumns == NULL || pOperators == NULL)
            continue;
        pColumns->SetItemData(pColumns->AddString(""), (DWORD_PTR)-2);
        if (m_pRecordsetCtrl != NULL) {
            const CRecordsetCtrl::CColumnArray& columns = m_pRecordsetCtrl->m_arrayColumns;
            for (int i = 0; i < columns.GetSize(); ++i) {
                if (columns[i].m_nWidth != 0)
                    pColumns->SetItemData(pColumns->AddString(columns[i].m_strCaption),
                                          (DWORD_PTR)i);
            }
        }
        FillComboBox(pOperators, strOperators, FCB_RESETCONTENT, '~');

        // Each group's criteria fill the top rows of the group, in their stored order.
        const BOOL bSecond = nRow >= kGroupRows;
        if (k >= nCount) {
            pColumns->SetCurSel(0);
            pOperators->SetCurSel(0);
        } else if (bSecond == (k >= nSplit)) {
            const CAdvSearch& crit = m_pArrayAdvSearch->GetAt(k);
            pColumns->SetCurSel(crit.m_nColumnSel);
            pOperators->SetCurSel(crit.m_nOperatorSel);
            SetDlgItemText(CriteriaID(nRow), crit.m_strCriteria);
            ++k;
        }
    }
    return TRUE;
}

void CAdvSearchDlg::OnSelendokCol(int nRow) {
    CComboBox* pColumns = Combo(ColumnID(nRow));
    if (pColumns == NULL || m_pRecordsetCtrl == NULL)
        return;
    const int nSel = pColumns->GetCurSel();
    if (nSel == CB_ERR)
        return;
    const int nColumn = (int)pColumns->GetItemData(nSel);
    const CRecordsetCtrl::CColumnArray& columns = m_pRecordsetCtrl->m_arrayColumns;
    CDateEdit*& pEdit = m_pDateEdit[nRow];
    if (nColumn >= 0 && nColumn < columns.GetSize() && columns[nColumn].m_nType == dbDate) {
        if (pEdit == NULL)
            pEdit = new CDateEdit;
        if (pEdit->GetSafeHwnd() == NULL)
            pEdit->SubclassDlgItem(CriteriaID(nRow), this);
    } else if (pEdit != NULL && pEdit->GetSafeHwnd() != NULL) {
        pEdit->UnsubclassWindow();
    }
}

void CAdvSearchDlg::OnSelendokCol1() {
    OnSelendokCol(0);
}
void CAdvSearchDlg::OnSelendokCol2() {
    OnSelendokCol(1);
}
void CAdvSearchDlg::OnSelendokCol3() {
    OnSelendokCol(2);
}
void CAdvSearchDlg::OnSelendokCol4() {
    OnSelendokCol(3);
}
void CAdvSearchDlg::OnSelendokCol5() {
    OnSelendokCol(4);
}
void CAdvSearchDlg::OnSelendokCol6() {
    OnSelendokCol(5);
}
void CAdvSearchDlg::OnSelendokCol7() {
    OnSelendokCol(6);
}
void CAdvSearchDlg::OnSelendokCol8() {
    OnSelendokCol(7);
}
void CAdvSearchDlg::OnSelendokCol9() {
    OnSelendokCol(8);
}
void CAdvSearchDlg::OnSelendokCol10() {
    OnSelendokCol(9);
}

void CAdvSearchDlg::OnClearsearch() {
    for (int nRow = 0; nRow < kRows; ++nRow) {
        if (CComboBox* pColumns = Combo(ColumnID(nRow)))
            pColumns->SetCurSel(0);
        if (CComboBox* pOperators = Combo(OperatorID(nRow)))
            pOperators->SetCurSel(0);
        SetDlgItemText(CriteriaID(nRow), "");
    }
}

void CAdvSearchDlg::OnOK() {
    if (m_pArrayAdvSearch == NULL || m_pnAdvSearchOr == NULL) {
        CDialog::OnOK();
        return;
    }
    *m_pnAdvSearchOr = -1;
    m_pArrayAdvSearch->RemoveAll();
    m_pArrayAdvSearch->FreeExtra();
    for (int nRow = 0; nRow < kRows; ++nRow) {
        CComboBox* pColumns = Combo(ColumnID(nRow));
        CComboBox* pOperators = Combo(OperatorID(nRow));
        if (pColumns == NULL || pOperators == NULL)
            continue;
        const int nColumnSel = pColumns->GetCurSel();
        const int nOperatorSel = pOperators->GetCurSel();
        int nColumn = nColumnSel == CB_ERR ? -2 : (int)pColumns->GetItemData(nColumnSel);
        if (nColumn == CB_ERR)
            nColumn = -2;
        const int nOperator =
            nOperatorSel == CB_ERR ? -2 : (int)pOperators->GetItemData(nOperatorSel);
        if (nColumn == -2 || nOperator == -2)
            continue;
        CAdvSearch crit;
        crit.m_nColumnSel = nColumnSel;
        crit.m_nOperatorSel = nOperatorSel;
        crit.m_nColumn = nColumn;
        crit.m_nOperator = nOperator;
        GetDlgItemText(CriteriaID(nRow), crit.m_strCriteria);
        const int nIndex = (int)m_pArrayAdvSearch->Add(crit);
        if (nRow >= kGroupRows && *m_pnAdvSearchOr == -1)
            *m_pnAdvSearchOr = nIndex;
    }
    if (*m_pnAdvSearchOr == -1)
        *m_pnAdvSearchOr = (int)m_pArrayAdvSearch->GetSize();
    pause(*m_pnAdvSearchOr);
    pause((int)m_pArrayAdvSearch->GetSize());
    CDialog::OnOK();
}
