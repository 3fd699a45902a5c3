// Values, parameters, transactions and the change token, the same on every engine.
#include "EngineTestSupport.h"

#include "platform/dao/DaoConstants.h"

#include <cmath>
#include <iterator>
#include <limits>

namespace enginetest {
namespace {

using Kind = EngineValue::Kind;

class EngineValues : public EngineTest {
protected:
    void MakeTable() {
        m_db->Execute("CREATE TABLE v (id integer PRIMARY KEY, i bigint, r double precision, "
                      "t text, b " +
                      BlobType() + ", f boolean, d " + DateType() + ")");
    }
    void Insert(std::int64_t id, std::initializer_list<EngineValue> values) {
        auto stmt = m_db->Prepare("INSERT INTO v VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        stmt->Bind(1, EngineValue::Integer(id));
        int i = 1;
        for (const EngineValue& v : values)
            stmt->Bind(++i, v);
        EXPECT_FALSE(stmt->Step());
        EXPECT_EQ(stmt->ChangedRows(), 1);
    }
    std::vector<EngineValue> Row(std::int64_t id) {
        auto rows = Rows("SELECT i, r, t, b, f, d FROM v WHERE id = ?", {EngineValue::Integer(id)});
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? std::vector<EngineValue>() : rows[0];
    }
};

TEST_P(EngineValues, EveryKindComesBackAsItWasStored) {
    MakeTable();
    const std::string binary("\0\x01\xff\0z", 5);
    const std::string text = "Grüße, 日本, 🎉 'a\"b\\c'";
    const std::vector<std::vector<EngineValue>> cases = {
        {EngineValue::Integer(std::numeric_limits<std::int64_t>::max()), EngineValue::Real(0.1),
         EngineValue::Text(text), EngineValue::Blob(binary), EngineValue::Integer(-1),
         EngineValue::Text("2024-02-29 13:45:10")},
        {EngineValue::Integer(std::numeric_limits<std::int64_t>::min()),
         EngineValue::Real(-1.7976931348623157e308), EngineValue::Text(""), EngineValue::Blob(""),
         EngineValue::Integer(0), EngineValue::Text("1899-12-30")},
        {EngineValue::Null(), EngineValue::Null(), EngineValue::Null(), EngineValue::Null(),
         EngineValue::Null(), EngineValue::Null()},
        {EngineValue::Integer(9007199254740993), EngineValue::Real(4.9406564584124654e-324),
         EngineValue::Text(std::string(3000, 'x')), EngineValue::Blob(std::string(256, '\0')),
         EngineValue::Integer(-1), EngineValue::Text("9999-12-31 23:59:59")},
    };
    for (size_t k = 0; k < cases.size(); ++k) {
        const auto& c = cases[k];
        Insert(static_cast<std::int64_t>(k), {c[0], c[1], c[2], c[3], c[4], c[5]});
    }
    for (size_t k = 0; k < cases.size(); ++k) {
        const std::vector<EngineValue> row = Row(static_cast<std::int64_t>(k));
        ASSERT_EQ(row.size(), cases[k].size());
        for (size_t c = 0; c < row.size(); ++c) {
            EXPECT_EQ(row[c].kind, cases[k][c].kind) << "case " << k << " column " << c;
            EXPECT_TRUE(row[c] == cases[k][c]) << "case " << k << " column " << c << ": '"
                                               << row[c].bytes << "' " << row[c].integer;
        }
    }
}

TEST_P(EngineValues, NumbersKeepTheirKindThroughExpressions) {
    const auto rows = Rows("SELECT 9223372036854775807, 2.5, 'x', NULL");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0][0] == EngineValue::Integer(9223372036854775807));
    EXPECT_TRUE(rows[0][1] == EngineValue::Real(2.5));
    EXPECT_TRUE(rows[0][2] == EngineValue::Text("x"));
    EXPECT_TRUE(rows[0][3].IsNull());
}

TEST_P(EngineValues, DecimalsReadAsNumbers) {
    m_db->Execute("CREATE TABLE money (amount numeric(12,2))");
    auto insert = m_db->Prepare("INSERT INTO money VALUES (?)");
    insert->Bind(1, EngineValue::Real(1234.56));
    insert->Step();
    insert->Bind(1, EngineValue::Text("-0.25"));
    insert->Step();
    const auto rows = Rows("SELECT amount FROM money ORDER BY amount");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0][0] == EngineValue::Real(-0.25));
    EXPECT_TRUE(rows[1][0] == EngineValue::Real(1234.56));
}

