// CDaoRecordset: a table, dynaset or snapshot over SQLite, driven by bookmarks.
//
// A dynaset over one table is a keyset: the rowids of its records in the statement's order
// (rowid breaking ties), keyed lazily as records are reached (MoveLast keys all), 8 bytes per
// record. Values are read by key when a record becomes current. A record deleted since it was
// keyed keeps its place: moving onto it works, reading it or SetBookmark to it raises 3167.
// Changes by others are seen; rows added by others are not until the dynaset is reopened;
// rows added through the dynaset join its end. Queries over more than one table, grouped or
// DISTINCT queries, views and snapshots are keyed over a copy of their result and read-only.
//
// Locking: pessimistic (the default) takes the database's write lock at Edit/AddNew and keeps
// it until Update/CancelUpdate; optimistic takes it only during Update, which then fails with
// 3197 when another connection changed the record since Edit.
//
// On a PostgreSQL server a table whose primary key is one integer column is keyed by that
// key's values (the keyset holds them; bookmarks name places among them). A table keyed
// otherwise or not at all, a view and a query are read over a temporary copy of their result,
// read-only (3027 on Edit, AddNew, Delete). Every edit is checked as an optimistic one: Update
// holds the row, compares it with what Edit read and fails with 3197, writing nothing, when
// someone changed it; pessimistic mode holds nothing between Edit and Update. A new record's
// key comes back from the INSERT. Keying runs in bounded reads that grow; a record read that
// misses reads the records of the next GetCacheSize() keys (the ones before, moving back) in
// one statement, and those serve the reads that follow for a second, until the recordset
// writes or requeries. Field types follow the server's: bigint is a Double field whose values
// beyond 2^53 come as VT_I8, numeric that fits Currency is Currency, bytea is Long Binary.
//
// Every failure is a CDaoException*; the recordset stays usable after one (or closed, when it
// never opened) and nothing is half-written.
#pragma once

#include "platform/core/Array.h"
#include "platform/core/OleVariant.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoFieldInfo.h"
#include "platform/dao/DaoIndexInfo.h"

#include <cstddef>
#include <memory>

namespace kel::dao {
struct RecordsetState;
}

class CDaoRecordset : public CObject {
    DECLARE_DYNAMIC(CDaoRecordset)
public:
    // Without a database, Open opens GetDefaultDBName() in a database of the recordset's own.
    explicit CDaoRecordset(CDaoDatabase* pDatabase = NULL);
    ~CDaoRecordset() override;
    CDaoRecordset(const CDaoRecordset&) = delete;
    CDaoRecordset& operator=(const CDaoRecordset&) = delete;

    // nOpenType: dbOpenTable (lpszSQL names a table), dbOpenDynaset or dbOpenSnapshot (a
    // SELECT in the Jet dialect, or a table or query name). m_strFilter and m_strSort, when
    // set, narrow and order the statement. Positioned on the first record.
    virtual void Open(int nOpenType = AFX_DAO_USE_DEFAULT_TYPE, LPCTSTR lpszSQL = NULL,
                      int nOptions = 0);
    virtual void Close();
    // Runs the statement again; bookmarks of before no longer apply.
    virtual void Requery();
    BOOL IsOpen() const;

    short GetType();
    CString GetSQL() const;
    BOOL CanUpdate();
    BOOL CanAppend();
    BOOL CanBookmark();
    BOOL CanScroll();
    BOOL CanRestart();
    BOOL CanTransact();

    // Navigation with the engine's semantics: both flags set means no records; moving past an
    // end sets the flag, moving further is 3021; Move counts from the current record.
    BOOL IsBOF();
    BOOL IsEOF();
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrev();
    virtual void Move(long lRows);

    // A byte array naming this recordset and a record; another recordset's is 3159.
    COleVariant GetBookmark();
    void SetBookmark(COleVariant varBookmark);
    COleVariant GetLastModifiedBookmark();

    // Records reached so far; exact once MoveLast has been called (always, for a table).
    long GetRecordCount();
    // 0-based position of the current record; -1 when there is none.
    long GetAbsolutePosition();
    void SetAbsolutePosition(long lPosition);
    float GetPercentPosition();
    void SetPercentPosition(float fPosition);

