// What a keyset cursor asks of an engine beyond plain statements: the first of several
// statements, a write transaction, the identity of an inserted row, whether a run sorted,
// where a column comes from, a column's declared facts, the beginning of a long text, a second
// reader and its interrupt. An engine that does not offer one says so with Unsupported.
#include "EngineTestSupport.h"

#include "platform/dao/engines/postgresql/PgEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <unistd.h>

namespace enginetest {
namespace {

class EngineSeam : public EngineTest {
protected:
    void MakeTable() {
        m_db->Execute("CREATE TABLE s (id " + AutoKey() +
                      ", name varchar(20) NOT NULL, note text, n integer)");
        m_db->Execute("INSERT INTO s (name, note, n) VALUES ('b', 'beta', 2), ('a', 'alpha', 1)");
    }
};

TEST_P(EngineSeam, FirstOfSeveralStatements) {
    std::string_view rest;
    auto stmt = m_db->PrepareFirst("SELECT 7; DELETE FROM nowhere", rest);
    ASSERT_NE(stmt, nullptr);
    EXPECT_EQ(rest, " DELETE FROM nowhere");
    ASSERT_TRUE(stmt->Step());
    EXPECT_EQ(stmt->ColumnInteger(0), 7);
    EXPECT_EQ(m_db->PrepareFirst("  ; -- nothing", rest), nullptr);
    EXPECT_EQ(FailureOf([&] { m_db->PrepareFirst("SELEC 1; SELECT 2", rest); }).Failure(),
              EngineFailure::Syntax);
}

TEST_P(EngineSeam, WriteTransactionAndInsertedIdentity) {
    MakeTable();
    EXPECT_FALSE(m_db->InTransaction());
    m_db->BeginWrite();
    EXPECT_TRUE(m_db->InTransaction());
    m_db->Execute("INSERT INTO s (name) VALUES ('c')");
    if (IsPg()) {
        EXPECT_EQ(FailureOf([&] { m_db->LastInsertId(); }).Failure(), EngineFailure::Unsupported);
    } else {
        const std::int64_t id = m_db->LastInsertId();
        EXPECT_EQ(Rows("SELECT name FROM s WHERE id = ?1", {EngineValue::Integer(id)}).at(0).at(0),
                  EngineValue::Text("c"));
        // Another connection waits for the lock this transaction took at its start.
        auto other = OpenAnother();
        other->SetBusyTimeout(50);
        EXPECT_EQ(FailureOf([&] { other->BeginWrite(); }).Failure(), EngineFailure::Locked);
    }
    m_db->Rollback();
    EXPECT_FALSE(m_db->InTransaction());
    EXPECT_EQ(Count("s"), 2);
}

TEST_P(EngineSeam, RunTellsWhetherItSorted) {
    MakeTable();
    m_db->Execute("CREATE INDEX s_name ON s (name)");
    auto indexed = m_db->Prepare("SELECT id FROM s ORDER BY name");
    ASSERT_TRUE(indexed->Step());
    EXPECT_FALSE(indexed->Sorted());
    auto unindexed = m_db->Prepare("SELECT id FROM s ORDER BY note");
    ASSERT_TRUE(unindexed->Step());
    // Only SQLite tells; the others never ask for a worker's sort.
    EXPECT_EQ(unindexed->Sorted(), !IsPg());
}

// A read the classes build themselves: a server prepares and runs it in the exchange of its
// first step. Its values read as they would prepared (a boolean from -1, text with a
// backslash for bytes), its failure comes at that step, and a second step does not prepare
// it again.
TEST_P(EngineSeam, AReadPreparedAtItsFirstStep) {
    m_db->Execute("CREATE TABLE r (id integer PRIMARY KEY, flag " + Ddl("INTEGER", "boolean") +
                  ", data " + BlobType() + ")");
    m_db->Execute(IsPg() ? "INSERT INTO r VALUES (1, true, '\\x5c30'), (2, false, NULL)"
                         : "INSERT INTO r VALUES (1, -1, X'5C30'), (2, 0, NULL)");
    auto count = [&](const char* sql, const EngineValue& value) {
        const std::uint64_t before = m_db->RoundTrips();
        auto stmt = m_db->PrepareRead(sql);
        stmt->Bind(1, value);
        EXPECT_TRUE(stmt->Step()) << sql;
        const std::int64_t n = stmt->ColumnInteger(0);
        const std::uint64_t cost = m_db->RoundTrips() - before;
        stmt->Reset();
        stmt->Bind(1, value);
        EXPECT_TRUE(stmt->Step());
        EXPECT_EQ(stmt->ColumnInteger(0), n);
        return std::pair{n, cost};
    };
    const std::uint64_t one = IsPg() ? 1 : 0, two = IsPg() ? 2 : 0;
    EXPECT_EQ(count("SELECT count(*) FROM r WHERE id >= ?1", EngineValue::Integer(1)),
              std::pair(std::int64_t{2}, one));
    // Prepared and run at once as text, then again with its values typed: no wrong answer.
    EXPECT_EQ(count("SELECT count(*) FROM r WHERE flag = ?1", EngineValue::Integer(-1)),
              std::pair(std::int64_t{1}, two));
    // Bytes go the usual way: prepared, then run.
    EXPECT_EQ(count("SELECT count(*) FROM r WHERE data = ?1", EngineValue::Blob("\\0")),
              std::pair(std::int64_t{1}, two));
    EXPECT_EQ(count("SELECT count(*) FROM r WHERE data = ?1", EngineValue::Text("\\0")).first,
              IsPg() ? 1 : 0); // SQLite keeps text and bytes apart
    // Inside a transaction a server prepares it first, then runs it: the same answer.
    m_db->Begin();
    EXPECT_EQ(count("SELECT count(*) FROM r WHERE id >= ?1", EngineValue::Integer(2)).first, 1);
    m_db->Rollback();
    // SQLite refuses it at once, a server at the first step.
    EXPECT_EQ(FailureOf([&] {
                  auto missing = m_db->PrepareRead("SELECT * FROM nowhere WHERE id = ?1");
                  missing->Bind(1, EngineValue::Integer(1));
                  missing->Step();
              }).Failure(),
              EngineFailure::TableNotFound);
    auto described = m_db->PrepareRead("SELECT id, flag FROM r");
    EXPECT_EQ(described->ColumnCount(), 2);
    EXPECT_EQ(described->ColumnName(1), "flag");
    EXPECT_TRUE(described->Step());
}

TEST_P(EngineSeam, ColumnOriginsAndFacts) {
    MakeTable();
    auto stmt = m_db->Prepare("SELECT q.name, n + 1 AS m FROM s AS q");
    const EngineStatement::ColumnSource name = stmt->ColumnOrigin(0);
    const EngineStatement::ColumnSource expr = stmt->ColumnOrigin(1);
    EXPECT_TRUE(expr.column.empty() && expr.table.empty());
    if (!IsPg()) {
        EXPECT_EQ(name.database, "main");
        EXPECT_EQ(name.table, "s");
        EXPECT_EQ(name.column, "name");
        EXPECT_TRUE(stmt->ReadOnly());
        EXPECT_FALSE(m_db->Prepare("DELETE FROM s")->ReadOnly());
    }

    const ColumnFacts facts = m_db->DescribeColumn({}, "s", "name");
    EXPECT_TRUE(facts.required);
    EXPECT_FALSE(facts.primaryKey);
    EXPECT_EQ(facts.declaredType, IsPg() ? "character varying(20)" : "varchar(20)");
    const ColumnFacts key = m_db->DescribeColumn({}, "s", "id");
    EXPECT_TRUE(key.primaryKey);
    EXPECT_TRUE(key.autoIncrement);
    EXPECT_EQ(FailureOf([&] { m_db->DescribeColumn({}, "s", "nothing"); }).Failure(),
              EngineFailure::ColumnNotFound);
}

TEST_P(EngineSeam, BeginningOfALongText) {
    MakeTable();
    const std::string text = "a long note " + std::string(100000, 'x');
    auto insert = m_db->Prepare("INSERT INTO s (name, note) VALUES ('long', ?1)");
    insert->Bind(1, EngineValue::Text(text));
    insert->Step();
    const std::int64_t id = Rows("SELECT id FROM s WHERE name = 'long'").at(0).at(0).integer;
    const std::optional<std::string> prefix = m_db->ReadTextPrefix({}, "s", "note", id, 12);
    if (IsPg()) {
        EXPECT_FALSE(prefix); // read whole by the caller
        return;
    }
    ASSERT_TRUE(prefix);
    EXPECT_EQ(*prefix, "a long note ");
    EXPECT_EQ(m_db->ReadTextPrefix("main", "s", "note", id, 1000000).value_or(""), text);
    EXPECT_FALSE(m_db->ReadTextPrefix({}, "s", "note", id + 100, 12));
    EXPECT_FALSE(m_db->ReadTextPrefix({}, "s", "nothing", id, 12));
}

TEST_P(EngineSeam, ReaderSeesCommittedRowsAndStopsWhenInterrupted) {
    MakeTable();
    auto reader = m_db->OpenReader();
    EXPECT_TRUE(reader->IsReadOnly());
    EXPECT_FALSE(m_db->IsReadOnly());
    // The table is reached by its bare name: the reader has the session's search path.
    auto count = reader->Prepare("SELECT count(*) FROM s");
    ASSERT_TRUE(count->Step());
    EXPECT_EQ(count->ColumnInteger(0), 2);
    count->Reset();
    EXPECT_EQ(FailureOf([&] { reader->Execute("DELETE FROM s"); }).Failure(),
              EngineFailure::ReadOnly);
    if (!IsPg()) {
        // The reader compares text and checks identities as the connection does.
        auto same =
            reader->Prepare("SELECT kel_identity(1) = kel_identity(1), "
                            "kel_identity(1) = kel_identity('1'), 'É' = 'é' COLLATE JETTEXT");
        ASSERT_TRUE(same->Step());
        EXPECT_EQ(same->ColumnInteger(0), 1);
        EXPECT_EQ(same->ColumnInteger(1), 0);
        EXPECT_EQ(same->ColumnInteger(2), 1);
        same->Reset(); // an interrupt lasts while any statement of the connection runs
    }

    // A query that would run for long ends soon after an interrupt from another thread.
    const std::string slow = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                             "WHERE x < 200000000) SELECT count(*) FROM c";
    auto endless = reader->Prepare(slow);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        reader->Interrupt();
    });
    const auto start = std::chrono::steady_clock::now();
    const EngineError stopped = FailureOf([&] { endless->Step(); });
    stopper.join();
    EXPECT_EQ(stopped.Failure(), EngineFailure::Interrupted) << stopped.what();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // The connection stays usable.
    EXPECT_TRUE(reader->Prepare("SELECT 1")->Step());

