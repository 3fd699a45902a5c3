// The engine reports the base table and column a result column is read from, never the alias it was
// read through, so the two sides of a self-join look alike. The source of each column is
// therefore found in the statement's own text: q.* and q.col name theirs; the columns of * are
// matched in order against each source's own columns (SELECT q.* FROM the same FROM, prepared,
// never run), which is the order SQLite expands * in. Matching by name, table and column rather
// than by counting keeps this right when USING or NATURAL leaves a column out of *. A bare column
// name is read from the first source that has it, as SQLite resolves it. Rewriting the select
// list to tag each column was not chosen: the statement would no longer be the caller's, and *
// under USING or NATURAL would change its columns.
#include "platform/dao/ResultColumns.h"

#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/EngineError.h"

#include <algorithm>

namespace kel::dao {

namespace {

struct SourceColumn {
    std::string name, table, origin;
};

SourceColumn ColumnOf(const EngineStatement& stmt, int i) {
    EngineStatement::ColumnSource origin = stmt.ColumnOrigin(i);
    return {stmt.ColumnName(i), std::move(origin.table), std::move(origin.column)};
}

// The statement, or nothing when the engine refuses it.
std::unique_ptr<EngineStatement> TryPrepare(EngineConnection& db, const std::string& sql) {
    try {
        return db.Prepare(sql);
    } catch (const EngineError&) {
        return nullptr;
    }
}

bool Same(const SourceColumn& a, const SourceColumn& b) {
    return EqualsNoCase(a.name, b.name) && EqualsNoCase(a.table, b.table) &&
           EqualsNoCase(a.origin, b.origin);
}

// The number of columns a select list gives over the FROM clause; -1 when it does not prepare.
int Width(EngineConnection& db, const std::string& list, const std::string& from) {
    if (from.empty())
        return -1;
    const std::unique_ptr<EngineStatement> probe =
        TryPrepare(db, "SELECT " + list + " FROM " + from);
    return probe ? probe->ColumnCount() : -1;
}

// q of q.*, q.col and schema.q.col; empty for anything else.
std::string QualifierOf(const SelectItem& item) {
    std::vector<SqlToken> t = SignificantTokens(item.expr);
    if (item.star)
        return t.size() == 3 ? Unquote(t[0]) : std::string();
    if (t.size() < 3 || !IsColumnReference(item.expr))
        return std::string();
    return Unquote(t[t.size() - 3]);
}

} // namespace

std::vector<const SelectItem*> ItemsOfColumns(EngineConnection& db, const SelectStatement& stmt,
                                              int columns) {
    const size_t count = static_cast<size_t>(std::max(columns, 0));
    std::vector<const SelectItem*> itemOf(count, nullptr);
    if (stmt.compound || stmt.items.empty())
        return itemOf;
    const size_t stars = static_cast<size_t>(std::count_if(
        stmt.items.begin(), stmt.items.end(), [](const SelectItem& i) { return i.star; }));
    const size_t plain = stmt.items.size() - stars;
    if (plain > count)
        return itemOf;
    // One star takes what the other items leave; several are measured one by one, as A.* and
    // B.* of two tables differ in width.
    std::vector<size_t> widths;
    size_t total = 0;
    for (const SelectItem& item : stmt.items) {
        size_t width = 1;
        if (item.star && stars == 1) {
            width = count - plain;
        } else if (item.star) {
            int n = Width(db, item.expr, stmt.from);
            if (n < 0)
                return itemOf;
            width = static_cast<size_t>(n);
        }
        widths.push_back(width);
        total += width;
    }
    if (total != count)
        return itemOf;
    size_t c = 0;
    for (size_t k = 0; k < stmt.items.size(); ++k) {
        for (size_t n = 0; n < widths[k]; ++n)
            itemOf[c++] = &stmt.items[k];
    }
    return itemOf;
}

std::vector<std::string> SourcesOfColumns(EngineConnection& db, const EngineStatement& full,
                                          const SelectStatement& stmt,
                                          const std::vector<const SelectItem*>& itemOf) {
    const int columns = full.ColumnCount();
    std::vector<std::string> out(static_cast<size_t>(columns));
    if (stmt.compound || itemOf.size() != out.size())
        return out;
    const std::vector<FromSource> sources = ParseFromList(stmt.from);
    if (sources.empty())
        return out;
    auto sourceNamed = [&](const std::string& q) {
        for (const FromSource& s : sources) {
            if (EqualsNoCase(s.Name(), q))
                return s.Name();
        }
        return q;
    };

    // Each source's own columns, learnt when first needed; a source that cannot be asked (a
    // sub-query without an alias) leaves * unmatched rather than matched against the wrong one.
    std::vector<std::vector<SourceColumn>> columnsOf;
    bool everySource = true;
    auto learn = [&] {
        if (!columnsOf.empty())
            return;
        columnsOf.resize(sources.size());
        for (size_t k = 0; k < sources.size(); ++k) {
            std::unique_ptr<EngineStatement> probe;
            if (!sources[k].Name().empty())
                probe = TryPrepare(db, "SELECT " + QuoteSqlName(sources[k].Name()) + ".* FROM " +
                                           stmt.from);
            if (!probe) {
                everySource = false;
                continue;
            }
            for (int i = 0; i < probe->ColumnCount(); ++i)
                columnsOf[k].push_back(ColumnOf(*probe, i));
        }
    };

    const SelectItem* star = nullptr; // the * being matched, and where its match stands
    size_t atSource = 0, atColumn = 0;
    for (int i = 0; i < columns; ++i) {
        const SelectItem* item = itemOf[static_cast<size_t>(i)];
        const SourceColumn column = ColumnOf(full, i);
        const bool reference =
            item ? item->star || IsColumnReference(item->expr) : !column.origin.empty();
        if (!reference && column.origin.empty())
            continue; // an expression
        std::string& source = out[static_cast<size_t>(i)];
        if (sources.size() == 1) {
            source = sources[0].Name();
            continue;
        }
        if (item) {
            std::string q = QualifierOf(*item);
            if (!q.empty()) {
                source = sourceNamed(q);
                continue;
            }
        }
        learn();
        if (item && item->star && everySource) {
            if (item != star) {
                star = item;
                atSource = atColumn = 0;
            }
            for (size_t k = atSource, j = atColumn; k < columnsOf.size(); ++k, j = 0) {
                for (; j < columnsOf[k].size() && !Same(columnsOf[k][j], column); ++j) {
                }
                if (j < columnsOf[k].size()) {
                    source = sources[k].Name();
                    atSource = k;
                    atColumn = j + 1;
                    break;
                }
            }
            if (!source.empty())
                continue;
        }
        for (size_t k = 0; k < columnsOf.size() && source.empty(); ++k) {
            if (std::any_of(columnsOf[k].begin(), columnsOf[k].end(),
                            [&](const SourceColumn& c) { return Same(c, column); }))
                source = sources[k].Name();
        }
        if (source.empty())
            source = column.table;
    }
    return out;
}

} // namespace kel::dao
