// In-place editing of a cell and access to the record under the cursor for the host.
#include "grid/RecordsetCtrl.h"

#include "companions/other/TranslateValue.h"
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

// Whether the engine can write field nField of the recordset.
BOOL FieldIsUpdatable(CDaoRecordset* pRecordset, int nField) {
    try {
        if (!pRecordset->CanUpdate())
            return FALSE;
        CDaoFieldInfo info;
        pRecordset->GetFieldInfo(nField, info);
        return (info.m_lAttributes & dbUpdatableField) != 0;
    } catch (CDaoException* e) {
        e->Delete();
        return FALSE;
    }
}

// Opens the caller's recordset through the document and starts its record (Edit, AddNew). A
// start the database refuses is shown and the recordset closed: the caller gets it back closed,
// never half-open in the wrong mode.
template <class Start>
BOOL ExtractAndStart(CRecordsetDoc* pDoc, CDaoRecordset* pRecordset, CString* pWhere, Start start) {
    if (!pDoc->ExtractRecordset(pRecordset, pWhere, dbOpenDynaset, 0))
        return FALSE;
    try {
        start();
    } catch (CDaoException* e) {
        kel::document::ReportDaoException(e);
        pRecordset->Close();
        return FALSE;
    }
    return TRUE;
}

} // namespace

BOOL CRecordsetCtrl::EditCurrentRecord(int nSlot, int nRow, CPoint* pPoint) {
    const int nItems = m_wndHeader.GetItemCount();
    if (nSlot < 0 || nSlot >= nItems || nRow < 0 || nRow >= m_nRows || m_pDoc == NULL ||
        m_pDoc->m_pRecordset == NULL || !RowHoldsRecord(nRow))
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
    // A field the engine cannot write (an expression, an auto-increment key, a read-only
    // source) gets no editor: whatever was typed there could only be refused.
    if (!FieldIsUpdatable(m_pDoc->m_pRecordset, m_arrayColumns[nColumn].m_nField))
        return FALSE;

    // One editor at a time: one still open ends first.
    EndPendingEdit();
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
    // The editor starts from the record as it is now, whole: the cell may show it cut short.
    CString strText;
    try {
        COleVariant var;
        m_pDoc->m_pRecordset->GetFieldValue(column.m_nField, var);
        TranslateValue(var, strText, LOWORD(column.m_nFormat));
    } catch (CDaoException* e) {
        e->Delete();
        if (nRow < m_arrayTable.GetSize() && nColumn < m_arrayTable[nRow].GetSize())
            strText = m_arrayTable[nRow][nColumn];
    }
    pEdit->SetWindowText(strText);
    // The edit writes to the column it was started on, and only what the user changed.
    m_hWndEditor = pEdit->GetSafeHwnd();
    m_nEditColumn = nColumn;
    m_strEditText = strText;

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

void CRecordsetCtrl::EndPendingEdit() {
    const HWND hEditor = m_hWndEditor;
    if (hEditor == NULL)
        return;
    if (!::IsWindow(hEditor) || ::GetParent(hEditor) != m_hWnd) {
        m_hWndEditor = NULL;
        return;
    }
    // As when the editor loses the focus: it hands its text over and goes.
    ::SendMessage(hEditor, WM_KILLFOCUS, reinterpret_cast<WPARAM>(m_hWnd), 0);
    if (m_hWndEditor == hEditor) {
        // An editor that took no notice (a host's own): abandon the edit rather than leave the
        // dynaset in edit mode under a reload.
        m_hWndEditor = NULL;
        OnKillEditCancel(0, 0);
    }
}

LRESULT CRecordsetCtrl::OnKillEdit(WPARAM wParam, LPARAM) {
    CWnd* pEdit = reinterpret_cast<CWnd*>(wParam);
    const int nEditColumn = m_nEditColumn;
    const CString strGiven = m_strEditText;
    m_hWndEditor = NULL;
    m_nEditColumn = -1;
    if (pEdit == NULL || m_pDoc == NULL || m_pDoc->m_pRecordset == NULL)
        return 0;
    CString strText;
    pEdit->GetWindowText(strText);

    // The column the edit was started on; an editor the grid did not start goes by the slot.
    int nColumn = nEditColumn;
    if (nColumn < 0) {
        int nWidth = 0;
        if (!SlotItem(m_wndHeader, m_nEditSlot, &nWidth, &nColumn))
            nColumn = -1;
    }
    if (nColumn < 0 || nColumn >= m_arrayColumns.GetSize()) {
        OnKillEditCancel(0, 0);
        return 0;
    }
    CDaoRecordset* pRecordset = m_pDoc->m_pRecordset;
    if (nEditColumn >= 0 && strText == strGiven) {
        // Untouched: the shown text may be rounded or shortened, and Null shows as nothing;
        // writing it back would change what nobody changed.
        OnKillEditCancel(0, 0);
        return 0;
    }
    const int nField = m_arrayColumns[nColumn].m_nField;
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
    m_hWndEditor = NULL;
    m_nEditColumn = -1;
    if (m_pDoc == NULL || m_pDoc->m_pRecordset == NULL)
        return 0;
    try {
        if (m_pDoc->m_pRecordset->GetEditMode() != dbEditNone)
            m_pDoc->m_pRecordset->CancelUpdate();
    } catch (CDaoException* e) {
        e->Delete();
    }
    return 0;
}

BOOL CRecordsetCtrl::GetRowBookmark(int nRow, COleVariant& varBookmark) {
    varBookmark.Clear();
    if (m_pDoc == NULL || !RowHoldsRecord(nRow))
        return FALSE;
    return m_pDoc->GetRowBookmark(&m_varFirst, &m_varLast, m_nRecordRows - 1, nRow, varBookmark);
}

BOOL CRecordsetCtrl::GetCurrentRecord(CDaoRecordset* pRecordset, BOOL bEdit, int nLockingMode) {
    BeginWaitCursor();
    if (pRecordset == NULL || m_arrayTable.GetSize() == 0 || m_pDoc == NULL || !m_pDoc->IsOpen() ||
        !RowHoldsRecord(m_nCursor)) {
        EndWaitCursor();
        return FALSE;
    }
    // Whatever is being typed into the record goes in before the record is handed over.
    EndPendingEdit();

    // The record under the cursor by its bookmark, named by its stored key: two rows that
    // read alike are still two records.
    COleVariant varBookmark;
    CString strWhere;
    BOOL bDeleted = FALSE;
    if (!GetRowBookmark(m_nCursor, varBookmark) ||
        !m_pDoc->GetRecordWhere(varBookmark, strWhere, &bDeleted)) {
        if (bDeleted)
            AfxMessageBox(IDS_RSC_RECORDDELETED, MB_OK, (UINT)-1);
        EndWaitCursor();
        return FALSE;
    }

    const BOOL bOk = ExtractAndStart(m_pDoc, pRecordset, &strWhere, [&] {
        if (bEdit) {
            pRecordset->SetLockingMode(nLockingMode);
            pRecordset->Edit();
        }
    });
    EndWaitCursor();
    return bOk;
}

BOOL CRecordsetCtrl::AddRecord(CDaoRecordset* pRecordset) {
    if (pRecordset == NULL || m_pDoc == NULL)
        return FALSE;
    BeginWaitCursor();
    const BOOL bOk = ExtractAndStart(m_pDoc, pRecordset, NULL, [&] { pRecordset->AddNew(); });
    EndWaitCursor();
    return bOk;
}
