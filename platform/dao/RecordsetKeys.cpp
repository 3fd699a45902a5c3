// Keying a recordset lazily, the current record and bookmarks.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/Prepare.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kel::dao {

namespace {

constexpr size_t kMaxChunk = size_t(1) << 16;
// A bookmark names the opening and the record's place among the keys, which stays the same while
// the opening lasts; not its rowid, which an edit of an INTEGER PRIMARY KEY changes.
constexpr unsigned char kMagic[3] = {'K', 'B', 1};
constexpr size_t kBookmarkSize = sizeof kMagic + 2 * sizeof(std::uint64_t);

void Put(unsigned char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint64_t Get(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

} // namespace

bool RecordsetState::KeyTo(size_t position) {
    while (keys.Size() <= position && !complete)
        KeyRun(position + 1 - keys.Size());
    return position < keys.Size();
}

void RecordsetState::KeyAll() {
    while (!complete)
        KeyRun(std::numeric_limits<size_t>::max());
}

// One keying run: the key query from where the last run stopped, stepped until enough records
// are keyed, then reset so that no read lock outlives the call. A sorted result is keyed whole:
// the sort is the cost, and another sort later would be paid again.
void RecordsetState::KeyRun(size_t wanted) {
    const size_t target = std::max(wanted, chunk);
    chunk = std::min(chunk * 4, kMaxChunk);
    if (materialised) {
        const size_t end = copyRows - keys.Size() < target ? copyRows : keys.Size() + target;
        while (keys.Size() < end)
            keys.Append(static_cast<std::int64_t>(keys.Size()) + 1);
        complete = keys.Size() == copyRows;
        return;
    }
    // A fresh run reads the whole key query; a resumed one the conditions that follow the
    // point where the last run stopped, one after the other.
    const std::vector<std::string> segments =
        resumable ? order.Continuation(lastValues, 1) : std::vector<std::string>{std::string()};
    // A record keyed before and changed since may come again: skip what is keyed already.
    std::vector<std::int64_t> known;
    if (resumable &&
        (database->DataVersion() != dataVersion || sqlite3_total_changes64(db()) != totalChanges))
        known = keys.SortedKeys();

    const size_t start = keys.Size();
    size_t added = 0;
    bool whole = false, stopped = false;
    for (size_t seg = 0; seg < segments.size() && !stopped; ++seg) {
        const std::string sql =
            "SELECT " + rowid +
            (identityColumns.empty() ? std::string() : ", kel_identity(" + identityColumns + ")") +
            " FROM " + from + FilterWith(segments[seg]) + " ORDER BY " + order.OrderBy();
        SqliteStatement stmt;
        PrepareInternal(db(), stmt, sql, kRecordset);
        const int params = sqlite3_bind_parameter_count(stmt.get());
        for (int i = 0; i < params && i < static_cast<int>(lastValues.size()); ++i)
            stmt.Bind(1 + i, lastValues[static_cast<size_t>(i)]);
        if (params > static_cast<int>(lastValues.size()))
            stmt.Bind(static_cast<int>(lastValues.size()) + 1, lastRowid);
        for (bool first = true;; first = false) {
            int rc = stmt.Step();
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW) {
                keys.Truncate(start);
                ThrowEngineError(rc);
            }
            if (first && seg == 0 && !resumable)
                whole = sqlite3_stmt_status(stmt.get(), SQLITE_STMTSTATUS_SORT, 0) > 0;
            const std::int64_t key = stmt.ColumnInt64(0);
            // Rows others added since the dynaset was opened are not among its records.
            if (key > maxRowid ||
                (!known.empty() && std::binary_search(known.begin(), known.end(), key)))
                continue;
            keys.Append(key);
            if (!identityColumns.empty())
                keys.SetCheck(keys.Size() - 1, static_cast<std::uint32_t>(stmt.ColumnInt64(1)));
            if (!whole && ++added >= target) {
                // Where to go on from: read inside this statement's read, so it is the same.
                lastRowid = key;
                lastValues = SortValues(key);
                stopped = true;
                break;
            }
        }
    }
    resumable = stopped;
    complete = !stopped;
    dataVersion = database->DataVersion();
    totalChanges = sqlite3_total_changes64(db());
}

std::vector<SqliteValue> RecordsetState::SortValues(std::int64_t key) {
    std::vector<SqliteValue> out;
    if (order.TermCount() == 0)
        return out;
    if (!sortValues) {
        std::string columns = order.TermColumns().substr(2); // without the leading ", "
        PrepareInternal(db(), sortValues,
                        "SELECT " + columns + " FROM " + from + " WHERE " + rowid + " = ?1",
                        kRecordset);
    }
    StatementScope scope(sortValues);
    sortValues.Bind(1, key);
    if (sortValues.Step() == SQLITE_ROW) {
        for (int i = 0; i < static_cast<int>(order.TermCount()); ++i)
            out.push_back(sortValues.ColumnValue(i));
    } else {
        out.resize(order.TermCount());
    }
    return out;
}

void RecordsetState::Land(size_t position) {
    at = Where::OnRecord;
    pos = position;
    reached = std::max(reached, position + 1);
    loaded = false;
}

void RecordsetState::LandAfterLast() {
    at = Where::AfterLast;
    loaded = false;
    if (complete)
        reached = keys.Size();
}

void RecordsetState::LandBeforeFirst() {
    at = Where::BeforeFirst;
    loaded = false;
}

bool RecordsetState::Exists(size_t position) {
    const std::int64_t key = keys.At(position);
    if (materialised) // a private copy: nobody else deletes from it
        return key >= 1 && static_cast<size_t>(key) <= copyRows;
    if (!exists)
        PrepareInternal(db(), exists,
                        "SELECT " +
                            (identityTarget.empty() ? std::string("0")
                                                    : "kel_identity(" + identityTarget + ")") +
                            " FROM " + target + " WHERE " + rowidColumn + " = ?1",
                        kRecordset);
    StatementScope scope(exists);
    exists.Bind(1, key);
    int rc = exists.Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngineError(rc);
    return rc == SQLITE_ROW &&
           static_cast<std::uint32_t>(exists.ColumnInt64(0)) == keys.Check(position);
}

std::uint32_t RecordsetState::IdentityOf(std::int64_t key) {
    if (identityTarget.empty())
        return 0;
    SqliteStatement stmt;
    PrepareInternal(db(), stmt,
                    "SELECT kel_identity(" + identityTarget + ") FROM " + target + " WHERE " +
                        rowidColumn + " = ?1",
                    kRecordset);
    stmt.Bind(1, key);
    return stmt.Step() == SQLITE_ROW ? static_cast<std::uint32_t>(stmt.ColumnInt64(0)) : 0;
}

const std::vector<Cell>& RecordsetState::Current() {
    if (at != Where::OnRecord)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    if (keys.IsDeleted(pos))
        ThrowDaoError(err::RecordDeleted, kRecordset);
    if (!loaded) {
        if (!ReadRecord(pos, values, false)) {
            keys.MarkDeleted(pos);
            ThrowDaoError(err::RecordDeleted, kRecordset);
        }
        loaded = true;
    }
    return values;
}

COleVariant RecordsetState::Bookmark(size_t position) const {
    unsigned char bytes[kBookmarkSize];
    std::memcpy(bytes, kMagic, sizeof kMagic);
    Put(bytes + 3, instance);
    Put(bytes + 11, position);
    COleVariant v;
    SetBytes(v, std::string_view(reinterpret_cast<const char*>(bytes), kBookmarkSize));
    return v;
}

size_t RecordsetState::BookmarkPosition(const VARIANT& bookmark) const {
    if (bookmark.vt != (VT_ARRAY | VT_UI1) || !bookmark.parray ||
        bookmark.parray->rgsabound[0].cElements != kBookmarkSize)
        ThrowDaoError(err::NotABookmark, kRecordset);
    const unsigned char* p = static_cast<const unsigned char*>(bookmark.parray->pvData);
    if (std::memcmp(p, kMagic, sizeof kMagic) != 0 || Get(p + 3) != instance)
        ThrowDaoError(err::NotABookmark, kRecordset);
    const std::uint64_t position = Get(p + 11);
    if (position >= keys.Size())
        ThrowDaoError(err::NotABookmark, kRecordset);
    return static_cast<size_t>(position);
}

} // namespace kel::dao
