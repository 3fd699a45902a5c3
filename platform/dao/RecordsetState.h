// What a CDaoRecordset holds behind its public face, and the work of keying, reading,
// editing and finding. Split by concern over RecordsetOpen.cpp, RecordsetKeys.cpp,
// RecordsetEdit.cpp and RecordsetFind.cpp. Private to the data-access classes.
#pragma once

#include "platform/core/OleVariant.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DatabaseState.h"
#include "platform/dao/DynasetOrder.h"
#include "platform/dao/FieldValue.h"
#include "platform/dao/KeyWorker.h"
#include "platform/dao/Prepare.h"
#include "platform/dao/Keyset.h"
#include "platform/dao/RecordsetField.h"
#include "platform/dao/SelectStatement.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CDaoFieldInfo;
class CDaoIndexInfo;

namespace kel::dao {

constexpr ErrorSource kRecordset = ErrorSource::Recordset;

// Steady-clock nanoseconds: the keying's deadlines and the age of what the cache holds.
std::int64_t SteadyNow();

struct RecordsetState {
    enum class Where { BeforeFirst, OnRecord, AfterLast };
    static constexpr size_t npos = static_cast<size_t>(-1);

    // -- What was opened.
    DatabaseState* database = nullptr;
    bool open = false;
    int type = 0;
    int options = 0;
    std::string sqlGiven; // as the caller wrote it
    std::string sql;      // the engine's statement it became
    bool materialised = false;
    bool updatable = false;
    std::uint64_t instance = 0; // names this opening in bookmarks
    std::vector<RecordsetField> fields;

    // -- Keyed over one table.
    std::string schema, table, from, whereClause;
    std::string rowid;       // "q".rowid
    std::string target;      // "schema"."table" for UPDATE, INSERT and DELETE
    std::string rowidColumn; // rowid, _rowid_ or oid: the one no column hides; a server's key
    std::string keyColumn;   // a server's integer key column, unquoted
    DynasetOrder order;
    // Text fields whose order an index serves in its own collation: Find compares them in it.
    std::vector<std::string> indexOrderedNames;
    std::int64_t maxRowid = 0; // rows added by others later have greater rowids
    // On a server the first key run reads maxRowid along with its keys; until then it is
    // pending (and the largest there is), and whatever else needs it asks (MaxRowid).
    bool maxPending = false;
    std::int64_t MaxRowid();
    std::string MaxRowidQuery() const;
    // The table's primary key, in its order: the columns and their declared types.
    struct KeyField {
        std::string name;
        DaoType type;
    };
    std::vector<KeyField> primaryKey;
    // The key columns whose values each keyed record is checked against, where the rowid
    // alone could come to name another record (a key that is not the rowid); empty otherwise.
    std::string identityColumns; // "q"."Code", ... as the statement reads them
    std::string identityTarget;  // "Code", ... as the table reads them

