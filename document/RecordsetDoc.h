// CRecordsetDoc: all data access of a grid. It binds a database (its own or a borrowed
// one), composes the statement from the SELECT text, four filter slots and the order, keeps
// one dynaset over it, and fills windows of rows as text between two bookmarks.
//
// Database errors never leave the document: the first error's description is shown in an
// OK box, the exception is released and the operation returns its failure value.
#pragma once

#include "afxwin.h"
#include "afxdao.h"
#include "afxtempl.h"
#include "records/ColumnDetails.h"
#include "records/RecordsetLoad.h"

class AFX_EXT_CLASS CRecordsetDoc : public CDocument {
    DECLARE_DYNCREATE(CRecordsetDoc)

public:
    enum TableStatus { tsEmpty, tsFailed, tsTop, tsBottom, tsRestarted, tsOk };
    enum {
        gtFirst = 0,
        gtLineUp = 2,
        gtPageUp,
        gtLineDown,
        gtPageDown,
        gtRefresh,
        gtAbsolute = 7, // + the 0-based record number
        // - (k - 1): the window whose first row is the k-th record from the end, reached
        // without counting the records (-1 and 1 stay the first page)
        gtFromEnd = -2
    };

    CRecordsetDoc();
    ~CRecordsetDoc() override;

    // Binding.
    void SetDatabase(LPCTSTR lpszName);
    void SetDatabase(CDaoDatabase* pDatabase);
    CDaoDatabase* GetDatabase();
    BOOL GetbLocalDatabase();

    // The statement's parts. NULL fixed filters leave their slots as they are.
    void SetDynaset(LPCTSTR lpszSQL, LPCTSTR lpszFilter, LPCTSTR lpszFilter2, LPCTSTR lpszOrder,
                    int nOptions);
    void SetOrder(LPCTSTR lpszOrder);
    CString GetOrder();
    // Slots 0..3; any other index is ignored.
    void SetFilter(int nIndex, LPCTSTR lpszFilter);
    CStringArray* GetArrayFilter();
    CString CreateSQLStatement();

    // Dynaset lifetime.
    BOOL IsOpen();
    void Open();
    // As Open, but a recordset that fails on a database that opened is not reported: FALSE
    // then, and the database stays for the next attempt. A database that fails to open is
    // reported as Open reports it (another attempt would fail the same way): TRUE then.
    BOOL OpenQuietly();
    void Close(BOOL bCloseDatabase);

    // Names, default widths, types, alignments and sortability of the dynaset's fields, and
    // the key field; NULL outputs are skipped.
    void GetFields(CStringArray* pNames, CUIntArray* pWidths, CArray<short, short>* pTypes,
                   CArray<BYTE, BYTE>* pAligns, CArray<int, int>* pSortable, int* pKey);

    // The row window.
    TableStatus GetTable(CArray<CStringArray, CStringArray>* pRows,
                         CArray<CColumnDetails, CColumnDetails>* pColumns, int nMove, int nCount,
                         COleVariant* pFirst, COleVariant* pLast, int* pnRows);
    // Exact; waits for the keying when it has not finished.
    long GetTot();
    // The count in the background (not in the original document): after a reload only the
    // shown records are keyed. KeepCounting keys for about that many milliseconds and says
    // whether the count is known now (also after a failure, which is shown, to stop asking);
    // IsCounted, whether it is; GetCountSoFar, the records keyed from the first so far.
    BOOL KeepCounting(DWORD dwMilliseconds);
    BOOL IsCounted();
    long GetCountSoFar();
    // The 0-based place of the record at a bookmark, counting every record first if needed;
    // -1 when there is none (a deleted record, an error: nothing is shown).
    long GetBookmarkPosition(const COleVariant& varBookmark);

    // Single records.
    long SearchAndGet(CString strField, int bDescending, CString strValue,
                      CArray<CStringArray, CStringArray>* pRows,
                      CArray<CColumnDetails, CColumnDetails>* pColumns, int nCount,
                      COleVariant* pFirst, COleVariant* pLast, int* pnRows);
    BOOL ExtractRecordset(CDaoRecordset* pRecordset, CString* pWhere, int nOpenType, int nOptions);
    BOOL EditCurrentRecord(int nRow, COleVariant* pBookmark);
    // The bookmark of the record in row nRow of a window whose first row pFirst names and whose
    // row nLastRow pLast names; FALSE when there is none (past the end, both ends deleted, or
    // an error, which is shown).
    BOOL GetRowBookmark(COleVariant* pFirst, COleVariant* pLast, int nLastRow, int nRow,
                        COleVariant& varBookmark);
    // "WHERE [Key]= <value> AND ..." selecting the record at the bookmark in its table by the
    // stored values of the table's primary key (or its row identity where it has none), for
    // ExtractRecordset. FALSE when the record cannot be named: a deleted record sets
    // *pbDeleted and is left to the caller to report; anything else is shown here.
    BOOL GetRecordWhere(const COleVariant& varBookmark, CString& strWhere, BOOL* pbDeleted);

    // CDocument.
    void SetTitle(LPCTSTR lpszTitle) override;
    BOOL OnNewDocument() override;
    // lpszPathName carries a CRecordsetLoad*, which the document owns until a creator
    // takes it (and clears m_pLoad).
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // A document template passes the same pointer on as the path: it is no file name.
    void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE) override;
    void Serialize(CArchive& ar) override;

    CRecordsetLoad* m_pLoad;
    BOOL m_bOpen;
    BOOL m_bLocalDatabase;
    CString m_strDatabase;
    CDaoDatabase* m_pDatabase;
    CDaoRecordset* m_pRecordset;
    int m_nOpenType;
    int m_nOptions;
    CString m_strSQL;
    CStringArray m_arrayFilter;
    CString m_strOrder;
    COleVariant m_varFirst;
    COleVariant m_varLast;
    CString m_strTitle;
    CString m_strTitleSuffix;

protected:
    DECLARE_MESSAGE_MAP()

private:
    typedef CArray<CStringArray, CStringArray> CRowArray;
    typedef CArray<CColumnDetails, CColumnDetails> CColumnArray;

    // Open and OpenQuietly: bReport says whether a recordset that fails is reported.
    BOOL OpenRecordset(BOOL bReport);
    // One window fetch, with its buffers and the running row count.
    struct Window;
    TableStatus MoveWindow(Window& w, int nMove);
    TableStatus RestartWindow(Window& w, TableStatus status);
    void FillRow(Window& w, CStringArray& row);
    void FetchForward(Window& w);
    BOOL FetchBackward(Window& w, int nRows);
    BOOL LineDownFromLast(Window& w);
    void BlankWindow(Window& w);
    void NarrowReads(CColumnArray* pColumns);
    // Caches as many records as the window shows, and the one that comes in.
    void FitCache(int nCount);
};
