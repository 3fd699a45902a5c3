#include "platform/dao/DaoRecordset.h"

#include "platform/dao/DatabaseState.h"
#include "platform/dao/RecordsetState.h"

#include <algorithm>
#include <cmath>

using namespace kel::dao;

IMPLEMENT_DYNAMIC(CDaoRecordset, CObject)

CDaoRecordset::CDaoRecordset(CDaoDatabase* pDatabase)
    : m_pDatabase(pDatabase), m_nDefaultType(dbOpenDynaset),
      m_pState(std::make_unique<RecordsetState>()) {}

CDaoRecordset::~CDaoRecordset() {
    try {
        Close();
    } catch (CException* e) {
        e->Delete();
    }
}

RecordsetState& CDaoRecordset::State() {
    if (!m_pState->open)
        ThrowNotOpen(kRecordset);
    return *m_pState;
}

BOOL CDaoRecordset::IsOpen() const {
    return m_pState->open ? TRUE : FALSE;
}

CString CDaoRecordset::GetDefaultDBName() {
    return CString();
}
CString CDaoRecordset::GetDefaultSQL() {
    return CString();
}

void CDaoRecordset::Open(int nOpenType, LPCTSTR lpszSQL, int nOptions) {
    if (IsOpen())
        ThrowDaoError(err::InvalidOperation, kRecordset);
    if (nOpenType == AFX_DAO_USE_DEFAULT_TYPE)
        nOpenType = m_nDefaultType;
    CString sql = lpszSQL ? CString(lpszSQL) : GetDefaultSQL();
    if (sql.IsEmpty())
        ThrowDaoError(err::InvalidArgument, kRecordset);
    if (!m_pDatabase) {
        // No database given: one of the recordset's own, on its default file.
        m_pOwnDatabase = std::make_unique<CDaoDatabase>();
        m_pOwnDatabase->Open(GetDefaultDBName());
        m_pDatabase = m_pOwnDatabase.get();
    }
    if (!m_pDatabase->IsOpen())
        ThrowNotOpen(ErrorSource::Database);
    DatabaseState& db = m_pDatabase->State();
    try {
        m_pState->Open(db, nOpenType, sql.str(), nOptions, m_strFilter.str(), m_strSort.str());
    } catch (CException*) {
        m_pState->Close(); // a recordset that failed to open stays closed
        throw;
    }
    db.recordsets.push_back(this);
}

void CDaoRecordset::Close() {
    RecordsetState& s = *m_pState;
    if (s.open) {
        auto& list = s.database->recordsets;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        s.Close();
    }
    if (m_pOwnDatabase) {
        m_pOwnDatabase.reset();
        m_pDatabase = NULL;
    }
}

void CDaoRecordset::Requery() {
    RecordsetState& s = State();
    const int type = s.type;
    const int options = s.options;
    const std::string sql = s.sqlGiven;
    CDaoDatabase* database = m_pDatabase;
    std::unique_ptr<CDaoDatabase> own = std::move(m_pOwnDatabase);
    Close();
    m_pDatabase = database;
    m_pOwnDatabase = std::move(own);
    Open(type, sql.c_str(), options);
}

short CDaoRecordset::GetType() {
    return static_cast<short>(State().type);
}

CString CDaoRecordset::GetSQL() const {
    return CString(m_pState->sqlGiven);
}

BOOL CDaoRecordset::CanUpdate() {
    return State().updatable ? TRUE : FALSE;
}
BOOL CDaoRecordset::CanAppend() {
    return State().updatable ? TRUE : FALSE;
}
BOOL CDaoRecordset::CanBookmark() {
    return State().open ? TRUE : FALSE;
}
BOOL CDaoRecordset::CanScroll() {
    return State().type != dbOpenForwardOnly ? TRUE : FALSE;
}
BOOL CDaoRecordset::CanRestart() {
    return State().open ? TRUE : FALSE;
}
BOOL CDaoRecordset::CanTransact() {
    return State().materialised ? FALSE : TRUE;
}

