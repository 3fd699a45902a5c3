// CRecordsetDoc: the row window between two bookmarks, and the record count.
//
// Only the rows of the window are read, one GetFieldValue per shown or key cell; one-row
// moves shift the buffer and read the one record that comes into view.
#include "companions/other/TranslateValue.h"
#include "document/DaoErrorReport.h"
#include "document/RecordsetDoc.h"

#include <algorithm>

using kel::document::DaoErrorCode;
using kel::document::ReportDaoException;

struct CRecordsetDoc::Window {
    CRowArray* pRows;
    CColumnArray* pColumns;
    int nCount;
    int nCols;
    COleVariant* pFirst;
    COleVariant* pLast;
    int* pnRows;
    CString strDeleted; // the text of a deleted record's cells, loaded when first needed
};

namespace {

// Error codes of a record that vanished under the window.
constexpr long kRecordDeleted = 3167;
constexpr long kNoCurrentRecord = 3021;
// A column the window asks for that the recordset does not have.
constexpr long kItemNotFound = 3265;
// A bookmark the recordset does not know.
constexpr long kInvalidBookmark = 3159;
// The most of a value a cell keeps: more than a screen shows, far less than a memo may hold.
constexpr int kMaxCellText = 1024;
// The bytes of a text or binary value read for a cell: enough for kMaxCellText and its cut mark.
constexpr long kMaxCellRead = 2 * kMaxCellText;

// Cuts text longer than a cell can show, at a character boundary, marking the cut.
void CutToCell(CString& str) {
    if (str.GetLength() <= kMaxCellText)
        return;
    int n = kMaxCellText;
    while (n > 0 && (static_cast<unsigned char>(str[n]) & 0xC0) == 0x80)
        --n; // not inside a UTF-8 sequence
    str = str.Left(n) + "\xE2\x80\xA6";
}

// The row at index nIndex, at least nCols cells wide.
CStringArray& RowAt(CArray<CStringArray, CStringArray>& rows, int nIndex, int nCols) {
    CStringArray& row = rows[nIndex];
    if (row.GetSize() < nCols)
        row.SetSize(nCols);
    return row;
}

// A one-row move: the row at one end of the window goes to the other end, the rows between
// moving one place, and comes back emptied and nCols wide. Rows are moved, never copied.
CStringArray& WrapRow(CArray<CStringArray, CStringArray>& rows, int nCount, int nCols,
                      bool bToTop) {
    const auto first = rows.begin();
    const auto last = first + nCount;
    std::rotate(first, bToTop ? last - 1 : first + 1, last);
    CStringArray& row = rows[bToTop ? 0 : nCount - 1];
    row.SetSize(nCols);
    for (CString& cell : row)
        cell.Empty();
    return row;
}

// Reads n records from pAt on into the recordset's cache ahead of a page's check. A bookmark
// the recordset does not know is left to that check to report.
void FillAhead(CDaoRecordset& rs, long n, COleVariant* pAt) {
    try {
        rs.FillCache(&n, pAt);
    } catch (CDaoException* e) {
        if (DaoErrorCode(e) != kInvalidBookmark)
            throw;
        e->Delete();
    }
}

// A row move with the cache at one record: its check then reads a record either side of the
// row it checks (one exchange with a server), the row that comes in among them, rather than a
// page either side. The cache takes its size again however the move ends.
class RowMoveCache {
public:
    explicit RowMoveCache(CDaoRecordset& rs) : m_rs(rs), m_nSize(rs.GetCacheSize()) {
        rs.SetCacheSize(1);
    }
    ~RowMoveCache() {
        try {
            m_rs.SetCacheSize(m_nSize);
        } catch (CDaoException* e) {
            e->Delete(); // the recordset closed under the move: nothing to size
        }
    }
    RowMoveCache(const RowMoveCache&) = delete;
    RowMoveCache& operator=(const RowMoveCache&) = delete;

private:
    CDaoRecordset& m_rs;
    long m_nSize;
};

} // namespace

void CRecordsetDoc::BlankWindow(Window& w) {
    for (int r = 0; r < w.nCount; ++r) {
        CStringArray& row = RowAt(*w.pRows, r, w.nCols);
        for (int i = 0; i < w.nCols; ++i)
            row[i].Empty();
    }
}