TEST_P(EngineValues, TextWithNulIsRefusedAndNothingIsWritten) {
    MakeTable();
    auto stmt = m_db->Prepare("INSERT INTO v (id, t) VALUES (1, ?)");
    EXPECT_EQ(
        FailureOf([&] { stmt->Bind(1, EngineValue::Text(std::string("a\0b", 3))); }).Failure(),
        EngineFailure::Conversion);
    EXPECT_EQ(Count("v"), 0);
    std::string twoStatements = "SELECT 1";
    twoStatements += '\0';
    twoStatements += "; DROP TABLE v";
    EXPECT_EQ(FailureOf([&] { m_db->Execute(twoStatements); }).Failure(), EngineFailure::Syntax);
    EXPECT_EQ(Count("v"), 0);
}

TEST_P(EngineValues, ParametersAreNumberedAsSqliteNumbersThem) {
    auto stmt = m_db->Prepare("SELECT ?2, ?1, ?, '?', \"?\" FROM (SELECT 1 AS \"?\") AS s");
    EXPECT_EQ(stmt->ParameterCount(), 3);
    stmt->BindAll({EngineValue::Text("one"), EngineValue::Text("two"), EngineValue::Text("3")});
    ASSERT_TRUE(stmt->Step());
    EXPECT_EQ(stmt->Column(0).bytes, "two");
    EXPECT_EQ(stmt->Column(1).bytes, "one");
    EXPECT_EQ(stmt->Column(2).bytes, "3");
    EXPECT_EQ(stmt->Column(3).bytes, "?");
    EXPECT_EQ(stmt->Column(4).integer, 1);
    EXPECT_FALSE(stmt->Step());
    EXPECT_EQ(FailureOf([&] { stmt->Column(0); }).Failure(), EngineFailure::InvalidArgument);
    // A step after the end runs the statement again; binding again does too.
    ASSERT_TRUE(stmt->Step());
    EXPECT_EQ(stmt->Column(0).bytes, "two");
    stmt->Bind(1, EngineValue::Text("uno"));
    ASSERT_TRUE(stmt->Step());
    EXPECT_EQ(stmt->Column(1).bytes, "uno");
    EXPECT_EQ(FailureOf([&] { stmt->Bind(4, EngineValue::Null()); }).Failure(),
              EngineFailure::InvalidArgument);
    EXPECT_EQ(FailureOf([&] { stmt->Bind(0, EngineValue::Null()); }).Failure(),
              EngineFailure::InvalidArgument);
}

TEST_P(EngineValues, ChangedRowsCountWritesOnly) {
    MakeTable();
    EXPECT_EQ(m_db->Execute("INSERT INTO v (id, i) VALUES (1, 1), (2, 1), (3, 2)"), 3);
    EXPECT_EQ(m_db->Execute("UPDATE v SET i = 5 WHERE i = 1"), 2);
    EXPECT_EQ(m_db->Execute("SELECT * FROM v"), 0);
    auto returning = m_db->Prepare("INSERT INTO v (id) VALUES (?) RETURNING id");
    returning->Bind(1, EngineValue::Integer(9));
    ASSERT_TRUE(returning->Step());
    EXPECT_EQ(returning->Column(0).integer, 9);
    EXPECT_FALSE(returning->Step());
    EXPECT_EQ(returning->ChangedRows(), 1);
    EXPECT_EQ(m_db->Execute("DELETE FROM v"), 4);
}

