// The browser's grid: the record commands New, Open, Delete and Print, which the library's grid
// leaves to its hosts.
#pragma once

#include <KelRSList.h>

#include <cstdio>

class CBrowserCtrl : public CRecordsetCtrl {
    DECLARE_DYNCREATE(CBrowserCtrl)

public:
    // The rows of the window that hold a record, as a text table, columns in display order.
    void WriteRows(std::FILE* out) const;
    // The table New adds to ("" for a query: nothing to add to).
    static CString s_strTable;

protected:
    // A form of the visible columns, filled from the current row for Open; TRUE and the
    // values typed on OK (for the current row, only those that were changed).
    BOOL RunForm(LPCTSTR lpszTitle, BOOL bFromCurrent, CStringArray& names, CStringArray& values);
    // Writes the form's values into the recordset's current (new or edited) record and
    // updates it; an empty value is NULL, or (bEmptyIsNull FALSE) left at the default.
    static BOOL WriteFields(CDaoRecordset& rs, const CStringArray& names,
                            const CStringArray& values, BOOL bEmptyIsNull);
    void Reload();

    afx_msg void OnNew();
    afx_msg void OnOpen();
    afx_msg void OnDelete();
    afx_msg void OnPrint();
    DECLARE_MESSAGE_MAP()
};