// ---------------------------------------------------------------------------
// Navigation

BOOL CDaoRecordset::IsBOF() {
    RecordsetState& s = State();
    return s.Empty() || s.at == RecordsetState::Where::BeforeFirst ? TRUE : FALSE;
}

BOOL CDaoRecordset::IsEOF() {
    RecordsetState& s = State();
    return s.Empty() || s.at == RecordsetState::Where::AfterLast ? TRUE : FALSE;
}

void CDaoRecordset::MoveFirst() {
    RecordsetState& s = State();
    if (!s.KeyTo(0))
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    s.CancelEdit();
    s.Land(0);
}

void CDaoRecordset::MoveLast() {
    RecordsetState& s = State();
    s.KeyAll();
    if (s.keys.Size() == 0)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    s.CancelEdit();
    s.Land(s.keys.Size() - 1);
}

void CDaoRecordset::MoveLastQuick() {
    RecordsetState& s = State();
    if (s.complete || !s.TailTo(0)) {
        MoveLast();
        return;
    }
    s.CancelEdit();
    s.Land(s.complete ? s.keys.Size() - 1 : RecordsetState::kTail);
}

BOOL CDaoRecordset::KeyMore(DWORD dwMilliseconds) {
    return State().KeyFor(static_cast<unsigned>(dwMilliseconds)) ? TRUE : FALSE;
}

void CDaoRecordset::SetCacheSize(long lSize) {
    if (lSize < 0 || lSize > 1200)
        ThrowDaoError(err::InvalidArgument,
                      "The cache size must be between 0 and 1200; it was " + std::to_string(lSize) +
                          ".",
                      kRecordset);
    RecordsetState& s = State();
    s.cacheSize = static_cast<size_t>(lSize);
    // A size of 0 turns caching off and drops what is held, so that 0 and then the size again
    // refreshes it; any other size keeps the records held, still no older than a second.
    if (lSize == 0)
        s.cache.clear();
}

long CDaoRecordset::GetCacheSize() {
    return static_cast<long>(State().cacheSize);
}

void CDaoRecordset::FillCache(long* pSize, COleVariant* pBookmark) {
    RecordsetState& s = State();
    const long n = pSize ? *pSize : static_cast<long>(s.cacheSize);
    if (n < 0)
        ThrowDaoError(err::InvalidArgument,
                      "The number of records to cache must not be negative; it was " +
                          std::to_string(n) + ".",
                      kRecordset);
    size_t position;
    if (pBookmark)
        position = s.BookmarkPosition(*pBookmark);
    else if (s.cacheStart)
        position = s.BookmarkPosition(*s.cacheStart);
    else if (s.at == RecordsetState::Where::OnRecord)
        position = s.pos;
    else
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    s.FillCache(position, static_cast<size_t>(n));
}

void CDaoRecordset::SetCacheStart(COleVariant varBookmark) {
    RecordsetState& s = State();
    s.BookmarkPosition(varBookmark); // 3159 when it is not one of this recordset's
    s.cacheStart = varBookmark;
}

COleVariant CDaoRecordset::GetCacheStart() {
    const RecordsetState& s = State();
    return s.cacheStart ? *s.cacheStart : COleVariant();
}

BOOL CDaoRecordset::IsKeyed() {
    return State().complete ? TRUE : FALSE;
}

long CDaoRecordset::GetKeyedCount() {
    return static_cast<long>(State().keys.Size());
}

void CDaoRecordset::MoveNext() {
    RecordsetState& s = State();
    if (IsEOF())
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    if (s.at == RecordsetState::Where::OnRecord && RecordsetState::InTail(s.pos)) {
        s.CancelEdit();
        if (s.pos == RecordsetState::kTail)
            s.LandAfterLast();
        else
            s.Land(s.pos - 1); // counted from the end
        return;
    }
    size_t next = s.at == RecordsetState::Where::BeforeFirst ? 0 : s.pos + 1;
    bool there = s.KeyTo(next);
    s.CancelEdit();
    if (there)
        s.Land(next);
    else
        s.LandAfterLast();
}

