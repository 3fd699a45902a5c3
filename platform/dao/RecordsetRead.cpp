// Reading a record's values by key. A reader may narrow the read: fields it does not show
// are left out, and of the text values it shows it may want only a beginning.
// A field seen holding a value beyond that is from then on read by an incremental handle
// (its length and first bytes only), so a record with a 10 MB memo reads like any other.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/Prepare.h"
#include "platform/dao/SqlLexer.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace kel::dao {

namespace {

// Text cut to at most n bytes, not inside a UTF-8 sequence.
void CutText(std::string& text, size_t n) {
    if (text.size() <= n)
        return;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.resize(n);
}

} // namespace

bool RecordsetState::Narrowed() const {
    return !skipped.empty() || !limits.empty();
}

bool RecordsetState::ReadsByHandle(size_t field) const {
    const RecordsetField& f = fields[field];
    // A server reads a value whole: it has no handle on a part of one.
    return !database->server && !materialised && !f.expression && !f.sourceField.empty() &&
           EqualsNoCase(f.sourceTable, table);
}

void RecordsetState::PrepareRead() {
    loaded = false;
    readAll = Statement(); // prepared again when an edit or a skipped field needs it
    DropCache();           // its records hold other fields
    const bool anyLarge = std::find(large.begin(), large.end(), true) != large.end();
    readSql = readAllSql;
    if (skipped.empty() && !anyLarge) {
        PrepareInternalRead(db(), read, readAllSql, kRecordset);
        return;
    }
    std::string list;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string expr = materialised ? QuoteSqlName(fields[i].storedName) : fields[i].expr;
        if (expr.empty()) {
            // A field the statement reads some other way: everything stays read.
            skipped.clear();
            large.clear();
            PrepareInternalRead(db(), read, readAllSql, kRecordset);
            return;
        }
        std::string item = expr;
        if (!skipped.empty() && skipped[i])
            item = "NULL";
        else if (!large.empty() && large[i])
            // Numbers as they are; of text and binary values only the storage class, which the
            // engine tells without reading the value.
            item = "CASE WHEN typeof(" + expr + ") IN ('integer', 'real') THEN " + expr +
                   " ELSE typeof(" + expr + ") END";
        list += (i ? ", " : "") + item;
    }
    Statement narrowed;
    PrepareInternalRead(db(), narrowed, "SELECT " + list + readTail, kRecordset);
    read = std::move(narrowed);
    readSql = "SELECT " + list + readTail;
}

void RecordsetState::SkipFields(const std::vector<bool>& skip) {
    std::vector<bool> want = skip;
    want.resize(fields.size(), false);
    if (std::none_of(want.begin(), want.end(), [](bool b) { return b; }))
        want.clear();
    if (want == skipped)
        return;
    skipped = std::move(want);
    PrepareRead();
}

void RecordsetState::LimitFields(const std::vector<long>& bytes) {
    std::vector<long> want = bytes;
    want.resize(fields.size(), 0);
    if (std::all_of(want.begin(), want.end(), [](long n) { return n <= 0; }))
        want.clear();
    if (want == limits)
        return;
    limits = std::move(want);
    if (!large.empty()) {
        large.clear();
        PrepareRead();
    }
    loaded = false;
}

bool RecordsetState::ReadRow(std::int64_t key, std::vector<Cell>& row, std::uint32_t* identity,
                             bool all) {
    database->CheckFileInPlace(kRecordset);
    const bool whole = all && Narrowed();
    if (whole && !readAll)
        PrepareInternalRead(db(), readAll, readAllSql, kRecordset);
    Statement& stmt = whole ? readAll : read;
    bool grown = false;
    {
        StatementScope scope(stmt);
        stmt.Bind(1, key);
        const StepResult rc = stmt.Step();
        if (rc == kDone)
            return false;
        if (rc != kRow)
            ThrowEngineError(stmt);
        row.resize(fields.size());
        for (size_t i = 0; i < fields.size(); ++i)
            row[i] = stmt.Column(static_cast<int>(i));
        if (identity && !identityColumns.empty())
            *identity =
                static_cast<std::uint32_t>(stmt.ColumnInt64(static_cast<int>(fields.size())));
        if (!whole && !limits.empty()) {
            for (size_t i = 0; i < fields.size(); ++i) {
                const size_t limit = static_cast<size_t>(std::max(limits[i], 0L));
                Cell& c = row[i];
                if (limit == 0 || (!large.empty() && large[i]))
                    continue;
                if (c.kind == EngineValue::Kind::Text && c.bytes.size() > limit) {
                    CutText(c.bytes, limit);
                    if (ReadsByHandle(i)) {
                        large.resize(fields.size(), false);
                        large[i] = true;
                        grown = true;
                    }
                }
            }
        }
    }
    // The fields read by handle: their storage class came with the row, their beginning
    // comes now, each read ending before the next (no read lock outlives the call).
    if (!whole && !large.empty()) {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (!large[i] || grown || row[i].kind != EngineValue::Kind::Text)
                continue;
            const std::string kind = row[i].bytes;
            Cell c;
            if (kind == "text" || kind == "blob") {
                c.kind = EngineValue::Kind::Text;
                std::optional<std::string> prefix;
                if (kind == "text") {
                    try {
                        prefix = db().ReadTextPrefix(schema, table, fields[i].sourceField, key,
                                                     static_cast<size_t>(limits[i]) + 4);
                    } catch (const EngineError& e) {
                        ThrowDaoFor(e, kRecordset, {sqlGiven, false, database->name});
                    }
                }
                if (prefix) {
                    c.bytes = std::move(*prefix);
                } else {
                    // Binary values are whole (their size is what shows); a row gone between
                    // the two reads reads as gone.
                    std::vector<Cell> full;
                    if (!ReadRow(key, full, nullptr, true))
                        return false;
                    c = full[i];
                }
                if (c.kind == EngineValue::Kind::Text)
                    CutText(c.bytes, static_cast<size_t>(limits[i]));
            }
            row[i] = std::move(c);
        }
    }
    if (grown)
        PrepareRead();
    return true;
}

