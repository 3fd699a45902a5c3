// Opening a recordset: the statement, its fields, how it is keyed; closing; field and index
// information.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/DaoFieldInfo.h"
#include "platform/dao/DaoIndexInfo.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/KnownNames.h"
#include "platform/dao/Prepare.h"
#include "platform/dao/ResultColumns.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/TextCompare.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <limits>
#include <map>
#include <optional>

namespace kel::dao {

namespace {

std::atomic<std::uint64_t> g_openings{0};

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// "Orders", "[Order Details]" or "main.Orders": a table or query name rather than a statement.
bool IsBareName(std::string_view sqliteText, std::string* schema, std::string* name) {
    std::vector<SqlToken> t = SignificantTokens(sqliteText);
    if (t.size() == 1 && t[0].IsName() && !t[0].IsWord("SELECT")) {
        *schema = "";
        *name = Unquote(t[0]);
        return true;
    }
    if (t.size() == 3 && t[0].IsName() && t[1].Is(TokenKind::Dot) && t[2].IsName()) {
        *schema = Unquote(t[0]);
        *name = Unquote(t[2]);
        return true;
    }
    return false;
}

std::string SchemaPrefix(const std::string& schema) {
    return schema.empty() ? std::string() : QuoteSqlName(schema) + ".";
}

struct TableKind {
    bool exists = false;
    bool isTable = false; // a table rather than a view
    bool rowid = false;   // keyed by one integer: SQLite's rowid, a server's integer key
    bool keyed = false;   // a server's table whose rows a key of another kind names
};

// The descriptions an opening has asked the engine for, each asked once, by where they were
// asked for ("database.table") and by where the engine found them.
using Descriptions = std::map<std::string, std::optional<SchemaDescription>>;

std::string PlaceOf(const std::string& database, const std::string& table) {
    return database + "." + table;
}

// The engine's description of a table in database (empty: where an unqualified name leads);
// nothing when there is no such table or view.
const std::optional<SchemaDescription>& Described(EngineConnection& db, const std::string& database,
                                                  const std::string& table, Descriptions& known) {
    const std::string place = PlaceOf(database, table);
    auto it = known.find(place);
    if (it != known.end())
        return it->second;
    std::optional<SchemaDescription> d;
    try {
        d = db.DescribeTable(table, database);
    } catch (const EngineError& e) {
        if (e.Failure() != EngineFailure::TableNotFound)
            ThrowDaoFor(e, kRecordset);
    }
    // A column's origin names the table where it was found: the same description serves it.
    if (d)
        known.emplace(PlaceOf(d->database, d->name), d);
    return known.emplace(place, std::move(d)).first->second;
}

// Whether a statement reads without a subquery: a statement of one table then names nothing but
// that table, its fields, aliases and functions.
bool SelectsOnce(std::string_view jet) {
    int selects = 0;
    for (const SqlToken& t : SignificantTokens(jet))
        selects += t.IsWord("SELECT") ? 1 : 0;
    return selects <= 1; // none: a bare name, all of a table
}

// The server's names of the words of a statement of one table without a subquery, read from
// that table's description: its own spelling of the words that name it or its fields, without
// regard to case, as the server's names question would answer.
DatabaseState::ServerNames NamesOfTable(const SchemaDescription& d,
                                        const std::vector<std::string>& words) {
    auto named = [&](const std::string& name) {
        return std::any_of(words.begin(), words.end(),
                           [&](const std::string& w) { return EqualsNoCase(w, name); });
    };
    DatabaseState::ServerNames names;
    if (named(d.name))
        names.stored.push_back(d.name);
    for (const FieldDescription& f : d.fields) {
        if (!named(f.name))
            continue;
        if (f.name != d.name)
            names.stored.push_back(f.name);
        if (f.characterType)
            names.text.push_back(f.name);
        else if (f.booleanType)
            names.yesNo.push_back(f.name);
    }
    return names;
}

// A server's table is keyed by its row identity when that is one integer column: the keyset's
// keys are then its values.
std::string IntegerIdentity(EngineConnection& db, const SchemaDescription& schema) {
    const std::vector<std::string> identity = db.GetDialect().RowIdentity(schema);
    if (identity.size() != 1)
        return {};
    const FieldDescription* f = schema.Find(identity[0]);
    if (!f)
        return {};
    const std::string decl = f->declaredType;
    return decl == "smallint" || decl == "integer" || decl == "bigint" ? identity[0]
                                                                       : std::string();
}

TableKind LookupTable(EngineConnection& db, bool server, const std::string& schema,
                      const std::string& table, Descriptions& known) {
    TableKind kind;
    const std::optional<SchemaDescription>& d = Described(db, schema, table, known);
    if (!d)
        return kind;
    kind.exists = true;
    kind.isTable = !d->view;
    if (server) {
        kind.rowid = kind.isTable && !IntegerIdentity(db, *d).empty();
        kind.keyed = kind.isTable && !kind.rowid && !db.GetDialect().RowIdentity(*d).empty();
    } else {
        kind.rowid = d->hasRowId;
    }
    return kind;
}

// Whether a column leads an index of its table. An order on such a text column goes without
// the collation: the index is ordered by its own, and keeps serving the order (a sort of the
// whole table otherwise) at the price of case order on that column.
bool LeadsAnIndex(const SchemaDescription& table, const std::string& column) {
    return std::any_of(table.indexes.begin(), table.indexes.end(),
                       [&](const IndexDescription& index) {
                           return !index.fields.empty() && EqualsNoCase(index.fields[0], column);
                       });
}

bool IsInteger(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

void Apply(JetTranslation& t, DatabaseState& db, const std::string& text, JetTextKind kind,
           const DatabaseState::ServerNames& names, const DatabaseState::ServerNames& fields = {}) {
    t = db.Translate(text, kind, {}, fields, &names);
    if (!t.ok)
        ThrowDaoError(t.errorCode, t.description, kRecordset);
}

} // namespace

void RecordsetState::Open(DatabaseState& db, int openType, const std::string& text, int openOptions,
                          const std::string& filter, const std::string& sort) {
    if (openType == AFX_DAO_USE_DEFAULT_TYPE)
        openType = dbOpenDynaset;
    if (openType != dbOpenTable && openType != dbOpenDynaset && openType != dbOpenSnapshot &&
        openType != dbOpenForwardOnly)
        ThrowDaoError(err::InvalidArgument, kRecordset);
    database = &db;
    db.keying.push_back(this);
    type = openType;
    options = openOptions;
    sqlGiven = text;
    instance = ++g_openings;
    const EngineContext context{text, false, db.name};

    // The statement in SQLite's words; a bare name stands for all of a table or query.
    const bool server = db.server;
    Descriptions described;
    const Dialect& dialect = db.db().GetDialect();
    // On a server a plain statement is first read with its names as they were found last time
    // (as written, the first time), and the server's names are asked for with its preparation,
    // in one exchange; where they make the statement read otherwise, it is read and prepared
    // again.
    const std::vector<std::string> words = db.NameWords({text, filter, sort});
    bool guessing = !words.empty() && filter.empty() && sort.empty() && type != dbOpenTable;
    const std::string namesOf = db.name + '\n' + db.connect;
    DatabaseState::ServerNames stored;
    if (guessing)
        stored = GuessedNames(namesOf, words);
    else
        stored = db.StoredNames({text, filter, sort});
    JetTranslation jet;
    std::string bareSchema, bareName;
    bool bare = false;
    SelectStatement stmt;
    Statement full;
    for (;;) {
        if (guessing) {
            jet = db.Translate(text, JetTextKind::Statement, {}, {}, &stored);
            if (!jet.ok) { // the names may be what it needs
                guessing = false;
                stored = db.StoredNames({text, filter, sort});
                continue;
            }
        } else {
            Apply(jet, db, text, JetTextKind::Statement, stored);
        }
        bare = IsBareName(jet.sql, &bareSchema, &bareName);
        if (type == dbOpenTable) {
            if (!bare)
                ThrowDaoError(err::InvalidOperation, kRecordset);
            TableKind kind = LookupTable(db.db(), server, bareSchema, bareName, described);
            if (!kind.exists)
                ThrowNaming(err::TableNotFound, bareName, kRecordset);
            if (!kind.isTable)
                ThrowDaoError(err::InvalidOperation, kRecordset);
        }
        sql = bare ? "SELECT * FROM " + SchemaPrefix(bareSchema) + QuoteSqlName(bareName) : jet.sql;

        stmt = AnalyzeSelect(sql);
        if (!stmt.isSelect)
            ThrowDaoError(err::InvalidOperation, kRecordset);
        if (!filter.empty() || !sort.empty()) {
            JetTranslation f, s;
            // On a server, text and Yes/No fields of the table compare with literals as Jet
            // compares them.
            DatabaseState::ServerNames fields;
            if (server && stmt.singleTable && !filter.empty()) {
                if (const std::optional<SchemaDescription>& d =
                        Described(db.db(), stmt.schema, stmt.table, described))
                    for (const FieldDescription& field : d->fields)
                        fields.AddField(field.name, field.daoType);
            }
            if (!filter.empty())
                Apply(f, db, filter, JetTextKind::Expression, stored, fields);
            if (!sort.empty())
                Apply(s, db, sort, JetTextKind::Expression, stored);
            if (stmt.compound) {
                sql = "SELECT * FROM (" + sql + ") AS kel_q"; // a server needs the alias
                stmt = AnalyzeSelect(sql);
            }
            if (!filter.empty())
                stmt.where =
                    stmt.where.empty() ? f.sql : "(" + stmt.where + ") AND (" + f.sql + ")";
            if (!sort.empty())
                stmt.orderBy = s.sql;
            sql = stmt.Compose();
            stmt = AnalyzeSelect(sql);
        }

        // The whole statement once, to check it and to learn its columns; a server describes
        // its table in the same exchange. That description answers for the names of a
        // statement of the table alone; others' names are asked for.
        const bool describing = server && stmt.singleTable && type != dbOpenSnapshot &&
                                type != dbOpenForwardOnly &&
                                described.find(PlaceOf(stmt.schema, stmt.table)) == described.end();
        if (describing)
            db.db().WillDescribe(stmt.table, stmt.schema);
        const bool namesOfTable = guessing && describing && SelectsOnce(text);
        if (guessing && !namesOfTable)
            db.db().WillFindNames(words);
        CDaoException* failed = nullptr; // the guessed statement's failure, ours to delete
        // A name the guess does not find is counted (another exchange) only once the server's
        // names show the guess was right.
        std::optional<EngineError> unknown;
        try {
            if (guessing)
                unknown = PrepareOneOrUnknown(db.db(), full, sql, kRecordset, context);
            else
                PrepareOne(db.db(), full, sql, kRecordset, context);
        } catch (CDaoException* e) {
            if (!guessing)
                throw;
            failed = e;
        }
        if (!guessing)
            break;
        guessing = false;
        DatabaseState::ServerNames found;
        try {
            // Answered with the preparation; where the table was not found as written, asked.
            const std::optional<SchemaDescription>* table =
                namesOfTable ? &Described(db.db(), stmt.schema, stmt.table, described) : nullptr;
            found = table && *table ? NamesOfTable(**table, words)
                                    : db.StoredNames({text, filter, sort});
        } catch (CDaoException*) {
            if (failed)
                failed->Delete();
            throw;
        }
        LearnNames(namesOf, words, found);
        const JetTranslation check = db.Translate(text, JetTextKind::Statement, {}, {}, &found);
        if (check.ok && check.sql == jet.sql) {
            if (failed)
                throw failed; // the statement's own fault
            if (unknown)
                ThrowUnknownNames(db.db(), sql, *unknown, kRecordset);
            break;
        }
        if (failed)
            failed->Delete();
        stored = std::move(found);
        full = Statement();
        described.clear();
    }
    if (!full.Engine().ReadOnly() || full.ColumnCount() == 0)
        ThrowDaoError(err::InvalidOperation, kRecordset);

    TableKind kind;
    if (stmt.singleTable && type != dbOpenSnapshot && type != dbOpenForwardOnly)
        kind = LookupTable(db.db(), server, stmt.schema, stmt.table, described);
    // A server's table keyed otherwise than by one integer: its keys go to a temporary map
    // from numbers as the keying reaches them; values are read from the table by them.
    keyMap = kind.keyed;
    materialised = !kind.rowid && !keyMap;
    updatable = !materialised && !db.readOnly && !(options & dbReadOnly);

    const int columns = full.ColumnCount();
    const std::vector<const SelectItem*> itemOf = ItemsOfColumns(db.db(), stmt, columns);
    const std::vector<std::string> sourceOf =
        SourcesOfColumns(db.db(), full.Engine(), stmt, itemOf);

    if (!materialised) {
        schema = stmt.schema;
        table = stmt.table;
        from = stmt.from;
        whereClause = stmt.where;
        target = SchemaPrefix(schema) + QuoteSqlName(table);
        const std::optional<SchemaDescription>& d = Described(db.db(), schema, table, described);
        if (server) {
            // The integer key is the row identity: keys and bookmarks are its values.
            const std::string key = d ? IntegerIdentity(db.db(), *d) : std::string();
            rowidColumn = key.empty() ? std::string() : QuoteSqlName(key);
            keyColumn = key;
            if (keyMap && d) {
                rowidColumn = "\"kel$pos\"";
                for (const std::string& k : dialect.RowIdentity(*d)) {
                    const FieldDescription* kf = d->Find(k);
                    keyMapColumns.push_back(
                        {QuoteSqlName(k), kf ? kf->declaredType : std::string("text"), {}});
                }
            }
        } else {
            std::vector<std::string> names;
            for (const FieldDescription& f : d ? d->fields : std::vector<FieldDescription>())
                names.push_back(f.name);
            rowidColumn = dialect.RowIdName(names);
        }
        if (rowidColumn.empty()) {
            materialised = true;
            updatable = false;
        }
        // The primary key, in its own order: what names a record for a host (RecordKey).
        for (const std::string& k : d ? d->primaryKey : std::vector<std::string>()) {
            const FieldDescription* kf = d->Find(k);
            primaryKey.push_back({k, DaoTypeFromDeclaration(kf ? kf->declaredType : "")});
        }
        // A key other than the rowid: the engine may give a deleted record's rowid to the next
        // row, so each keyed record is checked against its key values.
        const FieldDescription* only =
            primaryKey.size() == 1 ? d->Find(primaryKey[0].name) : nullptr;
        const bool rowidKey = server || (only && EqualsNoCase(only->declaredType, "INTEGER"));
        if (!materialised && !primaryKey.empty() && !rowidKey) {
            const std::string qualifier = stmt.alias.empty() ? target : QuoteSqlName(stmt.alias);
            for (const KeyField& k : primaryKey) {
                identityColumns +=
                    (identityColumns.empty() ? "" : ", ") + qualifier + "." + QuoteSqlName(k.name);
                identityTarget += (identityTarget.empty() ? "" : ", ") + QuoteSqlName(k.name);
            }
        }
    }

    // The fields.
    const std::string qualifier =
        materialised ? std::string()
                     : (stmt.alias.empty() ? SchemaPrefix(schema) + QuoteSqlName(table)
                                           : QuoteSqlName(stmt.alias));
    int unnamed = 0;
    std::vector<bool> asName(static_cast<size_t>(columns), false);
    std::vector<bool> leadsIndex(static_cast<size_t>(columns), false);
    fields.clear();
    for (int i = 0; i < columns; ++i) {
        RecordsetField f;
        const std::string name = full.Engine().ColumnName(i);
        const std::string decl = full.Engine().ColumnType(i);
        const EngineStatement::ColumnSource src = full.Engine().ColumnOrigin(i);
        const bool origin = !src.column.empty();
        const SelectItem* item = itemOf[static_cast<size_t>(i)];
        f.expression = !origin;
        // An AS name is the field's whole name: no source qualifies it or finds it.
        asName[static_cast<size_t>(i)] = item && !item->alias.empty();
        if (!asName[static_cast<size_t>(i)])
            f.source = sourceOf[static_cast<size_t>(i)];
        // A column of a sub-query or view keeps its name even when it is computed there.
        if (item && !item->alias.empty())
            f.name = item->alias;
        else if (f.expression && item && !item->star && !IsColumnReference(item->expr))
            f.name = "Expr" + std::to_string(1000 + unnamed++);
        else
            f.name = name;
        long engineSize = 0;
        if (const short engineType = full.Engine().ColumnDaoType(i, engineSize))
            f.type = {engineType, engineType == dbText ? engineSize : FixedSize(engineType)};
        else if (!decl.empty())
            f.type = DaoTypeFromDeclaration(decl);
        if (origin) {
            f.sourceTable = src.table;
            f.sourceField = src.column;
            ColumnFacts column;
            try {
                if (!server)
                    column = db.db().DescribeColumn(src.database, src.table, src.column);
            } catch (const EngineError&) {
                // nothing declared: a plain, optional column
            }
            // The table's description, read once for all its columns.
            const std::optional<SchemaDescription>& d =
                Described(db.db(), src.database, f.sourceTable, described);
            const size_t pkColumns = d ? d->primaryKey.size() : 0;
            const FieldDescription* fd = d ? d->Find(src.column) : nullptr;
            if (fd)
                f.defaultValue = fd->defaultValue;
            leadsIndex[static_cast<size_t>(i)] = d && LeadsAnIndex(*d, src.column);
            if (server) {
                if (fd) {
                    column.declaredType = fd->declaredType;
                    column.required = fd->required;
                    column.autoIncrement = fd->autoIncrement;
                    column.primaryKey = Contains(d->primaryKey, fd->name);
                    if (fd->daoType)
                        f.type = {fd->daoType,
                                  fd->daoType == dbText ? fd->size : FixedSize(fd->daoType)};
                }
            }
            f.required = column.required;
            f.rowidAlias = server ? EqualsNoCase(f.sourceTable, table) && !keyColumn.empty() &&
                                        src.column == keyColumn
                                  : column.primaryKey && pkColumns == 1 &&
                                        EqualsNoCase(column.declaredType, "INTEGER");
            f.autoIncrement = column.autoIncrement || EqualsNoCase(column.declaredType, "COUNTER");
            // A server takes a value given for a serial or an identity BY DEFAULT, as SQLite
            // does for its row number; neither writes a generated column.
            f.updatable = updatable && (!fd || fd->writable) && (server || !f.autoIncrement) &&
                          EqualsNoCase(f.sourceTable, table);
        }
        if (!materialised) {
            if (item && !item->star)
                f.expr = item->expr;
            else if (origin)
                f.expr = qualifier + "." + QuoteSqlName(src.column);
        }
        fields.push_back(std::move(f));
    }
    // A name two fields share is qualified with the source each is read from, as A.CustID and
    // B.CustID; an AS name stays as written. Namesakes of one source would stay alike, so they
    // stay bare.
    std::vector<bool> shared(fields.size(), false);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (asName[i] || fields[i].source.empty())
            continue;
        for (size_t k = 0; k < fields.size() && !shared[i]; ++k) {
            shared[i] = k != i && EqualsNoCase(fields[k].name, fields[i].name) &&
                        (asName[k] || !EqualsNoCase(fields[k].source, fields[i].source));
        }
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        if (shared[i]) {
            fields[i].name = fields[i].source + "." + fields[i].name;
            fields[i].qualified = true;
        }
    }

