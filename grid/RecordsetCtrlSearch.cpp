// The search bar of the view host: its selectors, the controls shown for the chosen column and
// operator, "Search", "All" and the advanced search dialog.
#include "grid/RecordsetCtrl.h"

#include "companions/controls/FillComboBox.h"
#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"
#include "grid/AdvSearchDlg.h"

namespace {

// The host gives its selectors combo-box objects of their own; a plain window is no selector.
CComboBox* Combo(CDialogBar* pBar, UINT nID) {
    return DYNAMIC_DOWNCAST(CComboBox, pBar->GetDlgItem(nID));
}

void Show(CDialogBar* pBar, UINT nID, BOOL bShow) {
    if (CWnd* pWnd = pBar->GetDlgItem(nID))
        pWnd->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

// Item data of the current entry; -1 when nothing is selected.
int CurrentData(CComboBox* pCombo) {
    if (pCombo == NULL)
        return -1;
    const int nSel = pCombo->GetCurSel();
    return nSel == CB_ERR ? -1 : (int)pCombo->GetItemData(nSel);
}

void AttachDate(CDateEdit& edit, CDialogBar* pBar, UINT nID) {
    if (edit.GetSafeHwnd() == NULL)
        edit.SubclassDlgItem(nID, pBar);
}

void DetachDate(CDateEdit& edit) {
    if (edit.GetSafeHwnd() != NULL)
        edit.UnsubclassWindow();
}

} // namespace

void CRecordsetCtrl::InitDialogBar() {
    if (!m_bInView)
        return;
    CDialogBar* pBar = GetHostSearchBar();
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL)
        return;
    if (!m_strRegistryKey.IsEmpty()) {
        CRegistry reg(AppRegistryRoot, AppRegistryPath + m_strRegistryKey);
        reg.Read("SearchCol", m_nSearchCol, m_nSearchCol);
        reg.Read("SearchOp", m_nSearchOp, m_nSearchOp);
    }
    CComboBox* pColumns = Combo(pBar, IDC_SB_COLUMN);
    CComboBox* pOperators = Combo(pBar, IDC_SB_OPERATOR);
    if (pColumns == NULL || pOperators == NULL)
        return;
    // A repeated full load lists every column once.
    pColumns->ResetContent();
    CString strText;
    strText.LoadString(IDS_RSC_ADVSEARCH);
    pColumns->SetItemData(pColumns->AddString(strText), (DWORD_PTR)-2);
    for (int i = 0; i < m_arrayColumns.GetSize(); ++i) {
        if (m_arrayColumns[i].m_nWidth != 0)
            pColumns->SetItemData(pColumns->AddString(m_arrayColumns[i].m_strCaption),
                                  (DWORD_PTR)i);
    }
    pColumns->SetCurSel(m_nSearchCol);
    strText.LoadString(IDS_RSC_OPERATORS);
    FillComboBox(pOperators, strText, FCB_RESETCONTENT, '~');
    pOperators->SetCurSel(m_nSearchOp);
    OnSelendokDialogBar();
}

void CRecordsetCtrl::OnSelendokDialogBar() {
    CDialogBar* pBar = GetHostSearchBar();
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL)
        return;
    CComboBox* pColumns = Combo(pBar, IDC_SB_COLUMN);
    CComboBox* pOperators = Combo(pBar, IDC_SB_OPERATOR);
    if (pColumns == NULL || pOperators == NULL)
        return;
    m_nSearchOp = pOperators->GetCurSel();
    const int nOperator = CurrentData(pOperators);
    m_nSearchCol = pColumns->GetCurSel();
    const int nColumn = CurrentData(pColumns);

    if (nColumn == -2) {
        Show(pBar, IDC_SB_OPERATOR, FALSE);
        Show(pBar, IDC_SB_CRITERIA, FALSE);
        Show(pBar, IDC_SB_FROM, FALSE);
        Show(pBar, IDC_SB_TO, FALSE);
        Show(pBar, IDC_SB_AND, FALSE);
        Show(pBar, IDC_SB_CONFIG, TRUE);
        return;
    }
    const BOOL bBetween = nOperator == 1;
    Show(pBar, IDC_SB_OPERATOR, TRUE);
    Show(pBar, IDC_SB_CRITERIA, !bBetween);
    Show(pBar, IDC_SB_FROM, bBetween);
    Show(pBar, IDC_SB_TO, bBetween);
    Show(pBar, IDC_SB_AND, bBetween);
    Show(pBar, IDC_SB_CONFIG, FALSE);

    // No column selected (the all-columns search) names no column record: plain edits.
    const BOOL bDate = nColumn >= 0 && nColumn < m_arrayColumns.GetSize() &&
                       m_arrayColumns[nColumn].m_nType == dbDate;
    if (!bBetween) {
        if (bDate)
            AttachDate(m_dateEdit[0], pBar, IDC_SB_CRITERIA);
        else
            DetachDate(m_dateEdit[0]);
    } else if (bDate) {
        AttachDate(m_dateEdit[1], pBar, IDC_SB_FROM);
        AttachDate(m_dateEdit[2], pBar, IDC_SB_TO);
    } else {
        DetachDate(m_dateEdit[1]);
        DetachDate(m_dateEdit[2]);
    }
}

