#include "BrowserCtrl.h"

#include "TextTable.h"

#include "platform/win/DialogTemplate.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNCREATE(CBrowserCtrl, CRecordsetCtrl)

BEGIN_MESSAGE_MAP(CBrowserCtrl, CRecordsetCtrl)
ON_COMMAND(ID_RECORD_NEW, OnNew)
ON_COMMAND(ID_RECORD_OPEN, OnOpen)
ON_COMMAND(ID_RECORD_DELETE, OnDelete)
ON_COMMAND(ID_RECORD_PRINT, OnPrint)
END_MESSAGE_MAP()

CString CBrowserCtrl::s_strTable;

namespace {

constexpr int IDC_FORM_FIRST = 1000;

// The visible columns' indices in display order.
std::vector<int> ShownColumns(const CRecordsetCtrl::CColumnArray& columns) {
    std::vector<int> shown;
    for (int i = 0; i < columns.GetSize(); ++i) {
        if (columns[i].m_bVisible && columns[i].m_nWidth > 0)
            shown.push_back(i);
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [&](int a, int b) { return columns[a].m_nOrder < columns[b].m_nOrder; });
    return shown;
}

// The record form: a label and an edit per field.
class CRecordForm : public CDialog {
public:
    CStringArray m_names;
    CStringArray m_values;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int i = 0; i < m_values.GetSize(); ++i)
            SetDlgItemText(IDC_FORM_FIRST + i, m_values[i]);
        return TRUE;
    }
    void OnOK() override {
        for (int i = 0; i < m_values.GetSize(); ++i)
            GetDlgItemText(IDC_FORM_FIRST + i, m_values[i]);
        CDialog::OnOK();
    }
};

} // namespace

void CBrowserCtrl::WriteRows(std::FILE* out) const {
    CArray<TextColumn, TextColumn&> text;
    CArray<CStringArray, CStringArray> rows;
    const std::vector<int> shown = ShownColumns(m_arrayColumns);
    for (int c : shown) {
        const CColumnDetails& col = m_arrayColumns[c];
        TextColumn t;
        t.strCaption = col.m_strCaption.IsEmpty() ? col.m_strName : col.m_strCaption;
        t.nWidth = std::clamp(col.m_nWidth, t.strCaption.GetLength(), 28);
        t.bRight = col.m_nAlign == 1 || col.m_nAlign == 2; // right or centred numbers
        text.Add(t);
    }
    for (int r = 0; r < m_arrayTable.GetSize(); ++r) {
        const CStringArray& row = m_arrayTable[r];
        if (m_nKeyColumn >= 0 && (m_nKeyColumn >= row.GetSize() || row[m_nKeyColumn].IsEmpty()))
            continue; // blank rows past the end of the data
        CStringArray line;
        for (int c : shown)
            line.Add(c < row.GetSize() ? row[c] : CString());
        rows.Add(line);
    }
    PrintTable(out, text, rows, static_cast<int>(rows.GetSize()));
    std::fflush(out);
}