    // -- A server's table keyed otherwise than by one integer: a temporary map (copyTable) of
    // numbers ("kel$pos", the keyset's keys) to key values, filled as the keying reaches the
    // records; the values come from the table. Numbers follow the order of the keyset: those
    // keyed from the front count up from 1, those from the end down from kMapBack - 1, and the
    // records added through the dynaset up from kMapBack.
    bool keyMap = false;
    static constexpr std::int64_t kMapBack = std::int64_t(1) << 61;
    std::int64_t mapFront = 1;
    std::int64_t mapBack = kMapBack - 1;
    std::int64_t mapAdded = kMapBack;
    struct KeyMapColumn {
        std::string name, type; // quoted; as the table declares it
        std::string qualified;  // as the statement reads it
    };
    std::vector<KeyMapColumn> keyMapColumns;
    // The map is made when a statement first names it (MakeWhenNamed), not before the first
    // screen: the first run's numbers and keys wait here for it, each "(number, key, ...)" as
    // the map's insert takes them.
    struct MapMaking {
        std::string rows;
        size_t count = 0;
    };
    std::shared_ptr<MapMaking> mapMaking;
    // Whether a run numbers its records without the map (the first one, before anything named
    // it), holding their keys for the map's making.
    bool HoldsMappedKeys() const {
        return keyMap && mapMaking && mapMaking->count == 0 && mapFront == 1 &&
               mapBack == kMapBack - 1 && mapAdded == kMapBack && db().Unmade(copyTable);
    }
    void HoldMappedKey(const Statement& stmt, bool together, std::int64_t number);
    // The key columns, each after prefix: "c."k1", c."k2"".
    std::string KeyMapList(const std::string& prefix) const {
        std::string out;
        for (const KeyMapColumn& k : keyMapColumns)
            out += (out.empty() ? "" : ", ") + prefix + k.name;
        return out;
    }
    // The key columns as the statement reads them, or (asText) their values' text: how a key
    // value travels to the keyset's point and back (DynasetOrder::TieParams).
    std::string KeyMapQualified(bool asText = false) const {
        std::string out;
        for (const KeyMapColumn& k : keyMapColumns)
            out += (out.empty() ? "" : ", ") +
                   (asText ? "CAST(" + k.qualified + " AS text)" : k.qualified);
        return out;
    }
    // "<key> = ?param": the record whose key (or number in the map) parameter param holds;
    // qualified: the key as the statement reads it rather than as the table does.
    std::string KeyMatch(int param, bool qualified = false) const {
        const std::string p = "?" + std::to_string(param);
        if (!keyMap)
            return (qualified ? rowid : rowidColumn) + " = " + p;
        return "(" + (qualified ? KeyMapQualified() : KeyMapList("")) + ") = (SELECT " +
               KeyMapList("") + " FROM " + copyTable + " WHERE \"kel$pos\" = " + p + ")";
    }

    // -- Keyed over a materialised copy.
    std::string copyTable; // temp."kel_rsN"
    size_t copyRows = 0;

    // -- The keys and the keying that continues where the last run stopped.
    Keyset keys;
    bool complete = false;
    bool resumable = false;
    std::vector<EngineValue> lastValues;
    std::int64_t lastRowid = 0;
    std::vector<EngineValue> lastTie; // through a key map: the key values of that point
    size_t chunk = 256;
    ChangeToken changeToken;  // the database's when the last run ended
    bool othersWrote = false; // since the keying began: each run skips what is keyed
    bool sorts = false; // the order needs the engine's sorter: each bounded run scans the table
    // The order is the integer key alone, with no map: a bounded run costs the server no sort,
    // only the rows it sends (KeyRun). Set once the order is known (OrdersByKeyAlone).
    bool keyOrder = false;
    bool OrdersByKeyAlone() const;
    SortedKeys keyed; // the keys, sorted: when others wrote, or when the worker's keys come

    // -- The last records, keyed from the end before the keying from the front reaches them
    // (the last record at once). Their positions count from the end (kTail + k, k = 0 for the
    // last) until both ends meet; their bookmarks keep that form for good.
    static constexpr size_t kTail = size_t(1) << 62;
    Keyset tail;                          // tail.At(k): the k-th record from the end
    std::vector<std::int64_t> tailSorted; // its keys, sorted: the front keying skips them
    bool tailResumable = false;
    bool tailDone = false; // the backward keying reached the first record
    std::vector<EngineValue> tailLastValues;
    std::int64_t tailLastRowid = 0;
    std::vector<EngineValue> tailLastTie;
    size_t tailChunk = 64;
    size_t tailCount = 0;  // records keyed from the end, once the ends have met
    size_t tailAnchor = 0; // the keyed records then: the last of them had k = 0

    // -- A full sort keyed by a worker with its own connection, and what it found, taken
    // in by slices.
    std::unique_ptr<KeyWorker> worker;
    bool workerTried = false;
    std::vector<std::int64_t> found;
    std::vector<std::uint32_t> foundChecks;
    size_t foundNext = 0; // while found holds keys, the worker's keys are being taken in

    Statement read;                     // the values of one record by key (those not skipped)
    Statement readAll;                  // every value of one record by key, when some are skipped
    std::string readAllSql;             // the statement of readAll
    std::string readTail;               // what follows the fields in both: FROM ... WHERE key = ?1
    std::vector<bool> skipped;          // fields the reader does not want read; empty for none
    std::vector<long> limits;           // bytes of each text value a reader wants at most; 0 all
    std::vector<bool> large;            // limited fields seen beyond their limit: read by handle
    std::string readSql;                // the statement of read
    Statement exists;                   // whether a keyed record is still in its table
    Statement probe;                    // a keyed record against a point of the order (Find)
    Statement sortValues;               // the order's values of one record
    size_t appendedFrom = Keyset::npos; // where the records added through the dynaset begin