void CRecordsetDoc::FillRow(Window& w, CStringArray& row) {
    COleVariant var; // one value holder for every cell
    for (int i = 0; i < w.nCols; ++i) {
        int nField = i;
        WORD wFormat = 0;
        if (w.pColumns) {
            if (i >= w.pColumns->GetSize())
                continue;
            const CColumnDetails& col = (*w.pColumns)[i];
            if (col.m_bVisible != 1 && col.m_bKey != 1)
                continue; // hidden non-key columns are never read
            nField = col.m_nField;
            wFormat = LOWORD(col.m_nFormat);
        }
        try {
            m_pRecordset->GetFieldValue(nField, var);
            TranslateValue(var, row[i], wFormat);
            CutToCell(row[i]);
        } catch (CDaoException* e) {
            // A deleted record's cells say so, and the grid knows the row for one; a column
            // the recordset lacks is blank. Any other failure is the record's read (a file
            // damaged or gone, a lock): the move fails rather than show a blank record.
            const long nCode = DaoErrorCode(e);
            if (nCode != kRecordDeleted && nCode != kItemNotFound)
                throw;
            if (nCode == kRecordDeleted) {
                if (w.strDeleted.IsEmpty())
                    w.strDeleted.LoadString(15400);
                row[i] = w.strDeleted;
            } else {
                row[i].Empty();
            }
            e->Delete();
            var.Clear();
        }
    }
    if (w.pnRows)
        ++*w.pnRows;
}

void CRecordsetDoc::FetchForward(Window& w) {
    for (int r = 0; r < w.nCount && !m_pRecordset->IsEOF(); ++r) {
        FillRow(w, RowAt(*w.pRows, r, w.nCols));
        m_pRecordset->MoveNext();
    }
    m_pRecordset->MovePrev();
    *w.pLast = m_pRecordset->GetBookmark();
}

// From the current record up, by steps, into the window's first nRows rows from the last
// of them: the records at the end come in the order the keying from there read them. FALSE,
// the window blank and nothing counted, when the records before do not fill those rows.
BOOL CRecordsetDoc::FetchBackward(Window& w, int nRows) {
    CDaoRecordset& rs = *m_pRecordset;
    *w.pLast = rs.GetBookmark();
    for (int r = nRows - 1; r >= 0; --r) {
        FillRow(w, RowAt(*w.pRows, r, w.nCols));
        if (r == 0)
            break;
        rs.MovePrev();
        if (rs.IsBOF()) {
            BlankWindow(w);
            if (w.pnRows)
                *w.pnRows = 0;
            return FALSE;
        }
    }
    *w.pFirst = rs.GetBookmark();
    return TRUE;
}

// A row down in a full window, checked at its last row (whose check reads the one under it
// too, in a row move's cache); the first row is counted back from there. FALSE, having
// changed nothing, where that does not hold: the last row is gone or the last record, or
// the window is not full.
BOOL CRecordsetDoc::LineDownFromLast(Window& w) {
    CDaoRecordset& rs = *m_pRecordset;
    if (w.nCount < 2 || w.pLast->vt == VT_EMPTY || w.pFirst->vt == VT_EMPTY)
        return FALSE;
    try {
        rs.SetBookmark(*w.pLast);
    } catch (CDaoException* e) {
        if (DaoErrorCode(e) != kRecordDeleted)
            throw;
        e->Delete();
        return FALSE;
    }
    rs.MoveNext();
    if (rs.IsEOF())
        return FALSE;
    const COleVariant varIn = rs.GetBookmark();
    rs.Move(-w.nCount);
    if (rs.IsBOF() || !(rs.GetBookmark() == *w.pFirst))
        return FALSE;
    rs.MoveNext();
    *w.pFirst = rs.GetBookmark();
    // Back on the row that comes in by a move, which a record deleted there does not stop:
    // its row says so.
    rs.Move(w.nCount - 1);
    *w.pLast = varIn;
    FillRow(w, WrapRow(*w.pRows, w.nCount, w.nCols, false));
    return TRUE;
}

CRecordsetDoc::TableStatus CRecordsetDoc::RestartWindow(Window& w, TableStatus status) {
    w.pFirst->Clear();
    w.pLast->Clear();
    if (w.pnRows)
        *w.pnRows = 0;
    try {
        MoveWindow(w, gtFirst);
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return tsFailed;
    }
    return status;
}

