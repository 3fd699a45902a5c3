// Bad input: each is a CDaoException with the engine's code and text, nothing is written, and
// the objects stay usable (or closed when they never opened).
#include "DaoTestSupport.h"

#include <sys/stat.h>

#include <fstream>

using namespace daotest;

namespace {
// Statements an engine refuses, on both engines (the files' own failures are SQLite's).
class StatementErrors : public EngineTest {};
} // namespace

TEST(Errors, ExceptionCarriesTheEngineError) {
    CDaoDatabase db;
    try {
        db.Open("/nonexistent/folder/file.db");
        FAIL() << "no exception";
    } catch (CDaoException* e) {
        ASSERT_NE(e->m_pErrorInfo, nullptr);
        EXPECT_EQ(e->m_pErrorInfo->m_lErrorCode, 3024);
        EXPECT_EQ(e->m_pErrorInfo->m_strDescription,
                  "Could not find file '/nonexistent/folder/file.db'.");
        EXPECT_EQ(e->m_pErrorInfo->m_strSource, "DAO.Database");
        EXPECT_EQ(e->GetErrorCount(), 1);
        EXPECT_EQ(e->m_nAfxDaoError, NO_AFX_DAO_ERROR);
        EXPECT_EQ(e->m_scode, static_cast<SCODE>(0x800A0000u | 3024));
        char text[256];
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
        EXPECT_STREQ(text, "Could not find file '/nonexistent/folder/file.db'.");
        e->Delete();
    }
    EXPECT_FALSE(db.IsOpen());
}

TEST(Errors, FilesThatCannotBeOpened) {
    CDaoDatabase db;
    std::string missing = TestFile(".missing.db");
    std::filesystem::remove(missing);
    EXPECT_EQ(CodeOf([&] { db.Open(missing.c_str()); }), 3024);
    EXPECT_FALSE(std::filesystem::exists(missing)); // Open never creates a file
    EXPECT_EQ(CodeOf([&] { db.Open(""); }), 3024);

    std::string text = TestFile(".txt");
    std::ofstream(text) << std::string(200, 'x');
    DaoError e = ErrorOf([&] { db.Open(text.c_str()); });
    EXPECT_EQ(e.code, 3343);
    EXPECT_EQ(e.description, "Unrecognized database format '" + text + "'.");
    std::string empty = TestFile(".empty");
    std::ofstream(empty).close();
    EXPECT_EQ(CodeOf([&] { db.Open(empty.c_str()); }), 3343);
    // A good header over a damaged body is found at Open, not later.
    std::string damaged = TestFile(".damaged");
    {
        std::ofstream out(damaged, std::ios::binary);
        out << std::string("SQLite format 3\0", 16) << std::string(4080, '\x7f');
    }
    EXPECT_EQ(CodeOf([&] { db.Open(damaged.c_str()); }), 3343);
    EXPECT_EQ(CodeOf([&] { db.Open(TestFile("").c_str()); }), 3024);
    EXPECT_FALSE(db.IsOpen());
}

TEST(Errors, ReadOnlyFileOpensReadOnly) {
    std::string path = SampleCopy(20);
    ::chmod(path.c_str(), 0444);
    CDaoDatabase db;
    db.Open(path.c_str());
    EXPECT_FALSE(db.CanUpdate());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders");
    EXPECT_FALSE(rs.CanUpdate());
    EXPECT_EQ(CodeOf([&] { rs.Edit(); }), 3027);
    EXPECT_EQ(CodeOf([&] { rs.Delete(); }), 3027);
    DaoError e = ErrorOf([&] { db.Execute("DELETE FROM Orders"); });
    EXPECT_EQ(e.code, 3027);
    EXPECT_EQ(e.description, "Cannot update. Database or object is read-only.");
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 20);
    CDaoRecordset copy(&db); // a copy of a result needs no write to the file
    copy.Open(dbOpenSnapshot, "SELECT DISTINCT City FROM Orders");
    EXPECT_FALSE(copy.IsEOF());
    // Asking for read-only on a writable file is the same.
    ::chmod(path.c_str(), 0644);
    CDaoDatabase asked;
    asked.Open(path.c_str(), FALSE, TRUE);
    EXPECT_EQ(CodeOf([&] { asked.Execute("DELETE FROM Orders"); }), 3027);
}