    // -- A server's read-ahead: a miss reads the records of the next cacheSize keys (or of
    // those before, moving backwards) in one statement; steps to a neighbour read from it.
    // Dropped by a move that is no such step, when the recordset writes, reads other fields,
    // requeries or sees the database change, and when older than a second.
    size_t cacheSize = 100;
    std::string readManyKey; // what names a record's key in the read: the key or "kel$pos"
    Statement readMany;      // read's fields and the key, for a list of keys
    Statement readRange;     // the same for the keys between two
    // A record read, or nothing for a key asked for that read no row (gone).
    std::unordered_map<std::int64_t, std::optional<std::vector<Cell>>> cache;
    std::int64_t cacheTime = 0; // steady-clock nanoseconds of the read that filled it
    size_t lastRead = npos;     // the position read last: which way the reader moves
    // Filled by a bookmark's check or FillCache: the moves that follow keep it, and a check
    // answers from it, until a record is read.
    bool cacheFresh = false;
    // The position a key run that read its records' values lands on (its first record, from
    // either end): a move there keeps them until a record is read. npos for none.
    size_t carriedFor = npos;
    std::optional<COleVariant> cacheStart; // where FillCache starts when given no bookmark
    void DropCache() {
        cache.clear();
        readMany = Statement();
        readRange = Statement();
    }

    // -- The current record.
    Where at = Where::AfterLast;
    size_t pos = 0;
    size_t reached = 0; // records reached so far, for GetRecordCount
    bool loaded = false;
    std::vector<Cell> values;

    // -- A pending edit.
    short editMode = dbEditNone;
    bool pessimistic = true;
    bool holdsLock = false;
    std::vector<Cell> buffer;
    std::vector<Cell> original;
    std::vector<bool> dirty;
    bool hasLastModified = false;
    size_t lastModifiedPos = 0;

    EngineConnection& db() const { return database->db(); }
    // " WHERE " with the statement's own condition and another, each in parentheses; empty when
    // there is neither.
    std::string FilterWith(const std::string& condition) const {
        if (whereClause.empty())
            return condition.empty() ? std::string() : " WHERE (" + condition + ")";
        return " WHERE (" + whereClause + ")" +
               (condition.empty() ? std::string() : " AND (" + condition + ")");
    }
    // The failed step of stmt as the engine's error, naming the statement and the file.
    [[noreturn]] void ThrowEngineError(const Statement& stmt) const {
        ThrowStepError(stmt, kRecordset, {sqlGiven, false, database->name});
    }

    // Opening and closing (RecordsetOpen.cpp).
    void Open(DatabaseState& db, int openType, const std::string& text, int openOptions,
              const std::string& filter, const std::string& sort);
    void Close();
    void FieldInfo(size_t index, CDaoFieldInfo& info, DWORD level) const;
    std::vector<CDaoIndexInfo> Indexes(DWORD level) const;
    size_t FieldIndex(const char* name) const; // 3265 when unknown
    // The field of that name, or of source.column, or of a bare column name only one field
    // has; npos when none.
    size_t FindField(std::string_view name) const;
    void CheckField(int index) const; // 3265 when out of range