Cell RecordsetState::ReadSkipped(size_t field) {
    Current(); // 3021, 3167
    std::vector<Cell> row;
    if (!ReadRow(KeyAt(pos), row, nullptr, true)) {
        MarkDeletedAt(pos);
        ThrowDaoError(err::RecordDeleted, kRecordset);
    }
    return row[field];
}

void RecordsetState::CutToLimits(std::vector<Cell>& row) const {
    if (limits.empty())
        return;
    for (size_t i = 0; i < row.size() && i < limits.size(); ++i) {
        if (limits[i] > 0 && row[i].kind == EngineValue::Kind::Text)
            CutText(row[i].bytes, static_cast<size_t>(limits[i]));
    }
}

void RecordsetState::PrepareReadMany() {
    const std::string head = readSql.substr(0, readSql.size() - readTail.size());
    // Through a key map, the keys of the numbers asked for pick the rows.
    auto where = [&](const std::string& pick) {
        return keyMap ? "(" + KeyMapQualified() + ") IN (SELECT " + KeyMapList("") + " FROM " +
                            copyTable + " WHERE " + pick + ")"
                      : pick;
    };
    const std::string key = keyMap ? std::string("\"kel$pos\"") : readManyKey;
    const std::string select =
        head + ", " + readManyKey + " FROM " + (materialised ? copyTable : from) + " WHERE ";
    PrepareInternalRead(db(), readMany, select + where(db().GetDialect().KeyInList(key, 1)),
                        kRecordset);
    PrepareInternalRead(db(), readRange, select + where(key + " BETWEEN ?1 AND ?2"), kRecordset);
}

namespace {

constexpr std::int64_t kFreshNs = 1000000000; // what others wrote shows within a second

} // namespace

void RecordsetState::DropStaleCache() {
    if (!cache.empty() && SteadyNow() - cacheTime > kFreshNs)
        cache.clear();
}

const std::optional<std::vector<Cell>>* RecordsetState::Cached(std::int64_t key) {
    DropStaleCache();
    const auto hit = cache.find(key);
    return hit == cache.end() ? nullptr : &hit->second;
}

void RecordsetState::ReadKeys(const std::vector<std::int64_t>& wanted) {
    if (wanted.empty())
        return;
    if (!readMany)
        PrepareReadMany();
    if (cache.empty())
        cacheTime = SteadyNow();
    // Keys close together (a table shown in key order) are one index range to the server,
    // which it reads faster than a list; the rows between that were not asked for are passed
    // over.
    const auto [lo, hi] = std::minmax_element(wanted.begin(), wanted.end());
    const bool range =
        static_cast<std::uint64_t>(*hi) - static_cast<std::uint64_t>(*lo) < 2 * wanted.size() + 16;
    Statement& stmt = range ? readRange : readMany;
    StatementScope scope(stmt);
    if (range) {
        stmt.Bind(1, *lo);
        stmt.Bind(2, *hi);
    } else {
        stmt.Bind(1, db().GetDialect().KeyList(wanted));
    }
    std::vector<std::int64_t> asked;
    if (range) {
        asked = wanted;
        std::sort(asked.begin(), asked.end());
    }
    StepResult rc;
    while ((rc = stmt.Step()) == kRow) {
        const std::int64_t key = stmt.ColumnInt64(static_cast<int>(fields.size()));
        if (!range || std::binary_search(asked.begin(), asked.end(), key))
            CacheRecord(stmt, 0, key);
    }
    if (rc != kDone)
        ThrowEngineError(stmt);
    for (const std::int64_t key : wanted)
        cache.try_emplace(key, std::nullopt); // asked for and not there: gone since keyed
}