    short GetFieldCount();
    void GetFieldInfo(int nIndex, CDaoFieldInfo& fieldinfo,
                      DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& fieldinfo,
                      DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    // Indexes of a table-type recordset (3251 for the others).
    short GetIndexCount();
    void GetIndexInfo(int nIndex, CDaoIndexInfo& indexinfo,
                      DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& indexinfo,
                      DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);

    virtual void GetFieldValue(LPCTSTR lpszName, COleVariant& varValue);
    virtual void GetFieldValue(int nIndex, COleVariant& varValue);
    virtual COleVariant GetFieldValue(LPCTSTR lpszName);
    virtual COleVariant GetFieldValue(int nIndex);

    // The value is converted to the field's type (text included: numbers, currency, dates in
    // the user locale, Yes/No/True/False/On/Off); a failure is 3421 and changes nothing.
    virtual void SetFieldValue(LPCTSTR lpszName, const COleVariant& varValue);
    virtual void SetFieldValue(int nIndex, const COleVariant& varValue);
    void SetFieldValue(LPCTSTR lpszName, LPCTSTR lpszValue);
    void SetFieldValue(int nIndex, LPCTSTR lpszValue);
    void SetFieldValue(LPCTSTR lpszName, const CString& strValue) {
        SetFieldValue(lpszName, (LPCTSTR)strValue);
    }
    void SetFieldValue(int nIndex, const CString& strValue) {
        SetFieldValue(nIndex, (LPCTSTR)strValue);
    }
    void SetFieldValueNull(LPCTSTR lpszName);
    void SetFieldValueNull(int nIndex);

    // Positions on the first, last, next or previous record matching a Jet criterion, in the
    // recordset's order; FALSE, and the current record unchanged, when none matches.
    virtual BOOL Find(long lFindType, LPCTSTR lpszFilter);
    BOOL FindFirst(LPCTSTR lpszFilter) { return Find(AFX_DAO_FIRST, lpszFilter); }
    BOOL FindLast(LPCTSTR lpszFilter) { return Find(AFX_DAO_LAST, lpszFilter); }
    BOOL FindNext(LPCTSTR lpszFilter) { return Find(AFX_DAO_NEXT, lpszFilter); }
    BOOL FindPrev(LPCTSTR lpszFilter) { return Find(AFX_DAO_PREV, lpszFilter); }

    virtual void Edit();
    virtual void AddNew();
    virtual void Update();
    virtual void CancelUpdate();
    virtual void Delete();
    void SetLockingMode(BOOL bPessimistic);
    BOOL GetLockingMode();
    short GetEditMode();

    virtual CString GetDefaultDBName();
    virtual CString GetDefaultSQL();

    // Bytes the keyset holds for its records (not a framework member: for measurements).
    size_t GetKeysetMemory() const;
    // The current record's identity in its table (not a framework member): the names of the
    // table's primary-key fields and their values as stored, or the engine's row identity
    // where the table has no primary key. 3251 when the recordset does not read one table
    // keyed by rows, 3021/3167 without a current record.
    void GetRecordKey(CStringArray& names, CArray<COleVariant, const COleVariant&>& values);
    // Fields a reader will not ask for (not a framework member): a TRUE entry leaves that
    // field out of each record's read, so a hidden large value costs nothing; asking for it
    // anyway still reads it, on its own. An empty array reads every field again.
    void SkipFields(const CArray<BOOL, BOOL>& skip);
    // For a reader that shows values (not a framework member): at most nBytes[i] bytes of a
    // text value of field i are read (0: all). GetFieldValue then gives such a value cut to
    // that, at a character boundary, except during an edit, which works on whole values. A
    // field seen holding more is read from then on by its first bytes alone.
    void LimitFields(const CArray<long, long>& nBytes);
    // Keying in the background of a window (not framework members). KeyMore keys for about
    // that many milliseconds, waiting on nothing but the worker, and says whether every record
    // is keyed; an order the engine must sort (a server's: on any field but the key) is sorted
    // by a worker on a connection of its own, when the database allows one. IsKeyed: all are
    // keyed (GetRecordCount after MoveLast is free). GetKeyedCount: those keyed from the front.
    BOOL KeyMore(DWORD dwMilliseconds);
    BOOL IsKeyed();
    long GetKeyedCount();
    // The last record by one bounded read from the end (not a framework member): unlike
    // MoveLast it keys nothing else, so GetRecordCount stays what it was. Moves and bookmarks
    // work from there; GetAbsolutePosition, Edit, Delete and Find key every record first.
    void MoveLastQuick();
    // Records read ahead from a server in one exchange when a record read misses (0: one at
    // a time; at most 1200; 100 unless set). Kept across Requery. 0 also drops the records
    // held; another size keeps them.
    void SetCacheSize(long lSize);
    long GetCacheSize();
    // Reads *pSize records (the cache size when null) from pBookmark on (the cache start when
    // null, else the current record) into the cache in one exchange, but for those it holds
    // already; a bookmark's check that follows, before a record is read, answers from them.
    // Records past the end are left out. Without a server it has no effect.
    void FillCache(long* pSize = NULL, COleVariant* pBookmark = NULL);
    void SetCacheStart(COleVariant varBookmark);
    COleVariant GetCacheStart();

    CDaoDatabase* m_pDatabase;
    CString m_strFilter;
    CString m_strSort;

protected:
    int m_nDefaultType;

private:
    kel::dao::RecordsetState& State();
    std::unique_ptr<kel::dao::RecordsetState> m_pState;
    std::unique_ptr<CDaoDatabase> m_pOwnDatabase;
};