    // Keys and the current record (RecordsetKeys.cpp).
    // False when the recordset ends before it. A server's run that keys it may read the values
    // of count records from carryFrom on with the keys (KeyRun; npos: none asked for).
    bool KeyTo(size_t position, size_t carryFrom = npos, size_t count = 0);
    // The same for a move that reads the record there next: the cache's records from it.
    bool KeyToRead(size_t position) { return KeyTo(position, position, cacheSize); }
    void KeyAll();
    // Keys for about that long without waiting on anything; true once every record is keyed.
    bool KeyFor(unsigned milliseconds);
    // Keys the last k + 1 records from the end; false when the recordset has fewer.
    bool TailTo(size_t k);
    // A record keyed from the end is given its place from the front (every record is keyed).
    void Settle();
    bool Empty() const { return complete && keys.Size() == 0; }
    static bool InTail(size_t position) { return position >= kTail; }
    // The key, check and deleted mark of a position, from the front or the end.
    std::int64_t KeyAt(size_t position) const {
        return InTail(position) ? tail.At(position - kTail) : keys.At(position);
    }
    std::uint32_t CheckAt(size_t position) const {
        return InTail(position) ? tail.Check(position - kTail) : keys.Check(position);
    }
    bool IsDeletedAt(size_t position) const {
        return InTail(position) ? tail.IsDeleted(position - kTail) : keys.IsDeleted(position);
    }
    void MarkDeletedAt(size_t position) {
        if (InTail(position))
            tail.MarkDeleted(position - kTail);
        else
            keys.MarkDeleted(position);
    }
    void Land(size_t position);
    void LandAfterLast();
    void LandBeforeFirst();
    // The record's values; false when it is gone, or when its row now holds another record.
    // all: every field, also those skipped (an edit works on the whole record).
    bool ReadRow(std::int64_t key, std::vector<Cell>& row, std::uint32_t* identity = nullptr,
                 bool all = false);
    bool ReadRecord(size_t position, std::vector<Cell>& row, bool all);
    // The record at position through the read-ahead (a server's engine, not an edit's read).
    // Which keys a miss reads: the next cacheSize the way the reader steps, or (around) as
    // many on each side, for a bookmark's check, after which a window may move either way.
    enum class Span { Ahead, Around };
    bool ReadAhead(size_t position, std::vector<Cell>& row, Span span = Span::Ahead);
    // The records of those keys, read in one exchange and added to the cache.
    void ReadKeys(const std::vector<std::int64_t>& wanted);
    // The cached entry of a key read less than a second ago; null when there is none.
    const std::optional<std::vector<Cell>>* Cached(std::int64_t key);
    void DropStaleCache(); // the cache, when what it holds was read a second ago or more
    // Caches the records of n positions from position on, towards the end, that it does not
    // hold yet (a server's; records not keyed yet are keyed first).
    void FillCache(size_t position, size_t n);
    // A server's key run may read its records' values too (KeyRun says which): the window at
    // the open, at the end, or of a move past the keys, then costs no exchange of its own. Only
    // those asked for are kept: a record further on is read when it is wanted, as a cached one
    // is after a second. The read's columns for such a run, or nothing where a run carries none.
    // The longest first run that carries its records, and the farthest past the keys a run in
    // the order of the integer key reaches to carry those a move asked for.
    static constexpr size_t kMaxCarried = 256;
    std::string CarriedColumns() const;
    // Where those columns start in a run's row: last, but for the columns a map's run adds.
    int CarriedAt(const Statement& stmt, bool together) const;
    // Caches the record whose fields the statement's row holds from column first on.
    void CacheRecord(const Statement& stmt, int first, std::int64_t key);
    void PrepareReadMany();
    void CutToLimits(std::vector<Cell>& row) const;
    // Leaves the fields marked out of the record's read (reads of them go on their own).
    void SkipFields(const std::vector<bool>& skip);
    // Reads at most that many bytes of each field's text values (0: all of it).
    void LimitFields(const std::vector<long>& bytes);
    bool Narrowed() const; // the read differs from the whole record's
    bool ReadsByHandle(size_t field) const;
    void PrepareRead();
    // The value of a skipped field of the current record.
    Cell ReadSkipped(size_t field);
    bool Exists(size_t position); // one index probe, no values read
    // The check of the record now in the row of that key (after a write through the dynaset).
    std::uint32_t IdentityOf(std::int64_t key);
    const std::vector<Cell>& Current(); // 3021 without a current record, 3167 when deleted
    COleVariant Bookmark(size_t position) const;
    // The current record's primary-key fields and stored values, or the row identity where
    // the table has no primary key (RecordsetIdentity.cpp).
    void RecordKey(std::vector<std::string>& names, std::vector<COleVariant>& values);
    size_t BookmarkPosition(const VARIANT& bookmark) const; // 3159 when not ours

    // Edits (RecordsetEdit.cpp).
    void BeginEdit(bool adding);
    void SetValue(size_t field, const VARIANT& value);
    void Update();
    void CancelEdit(); // drops a pending edit and its lock, quietly
    void DeleteCurrent();

