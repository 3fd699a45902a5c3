// The browser's grid: the record commands New, Open, Delete and Print, which the library's grid
// leaves to its hosts, and the window's place kept with the grid's other settings.
#pragma once

#include <KelRSList.h>

#include <cstdio>
#include <string>
#include <vector>

class CBrowserCtrl : public CRecordsetCtrl {
    DECLARE_DYNCREATE(CBrowserCtrl)

public:
    // The rows of the window that hold a record, as a text table, columns in display order.
    void WriteRows(std::FILE* out) const;
    // Every row of the current view (its filter and order), at most nMax of them, as the grid
    // shows them: the shown columns' captions and each row's texts in display order. FALSE
    // (and a message) when the rows cannot be read; bMore tells whether rows were left out.
    BOOL ReadViewRows(int nMax, CStringArray& captions, std::vector<CStringArray>& rows,
                      BOOL& bMore, CString& strError) const;

    // The table New adds to ("" for a query: nothing to add to).
    static CString s_strTable;
    // Where Print writes its PDF files; Print writes the text of the rows instead when
    // s_bPrintText is set.
    static CString s_strPrintFolder;
    static BOOL s_bPrintText;

protected:
    // A form of the visible columns, filled from the current row for Open; TRUE and the
    // values typed on OK (for the current row, only those that were changed).
    BOOL RunForm(LPCTSTR lpszTitle, BOOL bFromCurrent, CStringArray& names, CStringArray& values);
    // Writes the form's values into the recordset's current (new or edited) record and
    // updates it; an empty value is NULL, or (bEmptyIsNull FALSE) left at the default.
    static BOOL WriteFields(CDaoRecordset& rs, const CStringArray& names,
                            const CStringArray& values, BOOL bEmptyIsNull);
    // The columns of the table's primary key that New must be given: none when the engine
    // numbers the records itself (one INTEGER key field, a counter).
    std::vector<int> TypedKeyColumns() const;
    void Reload();

    afx_msg void OnNew();
    afx_msg void OnOpen();
    afx_msg void OnDelete();
    afx_msg void OnPrint();
    void OnDestroy() override;
    DECLARE_MESSAGE_MAP()
};

// The window place kept under a settings key: "x y width height". FALSE when there is none or
// it is damaged.
BOOL ReadWindowPlace(const CString& strKey, CRect& rc);
void WriteWindowPlace(const CString& strKey, const CRect& rc);

// Lays the rows out on A4 landscape pages into a PDF file, the columns flagged in right flush
// right; the number of pages, 0 when the file could not be written.
int WritePdf(const std::string& path, const CString& strTitle, const CStringArray& captions,
             const std::vector<CStringArray>& rows, const CString& strNote,
             const std::vector<bool>& right = {});

// Sends a file to the default printer with lp when one is configured; TRUE when it was sent.
BOOL SendToPrinter(const std::string& path, std::string& strMessage);
