// Find: FIRST and LAST by one query in the recordset's order and a lookup of the record's
// place among the keys; NEXT and PREV by testing record after record from the current one.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/JetSql.h"
#include "platform/dao/Prepare.h"
#include "platform/dao/SqlLexer.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kel::dao {

namespace {

// A criterion names the recordset's fields: an expression's name, or in a copy of a result the
// column that holds a field, stands for the field.
std::string BindFieldNames(const std::string& criterion, const RecordsetState& rs) {
    LexResult lex = LexSql(criterion, SqlDialect::Sqlite);
    if (!lex.ok)
        return criterion;
    const auto& t = lex.tokens;
    auto field = [&](const std::string& name) -> const RecordsetField* {
        size_t i = rs.FindField(name);
        return i == RecordsetState::npos ? nullptr : &rs.fields[i];
    };
    auto replacement = [&](const RecordsetField& f) -> std::string {
        if (rs.materialised)
            return QuoteSqlName(f.storedName);
        // SQLite finds a field's own AS name in a condition; a server knows only the columns.
        const bool named = f.expression || rs.database->server;
        return named && !f.expr.empty() ? "(" + f.expr + ")" : std::string();
    };
    std::string out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].IsName() && !(i > 0 && t[i - 1].Is(TokenKind::Dot))) {
            size_t next = NextSignificant(t, i);
            bool call = next < t.size() && t[next].Is(TokenKind::LParen);
            bool dotted = next < t.size() && t[next].Is(TokenKind::Dot);
            size_t second = dotted ? NextSignificant(t, next) : t.size();
            if (dotted && rs.materialised && second < t.size() && t[second].IsName()) {
                const RecordsetField* f = field(Unquote(t[i]) + "." + Unquote(t[second]));
                if (f) {
                    out += replacement(*f);
                    i = second;
                    continue;
                }
            }
            if (!dotted && !call) {
                const RecordsetField* f = field(Unquote(t[i]));
                std::string r = f ? replacement(*f) : std::string();
                if (!r.empty()) {
                    out += r;
                    continue;
                }
            }
        }
        out += t[i].text;
    }
    return out;
}

} // namespace

