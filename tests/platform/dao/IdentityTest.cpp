// A keyed record stays the record it was: a row identity the engine hands to another
// program's new record does not carry the old record's place, and the key a host opens its own
// recordset by is the table's key as stored. Text written to text fields stays text.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

// SQLite's rowid as such: handed on to another program's row, a table's key beside it, and
// the storage class text is written with.
class IdentityTest : public EngineTest {};

} // namespace

TEST_P(IdentityTest, ARowIdentityGivenToAnotherRecordReadsAsDeleted) {
    const std::string path = MakeDatabase("CREATE TABLE P (Code TEXT PRIMARY KEY, Name TEXT);"
                                          "INSERT INTO P VALUES ('a', 'Anna'), ('b', 'Bert');");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT Name FROM P");
    rs.MoveLast();
    const COleVariant bert = rs.GetBookmark();
    rs.SetLockingMode(FALSE);
    rs.Edit();
    // Another program removes Bert; its new record gets his rowid.
    ASSERT_TRUE(ExecOther("DELETE FROM P WHERE Code = 'b'; INSERT INTO P VALUES ('c', 'Carl')"));
    ASSERT_EQ(QueryText("SELECT rowid FROM P WHERE Code = 'c'"), "2");
    rs.SetFieldValue(0, "Bernd");
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3167);
    rs.CancelUpdate();
    EXPECT_EQ(QueryText("SELECT Name FROM P WHERE Code = 'c'"), "Carl");
    EXPECT_EQ(CodeOf([&] { rs.SetBookmark(bert); }), 3167);
    rs.MoveFirst();
    rs.MoveNext();
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue(0); }), 3167);
    EXPECT_EQ(rs.GetRecordCount(), 2); // Carl came after the opening: not among its records

    // A key changed through the dynaset itself keeps the record its own.
    rs.MoveFirst();
    rs.Edit();
    rs.SetFieldValue(0, "Anne");
    rs.Update();
    CDaoRecordset keyed(&db);
    keyed.Open(dbOpenDynaset, "SELECT Code, Name FROM P");
    keyed.Edit();
    keyed.SetFieldValue(0, "z");
    keyed.Update();
    COleVariant name = keyed.GetFieldValue(1);
    EXPECT_EQ(CString(V_BSTRT(&name)), "Anne");
}

TEST_P(IdentityTest, TheRecordKeyIsTheTablesKeyAsStoredOrItsRowIdentity) {
    const std::string path =
        MakeDatabase("CREATE TABLE K (A TEXT, B DATETIME, V DOUBLE, PRIMARY KEY (A, B));"
                     "INSERT INTO K VALUES ('x', '2024-01-05 10:00:00', 4085.8782123456);"
                     "CREATE TABLE N (V TEXT); INSERT INTO N VALUES ('one'), ('two');"
                     "CREATE TABLE M (V TEXT); INSERT INTO M VALUES ('one');");
    CDaoDatabase db;
    db.Open(path.c_str());
    CStringArray names;
    CArray<COleVariant, const COleVariant&> values;
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT V FROM K"); // the key is not among the fields
    rs.GetRecordKey(names, values);
    ASSERT_EQ(names.GetSize(), 2);
    EXPECT_EQ(names[0], "A");
    EXPECT_EQ(names[1], "B");
    EXPECT_EQ(CString(V_BSTRT(&values[0])), "x");
    ASSERT_EQ(values[1].vt, VT_DATE);
    EXPECT_EQ(COleDateTime(values[1].date).Format("%Y-%m-%d %H:%M:%S"), "2024-01-05 10:00:00");
    rs.Close();

    rs.Open(dbOpenDynaset, "SELECT V FROM N");
    rs.MoveNext();
    rs.GetRecordKey(names, values);
    ASSERT_EQ(names.GetSize(), 1);
    EXPECT_EQ(names[0], "rowid");
    EXPECT_EQ(values[0].lVal, 2);
    rs.Close();

    rs.Open(dbOpenDynaset, "SELECT N.V FROM N INNER JOIN M ON N.V = M.V");
    EXPECT_EQ(CodeOf([&] { rs.GetRecordKey(names, values); }), 3251);
}

TEST_P(IdentityTest, TextWrittenToATextFieldStaysText) {
    const std::string path =
        MakeDatabase("CREATE TABLE T (ID INTEGER PRIMARY KEY, Code TEXT(10), Notes MEMO);"
                     "INSERT INTO T VALUES (1, 'a', 'first');");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T");
    rs.Edit();
    rs.SetFieldValue(1, "007");
    rs.Update();
    EXPECT_EQ(QueryText("SELECT typeof(Code) || ':' || Code FROM T"), "text:007");

    // A memo column declared without TEXT would keep 007 as the number 7: refused, unchanged.
    for (BOOL bPessimistic : {TRUE, FALSE}) {
        rs.SetLockingMode(bPessimistic);
        rs.Edit();
        rs.SetFieldValue(2, "007");
        const DaoError error = ErrorOf([&] { rs.Update(); });
        EXPECT_EQ(error.code, 3421);
        EXPECT_NE(error.description.find("Notes"), std::string::npos) << error.description;
        rs.CancelUpdate();
        EXPECT_EQ(QueryText("SELECT typeof(Notes) || ':' || Notes FROM T"), "text:first");
    }
    // A new record is refused whole.
    rs.AddNew();
    rs.SetFieldValue(2, "12");
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3421);
    rs.CancelUpdate();
    EXPECT_EQ(QueryText("SELECT count(*) FROM T"), "1");
    // Text that is no number goes in as it is.
    rs.Edit();
    rs.SetFieldValue(2, "seven");
    rs.Update();
    EXPECT_EQ(QueryText("SELECT Notes FROM T"), "seven");
}

KEL_SQLITE_ONLY(IdentityTest);