    // An interrupt that comes before the statement starts is not lost, and is spent by it.
    reader->Interrupt();
    EXPECT_EQ(FailureOf([&] { reader->Prepare(slow)->Step(); }).Failure(),
              EngineFailure::Interrupted);
    EXPECT_TRUE(reader->Prepare("SELECT 1")->Step());
    ASSERT_TRUE(count->Step());
    EXPECT_EQ(count->ColumnInteger(0), 2);
    // The connection it came from was never stopped.
    EXPECT_EQ(Rows("SELECT count(*) FROM s").at(0).at(0).integer, 2);
}

// A reader takes the search path the session has when it opens, a change made inside a
// transaction only once the transaction keeps it.
TEST_P(EngineSeam, AReaderTakesTheSearchPathTheSessionHasNow) {
    if (!IsPg())
        return; // a file has no search path
    MakeTable();
    const std::string other = m_schema + "_b";
    m_db->Execute("CREATE SCHEMA " + other);
    m_db->Execute("CREATE TABLE " + other + ".s (id integer PRIMARY KEY)");
    auto countIn = [&](const std::unique_ptr<EngineConnection>& conn) {
        auto stmt = conn->Prepare("SELECT count(*) FROM s");
        return stmt->Step() ? stmt->ColumnInteger(0) : -1;
    };
    m_db->Begin();
    m_db->Execute("SET search_path TO " + other);
    m_db->Rollback(); // undoes the SET
    EXPECT_EQ(countIn(m_db->OpenReader()), 2);
    m_db->Begin();
    m_db->Execute("SET LOCAL search_path TO " + other);
    m_db->Commit(); // a SET LOCAL ends with its transaction
    EXPECT_EQ(countIn(m_db->OpenReader()), 2);
    m_db->Execute("SET search_path TO " + other);
    EXPECT_EQ(countIn(m_db->OpenReader()), 0);
    m_db->Execute("SET search_path TO " + m_schema);
    m_db->Execute("DROP SCHEMA " + other + " CASCADE");
}

