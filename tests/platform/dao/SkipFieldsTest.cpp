// Fields a reader leaves out of each record's read still read correctly when asked for, and
// edits keep and check the whole record.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {
class SkipFieldsTest : public EngineTest {};
} // namespace

TEST_P(SkipFieldsTest, SkippedFieldsStillReadAndEditsKeepThem) {
    const std::string path = MakeDatabase(
        "CREATE TABLE B (ID INTEGER PRIMARY KEY, Name TEXT, Data BLOB);"
        "INSERT INTO B VALUES (1, 'one', " +
        std::string(IsServer() ? "decode(repeat('00', 4000000), 'hex')" : "zeroblob(4000000)") +
        "), (2, 'two', x'0102');");
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
    EXPECT_EQ(QueryIds("SELECT length(Data) FROM B WHERE ID = 2"), std::vector<long>{2});
    rs.Edit();
    rs.SetFieldValue(1, "deux");
    ASSERT_TRUE(ExecOther("UPDATE B SET Data = x'03' WHERE ID = 2"));
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3197);
    rs.CancelUpdate();

    skip.RemoveAll();
    rs.SkipFields(skip);
    data = rs.GetFieldValue(2);
    ASSERT_EQ(data.vt, VT_ARRAY | VT_UI1);
    EXPECT_EQ(data.parray->rgsabound[0].cElements, 1u);
}

TEST_P(SkipFieldsTest, LimitedTextIsCutAtACharacterAndEditsKeepItWhole) {
    // Three-byte characters, so that the cut lands inside one.
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "\xE2\x82\xAC"; // the euro sign
    const std::string path =
        MakeDatabase("CREATE TABLE M (ID INTEGER PRIMARY KEY, Notes LONGTEXT, N INTEGER);"
                     "INSERT INTO M VALUES (1, 'short', 1), (2, '" +
                     big +
                     "', 2), (3, NULL, 3),"
                     " (4, 42, 4), (5, '" +
                     big + "', 5);");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM M");
    CArray<long, long> limits;
    limits.SetSize(3);
    limits[1] = 100;
    rs.LimitFields(limits);
    auto notes = [&] {
        COleVariant v = rs.GetFieldValue(1);
        return v.vt == VT_NULL ? std::string("<null>") : std::string(CString(V_BSTRT(&v)));
    };
    // The first long value is cut from a whole read; later ones are read by their beginning.
    const std::vector<std::string> want = {"short", big.substr(0, 99), "<null>", "42",
                                           big.substr(0, 99)};
    for (int pass = 0; pass < 2; ++pass) {
        rs.MoveFirst();
        for (size_t r = 0; r < want.size(); ++r, rs.MoveNext())
            EXPECT_EQ(notes(), want[r]) << "pass " << pass << " row " << r;
    }
    // An edit works on the whole value: changing another field keeps it.
    rs.SetAbsolutePosition(1);
    rs.Edit();
    EXPECT_EQ(notes(), big);
    rs.SetFieldValue(2, COleVariant(20L));
    rs.Update();
    EXPECT_EQ(QueryIds("SELECT length(Notes) FROM M WHERE ID = 2"), std::vector<long>{100000});
}

KEL_BOTH_ENGINES(SkipFieldsTest);