bool RecordsetState::Find(long findType, const std::string& criterion) {
    if (type == dbOpenTable)
        ThrowDaoError(err::NotSupportedForType, kRecordset);
    if (findType != AFX_DAO_FIRST && findType != AFX_DAO_LAST && findType != AFX_DAO_NEXT &&
        findType != AFX_DAO_PREV)
        ThrowDaoError(err::InvalidArgument, kRecordset);
    Settle(); // Find counts places from the front
    DatabaseState::ServerNames named, stored;
    if (database->server) {
        std::vector<std::string> sources;
        for (const RecordsetField& f : fields) {
            named.AddField(f.name, f.type.type);
            if (!f.sourceField.empty())
                named.AddField(f.sourceField, f.type.type);
            if (!f.sourceTable.empty() &&
                std::find(sources.begin(), sources.end(), f.sourceTable) == sources.end())
                sources.push_back(f.sourceTable);
        }
        // Besides the fields, a criterion may name other columns of the recordset's tables.
        stored = database->StoredNames({criterion}, sources);
    }
    JetTranslation jet =
        database->Translate(criterion, JetTextKind::Expression, indexOrderedNames, named, &stored);
    if (!jet.ok)
        ThrowDaoError(jet.errorCode, jet.description, kRecordset);
    const std::string crit = BindFieldNames(jet.sql, *this);
    const EngineContext context{criterion, true, database->name};
    if (keyMap) {
        // One query over the key map, every record keyed: the first number (after or before
        // the current one) whose record meets the criterion. The numbers follow the keys' order.
        const bool forward = findType == AFX_DAO_FIRST || findType == AFX_DAO_NEXT;
        const bool fromHere = findType == AFX_DAO_NEXT || findType == AFX_DAO_PREV;
        if (fromHere && at == (forward ? Where::AfterLast : Where::BeforeFirst))
            return false;
        if (!complete && !fromHere) {
            // The first (or last) is keyed from its end, no further than it lies.
            bool matches = false;
            const size_t position = FindMapped(forward, crit, context, matches);
            if (position != Keyset::npos) {
                CancelEdit();
                Land(position);
                return true;
            }
            if (!matches)
                return false;
        }
        KeyAll();
        Statement stmt;
        PrepareOne(db(), stmt,
                   "SELECT c.\"kel$pos\" FROM " + copyTable + " AS c WHERE EXISTS (SELECT 1 FROM " +
                       from + " WHERE (" + KeyMapQualified() + ") = (" + KeyMapList("c.") +
                       ") AND (" + crit + ")) AND c.\"kel$pos\" " + (forward ? ">" : "<") +
                       " ?1 ORDER BY c.\"kel$pos\"" + (forward ? "" : " DESC") +
                       db().GetDialect().BoundedRead(1),
                   kRecordset, context);
        std::int64_t after = fromHere && at == Where::OnRecord ? KeyAt(pos)
                             : forward                         ? 0
                                       : std::numeric_limits<std::int64_t>::max();
        for (;;) {
            StatementScope scope(stmt);
            stmt.Bind(1, after);
            const StepResult rc = stmt.Step();
            if (rc == kDone)
                return false;
            if (rc != kRow)
                ThrowStepError(stmt, kRecordset, context);
            after = stmt.ColumnInt64(0);
            // A number mapped by a run that met the other end may name no record of the keys.
            const size_t position = PositionOfNumber(after);
            if (position != Keyset::npos) {
                CancelEdit();
                Land(position);
                return true;
            }
        }
    }
    if (findType == AFX_DAO_NEXT || findType == AFX_DAO_PREV)
        return FindScan(findType == AFX_DAO_NEXT, crit);
    const bool last = findType == AFX_DAO_LAST;

    if (materialised) {
        Statement stmt;
        PrepareOne(db(), stmt,
                   "SELECT \"kel$pos\" FROM " + copyTable + " WHERE (" + crit +
                       ") ORDER BY \"kel$pos\"" + (last ? " DESC" : "") +
                       db().GetDialect().BoundedRead(1),
                   kRecordset, context);
        const StepResult rc = stmt.Step();
        if (rc == kDone)
            return false;
        if (rc != kRow)
            ThrowStepError(stmt, kRecordset, context);
        size_t position = static_cast<size_t>(stmt.ColumnInt64(0) - 1);
        stmt.Reset();
        CancelEdit();
        KeyToRead(position);
        Land(position);
        return true;
    }

    // Rows added through the dynaset come after all others, whatever their values.
    const size_t appended = appendedFrom < keys.Size() ? appendedFrom : keys.Size();
    if (last && appended < keys.Size()) {
        Statement test;
        PrepareOne(db(), test,
                   "SELECT 1 FROM " + from + " WHERE " + rowid + " = ?1 AND (" + crit + ")",
                   kRecordset, context);
        for (size_t p = keys.Size(); p-- > appended;) {
            StatementScope scope(test);
            test.Bind(1, keys.At(p));
            if (!keys.IsDeleted(p) && test.Step() == kRow) {
                CancelEdit();
                Land(p);
                return true;
            }
        }
    }

    const std::string base = "SELECT " + rowid + order.TermColumns() + " FROM " + from + " WHERE " +
                             (whereClause.empty() ? "" : "(" + whereClause + ") AND ") + "(" +
                             crit + ") ORDER BY " + order.OrderBy(last);
    const int terms = static_cast<int>(order.TermCount());
    // One match is the answer when it is a record of the dynaset; a row added by others is not,
    // and then the query is stepped on. A row added through the dynaset counts only when no
    // other record matches.
    std::optional<size_t> found, addedMatch;
    for (bool limited : {true, false}) {
        Statement stmt;
        PrepareOne(db(), stmt, base + (limited ? db().GetDialect().BoundedRead(1) : ""), kRecordset,
                   context);
        StatementScope scope(stmt);
        bool any = false;
        StepResult rc = kDone;
        while (!found && (rc = stmt.Step()) == kRow) {
            any = true;
            std::vector<EngineValue> point;
            for (int i = 0; i < terms; ++i)
                point.push_back(stmt.Column(1 + i));
            size_t p = PositionOf(stmt.ColumnInt64(0), point);
            if (p == Keyset::npos)
                continue;
            if (p < appended || last)
                found = p;
            else if (!addedMatch || p < *addedMatch)
                addedMatch = p;
        }
        if (!found && rc != kDone)
            ThrowStepError(stmt, kRecordset, context);
        if (found || !any)
            break;
    }
    if (!found)
        found = addedMatch;
    if (!found)
        return false;
    CancelEdit();
    Land(*found);
    return true;
}