TEST_P(EngineSeam, FileMovedUnderTheConnection) {
    MakeTable();
    EXPECT_TRUE(m_db->StillInPlace());
    if (IsPg())
        return;
    const std::string moved = m_file + ".moved";
    std::filesystem::rename(m_file, moved);
    EXPECT_FALSE(m_db->StillInPlace());
    std::filesystem::rename(moved, m_file);
    EXPECT_TRUE(m_db->StillInPlace());
}

TEST_P(EngineSeam, RowIdentityNameAvoidsColumnsThatTakeIt) {
    const Dialect& d = m_db->GetDialect();
    if (IsPg()) {
        EXPECT_EQ(d.RowIdName({"id"}), "");
        return;
    }
    EXPECT_EQ(d.RowIdName({"id", "name"}), "rowid");
    EXPECT_EQ(d.RowIdName({"ROWID"}), "_rowid_");
    EXPECT_EQ(d.RowIdName({"rowid", "_rowid_"}), "oid");
    EXPECT_EQ(d.RowIdName({"rowid", "_rowid_", "Oid"}), "");
}

// A column's origin names it as the table has it now. A server takes the names from a
// description made since the statement, without asking again; an older one is not used.
TEST_P(EngineSeam, ColumnOriginsNameColumnsAsTheyAreNow) {
    m_db->Execute("CREATE TABLE o (id integer PRIMARY KEY, first_name text)");
    std::unique_ptr<EngineStatement> stmt = m_db->Prepare("SELECT id, first_name FROM o");
    m_db->DescribeTable("o");
    const std::uint64_t before = m_db->RoundTrips();
    EXPECT_EQ(stmt->ColumnOrigin(1).column, "first_name");
    EXPECT_EQ(stmt->ColumnOrigin(1).table, "o");
    EXPECT_EQ(m_db->RoundTrips(), before);
    stmt.reset();
    OpenAnother()->Execute("ALTER TABLE o RENAME COLUMN first_name TO given_name");
    std::unique_ptr<EngineStatement> again = m_db->Prepare("SELECT id, given_name FROM o");
    EXPECT_EQ(again->ColumnOrigin(1).column, "given_name");
}