CRecordsetDoc::TableStatus CRecordsetDoc::MoveWindow(Window& w, int nMove) {
    CDaoRecordset& rs = *m_pRecordset;
    CRowArray& rows = *w.pRows;

    switch (nMove) {
    case gtFirst:
        BlankWindow(w);
        rs.MoveFirst();
        *w.pFirst = rs.GetBookmark();
        FetchForward(w);
        return tsOk;

    case gtRefresh:
        rs.SetBookmark(*w.pFirst);
        BlankWindow(w);
        FetchForward(w);
        return tsOk;

    case gtPageDown: {
        // The rows to come, and the check of the last row, in one read.
        FillAhead(rs, w.nCount, w.pLast);
        BlankWindow(w);
        try {
            rs.SetBookmark(*w.pLast);
        } catch (CDaoException* e) {
            // The last row is gone: show the last record alone.
            e->Delete();
            rs.MoveLast();
            *w.pFirst = rs.GetBookmark();
            *w.pLast = *w.pFirst;
            FillRow(w, RowAt(rows, 0, w.nCols));
            return tsBottom;
        }
        *w.pFirst = *w.pLast;
        FetchForward(w);
        return tsOk;
    }

    case gtPageUp:
        BlankWindow(w);
        try {
            rs.SetBookmark(*w.pFirst);
            rs.Move(1 - w.nCount);
        } catch (CDaoException* e) {
            e->Delete();
            return RestartWindow(w, tsTop);
        }
        if (rs.IsBOF())
            rs.MoveNext();
        *w.pFirst = rs.GetBookmark();
        FetchForward(w);
        return tsOk;

    case gtLineUp: {
        RowMoveCache cache(rs);
        rs.SetBookmark(*w.pFirst);
        rs.MovePrev();
        if (rs.IsBOF())
            return tsTop;
        *w.pFirst = rs.GetBookmark();
        FillRow(w, WrapRow(rows, w.nCount, w.nCols, true));

        // The old last row moved one place down: it leaves the window if that was full (near
        // the end of the dynaset it may not be, and the rows below stay blank). Counted by
        // moves, not places: a place may not be known yet.
        rs.Move(w.nCount - 1);
        if (!rs.IsEOF())
            *w.pLast = rs.GetBookmark();
        return tsOk;
    }

    case gtLineDown: {
        {
            RowMoveCache cache(rs);
            if (LineDownFromLast(w))
                return tsOk;
        }
        rs.SetBookmark(*w.pFirst);
        rs.MoveNext();
        if (rs.IsEOF()) {
            // The first row is the last record: it stays, alone, in row 0.
            BlankWindow(w);
            rs.MoveLast();
            FillRow(w, RowAt(rows, 0, w.nCols));
            return tsBottom;
        }
        *w.pFirst = rs.GetBookmark();
        // The row that comes in is a window's height below the new first one: counted by
        // moves from the record just checked, so the move checks one bookmark, not two.
        rs.Move(w.nCount - 1);
        CStringArray& row = WrapRow(rows, w.nCount, w.nCols, false);
        if (rs.IsEOF())
            return tsOk; // the last record was already shown: a blank row comes in
        *w.pLast = rs.GetBookmark();
        FillRow(w, row);
        return tsOk;
    }

    default: {
        // gtAbsolute + n; 1 and -1 are the first page, reached the same way. Beyond the
        // last record the window starts at the last.
        if (nMove <= gtFromEnd) {
            const long k = gtFromEnd - nMove + 1;
            BlankWindow(w);
            rs.MoveLastQuick();
            if (k <= w.nCount) {
                if (FetchBackward(w, static_cast<int>(k)))
                    return tsOk; // the last page
            } else {
                rs.Move(1 - k); // a window's height and more from the end
            }
            if (rs.IsBOF())
                rs.MoveFirst();
            *w.pFirst = rs.GetBookmark();
            FetchForward(w);
            return tsOk;
        }
        long n = nMove >= gtAbsolute ? nMove - gtAbsolute : 0;
        rs.MoveFirst();
        if (n > 0) {
            try {
                rs.Move(n);
            } catch (CDaoException* e) {
                e->Delete();
                return RestartWindow(w, tsTop);
            }
            if (rs.IsEOF())
                rs.MoveLastQuick();
        }
        *w.pFirst = rs.GetBookmark();
        BlankWindow(w);
        FetchForward(w);
        return tsOk;
    }
    }
}

// The data-access classes' own advice: a cache the size of what is shown. A server reads
// that many records per exchange, and a bookmark's check that many either way, which a
// window's next move, a row or a page up or down, then finds.
void CRecordsetDoc::FitCache(int nCount) {
    const long n = std::clamp<long>(static_cast<long>(nCount) + 1, 1, 1200);
    if (m_pRecordset->GetCacheSize() != n)
        m_pRecordset->SetCacheSize(n);
}