    // Text orders without regard to case: the terms on text fields get the collation.
    std::vector<bool> collated(stmt.order.size(), false);
    std::string serverOrderBy; // the order as the server's statement says it
    indexOrderedNames.clear();
    if (!stmt.order.empty()) {
        std::string& orderBy = serverOrderBy;
        for (size_t k = 0; k < stmt.order.size(); ++k) {
            const OrderTerm& term = stmt.order[k];
            size_t i = !IsInteger(term.expr)   ? FindField(term.expr)
                       : term.expr.size() < 10 ? std::stoul(term.expr) - 1
                                               : npos;
            const bool textField = i < fields.size() &&
                                   (fields[i].type.type == dbText || fields[i].type.type == dbMemo);
            if (server && textField)
                collated[k] = true; // the server's order of text is its locale's, never Jet's
            else if (!server && textField && !fields[i].sourceField.empty() && !leadsIndex[i])
                collated[k] = true;
            else if (k == 0 && !materialised && i < fields.size() &&
                     !fields[i].sourceField.empty() &&
                     (fields[i].type.type == dbText || fields[i].type.type == dbMemo))
                indexOrderedNames = {fields[i].name, fields[i].sourceField};
            // A server knows neither an ordinal nor an AS name inside an expression: the
            // field's own expression goes in TextKey.
            std::string termExpr = term.expr;
            if (server && collated[k]) {
                const SelectItem* item = itemOf[i];
                if (item && !item->star)
                    termExpr = item->expr;
                else if (!fields[i].expr.empty())
                    termExpr = fields[i].expr;
                else if (!fields[i].sourceField.empty() && !fields[i].source.empty())
                    termExpr =
                        QuoteSqlName(fields[i].source) + "." + QuoteSqlName(fields[i].sourceField);
                else
                    collated[k] = false;
            }
            const std::string operand = collated[k] ? dialect.TextKey(termExpr) : termExpr;
            // Jet's NULLs come first ascending; a server puts them where its dialect says. A
            // required field has none, and a plain index serves it without the clause.
            const bool required = i < fields.size() && fields[i].required;
            orderBy += (k ? ", " : "") + (server && term.nulls.empty() && !required
                                              ? dialect.OrderTerm(operand, term.descending)
                                              : operand + (term.descending ? " DESC" : "") +
                                                    (term.nulls.empty() ? "" : " ") + term.nulls);
        }
        if (server || std::find(collated.begin(), collated.end(), true) != collated.end()) {
            SelectStatement ordered = stmt;
            ordered.orderBy = orderBy;
            sql = ordered.Compose();
        }
    }