// A table made when first named: nothing goes for it until a statement names it, and then it
// goes in that statement's exchange; an exchange that fails before it is sent leaves it to be
// made with the next; a transaction begun first finds it made, so that a rollback leaves it;
// one never named is forgotten unmade. An embedded engine makes it at once.
TEST_P(EngineSeam, ATableMadeWhenFirstNamed) {
    auto make = [&](const std::string& table) {
        const std::string name = (IsPg() ? "pg_temp." : "temp.") + table;
        m_db->MakeWhenNamed(name, [table, name] {
            return std::vector<std::string>{"CREATE TEMPORARY TABLE " + table + " (a integer)",
                                            "INSERT INTO " + name + " VALUES (7)"};
        });
        return name;
    };
    auto seven = [&](const std::string& name) {
        auto read = m_db->Prepare("SELECT a FROM " + name);
        return read->Step() ? read->ColumnInteger(0) : -1;
    };
    std::uint64_t before = m_db->RoundTrips();
    const std::string late = make("made_late");
    EXPECT_EQ(m_db->Unmade(late), IsPg());
    EXPECT_EQ(m_db->RoundTrips(), before);
    if (IsPg()) {
        m_db->Interrupt();
        EXPECT_EQ(FailureOf([&] { seven(late); }).Failure(), EngineFailure::Interrupted);
        EXPECT_TRUE(m_db->Unmade(late));
    }
    before = m_db->RoundTrips();
    EXPECT_EQ(seven(late), 7);
    EXPECT_EQ(m_db->RoundTrips() - before, IsPg() ? 2u : 0u); // the preparation, the run
    EXPECT_FALSE(m_db->Unmade(late));

    const std::string kept = make("made_kept");
    m_db->Begin();
    m_db->Rollback();
    EXPECT_FALSE(m_db->Unmade(kept));
    EXPECT_EQ(seven(kept), 7);

    const std::string never = make("made_never");
    EXPECT_EQ(m_db->ForgetMaking(never), IsPg());
    if (IsPg()) {
        auto found = m_db->Prepare("SELECT count(to_regclass('" + never + "'))");
        ASSERT_TRUE(found->Step());
        EXPECT_EQ(found->ColumnInteger(0), 0);
    }
}