bool RecordsetState::ReadAhead(size_t position, std::vector<Cell>& row, Span span) {
    const std::int64_t key = KeyAt(position);
    const std::optional<std::vector<Cell>>* hit = Cached(key);
    if (hit == nullptr) {
        // Only keys already keyed are read (reading ahead keys nothing): n of them from k the
        // way the reader moves in its key list (up: towards its start), or n either way of k
        // for a check; the places as [from, from + count).
        const size_t n = std::max<size_t>(cacheSize, 1);
        auto range = [&](size_t k, bool up) -> std::pair<size_t, size_t> {
            if (span == Span::Around) {
                const size_t from = k > n ? k - n : 0;
                return {from, k - from + 1 + n};
            }
            return {up ? (k + 1 > n ? k + 1 - n : 0) : k, n};
        };
        std::vector<std::int64_t> wanted;
        if (InTail(position)) {
            // Counted from the end: a window reads towards it (k falls) unless the reader
            // steps back (k rises).
            const bool back = lastRead != npos && InTail(lastRead) && position > lastRead;
            const auto [from, count] = range(position - kTail, !back);
            for (size_t i = from; i < tail.Size() && i < from + count; ++i)
                wanted.push_back(tail.At(i));
        } else {
            const bool backwards = lastRead != npos && !InTail(lastRead) && position < lastRead;
            const auto [from, count] = range(position, backwards);
            for (size_t p = from; p < keys.Size() && p < from + count; ++p)
                wanted.push_back(keys.At(p));
        }
        if (std::find(wanted.begin(), wanted.end(), key) == wanted.end())
            wanted.push_back(key);
        cache.clear();
        ReadKeys(wanted);
        hit = &cache[key];
    }
    lastRead = position;
    if (!*hit)
        return false; // gone since it was keyed
    row = **hit;
    CutToLimits(row);
    return true;
}

void RecordsetState::FillCache(size_t position, size_t n) {
    if (readManyKey.empty() || n == 0)
        return; // an embedded engine reads a record as fast as a cache would
    std::vector<std::int64_t> wanted;
    if (InTail(position)) {
        // Counted from the end: towards the end is towards the tail's start.
        for (size_t i = position - kTail + 1; i-- > 0 && wanted.size() < n;)
            wanted.push_back(tail.At(i));
    } else {
        // The fill keys what the moves after it would, and a run it needs carries the fill.
        KeyTo(position + n - 1, position, n);
        for (size_t p = position; p < keys.Size() && wanted.size() < n; ++p)
            wanted.push_back(keys.At(p));
    }
    // The cache stays near what one fill or read-ahead holds: past that, it keeps only the
    // fill's records (a run that keyed them may have read them).
    if (cache.size() + wanted.size() > 2 * std::max<size_t>({cacheSize, n, 1})) {
        std::vector<std::int64_t> kept = wanted;
        std::sort(kept.begin(), kept.end());
        std::erase_if(cache, [&](const auto& entry) {
            return !std::binary_search(kept.begin(), kept.end(), entry.first);
        });
    }
    std::erase_if(wanted, [&](std::int64_t key) { return Cached(key) != nullptr; });
    ReadKeys(wanted);
    cacheFresh = true;
}

std::string RecordsetState::CarriedColumns() const {
    if (readManyKey.empty() || materialised || !identityColumns.empty() || cacheSize == 0)
        return {};
    constexpr std::string_view kSelect = "SELECT ";
    return readSql.substr(kSelect.size(), readSql.size() - readTail.size() - kSelect.size());
}

int RecordsetState::CarriedAt(const Statement& stmt, bool together) const {
    // A map's run adds each key column twice (as the map keeps it, and as text), the row's
    // number and its earlier one, and for several conditions at once the condition's and the
    // row's numbers.
    const int mapped =
        keyMap ? 2 * static_cast<int>(keyMapColumns.size()) + 2 + (together ? 2 : 0) : 0;
    return stmt.ColumnCount() - mapped - static_cast<int>(fields.size());
}

void RecordsetState::CacheRecord(const Statement& stmt, int first, std::int64_t key) {
    if (cache.empty())
        cacheTime = SteadyNow();
    std::vector<Cell> record(fields.size());
    for (size_t i = 0; i < record.size(); ++i)
        record[i] = stmt.Column(first + static_cast<int>(i));
    cache[key] = std::move(record);
}

bool RecordsetState::ReadRecord(size_t position, std::vector<Cell>& row, bool all) {
    cacheFresh = false; // a record read: the next jump reads anew
    carriedFor = npos;
    if (!all && !readManyKey.empty())
        return ReadAhead(position, row);
    std::uint32_t identity = 0;
    if (!ReadRow(KeyAt(position), row, &identity, all))
        return false;
    // The row holds another record now: the keyed one is gone.
    return identity == CheckAt(position);
}

} // namespace kel::dao