CRecordsetDoc::TableStatus CRecordsetDoc::GetTable(CRowArray* pRows, CColumnArray* pColumns,
                                                   int nMove, int nCount, COleVariant* pFirst,
                                                   COleVariant* pLast, int* pnRows) {
    if (pnRows)
        *pnRows = 0;
    if (!IsOpen() || !m_pRecordset)
        return tsEmpty;
    if (!pRows)
        return tsFailed;

    Window w{pRows,  pColumns, nCount, 0, pFirst ? pFirst : &m_varFirst, pLast ? pLast : &m_varLast,
             pnRows, CString()};
    if (w.nCount < 0)
        w.nCount = static_cast<int>(GetTot());
    w.nCols = pRows->GetSize() > 0 ? static_cast<int>((*pRows)[0].GetSize()) : 0;
    if (pRows->GetSize() < w.nCount) {
        // A buffer shorter than the window grows rather than being written past its end.
        CStringArray blank;
        blank.SetSize(w.nCols);
        while (pRows->GetSize() < w.nCount)
            pRows->Add(blank);
    }

    try {
        if (m_pRecordset->IsBOF() && m_pRecordset->IsEOF()) {
            BlankWindow(w);
            w.pFirst->Clear();
            w.pLast->Clear();
            return tsEmpty;
        }
        if (w.nCount == 0)
            return tsOk; // a window of no rows has nothing to show
        if (w.pFirst->vt == VT_EMPTY || w.pLast->vt == VT_EMPTY)
            nMove = gtFirst;
        NarrowReads(pColumns);
        FitCache(w.nCount);
        return MoveWindow(w, nMove);
    } catch (CDaoException* e) {
        const long nCode = DaoErrorCode(e);
        ReportDaoException(e);
        if (nCode == kRecordDeleted || nCode == kNoCurrentRecord)
            return RestartWindow(w, tsRestarted);
        return tsFailed;
    }
}

// Each record's read is narrowed to what the window shows: fields no shown or key column
// reads are left out, and of the others no more than a cell keeps is read. A hidden column of
// large values, or a shown memo of megabytes, costs no more per row than a short one.
void CRecordsetDoc::NarrowReads(CColumnArray* pColumns) {
    const int nFields = m_pRecordset->GetFieldCount();
    CArray<BOOL, BOOL> skip;
    CArray<long, long> limits;
    skip.SetSize(nFields);
    limits.SetSize(nFields);
    for (int f = 0; f < nFields; ++f) {
        skip[f] = pColumns != NULL;
        limits[f] = kMaxCellRead;
    }
    for (int i = 0; pColumns && i < pColumns->GetSize(); ++i) {
        const CColumnDetails& col = (*pColumns)[i];
        if ((col.m_bVisible == 1 || col.m_bKey == 1) && col.m_nField >= 0 && col.m_nField < nFields)
            skip[col.m_nField] = FALSE;
    }
    m_pRecordset->SkipFields(skip);
    m_pRecordset->LimitFields(limits);
}

BOOL CRecordsetDoc::KeepCounting(DWORD dwMilliseconds) {
    if (!IsOpen() || !m_pRecordset)
        return TRUE;
    try {
        return m_pRecordset->KeyMore(dwMilliseconds);
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return TRUE;
    }
}

BOOL CRecordsetDoc::IsCounted() {
    if (!IsOpen() || !m_pRecordset)
        return TRUE;
    return m_pRecordset->IsKeyed();
}

long CRecordsetDoc::GetCountSoFar() {
    if (!IsOpen() || !m_pRecordset)
        return 0;
    return m_pRecordset->GetKeyedCount();
}

long CRecordsetDoc::GetBookmarkPosition(const COleVariant& varBookmark) {
    if (!IsOpen() || !m_pRecordset || varBookmark.vt == VT_EMPTY)
        return -1;
    CDaoRecordset& rs = *m_pRecordset;
    try {
        COleVariant varHere;
        if (!rs.IsBOF() && !rs.IsEOF())
            varHere = rs.GetBookmark();
        rs.SetBookmark(varBookmark);
        const long nPosition = rs.GetAbsolutePosition();
        if (varHere.vt != VT_EMPTY)
            rs.SetBookmark(varHere);
        return nPosition;
    } catch (CDaoException* e) {
        e->Delete(); // a record deleted since: the caller keeps what it had
        return -1;
    }
}

long CRecordsetDoc::GetTot() {
    if (!IsOpen() || !m_pRecordset)
        return 0;
    CDaoRecordset& rs = *m_pRecordset;
    try {
        if (rs.IsBOF() && rs.IsEOF())
            return 0;
        const BOOL bBeforeFirst = rs.IsBOF();
        const BOOL bAfterLast = !bBeforeFirst && rs.IsEOF();
        // Back by position, not by bookmark: a record deleted since it became current keeps
        // its place, and returning onto it is no error.
        const long nHere = rs.GetAbsolutePosition();
        rs.MoveLast();
        long nTot = rs.GetRecordCount();
        if (bBeforeFirst) {
            rs.MoveFirst();
            rs.MovePrev();
        } else if (bAfterLast) {
            rs.MoveLast();
            rs.MoveNext();
        } else {
            rs.SetAbsolutePosition(nHere);
        }
        return nTot;
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return 0;
    }
}