// A read that followed a statement's preparation goes to a server with that statement's next
// preparation, and its answer is taken when the same read with the same values comes right
// after. An exchange in between, other values or a transaction make it run anew, so that it
// answers for when it is asked.
TEST_P(EngineSeam, AReadThatFollowedAPreparationRidesWithItsNextOne) {
    m_db->Execute("CREATE TABLE ahead (id integer PRIMARY KEY, v integer)");
    m_db->Execute("INSERT INTO ahead VALUES (1, 10), (2, 20), (3, 30)");
    // The statement prepared, then the read: its answer, and the exchanges both cost.
    auto open = [&](int above, const std::function<void()>& between) {
        const std::uint64_t before = m_db->RoundTrips();
        auto statement = m_db->Prepare("SELECT id, v FROM ahead ORDER BY id");
        between();
        auto read = m_db->PrepareRead("SELECT count(*) FROM ahead WHERE v > ?1");
        read->Bind(1, EngineValue::Integer(above));
        EXPECT_TRUE(read->Step());
        const std::int64_t count = read->ColumnInteger(0);
        const std::uint64_t cost = m_db->RoundTrips() - before;
        // Prepared on the server whichever way it came: it runs again.
        read->Reset();
        read->Bind(1, EngineValue::Integer(above));
        EXPECT_TRUE(read->Step());
        EXPECT_EQ(read->ColumnInteger(0), count);
        return std::pair{count, cost};
    };
    const auto nothing = [] {};
    auto cost = [&](std::uint64_t n) { return IsPg() ? n : 0; };
    EXPECT_EQ(open(10, nothing), std::pair(std::int64_t{2}, cost(2)));
    EXPECT_EQ(open(10, nothing), std::pair(std::int64_t{2}, cost(1)));
    EXPECT_EQ(open(20, nothing), std::pair(std::int64_t{1}, cost(2))); // other values
    EXPECT_EQ(open(20, [&] { m_db->Execute("INSERT INTO ahead VALUES (4, 40)"); }),
              std::pair(std::int64_t{2}, cost(3)));
    // What came between was not the read: it is learnt again.
    EXPECT_EQ(open(20, nothing), std::pair(std::int64_t{2}, cost(2)));
    EXPECT_EQ(open(20, nothing), std::pair(std::int64_t{2}, cost(1)));
    // In a transaction: the read sees the transaction's own row.
    EXPECT_EQ(open(20,
                   [&] {
                       m_db->Begin();
                       m_db->Execute("INSERT INTO ahead VALUES (5, 50)");
                   })
                  .first,
              3);
    m_db->Rollback();
    EXPECT_EQ(open(20, nothing).first, 2);

    // A read that writes (as a key run that maps its keys does) is never sent ahead: the
    // statement prepared again leaves the log as the one run wrote it.
    m_db->Execute("CREATE TABLE written (n integer)");
    for (int i = 0; i < 2; ++i) {
        auto statement = m_db->Prepare("SELECT id FROM ahead");
        if (i == 0) {
            auto write = m_db->PrepareRead(
                Ddl("INSERT INTO written VALUES (1) RETURNING n",
                    "WITH w AS (INSERT INTO written VALUES (1) RETURNING n) SELECT n FROM w"));
            EXPECT_TRUE(write->Step());
        }
    }
    EXPECT_EQ(Rows("SELECT count(*) FROM written")[0][0].integer, 1);
}

KEL_ENGINE_SUITE(EngineSeam);

// What the file is decides before SQLite does.
// A server connection closed cleanly waits, reset, for the next open of the same name: that
// open skips the connect, and finds nothing the last user left. One closed inside a
// transaction, or kept while the server ended it, is not used again.
TEST(EngineIdleConnections, AClosedConnectionIsKeptResetForTheNextOpen) {
    KEL_REQUIRE_SERVER();
    const std::string name = Env("KEL_TEST_PG");
    auto value = [](EngineConnection& db, const std::string& sql) {
        auto stmt = db.Prepare(sql);
        EXPECT_TRUE(stmt->Step()) << sql;
        return stmt->Column(0);
    };
    auto pid = [&](EngineConnection& db) { return value(db, "SELECT pg_backend_pid()").integer; };
    auto admin = OpenEngine(name);
    auto db = OpenEngine(name);
    const std::int64_t first = pid(*db);
    db->Execute("SET search_path TO nowhere");
    db->Execute("SET DateStyle TO 'SQL, DMY'");
    db->Execute("CREATE TEMPORARY TABLE kept (id integer)");
    value(*db, "SELECT pg_advisory_lock(4242)");
    auto left = db->Prepare("SELECT 1"); // a statement left prepared
    left.reset();
    db.reset();
    db = OpenEngine(name);
    EXPECT_EQ(pid(*db), first);
    EXPECT_EQ(value(*db, "SELECT current_setting('search_path')").bytes, "\"$user\", public");
    EXPECT_EQ(value(*db, "SELECT current_setting('DateStyle')").bytes, "ISO, MDY");
    EXPECT_EQ(value(*db, "SELECT count(*) FROM pg_class WHERE relname = 'kept' AND "
                         "relpersistence = 't'")
                  .integer,
              0);
    EXPECT_EQ(value(*admin, "SELECT pg_try_advisory_lock(4242)::int").integer, 1);
    value(*admin, "SELECT pg_advisory_unlock(4242)");
    // Inside a transaction: closed, not kept.
    db->Begin();
    db.reset();
    db = OpenEngine(name);
    EXPECT_NE(pid(*db), first);
    // Ended by the server while kept: the next open connects anew.
    const std::int64_t second = pid(*db);
    db.reset();
    value(*admin, "SELECT pg_terminate_backend(" + std::to_string(second) + ")::int");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    db = OpenEngine(name);
    EXPECT_NE(pid(*db), second);
    EXPECT_EQ(value(*db, "SELECT 7").integer, 7);
    // None kept: each open connects.
    const std::int64_t third = pid(*db);
    SetIdleConnectionTimeout(0);
    db.reset();
    db = OpenEngine(name);
    EXPECT_NE(pid(*db), third);
    SetIdleConnectionTimeout(60);
}

