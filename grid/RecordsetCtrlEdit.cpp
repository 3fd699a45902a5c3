// In-place editing of a cell and access to the record under the cursor for the host.
#include "grid/RecordsetCtrl.h"

#include "document/DaoErrorReport.h"

namespace {

// Width and item data of the header item at display position nSlot.
BOOL SlotItem(const CExHeaderCtrl& header, int nSlot, int* pnWidth, int* pnColumn) {
    HDITEM hdi{};
    hdi.mask = HDI_WIDTH | HDI_LPARAM;
    if (!header.GetItem(header.OrderToIndex(nSlot), &hdi))
        return FALSE;
    *pnWidth = hdi.cxy;
    *pnColumn = (int)hdi.lParam;
    return TRUE;
}

// The text between double quotes, inner double quotes doubled as the SQL dialect wants.
CString QuotedText(const CString& str) {
    CString strQuoted = str;
    strQuoted.Replace("\"", "\"\"");
    return "\"" + strQuoted + "\"";
}

} // namespace

BOOL CRecordsetCtrl::EditCurrentRecord(int nSlot, int nRow, CPoint* pPoint) {
    const int nItems = m_wndHeader.GetItemCount();
    if (nSlot < 0 || nSlot >= nItems || nRow < 0 || nRow >= m_nRows || m_pDoc == NULL)
        return FALSE;
    // A slot scrolled out of view (left of the first visible one) has no cell on screen:
    // the edit is refused before the dynaset enters edit mode.
    const int nFirst = m_wndHScroll.GetScrollPos();
    if (nSlot < nFirst)
        return FALSE;

    CRect rcGrid;
    GetClientRect(&rcGrid);
    int x = rcGrid.left, nLeft = rcGrid.left, nColumn = -1;
    for (int nPos = nFirst; nPos <= nSlot; ++nPos) {
        int nWidth = 0;
        if (!SlotItem(m_wndHeader, nPos, &nWidth, &nColumn))
            return FALSE;
        nLeft = x;
        x += nWidth;
    }
    if (nColumn < 0 || nColumn >= m_arrayColumns.GetSize())
        return FALSE;

    if (!m_pDoc->EditCurrentRecord(nRow, &m_varFirst))
        return FALSE;

    const CColumnDetails& column = m_arrayColumns[nColumn];
    const int nTop = rcGrid.top + (m_nCharHeight + 2) * nRow;
    const CRect rcEdit(nLeft, nTop, x - 1, nTop + m_nCharHeight + 1);
    DWORD dwStyle = WS_CHILD | ES_AUTOHSCROLL;
    if (column.m_nAlign == 1)
        dwStyle |= ES_CENTER;
    else if (column.m_nAlign == 2)
        dwStyle |= ES_RIGHT;

    // The editor deletes itself once it has told the grid how the edit ended.
    auto* pEdit = new CKillEdit;
    if (!pEdit->Create(dwStyle, rcEdit, this, 0)) {
        delete pEdit;
        OnKillEditCancel(0, 0);
        return FALSE;
    }
    pEdit->SendMessage(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), TRUE);
    pEdit->SetTextColor(column.m_crText);
    pEdit->SetBkColor(column.m_crBack);
    CString strText;
    if (nRow < m_arrayTable.GetSize() && nColumn < m_arrayTable[nRow].GetSize())
        strText = m_arrayTable[nRow][nColumn];
    pEdit->SetWindowText(strText);

    if (BeforeEdit(pEdit, pPoint))
        return TRUE;

    pEdit->ShowWindow(SW_SHOW);
    pEdit->SetFocus();
    if (pPoint != NULL) {
        MapWindowPoints(pEdit, pPoint, 1);
        const LPARAM lPoint = MAKELPARAM(pPoint->x, pPoint->y);
        pEdit->PostMessage(WM_LBUTTONDOWN, 0, lPoint);
        pEdit->PostMessage(WM_LBUTTONUP, 0, lPoint);
    } else {
        pEdit->SendMessage(EM_SETSEL, 0, -1);
        pEdit->SendMessage(EM_SCROLLCARET, 0, 0);
    }
    return TRUE;
}

BOOL CRecordsetCtrl::BeforeEdit(CKillEdit*, CPoint*) {
    return FALSE;
}