    // Find (RecordsetFind.cpp).
    bool Find(long findType, const std::string& criterion);

private:
    // Others' writes since the front's last run, seen from a token a run read.
    void NoteChangeToken(const ChangeToken& now);
    // One run from where the last stopped: until wanted more are keyed, the end, or the
    // deadline (steady-clock nanoseconds; 0 for none). A server's bounded run may read the
    // records of the positions [carryFrom, carryFrom + count) with their keys, and cache them
    // (carryFrom npos: none): a first run always, in the order of the integer key any run.
    void KeyRun(size_t wanted, std::int64_t deadline = 0, size_t carryFrom = npos,
                size_t count = 0);
    void TailRun(size_t wanted);
    // Takes in what the worker found, until wanted more are keyed or the deadline.
    void TakeFound(size_t wanted, std::int64_t deadline);
    // The key query in an order: the rowid, the identity check where kept and more columns,
    // under a condition besides the statement's, at most limit rows (0: all).
    std::string KeyQuery(const DynasetOrder& keyOrder, const std::string& condition,
                         const std::string& columns, size_t limit) const;
    // Through a key map: the run of a key query numbered and mapped in the same statement.
    // Each row gives its number (a record mapped before keeps its own; the others get base + n
    // or base - n, down, for the n-th row), the key query's columns, then the key values
    // as they are and as text, the row's n and its earlier number. holds: the map is not
    // made yet and holds nothing; the rows are numbered by the reader, base + n for the n-th
    // as it comes (HoldsMappedKeys), their number and n left 0.
    std::string MappedRun(const std::string& keyQuery, std::int64_t base, bool down,
                          bool holds = false) const;
    // The key values, as text, of a mapped run's row (of a run of several conditions).
    std::vector<EngineValue> MappedKey(const Statement& stmt, bool together) const;
    // Whether a run over those conditions goes in one statement: a server's bounded run of
    // more than one, so that it costs one exchange.
    bool Together(const std::vector<std::string>& segments, bool bounded) const;
    // The key query over each condition in turn, in one statement: each one's rows numbered
    // and put in its turn, at most limit rows in all. Its rows end in two columns more.
    std::string KeyRunTogether(const DynasetOrder& keyOrder,
                               const std::vector<std::string>& segments, const std::string& columns,
                               size_t limit) const;
    // What follows a point's values when bound: its rowid, or its key values.
    std::vector<EngineValue> PointTie(std::int64_t rowid,
                                      const std::vector<EngineValue>& tie) const {
        return keyMap ? tie : std::vector<EngineValue>{EngineValue::Integer(rowid)};
    }
    bool WorkerPossible() const;
    void StartWorker();
    void CollectWorker(); // once the worker has finished: its keys, or a run of our own
    // Both ends met: the records keyed from the end follow those keyed from the front.
    void JoinTail();
    // One key found going forward: false when it is where the keys from the end begin.
    bool MeetsTail(std::int64_t key) const;
    std::vector<EngineValue> SortValues(std::int64_t key);
    // The order's values as columns of a server's key runs (empty elsewhere: SQLite reads
    // them in the run's own read), and read from a run's row from column first on.
    std::string OrderValueColumns() const;
    // The conditions that continue a run of that order after the point, one per statement.
    std::vector<std::string> Continuation(const DynasetOrder& runOrder,
                                          const std::vector<EngineValue>& point) const;
    std::vector<EngineValue> RowValues(Statement& stmt, int first) const;
    void ExpressionTypes();
    size_t PositionOf(std::int64_t rowid, const std::vector<EngineValue>& point);
    // Through a key map, every record keyed: the place of a record by its number; npos when
    // no record has it.
    size_t PositionOfNumber(std::int64_t number) const;
    // Through a key map, not every record keyed: the place of the first (or, not forward, the
    // last) record meeting the criterion, keyed from that end as far as it lies; npos, with
    // matches false when no record meets it, or true when the one that did is gone.
    size_t FindMapped(bool forward, const std::string& criterion, const EngineContext& context,
                      bool& matches);
    bool FindScan(bool forward, const std::string& criterion);
};

} // namespace kel::dao