// The settings the values rely on come with the connection's startup, in no exchange of their
// own, beside the options the name or PGOPTIONS give. A service file's options only libpq
// reads: there the settings cost an exchange, and the service's options stand. A connection
// opened read-only is kept for read-only opens alone.
TEST(EngineIdleConnections, TheSettingsComeWithTheConnectionBesideThoseGiven) {
    KEL_REQUIRE_SERVER();
    const std::string name = Env("KEL_TEST_PG");
    auto setting = [](EngineConnection& db, const std::string& which) {
        auto stmt = db.Prepare("SELECT current_setting('" + which + "')");
        EXPECT_TRUE(stmt->Step()) << which;
        return stmt->Column(0).bytes;
    };
    auto expectSettled = [&](EngineConnection& db, const std::string& timeout) {
        EXPECT_EQ(setting(db, "DateStyle"), "ISO, MDY");
        EXPECT_EQ(setting(db, "TimeZone"), "UTC");
        EXPECT_EQ(setting(db, "bytea_output"), "hex");
        EXPECT_EQ(setting(db, "statement_timeout"), timeout);
    };
    SetIdleConnectionTimeout(0); // each open connects
    {
        auto db = OpenEngine(name + "&options=-c%20statement_timeout%3D4321");
        EXPECT_EQ(db->RoundTrips(), 0u);
        expectSettled(*db, "4321ms");
    }
    ::setenv("PGOPTIONS", "-c statement_timeout=1234", 1);
    {
        auto db = OpenEngine(name);
        EXPECT_EQ(db->RoundTrips(), 0u);
        expectSettled(*db, "1234ms");
        // The name's options come before the environment's.
        auto named = OpenEngine(name + "&options=-c%20statement_timeout%3D4321");
        expectSettled(*named, "4321ms");
    }
    ::unsetenv("PGOPTIONS");
    const std::string dir = std::string(KEL_TEST_DATA_DIR) + "/engines";
    std::filesystem::create_directories(dir);
    const std::string services = dir + "/pg_service.conf";
    {
        std::ofstream file(services);
        file << "[kelservice]\noptions=-c statement_timeout=2468\n";
    }
    ::setenv("PGSERVICEFILE", services.c_str(), 1);
    {
        auto db = OpenEngine(name + "&service=kelservice");
        EXPECT_EQ(db->RoundTrips(), 1u);
        expectSettled(*db, "2468ms");
    }
    ::unsetenv("PGSERVICEFILE");

    SetIdleConnectionTimeout(60);
    auto reader = OpenEngine(name, true);
    auto pid = [](EngineConnection& db) {
        auto stmt = db.Prepare("SELECT pg_backend_pid()");
        EXPECT_TRUE(stmt->Step());
        return stmt->ColumnInteger(0);
    };
    const std::int64_t readerBackend = pid(*reader);
    reader.reset();
    auto writer = OpenEngine(name);
    EXPECT_NE(pid(*writer), readerBackend);
    EXPECT_EQ(setting(*writer, "default_transaction_read_only"), "off");
    writer.reset();
    reader = OpenEngine(name, true);
    EXPECT_EQ(reader->RoundTrips(), 0u); // kept, and taken in no exchange
    EXPECT_EQ(pid(*reader), readerBackend);
    EXPECT_EQ(setting(*reader, "default_transaction_read_only"), "on");
    expectSettled(*reader, "0");
}

