// What each engine says about tables and views: fields, types, keys, defaults, indexes, and
// the columns that identify a row.
#include "EngineTestSupport.h"

#include "platform/dao/DaoConstants.h"

#include <algorithm>

namespace enginetest {
namespace {

class EngineSchema : public EngineTest {
protected:
    static const FieldDescription& Field(const SchemaDescription& s, const std::string& name) {
        const FieldDescription* f = s.Find(name);
        if (!f)
            throw std::runtime_error("no field " + name);
        return *f;
    }
    static const IndexDescription* Index(const SchemaDescription& s, const std::string& name) {
        for (const IndexDescription& i : s.indexes)
            if (i.name == name)
                return &i;
        return nullptr;
    }
};

TEST_P(EngineSchema, CompositeKeyDefaultsAndIndexes) {
    m_db->Execute("CREATE TABLE orders (region varchar(8) NOT NULL, num integer NOT NULL, "
                  "qty integer DEFAULT 5, note text DEFAULT 'it''s', "
                  "PRIMARY KEY (num, region))");
    m_db->Execute("CREATE INDEX ix_note ON orders (note, qty)");
    m_db->Execute("CREATE UNIQUE INDEX ux_qty ON orders (qty)");
    const SchemaDescription s = m_db->DescribeTable("orders");
    EXPECT_EQ(s.name, "orders");
    EXPECT_FALSE(s.view);
    EXPECT_TRUE(s.updatable);
    ASSERT_EQ(s.fields.size(), 4u);
    EXPECT_EQ(s.fields[0].name, "region");
    EXPECT_EQ(s.primaryKey, (std::vector<std::string>{"num", "region"}));
    EXPECT_EQ(m_db->GetDialect().RowIdentity(s), s.primaryKey);
    EXPECT_TRUE(Field(s, "region").required);
    EXPECT_FALSE(Field(s, "qty").required);
    EXPECT_EQ(Field(s, "qty").defaultValue, "5");
    EXPECT_EQ(Field(s, "note").defaultValue.rfind("'it''s'", 0), 0u)
        << Field(s, "note").defaultValue;
    EXPECT_TRUE(Field(s, "num").defaultValue.empty());
    EXPECT_FALSE(Field(s, "num").autoIncrement);
    EXPECT_FALSE(Field(s, "num").rowNumber);

    const IndexDescription* note = Index(s, "ix_note");
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->unique);
    EXPECT_FALSE(note->primary);
    EXPECT_EQ(note->fields, (std::vector<std::string>{"note", "qty"}));
    const IndexDescription* qty = Index(s, "ux_qty");
    ASSERT_NE(qty, nullptr);
    EXPECT_TRUE(qty->unique);
    const auto primary = std::find_if(s.indexes.begin(), s.indexes.end(),
                                      [](const IndexDescription& i) { return i.primary; });
    ASSERT_NE(primary, s.indexes.end());
    EXPECT_EQ(primary->fields, s.primaryKey);
}

TEST_P(EngineSchema, FieldTypesAsDaoTypes) {
    m_db->Execute("CREATE TABLE t (a smallint, b integer, c varchar(20), d text, e " + BlobType() +
                  ", f boolean, g " + DateType() + ", h double precision, i real)");
    const SchemaDescription s = m_db->DescribeTable("t");
    struct Expect {
        const char* field;
        short type;
        long size;
    };
    const Expect expected[] = {
        {"a", dbInteger, 2}, {"b", dbLong, 4}, {"c", dbText, 20},  {"e", dbLongBinary, 0},
        {"f", dbBoolean, 1}, {"g", dbDate, 8}, {"h", dbDouble, 8},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(Field(s, e.field).daoType, e.type)
            << e.field << " " << Field(s, e.field).declaredType;
        EXPECT_EQ(Field(s, e.field).size, e.size) << e.field;
    }
    // Plain text: a memo on a server (no length), 255 characters by SQLite's convention.
    EXPECT_EQ(Field(s, "d").daoType, IsPg() ? dbMemo : dbText);
    // REAL is a single on a server and a double in SQLite's declarations.
    EXPECT_EQ(Field(s, "i").daoType, IsPg() ? dbSingle : dbDouble);
}

TEST_P(EngineSchema, AutoIncrementKey) {
    m_db->Execute("CREATE TABLE c (id " + AutoKey() + ", name text)");
    const SchemaDescription s = m_db->DescribeTable("c");
    const FieldDescription& id = Field(s, "id");
    EXPECT_TRUE(id.autoIncrement);
    EXPECT_TRUE(id.required);
    EXPECT_EQ(id.rowNumber, !IsPg()); // SQLite's INTEGER PRIMARY KEY is the rowid itself
    EXPECT_EQ(s.primaryKey, std::vector<std::string>{"id"});
    m_db->Execute("INSERT INTO c (name) VALUES ('a')");
    m_db->Execute("INSERT INTO c (name) VALUES ('b')");
    const auto rows = Rows("SELECT id FROM c ORDER BY id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].integer, 1);
    EXPECT_EQ(rows[1][0].integer, 2);

    m_db->Execute("CREATE TABLE plain (id integer PRIMARY KEY, x text)");
    const SchemaDescription p = m_db->DescribeTable("plain");
    EXPECT_FALSE(Field(p, "id").autoIncrement);
    EXPECT_EQ(Field(p, "id").rowNumber, !IsPg());
}

TEST_P(EngineSchema, ViewsAreNotUpdatableAndHaveNoIdentity) {
    m_db->Execute("CREATE TABLE base (id integer PRIMARY KEY, x integer)");
    m_db->Execute("CREATE VIEW totals AS SELECT x, count(*) AS n FROM base GROUP BY x");
    m_db->Execute("CREATE VIEW simple AS SELECT id, x FROM base");
    for (const char* name : {"totals", "simple"}) {
        const SchemaDescription s = m_db->DescribeTable(name);
        EXPECT_TRUE(s.view) << name;
        EXPECT_FALSE(s.updatable) << name;
        EXPECT_FALSE(s.hasRowId) << name;
        EXPECT_TRUE(m_db->GetDialect().RowIdentity(s).empty()) << name;
        EXPECT_TRUE(s.indexes.empty()) << name;
    }
    EXPECT_EQ(m_db->DescribeTable("totals").fields.size(), 2u);
}

TEST_P(EngineSchema, TableWithoutPrimaryKey) {
    m_db->Execute("CREATE TABLE loose (a integer, b text)");
    const SchemaDescription loose = m_db->DescribeTable("loose");
    EXPECT_TRUE(loose.primaryKey.empty());
    EXPECT_EQ(m_db->GetDialect().RowIdentity(loose),
              IsPg() ? std::vector<std::string>() : std::vector<std::string>{"rowid"});

    // A unique index over required fields names a row on a server; SQLite keeps its rowid,
    // under another name when a field takes "rowid".
    m_db->Execute("CREATE TABLE keyed (rowid integer NOT NULL, b text)");
    m_db->Execute("CREATE UNIQUE INDEX ux_keyed ON keyed (rowid)");
    const SchemaDescription keyed = m_db->DescribeTable("keyed");
    EXPECT_EQ(m_db->GetDialect().RowIdentity(keyed),
              std::vector<std::string>{IsPg() ? "rowid" : "_rowid_"});
    // Nullable fields do not identify a row.
    m_db->Execute("CREATE UNIQUE INDEX ux_loose ON loose (a)");
    if (IsPg()) {
        EXPECT_TRUE(m_db->GetDialect().RowIdentity(m_db->DescribeTable("loose")).empty());
    }
}

TEST_P(EngineSchema, NamesAreFoundAsWritten) {
    m_db->Execute("CREATE TABLE \"Order Details\" (\"Unit Price\" double precision)");
    const SchemaDescription s = m_db->DescribeTable("Order Details");
    EXPECT_EQ(s.name, "Order Details");
    ASSERT_EQ(s.fields.size(), 1u);
    EXPECT_EQ(s.fields[0].name, "Unit Price");
    const EngineError missing = FailureOf([&] { m_db->DescribeTable("No Such'Table"); });
    EXPECT_EQ(missing.Failure(), EngineFailure::TableNotFound);
    EXPECT_EQ(missing.Subject(), "No Such'Table");
}

TEST_P(EngineSchema, IndexPartsAndGeneratedFields) {
    m_db->Execute("CREATE TABLE g (id integer PRIMARY KEY, price integer, "
                  "doubled integer GENERATED ALWAYS AS (price * 2) STORED)");
    m_db->Execute("CREATE INDEX ix_mixed ON g (price DESC, (price + 1), id)");
    const SchemaDescription s = m_db->DescribeTable("g");
    const IndexDescription* mixed = Index(s, "ix_mixed");
    ASSERT_NE(mixed, nullptr);
    // The expression keeps its place, so a field's place in the key stays true.
    EXPECT_EQ(mixed->fields, (std::vector<std::string>{"price", "", "id"}));
    EXPECT_EQ(mixed->descending, (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(mixed->expression);
    EXPECT_TRUE(Field(s, "doubled").generated);
    EXPECT_FALSE(Field(s, "doubled").writable);
    EXPECT_TRUE(Field(s, "price").writable);
    EXPECT_FALSE(Field(s, "price").generated);
}

TEST_P(EngineSchema, ANameIsFoundWhereAStatementWouldFindIt) {
    // SQLite reads an unqualified name in temp before main; a server on its search path.
    const std::string other = IsPg() ? m_schema + "_other" : "main";
    struct DropOther {
        EngineConnection* db;
        std::string schema;
        ~DropOther() {
            if (!schema.empty())
                db->Execute("DROP SCHEMA " + schema + " CASCADE");
        }
    } drop{m_db.get(), IsPg() ? other : std::string()};
    if (IsPg())
        m_db->Execute("CREATE SCHEMA " + other);
    m_db->Execute("CREATE TABLE " + other + ".twin (a integer)");
    m_db->Execute(IsPg() ? "CREATE TABLE twin (b text, c text)"
                         : "CREATE TEMP TABLE twin (b text, c text)");
    const SchemaDescription near = m_db->DescribeTable("twin");
    EXPECT_EQ(near.fields.size(), 2u);
    EXPECT_EQ(near.database, IsPg() ? m_schema : "temp");
    // A server's names are exact, SQLite's without regard to case.
    // Its indexes keep their own names, however they are written, in the order of their names.
    for (const char* index : {"\"Ix \"\"A\"\".b\"", "\"select\"", "ix_plain"})
        m_db->Execute(IsPg() ? std::string("CREATE INDEX ") + index + " ON " + other + ".twin (a)"
                             : "CREATE INDEX " + other + "." + index + " ON twin (a)");
    const SchemaDescription far = m_db->DescribeTable(IsPg() ? "twin" : "TWIN", other);
    ASSERT_EQ(far.fields.size(), 1u) << far.database;
    EXPECT_EQ(far.fields[0].name, "a");
    EXPECT_EQ(far.database, other);
    std::vector<std::string> indexes;
    for (const IndexDescription& i : far.indexes)
        indexes.push_back(i.name);
    if (!IsPg())
        std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (std::vector<std::string>{"Ix \"A\".b", "ix_plain", "select"}));
    EXPECT_EQ(FailureOf([&] { m_db->DescribeTable("twin", "nowhere"); }).Failure(),
              EngineFailure::TableNotFound);
}

TEST_P(EngineSchema, StoredNamesOfTheNamedTablesAndTheirColumns) {
    m_db->Execute("CREATE TABLE \"Jobs\" (x integer)");
    if (!IsPg()) { // SQLite's names match without regard to case: it needs no spellings
        EXPECT_TRUE(m_db->StoredNames({"JOBS", "X"}).empty());
        return;
    }
    m_db->Execute("CREATE TABLE \"Tasks\" (\"Done\" boolean, \"Title\" text, n integer)");
    m_db->Execute("CREATE TABLE \"Notes\" (\"Done\" text)");
    std::vector<std::string> text, yesNo;
    std::vector<std::string> stored =
        m_db->StoredNames({"TASKS", "done", "title", "N"}, &text, &yesNo);
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"Done", "Tasks", "Title", "n"}));
    EXPECT_EQ(text, std::vector<std::string>{"Title"});
    EXPECT_EQ(yesNo, std::vector<std::string>{"Done"}); // the Notes' Done is not asked about
    // Columns are looked for in the relations named only.
    EXPECT_TRUE(m_db->StoredNames({"done", "title"}).empty());
}