void CDaoRecordset::MovePrev() {
    RecordsetState& s = State();
    if (IsBOF())
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    if (s.at == RecordsetState::Where::AfterLast && !s.complete) {
        // The last record, keyed from the end.
        const bool any = s.TailTo(0);
        s.CancelEdit();
        if (!any)
            s.LandBeforeFirst();
        else
            s.Land(s.complete ? s.keys.Size() - 1 : RecordsetState::kTail);
        return;
    }
    if (s.at == RecordsetState::Where::OnRecord && RecordsetState::InTail(s.pos)) {
        const size_t k = s.pos - RecordsetState::kTail;
        s.TailTo(k + 1); // may meet the front: the position is then counted from there
        s.CancelEdit();
        if (RecordsetState::InTail(s.pos)) {
            if (k + 1 < s.tail.Size())
                s.Land(s.pos + 1);
            else
                s.LandBeforeFirst();
            return;
        }
    }
    size_t here = s.at == RecordsetState::Where::AfterLast ? s.keys.Size() : s.pos;
    s.CancelEdit();
    if (here == 0)
        s.LandBeforeFirst();
    else
        s.Land(here - 1);
}

void CDaoRecordset::Move(long lRows) {
    RecordsetState& s = State();
    if (s.at != RecordsetState::Where::OnRecord)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    if (RecordsetState::InTail(s.pos)) {
        const long long k = static_cast<long long>(s.pos - RecordsetState::kTail) - lRows;
        if (k < 0) {
            s.CancelEdit();
            s.LandAfterLast();
            return;
        }
        s.TailTo(static_cast<size_t>(k));
        if (RecordsetState::InTail(s.pos)) {
            s.CancelEdit();
            if (static_cast<size_t>(k) < s.tail.Size())
                s.Land(RecordsetState::kTail + static_cast<size_t>(k));
            else
                s.LandBeforeFirst();
            return;
        }
        // Both ends met on the way: the move counts from the front now.
    }
    const long long target = static_cast<long long>(s.pos) + lRows;
    if (target < 0) {
        s.CancelEdit();
        s.LandBeforeFirst();
        return;
    }
    bool there = s.KeyToRead(static_cast<size_t>(target));
    s.CancelEdit();
    if (there)
        s.Land(static_cast<size_t>(target)); // Move(0) reads the record again
    else
        s.LandAfterLast();
}

COleVariant CDaoRecordset::GetBookmark() {
    RecordsetState& s = State();
    if (s.at != RecordsetState::Where::OnRecord)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    return s.Bookmark(s.pos);
}

void CDaoRecordset::SetBookmark(COleVariant varBookmark) {
    RecordsetState& s = State();
    size_t position = s.BookmarkPosition(varBookmark);
    if (s.IsDeletedAt(position))
        ThrowDaoError(err::RecordDeleted, kRecordset);
    // Only whether the record is still there; its values are read when asked for.
    if (!s.Exists(position)) {
        s.MarkDeletedAt(position);
        ThrowDaoError(err::RecordDeleted, kRecordset);
    }
    s.CancelEdit();
    s.Land(position);
}

COleVariant CDaoRecordset::GetLastModifiedBookmark() {
    RecordsetState& s = State();
    if (!s.hasLastModified)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    return s.Bookmark(s.lastModifiedPos);
}

long CDaoRecordset::GetRecordCount() {
    RecordsetState& s = State();
    if (s.type == dbOpenTable) {
        s.KeyAll(); // a table knows its size
        return static_cast<long>(s.keys.Size());
    }
    return static_cast<long>(std::min(s.reached, s.keys.Size()));
}

long CDaoRecordset::GetAbsolutePosition() {
    RecordsetState& s = State();
    s.Settle(); // a record keyed from the end has its place once all are keyed
    return s.at == RecordsetState::Where::OnRecord ? static_cast<long>(s.pos) : -1;
}