size_t RecordsetState::PositionOf(std::int64_t key, const std::vector<EngineValue>& point) {
    if (key > MaxRowid()) {
        // Added through the dynaset, or by others (and then not a record of it).
        for (size_t p = appendedFrom; p < keys.Size(); ++p) {
            if (keys.At(p) == key)
                return p;
        }
        return Keyset::npos;
    }
    // Where a keyed record lies against the point: <0 before, >0 after; none when deleted.
    auto compareAt = [&](size_t p) -> std::optional<int> {
        if (keys.IsDeleted(p))
            return std::nullopt;
        if (order.TermCount() == 0)
            return order.Compare({}, keys.At(p), key);
        if (!probe)
            PrepareInternal(db(), probe,
                            "SELECT " + order.CompareColumns(2) + " FROM " + from + " WHERE " +
                                rowid + " = ?1",
                            kRecordset);
        StatementScope scope(probe);
        probe.Bind(1, keys.At(p));
        for (size_t i = 0; i < point.size(); ++i)
            probe.Bind(static_cast<int>(i + 2), point[i]);
        const StepResult rc = probe.Step();
        if (rc == kDone) {
            keys.MarkDeleted(p);
            return std::nullopt;
        }
        if (rc != kRow)
            ThrowEngineError(probe);
        std::vector<int> columns;
        for (size_t i = 0; i < order.TermCount(); ++i)
            columns.push_back(static_cast<int>(probe.ColumnInt64(static_cast<int>(i))));
        return order.Compare(columns, keys.At(p), key);
    };
    const size_t keyed = std::min(appendedFrom, keys.Size());

    // Beyond what is keyed so far: keying goes on until the record comes.
    if (!complete) {
        std::optional<int> lastKeyed;
        for (size_t p = keyed; p-- > 0 && !lastKeyed;)
            lastKeyed = compareAt(p);
        if (!lastKeyed || *lastKeyed < 0) {
            size_t from = keys.Size();
            while (!complete) {
                KeyRun(chunk);
                for (size_t p = from; p < keys.Size(); ++p) {
                    if (keys.At(p) == key)
                        return p;
                }
                from = keys.Size();
            }
        }
    }

    // The keys are in the order unless records changed since they were keyed: search, check,
    // and scan when the check fails.
    size_t lo = 0, hi = std::min(appendedFrom, keys.Size());
    while (lo < hi) {
        size_t mid = lo + (hi - lo) / 2;
        std::optional<int> c;
        size_t m = mid;
        while (m < hi && !(c = compareAt(m)))
            ++m;
        if (!c)
            hi = mid;
        else if (*c < 0)
            lo = m + 1;
        else
            hi = m;
    }
    if (lo < keys.Size() && keys.At(lo) == key)
        return lo;
    return keys.FindLinear(key);
}

size_t RecordsetState::FindMapped(bool forward, const std::string& criterion,
                                  const EngineContext& context, bool& matches) {
    Statement first;
    PrepareOne(db(), first,
               "SELECT " + KeyMapQualified(true) + " FROM " + from + FilterWith(criterion) +
                   " ORDER BY " + order.OrderBy(!forward) + db().GetDialect().BoundedRead(1),
               kRecordset, context);
    const StepResult rc = first.Step();
    if (rc != kRow && rc != kDone)
        ThrowStepError(first, kRecordset, context);
    matches = rc == kRow;
    if (!matches)
        return Keyset::npos;
    std::vector<EngineValue> key;
    for (int i = 0; i < static_cast<int>(keyMapColumns.size()); ++i)
        key.push_back(first.Column(i));
    first.Reset();

    // Keyed run by run from that end until the map gives the record a number.
    Statement lookup;
    PrepareInternalRead(db(), lookup,
                        "SELECT \"kel$pos\" FROM " + copyTable + " WHERE (" + KeyMapList("") +
                            ") = " + order.TieParams(1),
                        kRecordset);
    for (;;) {
        {
            StatementScope scope(lookup);
            for (size_t i = 0; i < key.size(); ++i)
                lookup.Bind(static_cast<int>(i + 1), key[i]);
            const StepResult found = lookup.Step();
            if (found == kFailed)
                ThrowEngineError(lookup);
            if (found == kRow) {
                const std::int64_t number = lookup.ColumnInt64(0);
                const size_t p = PositionOfNumber(number);
                if (p != Keyset::npos || complete)
                    return p;
                const size_t k = tail.FindLinear(number);
                if (k != Keyset::npos)
                    return kTail + k;
            }
        }
        if (complete)
            return Keyset::npos; // gone since the query: the caller looks over every record
        if (forward)
            KeyRun(chunk);
        else
            TailRun(tailChunk);
    }
}

size_t RecordsetState::PositionOfNumber(std::int64_t number) const {
    // Keyed in order, the numbers ascend: a search finds it, and a scan where it does not.
    size_t lo = 0, hi = keys.Size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (keys.At(mid) < number)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < keys.Size() && keys.At(lo) == number ? lo : keys.FindLinear(number);
}

bool RecordsetState::FindScan(bool forward, const std::string& criterion) {
    const EngineContext context{criterion, true, database->name};
    Statement test;
    PrepareOne(db(), test,
               materialised
                   ? "SELECT 1 FROM " + copyTable + " WHERE \"kel$pos\" = ?1 AND (" + criterion +
                         ")"
                   : "SELECT 1 FROM " + from + " WHERE " + rowid + " = ?1 AND (" + criterion + ")",
               kRecordset, context);
    auto matches = [&](size_t p) {
        if (keys.IsDeleted(p))
            return false;
        StatementScope scope(test);
        test.Bind(1, keys.At(p));
        const StepResult rc = test.Step();
        if (rc == kFailed)
            ThrowStepError(test, kRecordset, context);
        return rc == kRow;
    };
    if (forward) {
        if (at == Where::AfterLast)
            return false;
        for (size_t p = at == Where::BeforeFirst ? 0 : pos + 1; KeyTo(p); ++p) {
            if (matches(p)) {
                CancelEdit();
                Land(p);
                return true;
            }
        }
        return false;
    }
    if (at == Where::BeforeFirst)
        return false;
    size_t p = pos;
    if (at == Where::AfterLast) {
        KeyAll();
        p = keys.Size();
    }
    while (p-- > 0) {
        if (matches(p)) {
            CancelEdit();
            Land(p);
            return true;
        }
    }
    return false;
}

} // namespace kel::dao
