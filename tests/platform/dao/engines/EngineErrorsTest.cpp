// Engine failures as DAO errors: the code DAO gives, its description naming what failed, and
// the engine's own text kept as a second error.
#include "EngineTestSupport.h"

#include "platform/dao/DaoException.h"

namespace enginetest {
namespace {

struct DaoFailure {
    long code = 0;
    std::string description; // error 0
    std::string engineText;  // error 1, when there is one
    short count = 0;
};

DaoFailure AsDao(const EngineError& error, const EngineContext& context = {}) {
    DaoFailure out;
    try {
        ThrowEngineError(error, ErrorSource::Database, context);
    } catch (CDaoException* e) {
        out.count = e->GetErrorCount();
        out.code = e->m_pErrorInfo->m_lErrorCode;
        out.description = static_cast<const char*>(e->m_pErrorInfo->m_strDescription);
        if (out.count > 1) {
            e->GetErrorInfo(1);
            out.engineText = static_cast<const char*>(e->m_pErrorInfo->m_strDescription);
        }
        e->Delete();
    }
    return out;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class EngineErrors : public EngineTest {};

TEST_P(EngineErrors, ConstraintFailuresBecomeDaoCodes) {
    m_db->Execute("CREATE TABLE k (id integer PRIMARY KEY, name text NOT NULL, u integer UNIQUE)");
    m_db->Execute("INSERT INTO k VALUES (1, 'a', 1)");

    const EngineError dup = FailureOf([&] { m_db->Execute("INSERT INTO k VALUES (1, 'b', 2)"); });
    EXPECT_EQ(dup.Failure(), EngineFailure::DuplicateKey) << dup.what();
    DaoFailure dao = AsDao(dup);
    EXPECT_EQ(dao.code, 3022);
    EXPECT_TRUE(Contains(dao.description, "duplicate values"));
    EXPECT_EQ(dao.count, 2);
    EXPECT_FALSE(dao.engineText.empty());
    EXPECT_EQ(FailureOf([&] { m_db->Execute("INSERT INTO k VALUES (2, 'b', 1)"); }).Failure(),
              EngineFailure::DuplicateKey);

    const EngineError null = FailureOf([&] { m_db->Execute("INSERT INTO k (id) VALUES (3)"); });
    EXPECT_EQ(null.Failure(), EngineFailure::RequiredIsNull) << null.what();
    EXPECT_EQ(null.Subject(), "name");
    dao = AsDao(null);
    EXPECT_EQ(dao.code, 3314);
    EXPECT_TRUE(Contains(dao.description, "The field 'name' cannot contain a Null value"))
        << dao.description;
    EXPECT_EQ(Count("k"), 1);
}

TEST_P(EngineErrors, MissingTableAndSyntaxError) {
    const EngineError missing = FailureOf([&] { m_db->Prepare("SELECT * FROM nowhere"); });
    EXPECT_EQ(missing.Failure(), EngineFailure::TableNotFound) << missing.what();
    EXPECT_EQ(missing.Subject(), "nowhere");
    DaoFailure dao = AsDao(missing);
    EXPECT_EQ(dao.code, 3078);
    EXPECT_EQ(dao.description,
              "The database engine cannot find the input table or query 'nowhere'.");
    EXPECT_TRUE(Contains(dao.engineText, "nowhere"));

    const EngineError syntax = FailureOf([&] { m_db->Prepare("SELEKT 1"); });
    EXPECT_EQ(syntax.Failure(), EngineFailure::Syntax) << syntax.what();
    dao = AsDao(syntax, EngineContext{"SELEKT 1", false, {}});
    EXPECT_EQ(dao.code, 3075);
    EXPECT_EQ(dao.description, "Syntax error in query expression 'SELEKT 1'.");
    EXPECT_TRUE(Contains(dao.engineText, "syntax error")) << dao.engineText;

    const EngineError column = FailureOf([&] { m_db->Prepare("SELECT nocolumn"); });
    EXPECT_EQ(column.Failure(), EngineFailure::ColumnNotFound) << column.what();
    EXPECT_EQ(column.Subject(), "nocolumn");
    // Jet reads an unknown name in a statement as a parameter, in a criterion as a field.
    dao = AsDao(column);
    EXPECT_EQ(dao.code, 3061);
    EXPECT_EQ(dao.description, "Too few parameters. Expected 1.");
    dao = AsDao(column, EngineContext{"nocolumn = 1", true, {}});
    EXPECT_EQ(dao.code, 3070);
    EXPECT_TRUE(Contains(dao.description, "'nocolumn'")) << dao.description;

    EXPECT_EQ(FailureOf([&] { m_db->Prepare("SELECT 'open"); }).Failure(), EngineFailure::Syntax);

    // An unknown function is named; on a server, so is a comparison of types it cannot make.
    const EngineError function = FailureOf([&] { m_db->Prepare("SELECT 1 + nosuchfn(2)"); });
    EXPECT_EQ(function.Failure(), EngineFailure::FunctionNotFound) << function.what();
    EXPECT_EQ(function.Subject(), "nosuchfn");
    if (IsPg()) {
        const EngineError mismatch =
            FailureOf([&] { m_db->Prepare("SELECT 1 WHERE true = 1::integer"); });
        EXPECT_EQ(mismatch.Failure(), EngineFailure::TypeMismatch) << mismatch.what();
    }
}

TEST_P(EngineErrors, ConversionFailures) {
    m_db->Execute("CREATE TABLE n (i integer, t varchar(3))");
    if (IsPg()) { // SQLite stores what it is given
        EXPECT_EQ(FailureOf([&] { m_db->Execute("INSERT INTO n (i) VALUES ('x')"); }).Failure(),
                  EngineFailure::Conversion);
        EXPECT_EQ(FailureOf([&] { m_db->Execute("INSERT INTO n (t) VALUES ('long')"); }).Failure(),
                  EngineFailure::TooLong);
        EXPECT_EQ(
            FailureOf([&] { m_db->Execute("INSERT INTO n (i) VALUES (99999999999)"); }).Failure(),
            EngineFailure::Overflow);
        EXPECT_EQ(AsDao(EngineError(EngineFailure::TooLong, "22001", "too long")).code, 3163);
    }
    auto stmt = m_db->Prepare("SELECT ?");
    EXPECT_EQ(FailureOf([&] { stmt->Bind(1, EngineValue::Text(std::string("\0", 1))); }).Failure(),
              EngineFailure::Conversion);
}

KEL_ENGINE_SUITE(EngineErrors);

TEST(EngineOpenErrors, SqliteFileMissingOrNoDatabase) {
    const std::string dir = std::string(KEL_TEST_DATA_DIR) + "/engines";
    std::filesystem::create_directories(dir);
    const std::string missing = dir + "/missing.db";
    std::filesystem::remove(missing);
    const EngineError e = FailureOf([&] { OpenEngine(missing); });
    EXPECT_EQ(e.Failure(), EngineFailure::FileNotFound);
    EXPECT_EQ(AsDao(e).description, "Could not find file '" + missing + "'.");
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string junk = dir + "/junk.db";
    {
        std::FILE* f = std::fopen(junk.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("this is no database, only text that is long enough to be read as a header", f);
        std::fclose(f);
    }
    const EngineError notDb = FailureOf([&] { OpenEngine(junk); });
    EXPECT_EQ(notDb.Failure(), EngineFailure::CorruptFile) << notDb.what();
    EXPECT_EQ(AsDao(notDb).code, 3343);
    std::filesystem::remove(junk);
}

std::string WithPassword(const std::string& uri, const std::string& password) {
    // postgresql://kel@host:port/db -> postgresql://kel:<password>@host:port/db
    const size_t at = uri.find('@');
    return uri.substr(0, at) + ":" + password + uri.substr(at);
}

TEST(EngineOpenErrors, ServerRefusesOrCannotBeReached) {
    KEL_REQUIRE_SERVER();
    const char* tcp = Env("KEL_TEST_PG_TCP");
    const char* password = Env("KEL_TEST_PG_PASSWORD");
    ASSERT_TRUE(tcp && password)
        << "KEL_TEST_PG_TCP and KEL_TEST_PG_PASSWORD come with KEL_TEST_PG";

    const EngineError wrong = FailureOf([&] { OpenEngine(WithPassword(tcp, "not-it")); });
    EXPECT_EQ(wrong.Failure(), EngineFailure::CannotConnect);
    EXPECT_TRUE(Contains(wrong.what(), "password authentication failed")) << wrong.what();
    EXPECT_FALSE(Contains(wrong.Subject(), "not-it"))
        << "the password shows in " << wrong.Subject();
    const DaoFailure dao = AsDao(wrong);
    EXPECT_EQ(dao.code, 3151);
    EXPECT_TRUE(Contains(dao.description, "ODBC--connection to")) << dao.description;
    EXPECT_TRUE(Contains(dao.engineText, "password authentication failed")) << dao.engineText;

    const EngineError refused =
        FailureOf([&] { OpenEngine("postgresql://kel@127.0.0.1:1/keltest?connect_timeout=3"); });
    EXPECT_EQ(refused.Failure(), EngineFailure::CannotConnect);
    EXPECT_TRUE(Contains(refused.what(), "127.0.0.1")) << refused.what();

    // The same server through the ODBC form, the password in braces.
    const std::string uri(tcp);
    const size_t hostAt = uri.find('@') + 1, portAt = uri.find(':', hostAt) + 1,
                 dbAt = uri.find('/', portAt) + 1;
    const std::string odbc =
        "ODBC;DRIVER={PostgreSQL Unicode};SERVER=" + uri.substr(hostAt, portAt - 1 - hostAt) +
        ";PORT=" + uri.substr(portAt, dbAt - 1 - portAt) + ";DATABASE=" + uri.substr(dbAt) +
        ";UID=kel;PWD={" + password + "};";
    auto db = OpenEngine(odbc);
    EXPECT_EQ(db->EngineName(), "PostgreSQL");
    auto stmt = db->Prepare("SELECT current_user");
    ASSERT_TRUE(stmt->Step());
    EXPECT_EQ(stmt->Column(0).bytes, "kel");
    const EngineError odbcWrong =
        FailureOf([&] { OpenEngine(odbc.substr(0, odbc.find("PWD=")) + "PWD={x;y}}z}"); });
    EXPECT_EQ(odbcWrong.Failure(), EngineFailure::CannotConnect);
    EXPECT_FALSE(Contains(odbcWrong.Subject(), "x;y"));
}

} // namespace
} // namespace enginetest