// A description asked for ahead goes with the next statement's preparation (one exchange
// with a server), serves the DescribeTable right after it, and no later one: the table may
// have changed by then. A preparation that fails, and a table not there, fail as they would
// alone.
TEST_P(EngineSchema, ADescriptionAskedForAheadServesOnlyTheNextDescribe) {
    m_db->Execute("CREATE TABLE o (id integer PRIMARY KEY, first_name text)");
    m_db->WillDescribe("o");
    const std::uint64_t before = m_db->RoundTrips();
    EXPECT_EQ(m_db->Prepare("SELECT id FROM o")->ColumnCount(), 1);
    const SchemaDescription d = m_db->DescribeTable("o");
    EXPECT_EQ(m_db->RoundTrips() - before, IsPg() ? 1u : 0u);
    ASSERT_EQ(d.fields.size(), 2u);
    EXPECT_EQ(d.fields[1].name, "first_name");

    m_db->WillDescribe("o");
    m_db->Prepare("SELECT first_name FROM o");
    OpenAnother()->Execute("ALTER TABLE o ADD COLUMN last_name text");
    m_db->Prepare("SELECT 1");
    EXPECT_EQ(m_db->DescribeTable("o").fields.size(), 3u);

    m_db->WillDescribe("o");
    EXPECT_EQ(FailureOf([&] { m_db->Prepare("SELECT no_such_column FROM o"); }).Failure(),
              EngineFailure::ColumnNotFound);
    EXPECT_EQ(m_db->DescribeTable("o").fields.size(), 3u);
    m_db->WillDescribe("nowhere");
    m_db->Prepare("SELECT 1");
    EXPECT_EQ(FailureOf([&] { m_db->DescribeTable("nowhere"); }).Failure(),
              EngineFailure::TableNotFound);
}

