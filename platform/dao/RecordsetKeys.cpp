// Keying a recordset lazily, the current record and bookmarks.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/Prepare.h"
#include "platform/dao/SqlLexer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <optional>

namespace kel::dao {

namespace {

// The change token a key run goes by: read with the run's rows, as a column after the others,
// where the engine can; else asked for before the run (Asked).
class RunToken {
public:
    explicit RunToken(EngineConnection& db) : m_db(db), m_expression(db.ChangeTokenExpression()) {}
    bool Asked() const { return m_expression.empty(); }
    // The run's columns with the token's after them.
    std::string After(const std::string& columns) const {
        return Asked() ? columns : (columns.empty() ? "" : columns + ", ") + m_expression;
    }
    // The token from the run's first row (its column at); nothing for any later row.
    std::optional<ChangeToken> FromFirstRow(const Statement& stmt, int at) {
        if (Asked() || m_seen)
            return std::nullopt;
        m_seen = m_db.ChangeTokenFrom(stmt.ColumnText(at));
        return m_seen;
    }
    const std::optional<ChangeToken>& Seen() const { return m_seen; }

private:
    EngineConnection& m_db;
    const std::string m_expression;
    std::optional<ChangeToken> m_seen;
};

constexpr size_t kMaxChunk = size_t(1) << 16;
// A bookmark names the opening and the record's place among the keys, which stays the same while
// the opening lasts; not its rowid, which an edit of an INTEGER PRIMARY KEY changes.
constexpr unsigned char kMagic[3] = {'K', 'B', 1};
constexpr size_t kBookmarkSize = sizeof kMagic + 2 * sizeof(std::uint64_t);
constexpr std::uint64_t kTailBookmark = std::uint64_t(1) << 63;

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

// Whether every term of an order is the column itself (qualified or not): its index serves
// the order, and a bounded run reads no more than it keys.
bool OnlyColumn(const DynasetOrder& order, const std::string& column) {
    if (column.empty())
        return false;
    for (const OrderKey& term : order.Terms()) {
        const std::vector<SqlToken> t = SignificantTokens(term.expr);
        if (t.empty() || !t.back().IsName())
            return false;
        for (size_t i = 0; i + 1 < t.size(); ++i)
            if (i % 2 == 0 ? !t[i].IsName() : t[i].text != ".")
                return false;
        if (t.size() % 2 == 0)
            return false;
        const std::string name = Unquote(t.back());
        if (t.back().Is(TokenKind::QuotedName) ? name != column : !EqualsNoCase(name, column))
            return false;
    }
    return true;
}

} // namespace

bool RecordsetState::OrdersByKeyAlone() const {
    return OnlyColumn(order, keyColumn);
}

namespace {

bool Contains(const std::vector<std::int64_t>& sorted, std::int64_t key) {
    return !sorted.empty() && std::binary_search(sorted.begin(), sorted.end(), key);
}

// A point of an order bound from ?first on: its values, then its tie-breaker's (the rowid or
// the key values). A condition of a continuation names only some of them, and only those are
// bound.
void BindPoint(Statement& stmt, const std::vector<EngineValue>& values,
               const std::vector<EngineValue>& tie, int first) {
    const int count = stmt.ParameterCount();
    int i = first;
    for (const std::vector<EngineValue>* part : {&values, &tie}) {
        for (const EngineValue& v : *part) {
            if (i > count)
                return;
            stmt.Bind(i++, v);
        }
    }
}

} // namespace

std::int64_t SteadyNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool RecordsetState::KeyTo(size_t position, size_t carryFrom, size_t count) {
    while (keys.Size() <= position && !complete) {
        if (worker && worker->Done())
            CollectWorker();
        if (!found.empty())
            TakeFound(position + 1 - keys.Size(), 0);
        else
            KeyRun(position + 1 - keys.Size(), 0, carryFrom, count);
    }
    return position < keys.Size();
}

void RecordsetState::KeyAll() {
    while (!complete) {
        if (worker)
            CollectWorker(); // waits for it
        if (!found.empty())
            TakeFound(std::numeric_limits<size_t>::max(), 0);
        else
            KeyRun(std::numeric_limits<size_t>::max());
    }
}

bool RecordsetState::KeyFor(unsigned milliseconds) {
    const std::int64_t deadline = SteadyNow() + std::int64_t(milliseconds) * 1000000;
    while (!complete && SteadyNow() < deadline) {
        if (worker) {
            // Nothing else to do meanwhile: the slice is the worker's.
            if (!worker->WaitUntil(deadline))
                return false;
            CollectWorker();
        } else if (!found.empty()) {
            TakeFound(std::numeric_limits<size_t>::max(), deadline);
        } else if (sorts && !workerTried && WorkerPossible()) {
            if (database->WriteHolders() > 0)
                return false; // a worker would hold the write up: later
            StartWorker();
        } else {
            // A sort paid once runs to its end; an order read from an index stops in time. A
            // server sends a statement's rows at once: it keys by bounded runs, growing, each
            // taken whole (cut short in time, the rest of its rows, already sent, would be
            // read again by the next run).
            if (database->server)
                KeyRun(chunk);
            else
                KeyRun(std::numeric_limits<size_t>::max(), sorts ? 0 : deadline);
        }
    }
    return complete;
}

// A record keyed before others wrote may come again, at its new place, in any later run from
// either end: once they have written, every run skips what the front has keyed.
void RecordsetState::NoteChangeToken(const ChangeToken& now) {
    if (!resumable)
        return; // nothing keyed from the front, or all of it
    if (now != changeToken) {
        othersWrote = true;
        cache.clear(); // the records read ahead may be out of date
    }
    if (othersWrote)
        keyed.CatchUp(keys);
}

std::int64_t RecordsetState::MaxRowid() {
    if (maxPending) {
        maxPending = false;
        Statement max;
        PrepareInternalRead(db(), max, MaxRowidQuery(), kRecordset);
        maxRowid = max.Step() == kRow ? max.ColumnInt64(0) : 0;
    }
    return maxRowid;
}

std::string RecordsetState::MaxRowidQuery() const {
    return "SELECT max(" + rowidColumn + ") FROM " + target;
}

// One keying run: the key query from where the last run stopped, stepped until enough records
// are keyed, then reset so that no read lock outlives the call. A bounded run reads no more
// rows than it wants (LIMIT): an order the engine must sort then costs one scan, not a sort of
// every record. An unbounded run that sorts keys everything at once.
void RecordsetState::KeyRun(size_t wanted, std::int64_t deadline, size_t carryFrom, size_t count) {
    const bool bounded = wanted != std::numeric_limits<size_t>::max();
    const size_t start = keys.Size();
    const bool fresh = start == 0 && !resumable;
    if (fresh && carryFrom == npos) {
        carryFrom = 0; // a first run carries the cache's records, whoever asks for it
        count = cacheSize;
    }
    // The positions whose records the run is asked to carry (none: empty).
    const size_t carryEnd = carryFrom == npos ? 0 : carryFrom + count;
    const bool carrying = bounded && !materialised && carryEnd > std::max(start, carryFrom) &&
                          !CarriedColumns().empty();
    // The first run keys a chunk (a recordset that small is counted at once) and carries the
    // cache's records. After it, in the order of the integer key alone, a bounded run costs the
    // server no more than the rows it sends: a run asked to carry records (for a jump, a fill or
    // a check past the keys, which read them next) keys only as far as they go, and starts
    // where they start when some are keyed already (those come along, read with the run, and
    // are not keyed again), so that the move costs one exchange. Other runs (steps, which may
    // read nothing, and the counting) grow, and carry nothing; so do all of any other order,
    // which may each sort every record left.
    size_t target = wanted;
    size_t refill = 0; // rows at the run's start that were keyed before it
    bool carries = false;
    if (keyOrder && carrying && resumable &&
        (carryFrom < start || carryFrom - start <= kMaxCarried)) {
        refill = carryFrom < start ? start - carryFrom : 0;
        target = std::max(wanted, carryEnd - start);
        carries = true;
    } else {
        if (bounded)
            target = std::max(wanted, chunk);
        chunk = std::min(chunk * 4, kMaxChunk);
        carries = carrying && fresh && target <= kMaxCarried;
    }
    if (materialised) {
        const size_t end = copyRows - keys.Size() < target ? copyRows : keys.Size() + target;
        while (keys.Size() < end)
            keys.Append(static_cast<std::int64_t>(keys.Size()) + 1);
        complete = keys.Size() == copyRows;
        return;
    }
    // A fresh run reads the whole key query; a resumed one the conditions that follow the
    // point where the last run stopped, one after the other, or where its refill starts.
    std::vector<EngineValue> point = lastValues, tie = PointTie(lastRowid, lastTie);
    bool fromStart = !resumable;
    if (refill > 0) {
        fromStart = carryFrom == 0;
        const std::int64_t before = fromStart ? 0 : keys.At(carryFrom - 1);
        point.assign(order.TermCount(), EngineValue::Integer(before));
        tie = PointTie(before, {});
    }
    const std::vector<std::string> segments =
        fromStart ? std::vector<std::string>{std::string()} : Continuation(order, point);
    if (fromStart) {
        point.clear();
        tie.clear();
    }
    const bool descending = order.TermCount() > 0 && order.Terms()[0].descending;
    auto keyedBefore = [&](std::int64_t key) {
        return descending ? key >= lastRowid : key <= lastRowid;
    };
    // Where the run's rows bring the change token, the first row tells whether others wrote.
    RunToken token(db());
    if (token.Asked())
        NoteChangeToken(database->CurrentChangeToken(kRecordset));

    size_t added = 0, stepped = 0;
    bool stopped = false, met = false;
    // A server's run reads the order's values with the keys: where it stops needs no
    // exchange of its own.
    const std::string values = OrderValueColumns();
    const int valuesAt = identityColumns.empty() ? 1 : 2;
    const int tokenAt = valuesAt + (values.empty() ? 0 : static_cast<int>(order.TermCount()));
    std::string columns = token.After(values);
    // The first run brings the largest key along, so that the open needs no exchange for it.
    const bool readsMax = maxPending;
    const int maxAt = tokenAt + (token.Asked() ? 0 : 1);
    if (readsMax)
        columns += (columns.empty() ? "(" : ", (") + MaxRowidQuery() + ")";
    const std::string carried = carries ? CarriedColumns() : std::string();
    if (!carried.empty()) {
        columns += (columns.empty() ? "" : ", ") + carried;
        if (fresh)
            cache.clear();
        else
            DropStaleCache(); // the run's records join those read less than a second ago
    }
    bool refilling = refill > 0, cutInRefill = false;
    target += refill;
    const bool together = Together(segments, bounded);
    for (size_t seg = 0; seg < (together ? 1 : segments.size()) && !stopped && !met; ++seg) {
        const size_t limit = bounded ? target - added : 0;
        Statement stmt;
        const std::string query = together ? KeyRunTogether(order, segments, columns, limit)
                                           : KeyQuery(order, segments[seg], columns, limit);
        // A bounded run only: its keys wait in memory for the map.
        const bool holds = bounded && HoldsMappedKeys();
        PrepareInternalRead(
            db(), stmt, keyMap ? MappedRun(query, mapFront - 1, false, holds) : query, kRecordset);
        BindPoint(stmt, point, tie, 1);
        size_t rows = 0;
        for (;;) {
            const StepResult rc = stmt.Step();
            if (rc == kDone)
                break;
            if (rc != kRow) {
                keys.Truncate(start);
                if (holds)
                    *mapMaking = MapMaking{}; // nothing of a failed run is held
                ThrowEngineError(stmt);
            }
            if (++stepped == 1 && seg == 0 && !resumable)
                sorts = stmt.Engine().Sorted();
            if (const std::optional<ChangeToken> first = token.FromFirstRow(stmt, tokenAt))
                NoteChangeToken(*first);
            if (maxPending && readsMax) {
                maxPending = false;
                maxRowid = stmt.ColumnInt64(maxAt);
            }
            ++rows;
            // A held run's rows are numbered as they come.
            const std::int64_t key =
                holds ? mapFront - 1 + static_cast<std::int64_t>(rows) : stmt.ColumnInt64(0);
            if (holds)
                HoldMappedKey(stmt, together, key);
            if (refilling) {
                // A record keyed before: its values only, until the first one keyed anew.
                if (keyedBefore(key)) {
                    CacheRecord(stmt, CarriedAt(stmt, together), key);
                    if (bounded && rows == limit) {
                        stopped = cutInRefill = true; // the next run goes on as this one would
                        break;
                    }
                    continue;
                }
                refilling = false;
            }
            if (MeetsTail(key)) {
                met = true;
                break;
            }
            // Rows others added since the dynaset was opened are not among its records.
            const bool skip =
                key > maxRowid || (othersWrote && keyed.Contains(key)) || Contains(tailSorted, key);
            if (!skip) {
                if (!carried.empty() && start + added >= carryFrom && start + added < carryEnd)
                    CacheRecord(stmt, CarriedAt(stmt, together), key);
                keys.Append(key);
                if (!identityColumns.empty())
                    keys.SetCheck(keys.Size() - 1, static_cast<std::uint32_t>(stmt.ColumnInt64(1)));
                ++added;
            }
            const bool full = bounded ? rows == limit : false;
            const bool late = deadline != 0 && (stepped & 1023) == 0 && SteadyNow() >= deadline;
            if (full || late) {
                // Where to go on from: read inside this statement's read, so it is the same.
                lastRowid = key;
                lastValues = values.empty() ? SortValues(key) : RowValues(stmt, valuesAt);
                if (keyMap)
                    lastTie = MappedKey(stmt, together);
                stopped = true;
                break;
            }
        }
        if (keyMap) {
            // Every row of the run is mapped, also those after where it stopped (a statement
            // stepped past its end would run again).
            if (stopped || met)
                while (stmt.Step() == kRow) {
                    ++rows;
                    if (holds)
                        HoldMappedKey(stmt, together,
                                      mapFront - 1 + static_cast<std::int64_t>(rows));
                }
            mapFront += static_cast<std::int64_t>(rows);
        }
    }
    MaxRowid(); // asked for when the run read no row to bring it
    // A record keyed before and not among those the refill read is gone.
    if (refill > 0 && !cutInRefill)
        for (size_t p = carryFrom; p < start; ++p)
            cache.try_emplace(keys.At(p), std::nullopt);
    // A move to where the run was asked to carry from keeps its records.
    if (!carried.empty() && carryFrom < start + added)
        carriedFor = carryFrom;
    resumable = stopped;
    // A server does not say whether a run sorted. Each bounded run of an order on any field
    // may sort every record left, so once a run shows that more records follow than one run
    // keys, the rest are better sorted once, by a worker.
    if (database->server && stopped && order.TermCount() > 0 && !OnlyColumn(order, keyColumn))
        sorts = true;
    changeToken = token.Seen() ? *token.Seen() : database->CurrentChangeToken(kRecordset);
    if (met || !stopped)
        JoinTail();
}

bool RecordsetState::MeetsTail(std::int64_t key) const {
    return tail.Size() > 0 && key == tail.At(tail.Size() - 1);
}

bool RecordsetState::TailTo(size_t k) {
    if (complete)
        return k < keys.Size();
    if (materialised) {
        KeyAll(); // its keys are its row numbers: nothing to read
        return k < keys.Size();
    }
    while (!complete && tail.Size() <= k && !tailDone)
        TailRun(k + 1 - tail.Size());
    return complete ? k < keys.Size() : k < tail.Size();
}

// Keys backwards from the end: the reversed order, continued from where the last such run
// stopped, as a bounded read. Meeting the last record keyed from the front joins both ends.
void RecordsetState::TailRun(size_t wanted) {
    const std::int64_t maxKey = MaxRowid();
    // The first run keys at least what the reader caches: a window read up from the last
    // record finds its records keyed, and read, by this run.
    const bool first = tail.Size() == 0 && !tailResumable;
    const size_t target = std::max({wanted, tailChunk, first ? cacheSize : 0});
    tailChunk = std::min(tailChunk * 4, kMaxChunk);
    const DynasetOrder reversed = order.Reversed();
    const std::vector<std::string> segments = tailResumable
                                                  ? Continuation(reversed, tailLastValues)
                                                  : std::vector<std::string>{std::string()};
    // Where the keying from the front stopped: a record at or before that point is keyed from
    // the front already (or skipped there), so both ends meet on it.
    std::vector<EngineValue> point, pointTie;
    std::int64_t pointKey = 0;
    bool hasPoint = false;
    if (foundNext > 0) {
        pointKey = found[foundNext - 1];
        point = SortValues(pointKey);
        pointTie = PointTie(pointKey, {});
        hasPoint = true;
    } else if (resumable) {
        pointKey = lastRowid;
        point = lastValues;
        pointTie = PointTie(lastRowid, lastTie);
        hasPoint = true;
    }
    const int terms = static_cast<int>(order.TermCount());
    const int compared = static_cast<int>(order.CompareCount());
    const int pointAt = terms + static_cast<int>(order.TieCount()) + 1;
    const int firstCompare = identityColumns.empty() ? 1 : 2;
    const bool compares = hasPoint && compared > 0;
    std::string columns = compares ? order.CompareColumns(pointAt) : std::string();
    const std::string values = OrderValueColumns();
    if (!values.empty())
        columns += (columns.empty() ? "" : ", ") + values;
    const int valuesAt = firstCompare + (compares ? compared : 0);
    RunToken token(db());
    const int tokenAt = valuesAt + (values.empty() ? 0 : terms);
    if (token.Asked())
        NoteChangeToken(database->CurrentChangeToken(kRecordset));
    columns = token.After(columns);
    const std::string carried = first && target <= kMaxCarried ? CarriedColumns() : std::string();
    if (!carried.empty()) {
        columns += (columns.empty() ? "" : ", ") + carried;
        cache.clear();
    }
    size_t added = 0;
    bool stopped = false, met = false;
    const bool together = Together(segments, true);
    for (size_t seg = 0; seg < (together ? 1 : segments.size()) && !stopped && !met; ++seg) {
        const size_t limit = target - added;
        Statement stmt;
        const std::string query = together ? KeyRunTogether(reversed, segments, columns, limit)
                                           : KeyQuery(reversed, segments[seg], columns, limit);
        PrepareInternalRead(db(), stmt, keyMap ? MappedRun(query, mapBack + 1, true) : query,
                            kRecordset);
        // From ?1: where the last run from the end stopped; from ?pointAt: the front's point.
        if (tailResumable)
            BindPoint(stmt, tailLastValues, PointTie(tailLastRowid, tailLastTie), 1);
        if (hasPoint)
            BindPoint(stmt, point, pointTie, pointAt);
        size_t rows = 0;
        for (;;) {
            const StepResult rc = stmt.Step();
            if (rc == kDone)
                break;
            if (rc != kRow)
                ThrowEngineError(stmt);
            ++rows;
            if (const std::optional<ChangeToken> first = token.FromFirstRow(stmt, tokenAt))
                NoteChangeToken(*first);
            const std::int64_t key = stmt.ColumnInt64(0);
            if (hasPoint) {
                std::vector<int> columns(static_cast<size_t>(compared));
                for (int i = 0; i < compared; ++i)
                    columns[static_cast<size_t>(i)] =
                        static_cast<int>(stmt.ColumnInt64(firstCompare + i));
                if (order.Compare(columns, key, pointKey) <= 0) {
                    met = true;
                    break;
                }
            }
            if (key <= maxKey && !Contains(tailSorted, key) &&
                !(othersWrote && keyed.Contains(key))) {
                if (!carried.empty() && added < cacheSize)
                    CacheRecord(stmt, CarriedAt(stmt, together), key);
                tail.Append(key);
                if (!identityColumns.empty())
                    tail.SetCheck(tail.Size() - 1, static_cast<std::uint32_t>(stmt.ColumnInt64(1)));
                tailSorted.insert(std::upper_bound(tailSorted.begin(), tailSorted.end(), key), key);
                ++added;
            }
            if (rows == limit) {
                tailLastRowid = key;
                tailLastValues = values.empty() ? SortValues(key) : RowValues(stmt, valuesAt);
                if (keyMap)
                    tailLastTie = MappedKey(stmt, together);
                stopped = true;
                break;
            }
        }
        if (keyMap) {
            if (stopped || met)
                while (stmt.Step() == kRow)
                    ++rows;
            mapBack -= static_cast<std::int64_t>(rows);
        }
    }
    if (!carried.empty() && added > 0)
        carriedFor = kTail; // the last record
    if (met) {
        JoinTail();
        return;
    }
    tailResumable = stopped;
    if (!stopped) {
        tailDone = true; // the first record was reached: every record is keyed
        JoinTail();
    }
}

void RecordsetState::JoinTail() {
    for (size_t k = tail.Size(); k-- > 0;) {
        keys.Append(tail.At(k));
        const size_t p = keys.Size() - 1;
        if (!identityColumns.empty())
            keys.SetCheck(p, tail.Check(k));
        if (tail.IsDeleted(k))
            keys.MarkDeleted(p);
    }
    tailCount = tail.Size();
    tailAnchor = keys.Size();
    auto settle = [&](size_t& p) {
        if (InTail(p))
            p = tailAnchor - 1 - (p - kTail);
    };
    if (at == Where::OnRecord)
        settle(pos);
    if (hasLastModified)
        settle(lastModifiedPos);
    if (carriedFor != npos)
        settle(carriedFor);
    tail.Clear();
    keyed.Clear();
    tailSorted.clear();
    tailSorted.shrink_to_fit();
    complete = true;
    resumable = false;
    othersWrote = false;
    worker.reset();
    found.clear();
    found.shrink_to_fit();
    foundChecks.clear();
    foundChecks.shrink_to_fit();
    foundNext = 0;
}

void RecordsetState::Settle() {
    if (at == Where::OnRecord && InTail(pos))
        KeyAll();
}

bool RecordsetState::WorkerPossible() const {
    // Another connection sees neither this one's temporary tables nor what it has written and
    // not yet committed, nor a file held exclusively.
    const bool shared = database->server
                            ? !(schema.size() >= 7 && EqualsNoCase(schema.substr(0, 7), "pg_temp"))
                            : schema.empty() || EqualsNoCase(schema, "main");
    return !materialised && !keyMap && !database->exclusive && shared && !db().InTransaction();
}

void RecordsetState::StartWorker() {
    workerTried = true;
    worker = std::make_unique<KeyWorker>(db(), KeyQuery(order, std::string(), std::string(), 0),
                                         !identityColumns.empty(), MaxRowid());
}

std::string RecordsetState::KeyQuery(const DynasetOrder& keyOrder, const std::string& condition,
                                     const std::string& columns, size_t limit) const {
    std::string head;
    if (keyMap) {
        head = columns;
        for (size_t i = 0; i < keyMapColumns.size(); ++i)
            head += (head.empty() ? "" : ", ") + keyMapColumns[i].qualified + " AS \"kel$k" +
                    std::to_string(i) + "\"";
        head += ", " + KeyMapQualified(true);
    } else {
        head =
            rowid +
            (identityColumns.empty() ? std::string() : ", kel_identity(" + identityColumns + ")") +
            (columns.empty() ? std::string() : ", " + columns);
    }
    return "SELECT " + head + " FROM " + from + FilterWith(condition) + " ORDER BY " +
           keyOrder.OrderBy() +
           (limit ? db().GetDialect().BoundedRead(static_cast<std::int64_t>(limit))
                  : std::string());
}

bool RecordsetState::Together(const std::vector<std::string>& segments, bool bounded) const {
    return database->server && bounded && segments.size() > 1;
}

std::string RecordsetState::KeyRunTogether(const DynasetOrder& keyOrder,
                                           const std::vector<std::string>& segments,
                                           const std::string& columns, size_t limit) const {
    std::string all;
    for (size_t i = 0; i < segments.size(); ++i)
        all += std::string(i ? " UNION ALL " : "") + "SELECT q.*, " + std::to_string(i) +
               " AS \"kel$s\", row_number() OVER () AS \"kel$r\" FROM (" +
               KeyQuery(keyOrder, segments[i], columns, limit) + ") AS q";
    return "SELECT * FROM (" + all + ") AS u ORDER BY \"kel$s\", \"kel$r\"" +
           db().GetDialect().BoundedRead(static_cast<std::int64_t>(limit));
}

std::string RecordsetState::MappedRun(const std::string& keyQuery, std::int64_t base, bool down,
                                      bool holds) const {
    // A first run before the map is made names no map: its keys wait for the map's making
    // (HoldMappedKey), which a new server process spends some 3 ms on that the first screen
    // does not wait for. Its rows come in the run's order, and are numbered as they come
    // (base + n for the n-th): numbering them on the server, and sorting by that number, cost it
    // as much again as the run.
    if (holds)
        return "SELECT 0, q.*, 0 AS \"kel$n\", CAST(NULL AS bigint) AS \"kel$old\" FROM (" +
               keyQuery + ") AS q";
    std::string mapKey, runKey;
    for (size_t i = 0; i < keyMapColumns.size(); ++i) {
        mapKey += (i ? ", m." : "m.") + keyMapColumns[i].name;
        runKey += (i ? ", " : "") + std::string("\"kel$k") + std::to_string(i) + "\"";
    }
    const std::string number = "(" + std::to_string(base) + (down ? " - " : " + ") + "\"kel$n\")";
    return "WITH r AS (SELECT q.*, row_number() OVER () AS \"kel$n\" FROM (" + keyQuery +
           ") AS q), j AS (SELECT r.*, m.\"kel$pos\" AS \"kel$old\" FROM r LEFT JOIN " + copyTable +
           " AS m ON (" + mapKey + ") = (" + runKey + ")), i AS (INSERT INTO " + copyTable +
           " (\"kel$pos\", " + KeyMapList("") + ") SELECT " + number + ", " + runKey +
           " FROM j WHERE \"kel$old\" IS NULL) SELECT coalesce(\"kel$old\", " + number +
           "), j.* FROM j ORDER BY \"kel$n\"";
}

void RecordsetState::HoldMappedKey(const Statement& stmt, bool together, std::int64_t number) {
    const std::vector<EngineValue> key = MappedKey(stmt, together);
    const Dialect& dialect = db().GetDialect();
    std::string row = "(" + std::to_string(number);
    for (size_t i = 0; i < key.size() && i < keyMapColumns.size(); ++i)
        row += ", CAST(" + dialect.QuoteText(key[i].bytes) + " AS " + keyMapColumns[i].type + ")";
    mapMaking->rows += (mapMaking->count++ ? ", " : "") + row + ")";
}

std::vector<EngineValue> RecordsetState::MappedKey(const Statement& stmt, bool together) const {
    // The text copies stand before the row's n and its earlier number, and before the place
    // of a run of several conditions.
    const int m = static_cast<int>(keyMapColumns.size());
    const int first = stmt.ColumnCount() - 2 - m - (together ? 2 : 0);
    std::vector<EngineValue> out;
    for (int i = 0; i < m; ++i)
        out.push_back(stmt.Column(first + i));
    return out;
}

void RecordsetState::CollectWorker() {
    KeyWorker::Result result = worker->Take();
    worker.reset();
    if (!result.complete)
        return; // interrupted, busy or failed: the keying goes on here, as one whole sort
    found = std::move(result.keys);
    foundChecks = std::move(result.checks);
    foundNext = 0;
    keyed.CatchUp(keys); // what is keyed now is skipped where the worker found it
    if (found.empty())
        JoinTail(); // nothing at all: no more than what is keyed
}

void RecordsetState::TakeFound(size_t wanted, std::int64_t deadline) {
    size_t added = 0;
    while (foundNext < found.size()) {
        const size_t i = foundNext++;
        const std::int64_t key = found[i];
        if (MeetsTail(key)) {
            JoinTail();
            return;
        }
        if (keyed.Contains(key) || Contains(tailSorted, key))
            continue;
        keys.Append(key);
        if (!foundChecks.empty())
            keys.SetCheck(keys.Size() - 1, foundChecks[i]);
        if (++added >= wanted)
            return;
        if (deadline != 0 && (added & 4095) == 0 && SteadyNow() >= deadline)
            return;
    }
    JoinTail();
}

std::vector<std::string> RecordsetState::Continuation(const DynasetOrder& runOrder,
                                                      const std::vector<EngineValue>& point) const {
    std::vector<std::string> segments = runOrder.Continuation(point, 1);
    // Ordered on the key alone, no other record ties with the point: its segment (the same
    // key, the key beyond it) is empty, and on a server it would cost an exchange.
    if (segments.size() > 1 && OnlyColumn(runOrder, keyColumn))
        segments.erase(segments.begin());
    return segments;
}

std::string RecordsetState::OrderValueColumns() const {
    return database->server && order.TermCount() > 0 ? order.TermColumns().substr(2)
                                                     : std::string();
}

std::vector<EngineValue> RecordsetState::RowValues(Statement& stmt, int first) const {
    std::vector<EngineValue> out;
    for (int i = 0; i < static_cast<int>(order.TermCount()); ++i)
        out.push_back(stmt.Column(first + i));
    return out;
}

std::vector<EngineValue> RecordsetState::SortValues(std::int64_t key) {
    std::vector<EngineValue> out;
    if (order.TermCount() == 0)
        return out;
    if (!sortValues) {
        std::string columns = order.TermColumns().substr(2); // without the leading ", "
        PrepareInternalRead(db(), sortValues,
                            "SELECT " + columns + " FROM " + from + " WHERE " + rowid + " = ?1",
                            kRecordset);
    }
    StatementScope scope(sortValues);
    sortValues.Bind(1, key);
    if (sortValues.Step() == kRow) {
        for (int i = 0; i < static_cast<int>(order.TermCount()); ++i)
            out.push_back(sortValues.Column(i));
    } else {
        out.resize(order.TermCount());
    }
    return out;
}

void RecordsetState::Land(size_t position) {
    // A move that is no step to a neighbour reads anew, so that it shows what others changed
    // since the last read ahead (unless that read was made for this very move).
    const bool step = at == Where::OnRecord && (position + 1 == pos || position == pos + 1);
    if (!step && !cacheFresh && position != carriedFor) {
        cache.clear();
        carriedFor = npos;
    }
    at = Where::OnRecord;
    pos = position;
    if (!InTail(position))
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
    const std::int64_t key = KeyAt(position);
    if (materialised) // a private copy: nobody else deletes from it
        return key >= 1 && static_cast<size_t>(key) <= copyRows;
    if (!readManyKey.empty()) {
        // Right after a fill or a check, with no record read since, the cache answers: what
        // it holds was read for this move.
        if (cacheFresh) {
            if (const auto* hit = Cached(key))
                return hit->has_value();
        }
        // Otherwise a server answers with the records around it, read anew, for the moves
        // that follow: a window checks one of its rows, then moves up or down by a row or a
        // page.
        cache.clear();
        // In the order of the integer key alone, a check near the keys' end keys the records
        // around it first, reading them with their keys: still one exchange.
        if (keyOrder && !InTail(position)) {
            const size_t n = std::max<size_t>(cacheSize, 1);
            const size_t from = position > n ? position - n : 0;
            KeyTo(position + n, from, position - from + 1 + n); // nothing where keyed so far
        }
        std::vector<Cell> row;
        const bool found = ReadAhead(position, row, Span::Around);
        cacheFresh = true;
        return found;
    }
    if (!exists)
        PrepareInternal(db(), exists,
                        "SELECT " +
                            (identityTarget.empty() ? std::string("0")
                                                    : "kel_identity(" + identityTarget + ")") +
                            " FROM " + target + " WHERE " + rowidColumn + " = ?1",
                        kRecordset);
    StatementScope scope(exists);
    exists.Bind(1, key);
    const StepResult rc = exists.Step();
    if (rc == kFailed)
        ThrowEngineError(exists);
    return rc == kRow && static_cast<std::uint32_t>(exists.ColumnInt64(0)) == CheckAt(position);
}

std::uint32_t RecordsetState::IdentityOf(std::int64_t key) {
    if (identityTarget.empty())
        return 0;
    Statement stmt;
    PrepareInternal(db(), stmt,
                    "SELECT kel_identity(" + identityTarget + ") FROM " + target + " WHERE " +
                        rowidColumn + " = ?1",
                    kRecordset);
    stmt.Bind(1, key);
    return stmt.Step() == kRow ? static_cast<std::uint32_t>(stmt.ColumnInt64(0)) : 0;
}

const std::vector<Cell>& RecordsetState::Current() {
    if (at != Where::OnRecord)
        ThrowDaoError(err::NoCurrentRecord, kRecordset);
    if (IsDeletedAt(pos))
        ThrowDaoError(err::RecordDeleted, kRecordset);
    if (!loaded) {
        if (!ReadRecord(pos, values, false)) {
            MarkDeletedAt(pos);
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
    // Records keyed from the end keep their count from the end, before and after both ends meet.
    std::uint64_t code = position;
    if (InTail(position))
        code = kTailBookmark | (position - kTail);
    else if (tailCount > 0 && position < tailAnchor && position >= tailAnchor - tailCount)
        code = kTailBookmark | (tailAnchor - 1 - position);
    Put(bytes + 11, code);
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
    const std::uint64_t code = Get(p + 11);
    if (code & kTailBookmark) {
        const std::uint64_t k = code & ~kTailBookmark;
        if (complete && k < tailCount)
            return tailAnchor - 1 - static_cast<size_t>(k);
        if (!complete && k < tail.Size())
            return kTail + static_cast<size_t>(k);
        ThrowDaoError(err::NotABookmark, kRecordset);
    }
    if (code >= keys.Size())
        ThrowDaoError(err::NotABookmark, kRecordset);
    return static_cast<size_t>(code);
}

} // namespace kel::dao