BOOL CBrowserCtrl::RunForm(LPCTSTR lpszTitle, BOOL bFromCurrent, CStringArray& names,
                           CStringArray& values) {
    const std::vector<int> shown = ShownColumns(m_arrayColumns);
    CRecordForm form;
    KelDialogTemplate tmpl(lpszTitle, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 220,
                           30 + 16 * static_cast<int>(shown.size()), {});
    int y = 7;
    for (size_t i = 0; i < shown.size(); ++i, y += 16) {
        const CColumnDetails& col = m_arrayColumns[shown[i]];
        tmpl.items.push_back(KelDialogItem::LText(col.m_strName, -1, 7, y + 2, 60, 10));
        DWORD dwStyle = ES_AUTOHSCROLL;
        if (col.m_bKey)
            dwStyle |= ES_READONLY; // the key is the database's to give
        tmpl.items.push_back(
            KelDialogItem::EditText(IDC_FORM_FIRST + static_cast<int>(i), 70, y, 143, 13, dwStyle));
        form.m_names.Add(col.m_strName);
        CString strValue;
        if (bFromCurrent && m_nCursor >= 0 && m_nCursor < m_arrayTable.GetSize() &&
            shown[i] < m_arrayTable[m_nCursor].GetSize())
            strValue = m_arrayTable[m_nCursor][shown[i]];
        form.m_values.Add(strValue);
    }
    tmpl.items.push_back(KelDialogItem::DefPushButton("OK", IDOK, 110, y + 4, 50, 14));
    tmpl.items.push_back(KelDialogItem::PushButton("Cancel", IDCANCEL, 163, y + 4, 50, 14));
    tmpl.cy = y + 24;
    // The key is shown, not written. From the current record only what was changed goes back:
    // the form shows values as the grid formats them (rounded, shortened), and writing those
    // would change fields nobody touched.
    CStringArray initial;
    initial.Copy(form.m_values);
    if (!form.InitModalIndirect(&tmpl, this) || form.DoModal() != IDOK)
        return FALSE;
    names.RemoveAll();
    values.RemoveAll();
    for (size_t i = 0; i < shown.size(); ++i) {
        if (bFromCurrent && form.m_values[i] == initial[i])
            continue;
        if (!m_arrayColumns[shown[i]].m_bKey) {
            names.Add(form.m_names[i]);
            values.Add(form.m_values[i]);
        }
    }
    return TRUE;
}

BOOL CBrowserCtrl::WriteFields(CDaoRecordset& rs, const CStringArray& names,
                               const CStringArray& values, BOOL bEmptyIsNull) {
    try {
        for (int i = 0; i < names.GetSize(); ++i) {
            CDaoFieldInfo info;
            rs.GetFieldInfo(names[i], info);
            if (info.m_lAttributes & dbAutoIncrField)
                continue;
            if (values[i].IsEmpty() && !bEmptyIsNull)
                continue; // a new record keeps the field's default
            if (values[i].IsEmpty())
                rs.SetFieldValueNull(names[i]);
            else
                rs.SetFieldValue(names[i], values[i]);
        }
        rs.Update();
    } catch (CDaoException* e) {
        CString strError = e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription : CString("error");
        e->Delete();
        try {
            rs.CancelUpdate(); // the record being written is dropped, the table unchanged
        } catch (CDaoException* e2) {
            e2->Delete();
        }
        AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

void CBrowserCtrl::Reload() {
    SendMessage(WM_RSC_RELOAD, 0, 0);
}

void CBrowserCtrl::OnNew() {
    if (s_strTable.IsEmpty() || m_pDoc == NULL) {
        AfxMessageBox("A query has no table to add a record to.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    CStringArray names, values;
    if (!RunForm("New record", FALSE, names, values))
        return;
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    if (AddRecord(&rs) && WriteFields(rs, names, values, FALSE))
        Reload();
    if (rs.IsOpen())
        rs.Close();
}

void CBrowserCtrl::OnOpen() {
    if (m_pDoc == NULL)
        return;
    CStringArray names, values;
    if (!RunForm("Record", TRUE, names, values) || names.IsEmpty())
        return;
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    if (GetCurrentRecord(&rs, TRUE, dbOptimistic) && WriteFields(rs, names, values, TRUE))
        SendMessage(WM_RSC_REFRESH, 0, 0);
    if (rs.IsOpen())
        rs.Close();
}

void CBrowserCtrl::OnDelete() {
    if (m_pDoc == NULL ||
        AfxMessageBox("Delete the current record?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    if (GetCurrentRecord(&rs, FALSE, 0)) {
        try {
            rs.Delete();
        } catch (CDaoException* e) {
            CString strError =
                e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription : CString("error");
            e->Delete();
            AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        }
        rs.Close();
        Reload();
    }
}

void CBrowserCtrl::OnPrint() {
    WriteRows(stdout);
}