TEST_P(EngineValues, OnlyOneStatementIsRun) {
    MakeTable();
    EXPECT_EQ(FailureOf([&] { m_db->Execute("DELETE FROM v; DROP TABLE v"); }).Failure(),
              EngineFailure::Syntax);
    EXPECT_EQ(FailureOf([&] { m_db->Prepare("SELECT 1; SELECT 2"); }).Failure(),
              EngineFailure::Syntax);
    EXPECT_EQ(Count("v"), 0); // the table is still there
    EXPECT_EQ(m_db->Execute("DELETE FROM v;"), 0);
}

TEST_P(EngineValues, RolledBackTransactionLeavesNothing) {
    MakeTable();
    EXPECT_FALSE(m_db->InTransaction());
    m_db->Begin();
    EXPECT_TRUE(m_db->InTransaction());
    Insert(1, {EngineValue::Integer(5), {}, {}, {}, {}, {}});
    m_db->Execute("CREATE TABLE w (x integer)");
    EXPECT_EQ(Count("v"), 1);
    m_db->Rollback();
    EXPECT_FALSE(m_db->InTransaction());
    EXPECT_EQ(Count("v"), 0);
    EXPECT_EQ(FailureOf([&] { Count("w"); }).Failure(), EngineFailure::TableNotFound);
}

TEST_P(EngineValues, SavepointUndoesOnlyWhatFollowsIt) {
    MakeTable();
    EXPECT_EQ(FailureOf([&] { m_db->Savepoint("early"); }).Failure(), EngineFailure::Other);
    m_db->Begin();
    Insert(1, {{}, {}, {}, {}, {}, {}});
    m_db->Savepoint("a \"quoted\" name");
    Insert(2, {{}, {}, {}, {}, {}, {}});
    m_db->RollbackToSavepoint("a \"quoted\" name");
    m_db->ReleaseSavepoint("a \"quoted\" name");
    Insert(3, {{}, {}, {}, {}, {}, {}});
    m_db->Commit();
    const auto rows = Rows("SELECT id FROM v ORDER BY id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].integer, 1);
    EXPECT_EQ(rows[1][0].integer, 3);
}

// A failed statement inside a transaction undoes itself alone: the work before it and after
// it commits, on a server as on SQLite.
TEST_P(EngineValues, FailedStatementKeepsTheTransaction) {
    MakeTable();
    m_db->Begin();
    Insert(1, {{}, {}, {}, {}, {}, {}});
    EXPECT_EQ(FailureOf([&] {
                  Insert(1, {{}, {}, {}, {}, {}, {}});
              }).Failure(),
              EngineFailure::DuplicateKey);
    EXPECT_TRUE(m_db->InTransaction());
    Insert(2, {{}, {}, {}, {}, {}, {}});
    m_db->Commit();
    EXPECT_EQ(Count("v"), 2);
}

TEST_P(EngineValues, ChangeTokenMovesWhenAnotherConnectionCommits) {
    MakeTable();
    auto other = OpenAnother();
    const ChangeToken before = m_db->CurrentChangeToken();
    if (!IsPg()) { // a server's token also moves with other sessions' work
        EXPECT_EQ(m_db->CurrentChangeToken(), before);
    }
    other->Begin();
    other->Execute("INSERT INTO v (id) VALUES (1)");
    other->Commit();
    const ChangeToken afterOther = m_db->CurrentChangeToken();
    EXPECT_NE(afterOther, before);
    EXPECT_EQ(Count("v"), 1);
    // This connection's own change moves it too, also inside its open transaction.
    m_db->Begin();
    m_db->Execute("INSERT INTO v (id) VALUES (2)");
    EXPECT_NE(m_db->CurrentChangeToken(), afterOther);
    m_db->Rollback();
}

TEST_P(EngineValues, StatementOutlivesItsConnection) {
    MakeTable();
    auto other = OpenAnother();
    auto stmt = other->Prepare("SELECT count(*) FROM v");
    ASSERT_TRUE(stmt->Step());
    EXPECT_EQ(stmt->Column(0).integer, 0);
    other.reset();
    stmt.reset(); // no crash, no leak (the sanitizer run checks)
}

KEL_ENGINE_SUITE(EngineValues);

} // namespace
} // namespace enginetest