// Names asked for ahead go with the next preparation too, also one that fails (its names may
// tell why), and serve only the same words right after it.
TEST_P(EngineSchema, NamesAskedForAheadServeOnlyTheNextLookup) {
    m_db->Execute("CREATE TABLE \"Mixed\" (id integer PRIMARY KEY, \"Name\" text, ok boolean)");
    const std::vector<std::string> words = {"MIXED", "name", "OK", "nothing"};
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const std::vector<std::string> expected =
        IsPg() ? std::vector<std::string>{"Mixed", "Name", "ok"} : std::vector<std::string>{};
    m_db->WillFindNames(words);
    m_db->WillDescribe("Mixed");
    const std::uint64_t before = m_db->RoundTrips();
    m_db->Prepare("SELECT 1");
    std::vector<std::string> text, yesNo;
    EXPECT_EQ(sorted(m_db->StoredNames(words, &text, &yesNo)), expected);
    EXPECT_EQ(m_db->DescribeTable("Mixed").fields.size(), 3u);
    EXPECT_EQ(m_db->RoundTrips() - before, IsPg() ? 1u : 0u);
    EXPECT_EQ(text, IsPg() ? std::vector<std::string>{"Name"} : std::vector<std::string>{});
    EXPECT_EQ(yesNo, IsPg() ? std::vector<std::string>{"ok"} : std::vector<std::string>{});

    // Other words, or an exchange between: asked again, and what changed meanwhile shows.
    m_db->WillFindNames(words);
    m_db->Prepare("SELECT 1");
    EXPECT_EQ(sorted(m_db->StoredNames({"mixed"})),
              IsPg() ? std::vector<std::string>{"Mixed"} : std::vector<std::string>{});
    m_db->WillFindNames(words);
    m_db->Prepare("SELECT 1");
    OpenAnother()->Execute("CREATE TABLE \"NOTHING\" (id integer)");
    m_db->Prepare("SELECT 2");
    EXPECT_EQ(sorted(m_db->StoredNames(words)).size(), IsPg() ? 4u : 0u);

    if (!IsPg())
        return; // SQLite finds mixed as Mixed
    m_db->WillFindNames(words);
    const std::uint64_t failing = m_db->RoundTrips();
    EXPECT_EQ(FailureOf([&] { m_db->Prepare("SELECT id FROM mixed"); }).Failure(),
              EngineFailure::TableNotFound);
    EXPECT_EQ(m_db->StoredNames(words).size(), 4u);
    EXPECT_EQ(m_db->RoundTrips() - failing, 1u);
}