void CRecordsetCtrl::DetachDateEditors() {
    for (CDateEdit& edit : m_dateEdit)
        DetachDate(edit);
}

BOOL CRecordsetCtrl::BuildSearchFilter(CString& strFilter, CString& strError) {
    strFilter.Empty();
    strError.Empty();
    CDialogBar* pBar = GetHostSearchBar();
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL)
        return BuildAdvancedFilter(strFilter, strError);
    const int nColumn = CurrentData(Combo(pBar, IDC_SB_COLUMN));
    const int nOperator = CurrentData(Combo(pBar, IDC_SB_OPERATOR));
    CString strCriteria, strFrom, strTo;
    pBar->GetDlgItemText(IDC_SB_CRITERIA, strCriteria);
    pBar->GetDlgItemText(IDC_SB_FROM, strFrom);
    pBar->GetDlgItemText(IDC_SB_TO, strTo);
    if (nColumn >= 0)
        return BuildFilter(nColumn, nOperator, strCriteria, strFrom, strTo, strFilter, strError);
    if (nColumn == -1)
        return BuildAllColumnsFilter(nOperator, strCriteria, strFilter, strError);
    return BuildAdvancedFilter(strFilter, strError);
}

void CRecordsetCtrl::OnView() {
    if (m_pDoc == NULL)
        return;
    BeginWaitCursor();
    CString strFilter, strError;
    if (!BuildSearchFilter(strFilter, strError)) {
        // Refused before the database: the filter in force stays.
        EndWaitCursor();
        AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_pDoc->SetFilter(0, strFilter);
    SendMessage(WM_RSC_RELOAD, 0, 0);
    SetFocus();
    EndWaitCursor();
}

void CRecordsetCtrl::OnAll() {
    if (m_pDoc == NULL)
        return;
    BeginWaitCursor();
    m_pDoc->SetFilter(0, "");
    m_pDoc->SetFilter(1, "");
    SendMessage(WM_RSC_RELOAD, 0, 0);
    SetFocus();
    EndWaitCursor();
}

void CRecordsetCtrl::OnUpdateView(CCmdUI* pCmdUI) {
    CDialogBar* pBar = GetHostSearchBar();
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL) {
        pCmdUI->Enable(TRUE);
        return;
    }
    const int nColumn = CurrentData(Combo(pBar, IDC_SB_COLUMN));
    if (nColumn == -2) {
        pCmdUI->Enable(m_arrayAdvSearch.GetSize() > 0);
        return;
    }
    if (CurrentData(Combo(pBar, IDC_SB_OPERATOR)) == 1) {
        CString strFrom, strTo;
        pBar->GetDlgItemText(IDC_SB_FROM, strFrom);
        if (!strFrom.IsEmpty())
            pBar->GetDlgItemText(IDC_SB_TO, strTo);
        pCmdUI->Enable(!strFrom.IsEmpty() && !strTo.IsEmpty());
        return;
    }
    pCmdUI->Enable(TRUE);
}

void CRecordsetCtrl::OnUpdateAll(CCmdUI* pCmdUI) {
    BOOL bFiltered = FALSE;
    if (m_pDoc != NULL) {
        CStringArray* pFilters = m_pDoc->GetArrayFilter();
        bFiltered = pFilters != NULL && pFilters->GetSize() > 1 &&
                    (!pFilters->GetAt(0).IsEmpty() || !pFilters->GetAt(1).IsEmpty());
    }
    pCmdUI->Enable(bFiltered);
}

void CRecordsetCtrl::OnConfigSearch() {
    CAdvSearchDlg dlg(NULL);
    dlg.m_pRecordsetCtrl = this;
    dlg.m_pArrayAdvSearch = &m_arrayAdvSearch;
    dlg.m_pnAdvSearchOr = &m_nAdvSearchOr;
    if (dlg.DoModal() == IDOK)
        OnView();
}