TEST(Errors, FileHeldExclusivelyByAnother) {
    std::string path = SampleCopy(20);
    CDaoDatabase owner;
    owner.Open(path.c_str(), TRUE);
    CDaoDatabase second;
    second.SetQueryTimeout(0);
    DaoError e = ErrorOf([&] { second.Open(path.c_str()); });
    EXPECT_EQ(e.code, 3045);
    EXPECT_EQ(e.description, "Could not use '" + path + "'; file already in use.");
    EXPECT_FALSE(second.IsOpen());
    owner.Close();
    second.Open(path.c_str());
    EXPECT_TRUE(second.IsOpen());
}

TEST_P(StatementErrors, StatementsTheEngineRejects) {
    std::string path = LoadSample(20);
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    DaoError e = ErrorOf([&] { rs.Open(dbOpenDynaset, "SELECT * FROM Ordres"); });
    EXPECT_EQ(e.code, 3078);
    EXPECT_EQ(e.description, "The database engine cannot find the input table or query 'Ordres'.");
    EXPECT_EQ(CodeOf([&] { rs.Open(dbOpenTable, "[No Such Table]"); }), 3078);
    e = ErrorOf([&] { rs.Open(dbOpenDynaset, "SELECT Colour, Size, Colour FROM Orders"); });
    EXPECT_EQ(e.code, 3061);
    EXPECT_EQ(e.description, "Too few parameters. Expected 2.");
    e = ErrorOf([&] { rs.Open(dbOpenDynaset, "SELECT * FORM Orders"); });
    EXPECT_EQ(e.code, 3075);
    EXPECT_EQ(e.description, "Syntax error in query expression 'SELECT * FORM Orders'.");
    EXPECT_EQ(CodeOf([&] {
                  rs.Open(dbOpenDynaset, "SELECT * FROM Orders WHERE OrderDate = #2/30/2000#");
              }),
              3075);
    EXPECT_EQ(CodeOf([&] { rs.Open(dbOpenDynaset, "DELETE FROM Orders"); }), 3219);
    EXPECT_EQ(CodeOf([&] { rs.Open(dbOpenDynaset, "SELECT * FROM Orders; DELETE FROM Orders"); }),
              3142);
    EXPECT_EQ(CodeOf([&] { rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY 99"); }), 3219);
    EXPECT_EQ(CodeOf([&] { rs.Open(7, "SELECT * FROM Orders"); }), 3001);

    // A recordset that never opened is closed: it answers with an error, not a crash.
    EXPECT_FALSE(rs.IsOpen());
    try {
        rs.MoveNext();
        FAIL() << "no exception";
    } catch (CDaoException* x) {
        EXPECT_EQ(x->m_nAfxDaoError, AFX_DAO_ERROR_OBJECT_NOT_OPEN);
        EXPECT_EQ(x->m_pErrorInfo->m_lErrorCode, 3420);
        x->Delete();
    }
    // Nothing was run: the table is whole, and the same object opens fine afterwards.
    rs.Open(dbOpenDynaset, "Orders");
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 20);
}

TEST_P(StatementErrors, ExecuteRunsOneActionStatement) {
    std::string path = LoadSample(20);
    CDaoDatabase db;
    db.Open(path.c_str());
    db.Execute("UPDATE Orders SET Shipped = True, Notes = \"checked\" & \"!\" WHERE OrderID <= 5");
    EXPECT_EQ(db.GetRecordsAffected(), 5);
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders WHERE Notes LIKE \"*ed!\"");
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 5);
    EXPECT_EQ(CodeOf([&] { db.Execute("SELECT * FROM Orders"); }), 3065);
    EXPECT_EQ(
        CodeOf([&] { db.Execute("DELETE FROM Orders WHERE OrderID = 1; DELETE FROM Orders"); }),
        3142);
    EXPECT_EQ(
        CodeOf([&] { db.Execute("INSERT INTO Orders (OrderID, Customer) VALUES (1, \"x\")"); }),
        3022);
    EXPECT_EQ(CodeOf([&] { db.Execute("INSERT INTO Orders (OrderID) VALUES (99)"); }), 3314);
    EXPECT_EQ(CodeOf([&] { db.Execute("UPDATE Orders SET CustomerID = 999999"); }), 3201);
    rs.Requery();
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 5);
    // Closing the database closes what is open on it.
    db.Close();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(CodeOf([&] { db.Execute("DELETE FROM Orders"); }), 3420);
}

KEL_BOTH_ENGINES(StatementErrors);