LRESULT CRecordsetCtrl::OnKillEdit(WPARAM wParam, LPARAM) {
    CWnd* pEdit = reinterpret_cast<CWnd*>(wParam);
    if (pEdit == NULL || m_pDoc == NULL || m_pDoc->m_pRecordset == NULL)
        return 0;
    CString strText;
    pEdit->GetWindowText(strText);

    int nWidth = 0, nColumn = -1;
    if (!SlotItem(m_wndHeader, m_nEditSlot, &nWidth, &nColumn) || nColumn < 0 ||
        nColumn >= m_arrayColumns.GetSize()) {
        OnKillEditCancel(0, 0);
        return 0;
    }
    const int nField = m_arrayColumns[nColumn].m_nField;
    CDaoRecordset* pRecordset = m_pDoc->m_pRecordset;
    try {
        if (strText.IsEmpty()) {
            pRecordset->SetFieldValueNull(nField);
        } else {
            COleVariant var(strText, VT_BSTRT);
            pRecordset->SetFieldValue(nField, var);
            var.Clear();
        }
        pRecordset->Update();
    } catch (CDaoException* e) {
        // A value the database refuses: say why, and leave nothing half-written behind.
        kel::document::ReportDaoException(e);
        try {
            pRecordset->CancelUpdate();
        } catch (CDaoException* e2) {
            e2->Delete();
        }
    }
    GetTable(&m_arrayTable, &m_arrayColumns, CRecordsetDoc::gtRefresh, m_nRows, &m_varFirst,
             &m_varLast, &m_nTableRows);
    InvalidateRect(NULL, TRUE);
    return 0;
}

LRESULT CRecordsetCtrl::OnKillEditCancel(WPARAM, LPARAM) {
    if (m_pDoc == NULL || m_pDoc->m_pRecordset == NULL)
        return 0;
    try {
        m_pDoc->m_pRecordset->CancelUpdate();
    } catch (CDaoException* e) {
        e->Delete();
    }
    return 0;
}

BOOL CRecordsetCtrl::GetCurrentRecord(CDaoRecordset* pRecordset, BOOL bEdit, int nLockingMode) {
    BeginWaitCursor();
    if (pRecordset == NULL || m_arrayTable.GetSize() == 0 || m_pDoc == NULL || !m_pDoc->IsOpen() ||
        m_nCursor < 0 || m_nCursor >= m_arrayTable.GetSize() || m_nKeyColumn < 0 ||
        m_nKeyColumn >= m_arrayColumns.GetSize() ||
        m_nKeyColumn >= m_arrayTable[m_nCursor].GetSize()) {
        EndWaitCursor();
        return FALSE;
    }
    const CString strKey = m_arrayTable[m_nCursor][m_nKeyColumn];
    if (strKey == m_strDeleted) {
        AfxMessageBox(IDS_RSC_RECORDDELETED, MB_OK, (UINT)-1);
        EndWaitCursor();
        return FALSE;
    }
    // A blank row past the end of the data stands for no record.
    if (strKey.IsEmpty()) {
        EndWaitCursor();
        return FALSE;
    }

    const CColumnDetails& key = m_arrayColumns[m_nKeyColumn];
    CString strWhere = "WHERE " + key.m_strName + "= ";
    switch (key.m_nType) {
    case dbDate: {
        COleDateTime date;
        date.ParseDateTime(strKey, VAR_DATEVALUEONLY, LANG_USER_DEFAULT);
        strWhere += "#" + date.Format("%m/%d/%Y") + "#";
        break;
    }
    case dbText:
    case dbMemo:
        strWhere += QuotedText(strKey);
        break;
    default:
        strWhere += strKey;
        break;
    }

    if (!m_pDoc->ExtractRecordset(pRecordset, &strWhere, dbOpenDynaset, 0)) {
        EndWaitCursor();
        return FALSE;
    }
    if (bEdit) {
        try {
            pRecordset->SetLockingMode(nLockingMode);
            pRecordset->Edit();
        } catch (CDaoException* e) {
            kel::document::ReportDaoException(e);
            pRecordset->Close();
            EndWaitCursor();
            return FALSE;
        }
    }
    EndWaitCursor();
    return TRUE;
}

BOOL CRecordsetCtrl::AddRecord(CDaoRecordset* pRecordset) {
    if (pRecordset == NULL || m_pDoc == NULL)
        return FALSE;
    BeginWaitCursor();
    if (!m_pDoc->ExtractRecordset(pRecordset, NULL, dbOpenDynaset, 0)) {
        EndWaitCursor();
        return FALSE;
    }
    try {
        pRecordset->AddNew();
    } catch (CDaoException* e) {
        kel::document::ReportDaoException(e);
        pRecordset->Close();
        EndWaitCursor();
        return FALSE;
    }
    EndWaitCursor();
    return TRUE;
}