void CDaoRecordset::SetAbsolutePosition(long lPosition) {
    RecordsetState& s = State();
    if (lPosition < 0 || !s.KeyToRead(static_cast<size_t>(lPosition)))
        ThrowDaoError(err::InvalidArgument, kRecordset);
    s.CancelEdit();
    s.Land(static_cast<size_t>(lPosition));
}

float CDaoRecordset::GetPercentPosition() {
    RecordsetState& s = State();
    s.Settle();
    if (s.at != RecordsetState::Where::OnRecord)
        return 0.0f;
    // Once every record is keyed the keyset knows the whole count.
    long count = s.complete ? static_cast<long>(s.keys.Size()) : GetRecordCount();
    return count > 0 ? 100.0f * static_cast<float>(s.pos) / static_cast<float>(count) : 0.0f;
}

void CDaoRecordset::SetPercentPosition(float fPosition) {
    RecordsetState& s = State();
    if (!(fPosition >= 0.0f && fPosition <= 100.0f))
        ThrowDaoError(err::InvalidArgument, kRecordset);
    s.KeyAll();
    if (s.keys.Size() == 0)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    size_t position =
        static_cast<size_t>(std::floor(fPosition / 100.0f * static_cast<float>(s.keys.Size())));
    SetAbsolutePosition(static_cast<long>(std::min(position, s.keys.Size() - 1)));
}

size_t CDaoRecordset::GetKeysetMemory() const {
    return m_pState->keys.MemoryBytes();
}

void CDaoRecordset::SkipFields(const CArray<BOOL, BOOL>& skip) {
    std::vector<bool> flags;
    for (int i = 0; i < skip.GetSize(); ++i)
        flags.push_back(skip[i] != FALSE);
    State().SkipFields(flags);
}

void CDaoRecordset::LimitFields(const CArray<long, long>& nBytes) {
    std::vector<long> limits;
    for (int i = 0; i < nBytes.GetSize(); ++i)
        limits.push_back(nBytes[i]);
    State().LimitFields(limits);
}

void CDaoRecordset::GetRecordKey(CStringArray& names,
                                 CArray<COleVariant, const COleVariant&>& values) {
    std::vector<std::string> keyNames;
    std::vector<COleVariant> keyValues;
    State().RecordKey(keyNames, keyValues);
    names.RemoveAll();
    values.RemoveAll();
    for (size_t i = 0; i < keyNames.size(); ++i) {
        names.Add(CString(keyNames[i].c_str()));
        values.Add(keyValues[i]);
    }
}

// ---------------------------------------------------------------------------
// Fields and indexes

short CDaoRecordset::GetFieldCount() {
    return static_cast<short>(State().fields.size());
}

void CDaoRecordset::GetFieldInfo(int nIndex, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions) {
    RecordsetState& s = State();
    s.CheckField(nIndex);
    s.FieldInfo(static_cast<size_t>(nIndex), fieldinfo, dwInfoOptions);
}

void CDaoRecordset::GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions) {
    RecordsetState& s = State();
    s.FieldInfo(s.FieldIndex(lpszName), fieldinfo, dwInfoOptions);
}

short CDaoRecordset::GetIndexCount() {
    RecordsetState& s = State();
    if (s.type != dbOpenTable)
        ThrowDaoError(err::NotSupportedForType, kRecordset);
    return static_cast<short>(s.Indexes(AFX_DAO_PRIMARY_INFO).size());
}

void CDaoRecordset::GetIndexInfo(int nIndex, CDaoIndexInfo& indexinfo, DWORD dwInfoOptions) {
    RecordsetState& s = State();
    if (s.type != dbOpenTable)
        ThrowDaoError(err::NotSupportedForType, kRecordset);
    std::vector<CDaoIndexInfo> indexes = s.Indexes(dwInfoOptions);
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= indexes.size())
        ThrowDaoError(err::ItemNotFound, kRecordset);
    indexinfo = indexes[static_cast<size_t>(nIndex)];
}