// The catalog's questions, each prepared when first asked, stay prepared through the reset
// that keeps the connection, so that the server keeps their plans (generic ones from the first
// run: they take no parameters); every other statement goes. One the user prepared takes the
// questions with it, and they come back when next asked.
TEST(EngineIdleConnections, TheCatalogsQuestionsOutliveTheReset) {
    KEL_REQUIRE_SERVER();
    const std::string name = Env("KEL_TEST_PG");
    // The statements prepared but for those of this open's own statements (kel_<n>).
    auto prepared = [](EngineConnection& db) {
        auto stmt = db.Prepare("SELECT coalesce(string_agg(name, ',' ORDER BY name), '') FROM "
                               "pg_prepared_statements WHERE name !~ '^kel_[0-9]+$'");
        EXPECT_TRUE(stmt->Step());
        return stmt->Column(0).bytes;
    };
    auto pid = [](EngineConnection& db) {
        auto stmt = db.Prepare("SELECT pg_backend_pid()");
        EXPECT_TRUE(stmt->Step());
        return stmt->ColumnInteger(0);
    };
    // A table of its own each time, the more columns the later: a kept question answers for
    // the catalog as it is now.
    int columns = 1;
    auto describe = [&](EngineConnection& db) {
        std::string sql = "CREATE TEMPORARY TABLE described (id integer PRIMARY KEY";
        ++columns;
        for (int i = 1; i < columns; ++i)
            sql += ", c" + std::to_string(i) + " text";
        db.Execute(sql + ")");
        const SchemaDescription schema = db.DescribeTable("described");
        EXPECT_EQ(schema.fields.size(), static_cast<size_t>(columns));
        EXPECT_EQ(schema.indexes.size(), 1u);
    };
    auto value = [](EngineConnection& db, const std::string& sql) {
        auto stmt = db.Prepare(sql);
        EXPECT_TRUE(stmt->Step()) << sql;
        return stmt->Column(0);
    };
    auto admin = OpenEngine(name);
    auto db = OpenEngine(name);
    const std::int64_t backend = pid(*db);
    describe(*db);
    // A description asks three questions; the names' question waits for a lookup of names.
    const std::string described = prepared(*db);
    EXPECT_EQ(std::count(described.begin(), described.end(), ','), 2) << described;
    EXPECT_EQ(db->StoredNames({"DESCRIBED", "C1"}), (std::vector<std::string>{"c1", "described"}));
    const std::string questions = prepared(*db);
    EXPECT_EQ(value(*db, "SELECT count(*) FROM pg_prepared_statements WHERE name !~ "
                         "'^kel_[0-9]+$' AND (custom_plans > 0 OR generic_plans = 0)")
                  .integer,
              0);
    // What the reset clears beside them: a setting, a lock.
    db->Execute("SET DateStyle TO 'SQL, DMY'");
    value(*db, "SELECT pg_advisory_lock(4343)");
    EXPECT_EQ(std::count(questions.begin(), questions.end(), ','), 3) << questions;
    db->Prepare("SELECT 2")->Step(); // let go of, not yet on the server
    // A read learnt as following a statement, then sent with it and never taken: kept.
    db->Prepare("SELECT 4");
    db->PrepareRead("SELECT 5")->Step();
    db->Prepare("SELECT 4");
    db.reset();

    db = OpenEngine(name);
    ASSERT_EQ(pid(*db), backend);
    const std::string withRead = prepared(*db);
    ASSERT_EQ(withRead.rfind(questions + ",kel_kept", 0), 0u) << withRead;
    EXPECT_EQ(std::count(withRead.begin(), withRead.end(), ','), 4) << withRead;
    EXPECT_EQ(prepared(*db), withRead);
    EXPECT_EQ(value(*db, "SELECT current_setting('DateStyle')").bytes, "ISO, MDY");
    EXPECT_EQ(value(*admin, "SELECT pg_try_advisory_lock(4343)::int").integer, 1);
    value(*admin, "SELECT pg_advisory_unlock(4343)");
    describe(*db); // the temporary table went with the reset
    EXPECT_EQ(prepared(*db), withRead);
    db->Execute("PREPARE mine AS SELECT 1");
    db.reset();

    db = OpenEngine(name);
    ASSERT_EQ(pid(*db), backend);
    EXPECT_EQ(prepared(*db), "");
    describe(*db);
    const std::string again = prepared(*db);
    EXPECT_EQ(std::count(again.begin(), again.end(), ','), 2) << again;
    EXPECT_NE(again, described);
}