    if (materialised) {
        // A copy of the result in the connection's own temporary database, numbered in order.
        // A failure from here on ends in Close, which drops the copy.
        copyTable = (server ? "pg_temp." : "temp.") +
                    QuoteSqlName("kel_rs" + std::to_string(++db.tempTables));
        std::string create =
            (server ? "CREATE TEMP TABLE " : "CREATE TABLE ") + copyTable +
            (server ? " (\"kel$pos\" bigint PRIMARY KEY" : " (\"kel$pos\" INTEGER PRIMARY KEY");
        std::string names;
        std::vector<std::string> used;
        for (int i = 0; i < columns; ++i) {
            RecordsetField& f = fields[static_cast<size_t>(i)];
            std::string stored = f.name.empty() ? "c" + std::to_string(i) : f.name;
            while (std::any_of(used.begin(), used.end(),
                               [&](const std::string& u) { return EqualsNoCase(u, stored); }) ||
                   EqualsNoCase(stored, "kel$pos"))
                stored += "_" + std::to_string(i);
            used.push_back(stored);
            f.storedName = stored;
            const std::string decl = full.Engine().ColumnType(i);
            create +=
                ", " + QuoteSqlName(stored) + (decl.empty() ? (server ? " text" : "") : " " + decl);
            names += (i ? ", " : "") + QuoteSqlName(stored);
        }
        full = Statement(); // the statement runs again inside the copy
        db.Exec(create + ")", kRecordset);
        Statement insert;
        // A server numbers the rows as the statement gives them; SQLite's INTEGER PRIMARY KEY
        // does so itself.
        PrepareOne(db.db(), insert,
                   server ? "INSERT INTO " + copyTable + " (\"kel$pos\", " + names +
                                ") SELECT row_number() OVER (), q.* FROM (" + sql + ") AS q"
                          : "INSERT INTO " + copyTable + " (" + names + ") " + sql,
                   kRecordset, context);
        if (insert.Step() != kDone)
            ThrowStepError(insert, kRecordset, context);
        copyRows = static_cast<size_t>(insert.Engine().ChangedRows());
        readTail = " FROM " + copyTable + " WHERE \"kel$pos\" = ?1";
        readAllSql = "SELECT " + names + readTail;
        PrepareInternalRead(db.db(), read, readAllSql, kRecordset);
        readSql = readAllSql;
    } else {
        rowid = qualifier + "." + rowidColumn;
        std::vector<OrderKey> keys;
        for (size_t n = 0; n < stmt.order.size(); ++n) {
            const OrderTerm& term = stmt.order[n];
            OrderKey k;
            k.descending = term.descending;
            k.nullsFirst = term.nulls.empty() ? !term.descending : term.nulls == "NULLS FIRST";
            k.expr = term.expr;
            const size_t field = !IsInteger(term.expr)   ? FindField(term.expr)
                                 : term.expr.size() < 10 ? std::stoul(term.expr) - 1
                                                         : npos;
            k.required = term.nulls.empty() && field < fields.size() && fields[field].required;
            // Ordinals and aliases name select items; the key query selects only the rowid.
            if (IsInteger(term.expr)) {
                size_t n = std::stoul(term.expr);
                if (n >= 1 && n <= fields.size() && !fields[n - 1].expr.empty())
                    k.expr = fields[n - 1].expr;
            } else {
                std::vector<SqlToken> t = SignificantTokens(term.expr);
                for (const SelectItem& item : stmt.items) {
                    if (!item.alias.empty() && t.size() == 1 && t[0].IsName() &&
                        EqualsNoCase(Unquote(t[0]), item.alias)) {
                        k.expr = item.expr;
                        break;
                    }
                }
            }
            if (collated[n])
                k.expr = db.db().GetDialect().TextKey("(" + k.expr + ")");
            keys.push_back(std::move(k));
        }
        if (!keyMap) {
            order = DynasetOrder(std::move(keys), rowid);
            // A server's first key run reads it, and saves an exchange.
            maxPending = true;
            maxRowid = std::numeric_limits<std::int64_t>::max();
            if (!server)
                MaxRowid();
        } else {
            // The map: each record's key by a number the keying gives it; the values are read
            // from the table by the key. Records others add are met where the keying reaches
            // them: nothing tells them apart by their keys.
            copyTable = "pg_temp." + QuoteSqlName("kel_rs" + std::to_string(++db.tempTables));
            std::string create =
                "CREATE TEMP TABLE " + copyTable + " (\"kel$pos\" bigint PRIMARY KEY";
            std::vector<TieColumn> tie;
            for (KeyMapColumn& k : keyMapColumns) {
                create += ", " + k.name + " " + k.type;
                k.qualified = qualifier + "." + k.name;
                tie.push_back({k.qualified, k.type});
            }
            // Made when a statement first names it, with the keys the first run held, in that
            // statement's exchange: not before the first screen.
            mapMaking = std::make_shared<MapMaking>();
            const std::string make = create + ", UNIQUE (" + KeyMapList("") + "))";
            const std::string fill =
                "INSERT INTO " + copyTable + " (\"kel$pos\", " + KeyMapList("") + ") VALUES ";
            try {
                db.db().MakeWhenNamed(copyTable, [making = mapMaking, make, fill] {
                    std::vector<std::string> sql{make};
                    if (making->count > 0)
                        sql.push_back(fill + making->rows);
                    return sql;
                });
            } catch (const EngineError& e) {
                ThrowDaoFor(e, kRecordset);
            }
            order = DynasetOrder(std::move(keys), std::move(tie));
            maxRowid = std::numeric_limits<std::int64_t>::max();
        }
        order.SetExplicitNulls(server);
        keyOrder = !keyMap && OrdersByKeyAlone();
        readTail = keyMap ? " FROM " + from + " WHERE " + KeyMatch(1, true)
                          : (identityColumns.empty() ? std::string()
                                                     : ", kel_identity(" + identityColumns + ")") +
                                " FROM " + from + " WHERE " + rowid + " = ?1";
        readAllSql = "SELECT " + stmt.head + readTail;
        PrepareInternalRead(db.db(), read, readAllSql, kRecordset);
        readSql = readAllSql;
    }
    full = Statement();
    // A server reads ahead where its dialect reads many keys in one statement.
    if (server && !dialect.KeyInList("k", 1).empty()) {
        readManyKey = materialised ? "\"kel$pos\""
                      : keyMap     ? "(SELECT c.\"kel$pos\" FROM " + copyTable + " AS c WHERE (" +
                                     KeyMapList("c.") + ") = (" + KeyMapQualified() + "))"
                               : rowid;
        PrepareReadMany(); // now, so that the first window costs one exchange
    }