// Inside a transaction the catalog is asked one question at a time, as the same answers; a
// rollback after it leaves nothing that the next description would trip on.
TEST_P(EngineSchema, DescriptionsInsideATransaction) {
    m_db->Execute("CREATE TABLE tx (id integer PRIMARY KEY, \"Name\" text)");
    m_db->Begin();
    EXPECT_EQ(m_db->DescribeTable("tx").fields.size(), 2u);
    EXPECT_EQ(m_db->StoredNames({"TX", "name"}).size(), IsPg() ? 2u : 0u);
    m_db->Rollback();
    EXPECT_EQ(m_db->DescribeTable("tx").primaryKey, std::vector<std::string>{"id"});
    EXPECT_EQ(m_db->StoredNames({"tx", "NAME"}).size(), IsPg() ? 2u : 0u);
}

// A server's domain reads as its base type, its length and precision its own, also through a
// domain over a domain; other types of the database's own read as text. The columns an index
// includes are no part of its key.
TEST_P(EngineSchema, DomainsAndIncludedColumns) {
    if (!IsPg())
        return; // SQLite has neither
    m_db->Execute("CREATE DOMAIN price AS numeric(10,2) CHECK (VALUE >= 0)");
    m_db->Execute("CREATE DOMAIN code AS varchar(6)");
    m_db->Execute("CREATE DOMAIN cash AS money");
    m_db->Execute("CREATE DOMAIN remark AS text");
    m_db->Execute("CREATE DOMAIN flag AS boolean");
    m_db->Execute("CREATE DOMAIN branch_code AS code");
    m_db->Execute("CREATE DOMAIN amount AS price");
    m_db->Execute("CREATE TYPE mood AS ENUM ('sad', 'ok')");
    m_db->Execute("CREATE TABLE d (id integer PRIMARY KEY, p price, c code, m cash, "
                  "n remark, w varchar(9), f flag, b branch_code, a amount, e mood, "
                  "t text, y boolean, j json, q bigint)");
    m_db->Execute("CREATE UNIQUE INDEX ux_c ON d (c DESC, id) INCLUDE (p, n)");
    // The types catalog is read for the table's own types only, in one more exchange, and
    // once on a connection.
    std::uint64_t before = m_db->RoundTrips();
    const SchemaDescription s = m_db->DescribeTable("d");
    EXPECT_EQ(m_db->RoundTrips() - before, 2u);
    before = m_db->RoundTrips();
    EXPECT_EQ(Field(m_db->DescribeTable("d"), "b").size, 6);
    EXPECT_EQ(m_db->RoundTrips() - before, 1u);
    EXPECT_EQ(Field(s, "p").daoType, dbCurrency);
    EXPECT_EQ(Field(s, "c").daoType, dbText);
    EXPECT_EQ(Field(s, "c").size, 6);
    EXPECT_EQ(Field(s, "m").daoType, dbCurrency);
    EXPECT_EQ(Field(s, "n").daoType, dbMemo);
    EXPECT_EQ(Field(s, "w").size, 9);
    EXPECT_EQ(Field(s, "f").daoType, dbBoolean);
    EXPECT_EQ(Field(s, "b").daoType, dbText);
    EXPECT_EQ(Field(s, "b").size, 6);
    EXPECT_EQ(Field(s, "a").daoType, dbCurrency);
    EXPECT_EQ(Field(s, "e").daoType, dbMemo);
    EXPECT_EQ(Field(s, "e").declaredType, "mood");
    EXPECT_EQ(Field(s, "t").daoType, dbMemo);
    EXPECT_EQ(Field(s, "y").daoType, dbBoolean);
    EXPECT_EQ(Field(s, "j").daoType, dbMemo);
    EXPECT_EQ(Field(s, "q").daoType, dbDouble);
    // Comparisons follow Jet's text rules on the character types themselves only, and
    // Yes/No words on the boolean type itself.
    EXPECT_FALSE(Field(s, "c").characterType);
    EXPECT_TRUE(Field(s, "w").characterType);
    EXPECT_TRUE(Field(s, "t").characterType);
    EXPECT_FALSE(Field(s, "e").characterType);
    EXPECT_FALSE(Field(s, "j").characterType);
    EXPECT_TRUE(Field(s, "y").booleanType);
    EXPECT_FALSE(Field(s, "f").booleanType);
    // A table of built-in types alone costs its one exchange.
    m_db->Execute("CREATE TABLE plain (id integer PRIMARY KEY, t text, y boolean, j json)");
    before = m_db->RoundTrips();
    EXPECT_EQ(Field(m_db->DescribeTable("plain"), "y").daoType, dbBoolean);
    EXPECT_EQ(m_db->RoundTrips() - before, 1u);
    const IndexDescription* c = Index(s, "ux_c");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->unique);
    EXPECT_EQ(c->fields, (std::vector<std::string>{"c", "id"}));
    EXPECT_EQ(c->descending, (std::vector<bool>{true, false}));
    EXPECT_FALSE(c->expression);
}

KEL_ENGINE_SUITE(EngineSchema);

} // namespace
} // namespace enginetest
