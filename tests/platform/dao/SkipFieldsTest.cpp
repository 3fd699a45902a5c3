// Fields a reader leaves out of each record's read still read correctly when asked for, and
// edits keep and check the whole record.
#include "DaoTestSupport.h"

using namespace daotest;

TEST(SkipFieldsTest, SkippedFieldsStillReadAndEditsKeepThem) {
    const std::string path =
        MakeDatabase("CREATE TABLE B (ID INTEGER PRIMARY KEY, Name TEXT, Data BLOB);"
                     "INSERT INTO B VALUES (1, 'one', zeroblob(4000000)), (2, 'two', x'0102');");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM B");
    CArray<BOOL, BOOL> skip;
    skip.SetSize(3);
    skip[2] = TRUE;
    rs.SkipFields(skip);
    COleVariant name = rs.GetFieldValue(1);
    EXPECT_EQ(CString(V_BSTRT(&name)), "one");
    COleVariant data = rs.GetFieldValue(2); // asked for anyway: read on its own
    ASSERT_EQ(data.vt, VT_ARRAY | VT_UI1);
    EXPECT_EQ(data.parray->rgsabound[0].cElements, 4000000u);

    // An edit works on the whole record: the skipped value is neither lost nor overwritten,
    // and a change to it by another program is still a conflict.
    rs.MoveNext();
    rs.SetLockingMode(FALSE);
    rs.Edit();
    rs.SetFieldValue(1, "zwei");
    rs.Update();
    EXPECT_EQ(QueryIds(path, "SELECT length(Data) FROM B WHERE ID = 2"), std::vector<long>{2});
    rs.Edit();
    rs.SetFieldValue(1, "deux");
    ASSERT_EQ(ExecOther(path, "UPDATE B SET Data = x'03' WHERE ID = 2"), SQLITE_OK);
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3197);
    rs.CancelUpdate();

    skip.RemoveAll();
    rs.SkipFields(skip);
    data = rs.GetFieldValue(2);
    ASSERT_EQ(data.vt, VT_ARRAY | VT_UI1);
    EXPECT_EQ(data.parray->rgsabound[0].cElements, 1u);
}