    open = true;
    if (KeyTo(0))
        Land(0);
    else
        LandAfterLast();
    ExpressionTypes();
}

void RecordsetState::ExpressionTypes() {
    if (std::all_of(fields.begin(), fields.end(),
                    [](const RecordsetField& f) { return f.type.type != 0; }))
        return;
    std::vector<Cell> first;
    bool haveFirst = keys.Size() > 0 && ReadRow(keys.At(0), first);
    for (size_t i = 0; i < fields.size(); ++i) {
        RecordsetField& f = fields[i];
        if (f.type.type != 0)
            continue;
        Cell cell;
        if (haveFirst)
            cell = first[i];
        if (cell.kind == EngineValue::Kind::Null) {
            // The first value that is not Null decides.
            std::string sql = materialised
                                  ? "SELECT " + QuoteSqlName(f.storedName) + " FROM " + copyTable +
                                        " WHERE " + QuoteSqlName(f.storedName) + " IS NOT NULL" +
                                        db().GetDialect().BoundedRead(1)
                                  : "SELECT (" + f.expr + ") FROM " + from +
                                        FilterWith("(" + f.expr + ") IS NOT NULL") +
                                        db().GetDialect().BoundedRead(1);
            Statement probe;
            if (!f.expr.empty() || materialised) {
                if (TryPrepare(db(), probe, sql) && probe.Step() == kRow)
                    cell = probe.Column(0);
            }
        }
        f.type = cell.kind == EngineValue::Kind::Null ? DaoType{dbText, 255}
                                                      : DaoTypeFromValue(cell.kind, cell.integer);
    }
}

void RecordsetState::Close() {
    CancelEdit();
    if (database) {
        auto& list = database->keying;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    if (database && !copyTable.empty() && database->connection) {
        try {
            if (!database->db().ForgetMaking(copyTable)) // a map never made is not dropped
                database->db().Execute("DROP TABLE IF EXISTS " + copyTable);
        } catch (const EngineError&) {
            // the copy is temporary: it goes with the connection at the latest
        }
    }
    RecordsetState fresh;
    fresh.pessimistic = pessimistic;
    fresh.cacheSize = cacheSize;
    *this = std::move(fresh);
}

size_t RecordsetState::FindField(std::string_view name) const {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (EqualsNoCase(fields[i].name, name))
            return i;
    }
    // A.CustID, A.[CustID] or [A].[CustID]; CustID or [CustID].
    std::vector<SqlToken> t = SignificantTokens(name);
    std::string source, column;
    if (t.size() == 1 && t[0].IsName()) {
        column = Unquote(t[0]);
    } else if (t.size() == 3 && t[0].IsName() && t[1].Is(TokenKind::Dot) && t[2].IsName()) {
        source = Unquote(t[0]);
        column = Unquote(t[2]);
    } else {
        return npos;
    }
    size_t found = npos, count = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const RecordsetField& f = fields[i];
        std::string_view own = f.name;
        if (f.qualified)
            own.remove_prefix(f.source.size() + 1);
        if (!EqualsNoCase(own, column))
            continue;
        if (!source.empty() && EqualsNoCase(f.source, source))
            return i;
        if (source.empty()) {
            found = i;
            ++count;
        }
    }
    return count == 1 ? found : npos;
}