void CDaoRecordset::GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& indexinfo, DWORD dwInfoOptions) {
    RecordsetState& s = State();
    if (s.type != dbOpenTable)
        ThrowDaoError(err::NotSupportedForType, kRecordset);
    for (const CDaoIndexInfo& info : s.Indexes(dwInfoOptions)) {
        if (lpszName && info.m_strName.CompareNoCase(lpszName) == 0) {
            indexinfo = info;
            return;
        }
    }
    ThrowDaoError(err::ItemNotFound, kRecordset);
}

void CDaoRecordset::GetFieldValue(LPCTSTR lpszName, COleVariant& varValue) {
    GetFieldValue(static_cast<int>(State().FieldIndex(lpszName)), varValue);
}

void CDaoRecordset::GetFieldValue(int nIndex, COleVariant& varValue) {
    RecordsetState& s = State();
    s.CheckField(nIndex);
    const size_t i = static_cast<size_t>(nIndex);
    // During an edit the field shows what was set.
    if (s.editMode == dbEditNone && !s.skipped.empty() && s.skipped[i]) {
        CellToVariant(s.ReadSkipped(i), s.fields[i].type.type, varValue);
        return;
    }
    const Cell& cell = s.editMode != dbEditNone ? s.buffer[i] : s.Current()[i];
    CellToVariant(cell, s.fields[i].type.type, varValue);
}

COleVariant CDaoRecordset::GetFieldValue(LPCTSTR lpszName) {
    COleVariant v;
    GetFieldValue(lpszName, v);
    return v;
}

COleVariant CDaoRecordset::GetFieldValue(int nIndex) {
    COleVariant v;
    GetFieldValue(nIndex, v);
    return v;
}

// ---------------------------------------------------------------------------
// Editing

void CDaoRecordset::SetFieldValue(LPCTSTR lpszName, const COleVariant& varValue) {
    RecordsetState& s = State();
    s.SetValue(s.FieldIndex(lpszName), varValue);
}

void CDaoRecordset::SetFieldValue(int nIndex, const COleVariant& varValue) {
    RecordsetState& s = State();
    s.CheckField(nIndex);
    s.SetValue(static_cast<size_t>(nIndex), varValue);
}

void CDaoRecordset::SetFieldValue(LPCTSTR lpszName, LPCTSTR lpszValue) {
    SetFieldValue(lpszName, COleVariant(lpszValue, VT_BSTRT));
}

void CDaoRecordset::SetFieldValue(int nIndex, LPCTSTR lpszValue) {
    SetFieldValue(nIndex, COleVariant(lpszValue, VT_BSTRT));
}

void CDaoRecordset::SetFieldValueNull(LPCTSTR lpszName) {
    COleVariant null;
    null.vt = VT_NULL;
    SetFieldValue(lpszName, null);
}

void CDaoRecordset::SetFieldValueNull(int nIndex) {
    COleVariant null;
    null.vt = VT_NULL;
    SetFieldValue(nIndex, null);
}

BOOL CDaoRecordset::Find(long lFindType, LPCTSTR lpszFilter) {
    return State().Find(lFindType, lpszFilter ? lpszFilter : "") ? TRUE : FALSE;
}

void CDaoRecordset::Edit() {
    State().BeginEdit(false);
}
void CDaoRecordset::AddNew() {
    State().BeginEdit(true);
}
void CDaoRecordset::Update() {
    State().Update();
}

void CDaoRecordset::CancelUpdate() {
    RecordsetState& s = State();
    if (s.editMode == dbEditNone)
        ThrowDaoError(err::UpdateWithoutEdit, kRecordset);
    s.CancelEdit();
}

void CDaoRecordset::Delete() {
    State().DeleteCurrent();
}

void CDaoRecordset::SetLockingMode(BOOL bPessimistic) {
    m_pState->pessimistic = bPessimistic != FALSE;
}
BOOL CDaoRecordset::GetLockingMode() {
    return m_pState->pessimistic ? TRUE : FALSE;
}
short CDaoRecordset::GetEditMode() {
    return State().editMode;
}