namespace enginetest {
namespace {

// Types only a server has: read as text or as the nearest number, as the seam's conventions
// say; numerics map to Currency where Currency holds them.
TEST(PgValues, ServerTypesAndNumerics) {
    KEL_REQUIRE_SERVER();
    auto db = OpenEngine(Env("KEL_TEST_PG"));
    auto stmt = db->Prepare("SELECT '6ba7b810-9dad-11d1-80b4-00c04fd430c8'::uuid, "
                            "'{\"a\": [1, 2]}'::json, TIMESTAMPTZ '2024-01-02 03:04:05+02', "
                            "DATE '2024-01-02', 'NaN'::float8, 12345678901234567890.5::numeric, "
                            "true, false, '\\x00ff'::bytea, TIME '13:45:10'");
    ASSERT_TRUE(stmt->Step());
    EXPECT_TRUE(stmt->Column(0) == EngineValue::Text("6ba7b810-9dad-11d1-80b4-00c04fd430c8"));
    EXPECT_TRUE(stmt->Column(1) == EngineValue::Text("{\"a\": [1, 2]}"));
    EXPECT_TRUE(stmt->Column(2) == EngineValue::Text("2024-01-02 01:04:05")); // in UTC
    EXPECT_TRUE(stmt->Column(3) == EngineValue::Text("2024-01-02"));
    EXPECT_EQ(stmt->Column(4).kind, EngineValue::Kind::Real);
    EXPECT_TRUE(std::isnan(stmt->Column(4).real));
    EXPECT_TRUE(stmt->Column(5) == EngineValue::Real(12345678901234567890.5));
    EXPECT_TRUE(stmt->Column(6) == EngineValue::Integer(-1));
    EXPECT_TRUE(stmt->Column(7) == EngineValue::Integer(0));
    EXPECT_TRUE(stmt->Column(8) == EngineValue::Blob(std::string("\0\xff", 2)));
    EXPECT_TRUE(stmt->Column(9) == EngineValue::Text("13:45:10"));
    EXPECT_EQ(stmt->ColumnType(0), "uuid");
    EXPECT_EQ(stmt->ColumnType(5), "numeric");

    // A temporary table lives in this session alone.
    db->Execute("CREATE TEMP TABLE nums (c numeric(19,4), d numeric(20,4), e numeric(12,6), "
                "f numeric, g bigint, h char(3), i uuid, j json)");
    const SchemaDescription s = db->DescribeTable("nums");
    const short expected[] = {dbCurrency, dbDouble, dbDouble, dbDouble,
                              dbDouble,   dbText,   dbText,   dbMemo};
    ASSERT_EQ(s.fields.size(), std::size(expected));
    for (size_t i = 0; i < s.fields.size(); ++i)
        EXPECT_EQ(s.fields[i].daoType, expected[i])
            << s.fields[i].name << " " << s.fields[i].declaredType;
    EXPECT_EQ(s.fields[5].size, 3);

    // Booleans take Jet's -1/0 and text numbers; bigint's extremes stay exact.
    db->Execute("CREATE TEMP TABLE b (f boolean, g bigint)");
    auto insert = db->Prepare("INSERT INTO b VALUES (?, ?)");
    insert->BindAll({EngineValue::Text("-1"), EngineValue::Text("-9223372036854775808")});
    insert->Step();
    insert->BindAll({EngineValue::Real(0), EngineValue::Integer(9223372036854775807)});
    insert->Step();
    auto read = db->Prepare("SELECT f, g FROM b ORDER BY g");
    ASSERT_TRUE(read->Step());
    EXPECT_TRUE(read->Column(0) == EngineValue::Integer(-1));
    EXPECT_TRUE(read->Column(1) == EngineValue::Integer(std::numeric_limits<std::int64_t>::min()));
    ASSERT_TRUE(read->Step());
    EXPECT_TRUE(read->Column(0) == EngineValue::Integer(0));
    EXPECT_TRUE(read->Column(1) == EngineValue::Integer(std::numeric_limits<std::int64_t>::max()));
}

} // namespace
} // namespace enginetest