size_t RecordsetState::FieldIndex(const char* name) const {
    size_t i = name ? FindField(name) : npos;
    if (i == npos)
        ThrowDaoError(err::ItemNotFound, kRecordset);
    return i;
}

void RecordsetState::CheckField(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= fields.size())
        ThrowDaoError(err::ItemNotFound, kRecordset);
}

void RecordsetState::FieldInfo(size_t index, CDaoFieldInfo& info, DWORD level) const {
    const RecordsetField& f = fields[index];
    info = CDaoFieldInfo();
    info.m_strName = f.name.c_str();
    info.m_nType = f.type.type;
    info.m_lSize =
        f.type.type == dbText || f.type.type == dbBinary ? f.type.size : FixedSize(f.type.type);
    bool variable = f.type.type == dbText || f.type.type == dbBinary || f.type.type == dbMemo ||
                    f.type.type == dbLongBinary;
    info.m_lAttributes = (variable ? dbVariableField : dbFixedField) |
                         (f.autoIncrement ? dbAutoIncrField : 0) |
                         (f.updatable ? dbUpdatableField : 0);
    if ((level & AFX_DAO_SECONDARY_INFO) == 0)
        return;
    info.m_nOrdinalPosition = static_cast<short>(index);
    info.m_bRequired = f.required ? TRUE : FALSE;
    info.m_bAllowZeroLength = f.type.type == dbText || f.type.type == dbMemo ? TRUE : FALSE;
    info.m_strSourceField = f.sourceField.c_str();
    info.m_strSourceTable = f.sourceTable.c_str();
    if ((level & AFX_DAO_ALL_INFO) == AFX_DAO_ALL_INFO)
        info.m_strDefaultValue = f.defaultValue.c_str();
}