// A read that follows a statement's preparation is kept prepared on the connection, and the
// next open of it runs the server's plan of it without preparing it again, whether sent along
// with the statement or read on its own. A change of its table that changes its columns has
// it prepared anew, either way; a table gone fails it as it fails a fresh read.
TEST(EngineIdleConnections, AKeptReadFollowsTheCatalog) {
    KEL_REQUIRE_SERVER();
    const std::string name = Env("KEL_TEST_PG");
    auto admin = OpenEngine(name);
    const std::string table = "kept_" + std::to_string(::getpid());
    admin->Execute("CREATE TABLE " + table + " (id integer PRIMARY KEY, a text)");
    admin->Execute("INSERT INTO " + table + " VALUES (1, 'one'), (2, 'two')");
    const std::string statement = "SELECT id FROM " + table;
    const std::string read = "SELECT * FROM " + table + " ORDER BY id";
    // The read's name on the server, and the times its generic plan ran.
    auto kept = [&](EngineConnection& db) {
        auto stmt = db.Prepare("SELECT name || ' ' || generic_plans FROM pg_prepared_statements "
                               "WHERE statement = ?1");
        stmt->Bind(1, EngineValue::Text(read));
        EXPECT_TRUE(stmt->Step());
        return stmt->Column(0).bytes;
    };
    // The columns of the read's first row.
    auto run = [&](EngineConnection& db) {
        auto stmt = db.PrepareRead(read);
        EXPECT_TRUE(stmt->Step());
        std::vector<EngineValue> row;
        for (int i = 0; i < stmt->ColumnCount(); ++i)
            row.push_back(stmt->Column(i));
        return row;
    };
    auto db = OpenEngine(name);
    db->Prepare(statement);
    EXPECT_EQ(run(*db).size(), 2u);
    const std::string first = kept(*db);
    ASSERT_EQ(first.rfind("kel_kept", 0), 0u) << first;
    db.reset();
    // Sent along with the statement, on the plan of the first time.
    db = OpenEngine(name);
    db->Prepare(statement);
    EXPECT_EQ(run(*db).at(1), EngineValue::Text("one"));
    const std::string again = kept(*db);
    EXPECT_EQ(again.substr(0, again.find(' ')), first.substr(0, first.find(' ')));
    EXPECT_EQ(again.substr(again.find(' ') + 1), "2");
    db.reset();
    admin->Execute("ALTER TABLE " + table + " ADD COLUMN b integer DEFAULT 7");
    db = OpenEngine(name);
    db->Prepare(statement);
    std::vector<EngineValue> row = run(*db);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[2], EngineValue::Integer(7));
    // Read on its own.
    admin->Execute("ALTER TABLE " + table + " ALTER COLUMN a TYPE integer USING length(a)");
    row = run(*db);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[1], EngineValue::Integer(3));
    admin->Execute("DROP TABLE " + table);
    EXPECT_EQ(FailureOf([&] { run(*db); }).Failure(), EngineFailure::TableNotFound);
}

// Reads are kept up to a number, and none is let go of while kept: an open statement may run
// it still, however many other reads follow other statements meanwhile.
TEST(EngineIdleConnections, AKeptReadStaysForTheStatementsThatRunIt) {
    KEL_REQUIRE_SERVER();
    auto db = OpenEngine(Env("KEL_TEST_PG"));
    auto read = [&](int i) {
        db->Prepare("SELECT " + std::to_string(i) + " AS statement");
        auto stmt = db->PrepareRead("SELECT " + std::to_string(i) + " AS read, ?1::integer AS n");
        stmt->Bind(1, EngineValue::Integer(i));
        EXPECT_TRUE(stmt->Step());
        return stmt;
    };
    auto first = read(0);
    std::vector<std::unique_ptr<EngineStatement>> others;
    for (int i = 1; i < 40; ++i)
        others.push_back(read(i));
    others.clear(); // their names go to the server with the next exchanges
    for (int i = 40; i < 80; ++i)
        read(i);
    first->Reset();
    first->Bind(1, EngineValue::Integer(7));
    ASSERT_TRUE(first->Step());
    EXPECT_EQ(first->ColumnInteger(1), 7);
    auto kept = db->Prepare("SELECT count(*) FROM pg_prepared_statements WHERE name ~ '^kel_kept'");
    ASSERT_TRUE(kept->Step());
    EXPECT_EQ(kept->ColumnInteger(0), 16);
}

TEST(EngineOpenFiles, EmptyOrUnwritableFiles) {
    const std::string dir = std::string(KEL_TEST_DATA_DIR) + "/engines";
    std::filesystem::create_directories(dir);
    const std::string empty = dir + "/empty.db";
    std::filesystem::remove(empty);
    std::fclose(std::fopen(empty.c_str(), "wb"));
    EXPECT_EQ(FailureOf([&] { OpenEngine(empty); }).Failure(), EngineFailure::CorruptFile);
    OpenEngine(empty, false, true)->Execute("CREATE TABLE t (x)"); // created when asked
    std::filesystem::permissions(empty, std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    if (::access(empty.c_str(), W_OK) != 0) { // root writes anything
        auto db = OpenEngine(empty);
        EXPECT_TRUE(db->IsReadOnly());
        EXPECT_EQ(FailureOf([&] { db->Execute("INSERT INTO t VALUES (1)"); }).Failure(),
                  EngineFailure::ReadOnly);
    }
    std::filesystem::permissions(empty, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    std::filesystem::remove(empty);
}

} // namespace
} // namespace enginetest