std::vector<CDaoIndexInfo> RecordsetState::Indexes(DWORD level) const {
    std::vector<CDaoIndexInfo> out;
    auto distinct = [&](const std::vector<CDaoIndexFieldInfo>& fieldsOf) -> long {
        if ((level & AFX_DAO_ALL_INFO) != AFX_DAO_ALL_INFO)
            return 0;
        std::string list;
        for (const CDaoIndexFieldInfo& f : fieldsOf)
            list += (list.empty() ? "" : ", ") + QuoteSqlName(f.m_strName.str());
        Statement stmt;
        PrepareInternal(db(), stmt,
                        "SELECT count(*) FROM (SELECT DISTINCT " + list + " FROM " + target +
                            ") AS kel_d",
                        kRecordset);
        return stmt.Step() == kRow ? static_cast<long>(stmt.ColumnInt64(0)) : 0;
    };
    // The INTEGER PRIMARY KEY is the table's rowid: no index stands for it, so one is shown.
    for (const RecordsetField& f : fields) {
        if (!f.rowidAlias || database->server)
            continue;
        CDaoIndexInfo info;
        info.m_strName = "PrimaryKey";
        CDaoIndexFieldInfo field;
        field.m_strName = f.sourceField.c_str();
        info.SetFields({field});
        info.m_bPrimary = info.m_bUnique = info.m_bRequired = TRUE;
        info.m_lDistinctCount = distinct({field});
        out.push_back(info);
    }
    // The engine describes the indexes with the table; the primary key's comes first.
    Descriptions known;
    const std::optional<SchemaDescription>& d = Described(db(), schema, table, known);
    for (const IndexDescription& index : d ? d->indexes : std::vector<IndexDescription>()) {
        // A server's index with a condition or an expression names no record by its fields.
        if (database->server && (index.expression || index.partial))
            continue;
        CDaoIndexInfo info;
        info.m_strName = index.primary ? "PrimaryKey" : index.name.c_str();
        std::vector<CDaoIndexFieldInfo> indexFields;
        for (size_t k = 0; k < index.fields.size(); ++k) {
            if (index.fields[k].empty())
                continue; // an expression
            CDaoIndexFieldInfo field;
            field.m_strName = index.fields[k].c_str();
            field.m_bDescending = k < index.descending.size() && index.descending[k] ? TRUE : FALSE;
            indexFields.push_back(field);
        }
        info.m_bPrimary = info.m_bRequired = index.primary ? TRUE : FALSE;
        info.m_bUnique = index.unique ? TRUE : FALSE;
        info.m_lDistinctCount = distinct(indexFields);
        info.SetFields(std::move(indexFields));
        if (index.primary)
            out.insert(out.begin(), info);
        else
            out.push_back(info);
    }
    return out;
}

} // namespace kel::dao
