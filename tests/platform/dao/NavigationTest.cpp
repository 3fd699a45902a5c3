// Moving through recordsets: the ends, relative and absolute moves, counts, bookmarks, and
// records that others delete or add.
#include "DaoTestSupport.h"
#include "tests/support/StatementCounter.h"

#include <vector>

using namespace daotest;

namespace {

std::vector<long> Walk(CDaoRecordset& rs, int idField) {
    std::vector<long> ids;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        ids.push_back(Long(rs, idField));
    return ids;
}

void ReadAllFields(CDaoRecordset& rs) {
    COleVariant value;
    for (int i = 0; i < rs.GetFieldCount(); ++i)
        rs.GetFieldValue(i, value);
}

class Navigation : public SampleTest {};
// Counted through SQLite's statement trace.
class NavigationStatements : public SampleTest {};

} // namespace

TEST_P(Navigation, BofAndEofAtBothEnds) {
    OpenSample(50);
    EXPECT_FALSE(rs.IsBOF());
    EXPECT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.GetAbsolutePosition(), 0);
    rs.MovePrev();
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.GetAbsolutePosition(), -1);
    EXPECT_EQ(CodeOf([&] { rs.MovePrev(); }), 3021);
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue(0); }), 3021);
    rs.MoveNext();
    EXPECT_EQ(Long(rs, 0), 1);

    rs.MoveLast();
    EXPECT_EQ(rs.GetAbsolutePosition(), 49);
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_FALSE(rs.IsBOF());
    EXPECT_EQ(CodeOf([&] { rs.MoveNext(); }), 3021);
    EXPECT_EQ(CodeOf([&] { rs.GetBookmark(); }), 3021);
    EXPECT_EQ(CodeOf([&] { rs.Move(1); }), 3021);
    rs.MovePrev();
    EXPECT_EQ(Long(rs, 0), 50);
    // The recordset stays usable after each error.
    rs.MoveFirst();
    EXPECT_EQ(Long(rs, 0), 1);
}

TEST_P(Navigation, EmptyRecordset) {
    OpenSample(50, "SELECT * FROM Orders WHERE OrderID < 0");
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.GetRecordCount(), 0);
    EXPECT_EQ(CodeOf([&] { rs.MoveFirst(); }), 3021);
    EXPECT_EQ(CodeOf([&] { rs.MoveLast(); }), 3021);
    EXPECT_EQ(CodeOf([&] { rs.MoveNext(); }), 3021);
    EXPECT_EQ(CodeOf([&] { rs.MovePrev(); }), 3021);
    EXPECT_EQ(rs.GetAbsolutePosition(), -1);
    EXPECT_EQ(rs.GetFieldCount(), 13); // the fields are there all the same
}

TEST_P(Navigation, MoveCountsFromTheCurrentRecord) {
    OpenSample(50);
    rs.Move(10);
    EXPECT_EQ(Long(rs, 0), 11);
    rs.Move(-3);
    EXPECT_EQ(rs.GetAbsolutePosition(), 7);
    rs.Move(0);
    EXPECT_EQ(Long(rs, 0), 8);
    rs.Move(100);
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveLast();
    rs.Move(-100);
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_EQ(CodeOf([&] { rs.Move(2); }), 3021);
    rs.SetAbsolutePosition(25);
    EXPECT_EQ(Long(rs, 0), 26);
    EXPECT_EQ(CodeOf([&] { rs.SetAbsolutePosition(50); }), 3001);
    EXPECT_EQ(CodeOf([&] { rs.SetAbsolutePosition(-1); }), 3001);
    EXPECT_EQ(rs.GetAbsolutePosition(), 25);
}

TEST_P(Navigation, RecordCountBeforeAndAfterMoveLast) {
    OpenSample(3000);
    EXPECT_EQ(rs.GetRecordCount(), 1);
    for (int i = 0; i < 4; ++i)
        rs.MoveNext();
    EXPECT_EQ(rs.GetRecordCount(), 5);
    rs.SetAbsolutePosition(1000);
    EXPECT_EQ(rs.GetRecordCount(), 1001);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 3000);
    rs.MoveFirst();
    EXPECT_EQ(rs.GetRecordCount(), 3000);

    CDaoRecordset table(&db);
    table.Open(dbOpenTable, "Orders");
    EXPECT_EQ(table.GetRecordCount(), 3000); // a table knows its size
}

// Keying runs in chunks that continue where the last one stopped: walking the dynaset must
// give exactly what one query gives, in every kind of order.
TEST_P(Navigation, KeyingInChunksFollowsTheStatementOrder) {
    path = LoadSample(3000);
    db.Open(path.c_str());
    struct Case {
        const char* jet;
        const char* order; // the same order, the key breaking ties
    } cases[] = {
        {"SELECT * FROM Orders", "OrderID"},
        {"SELECT * FROM Orders ORDER BY Customer", "Customer, OrderID"},
        {"SELECT * FROM Orders ORDER BY Customer DESC", "Customer DESC, OrderID DESC"},
        {"SELECT * FROM Orders ORDER BY City", "City, OrderID"},
        {"SELECT * FROM Orders ORDER BY City DESC, Amount", "City DESC, Amount, OrderID"},
        {"SELECT * FROM Orders ORDER BY OrderDate DESC", "OrderDate DESC, OrderID DESC"},
        {"SELECT * FROM Orders ORDER BY Priority, Customer DESC",
         "Priority, Customer DESC, OrderID DESC"},
        {"SELECT * FROM Orders ORDER BY 3 DESC", "City DESC, OrderID DESC"},
        {"SELECT * FROM Orders WHERE Customer LIKE \"A*\" ORDER BY OrderDate",
         "OrderDate, OrderID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        std::string where =
            std::string(c.jet).find("LIKE") != std::string::npos ? " WHERE Customer LIKE 'A%'" : "";
        std::vector<long> expected =
            QueryIds("SELECT OrderID FROM Orders" + where + " ORDER BY " + Ordered(c.order));
        CDaoRecordset walked(&db);
        DaoError e = ErrorOf([&] { walked.Open(dbOpenDynaset, c.jet); });
        ASSERT_EQ(e.code, 0) << e.description;
        EXPECT_EQ(Walk(walked, 0), expected);
        CDaoRecordset jumped(&db);
        jumped.Open(dbOpenDynaset, c.jet);
        jumped.SetAbsolutePosition(static_cast<long>(expected.size() / 2));
        jumped.MoveLast();
        EXPECT_EQ(jumped.GetRecordCount(), static_cast<long>(expected.size()));
        EXPECT_EQ(Long(jumped, 0), expected.back());
    }
}

TEST_P(Navigation, OrdinalsAndAliasesInOrderBy) {
    path = LoadSample(200);
    db.Open(path.c_str());
    // After SELECT * the ordinal counts the expanded columns: 2 is Customer.
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY 2 DESC");
    EXPECT_EQ(Walk(rs, 0), QueryIds("SELECT OrderID FROM Orders ORDER BY " +
                                    Ordered("Customer DESC, OrderID DESC")));
    CDaoRecordset picked(&db);
    picked.Open(dbOpenDynaset,
                "SELECT City, OrderID, Quantity * 2 AS Twice FROM Orders ORDER BY 3, 1");
    EXPECT_EQ(Walk(picked, 1), QueryIds("SELECT OrderID FROM Orders ORDER BY " +
                                        Ordered("Quantity * 2, City, OrderID")));
    CDaoRecordset aliased(&db);
    aliased.Open(dbOpenDynaset,
                 "SELECT OrderID, Weight / 2 AS Half FROM Orders ORDER BY Half DESC");
    EXPECT_EQ(Walk(aliased, 0), QueryIds("SELECT OrderID FROM Orders ORDER BY " +
                                         Ordered("Weight / 2 DESC, OrderID DESC")));
}

// The grid pages through millions of records: opening keys only what the first records need,
// and each record it moves to and reads costs one statement (two after SetBookmark, which
// checks that the record is still there), however many fields it reads.
TEST_P(NavigationStatements, EachRecordCostsOneStatement) {
    path = LoadSample(3000);
    StatementCounter counter;
    db.Open(path.c_str());
    counter.Disarm();
    counter.Reset();
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer");
    EXPECT_LT(counter.rows, 1000); // the first run keys a few hundred of the 3000

    counter.Reset();
    for (int i = 0; i < 1000; ++i) {
        ReadAllFields(rs);
        rs.MoveNext();
    }
    EXPECT_EQ(rs.GetAbsolutePosition(), 1000);
    // Keying on past the first records adds a few statements per run, not per record.
    EXPECT_LT(counter.statements, 1100);

    counter.Reset();
    COleVariant mark = rs.GetBookmark();
    rs.Move(-500);
    ReadAllFields(rs);
    rs.MovePrev();
    ReadAllFields(rs);
    rs.SetAbsolutePosition(2);
    ReadAllFields(rs);
    rs.SetBookmark(mark);
    ReadAllFields(rs);
    EXPECT_LE(counter.statements, 5);
    EXPECT_EQ(rs.GetAbsolutePosition(), 1000);
}

TEST_P(Navigation, BookmarksNameTheSameRecord) {
    OpenSample(300);
    rs.SetAbsolutePosition(120);
    COleVariant mark = rs.GetBookmark();
    EXPECT_TRUE(mark == rs.GetBookmark());
    long id = Long(rs, 0);
    rs.MoveNext();
    EXPECT_FALSE(mark == rs.GetBookmark());
    rs.MoveLast();
    rs.MoveFirst();
    // Another program changes the record: the bookmark still names it, with its new values.
    ASSERT_TRUE(
        ExecOther("UPDATE Orders SET Customer = 'Zed' WHERE OrderID = " + std::to_string(id)));
    rs.SetBookmark(mark);
    EXPECT_EQ(rs.GetAbsolutePosition(), 120);
    EXPECT_EQ(Long(rs, 0), id);
    EXPECT_EQ(Text(rs, "Customer"), "Zed");
}

TEST_P(Navigation, BookmarksOfOthersAreRefused) {
    OpenSample(50);
    CDaoRecordset other(&db);
    other.Open(dbOpenDynaset, "SELECT * FROM Orders");
    other.Move(3);
    rs.Move(7);
    EXPECT_EQ(CodeOf([&] { rs.SetBookmark(other.GetBookmark()); }), 3159);
    EXPECT_EQ(CodeOf([&] { rs.SetBookmark(COleVariant("garbage")); }), 3159);
    CByteArray bytes;
    bytes.SetSize(27);
    EXPECT_EQ(CodeOf([&] { rs.SetBookmark(COleVariant(bytes)); }), 3159);
    COleVariant old = rs.GetBookmark();
    rs.Requery(); // bookmarks of before the requery no longer apply
    rs.Move(2);
    EXPECT_EQ(CodeOf([&] { rs.SetBookmark(old); }), 3159);
    EXPECT_EQ(rs.GetAbsolutePosition(), 2);
}

TEST_P(Navigation, RecordsDeletedByAnotherConnection) {
    OpenSample(50);
    rs.MoveLast();
    rs.SetAbsolutePosition(10);
    COleVariant deleted = rs.GetBookmark();
    rs.SetAbsolutePosition(30);
    ASSERT_TRUE(ExecOther("DELETE FROM Orders WHERE OrderID = 11"));

    // The record keeps its place: moving onto it works, reading it does not.
    EXPECT_EQ(CodeOf([&] { rs.SetBookmark(deleted); }), 3167);
    EXPECT_EQ(rs.GetAbsolutePosition(), 30);
    rs.SetAbsolutePosition(9);
    EXPECT_EQ(Long(rs, 0), 10);
    rs.MoveNext();
    EXPECT_EQ(rs.GetAbsolutePosition(), 10);
    DaoError e = ErrorOf([&] { rs.GetFieldValue(0); });
    EXPECT_EQ(e.code, 3167);
    EXPECT_EQ(e.description, "Record is deleted.");
    rs.MoveNext();
    EXPECT_EQ(Long(rs, 0), 12);
    EXPECT_EQ(rs.GetRecordCount(), 50);
}

// A dynaset keyed only in part holds no lock: others may change the table meanwhile, and
// keying goes on from where it stopped without the rows they added.
TEST_P(Navigation, OthersWriteWhileKeyingIsUnfinished) {
    OpenSample(3000, "SELECT * FROM Orders ORDER BY Customer");
    rs.Move(5);
    std::vector<long> before =
        QueryIds("SELECT OrderID FROM Orders ORDER BY " + Ordered("Customer, OrderID"));
    ASSERT_TRUE(ExecOther("DELETE FROM Orders WHERE OrderID = " + std::to_string(before[2000])));
    ASSERT_TRUE(ExecOther("INSERT INTO Orders (Customer) VALUES ('Aaron First')"));
    // A record keyed already changes its sort value: it must not come a second time.
    ASSERT_TRUE(ExecOther("UPDATE Orders SET Customer = 'Zz' WHERE OrderID = " +
                          std::to_string(before[1])));
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 2999);
    std::vector<long> ids = Walk(rs, 0);
    std::vector<long> expected = before;
    expected.erase(expected.begin() + 2000);
    EXPECT_EQ(ids, expected);
}

TEST_P(Navigation, FilterAndSortNarrowTheStatement) {
    path = LoadSample(500);
    db.Open(path.c_str());
    rs.m_strFilter = "Customer LIKE \"[a-h]*\" AND OrderDate >= #1/1/2010#";
    rs.m_strSort = "OrderDate DESC, 1";
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders WHERE Shipped = True ORDER BY City");
    EXPECT_EQ(Walk(rs, 0),
              QueryIds(std::string("SELECT OrderID FROM Orders WHERE Shipped = TRUE AND ") +
                       (IsServer() ? "Customer ~ '^[a-hA-H]'" : "Customer GLOB '[a-hA-H]*'") +
                       " AND OrderDate >= '2010-01-01' ORDER BY " +
                       Ordered("OrderDate DESC, OrderID")));
    // A query over many tables is narrowed the same way, as a whole.
    CDaoRecordset joined(&db);
    joined.m_strFilter = "Amount > 5000";
    joined.m_strSort = "Amount";
    joined.Open(dbOpenDynaset, "OrderDetails");
    EXPECT_EQ(Walk(joined, 0), QueryIds("SELECT OrderID FROM OrderDetails WHERE Amount > 5000 "
                                        "ORDER BY " +
                                        Ordered("Amount, OrderID")));
    EXPECT_EQ(CodeOf([&] {
                  CDaoRecordset bad(&db);
                  bad.m_strFilter = "Amount > ; 1";
                  bad.Open(dbOpenDynaset, "Orders");
              }),
              3075);
    // A filter cannot close the statement's condition and widen it.
    EXPECT_EQ(CodeOf([&] {
                  CDaoRecordset bad(&db);
                  bad.m_strFilter = "Shipped = True) OR (1 = 1";
                  bad.Open(dbOpenDynaset, "SELECT * FROM Orders WHERE OrderID < 10");
              }),
              3075);
}

namespace {

// A recordset class of a host's: its own file and statement.
class OrdersSet : public CDaoRecordset {
public:
    explicit OrdersSet(std::string file) : m_file(std::move(file)) {}
    CString GetDefaultDBName() override { return CString(m_file); }
    CString GetDefaultSQL() override {
        return "SELECT OrderID, Customer FROM Orders ORDER BY OrderID DESC";
    }

private:
    std::string m_file;
};

} // namespace

TEST_P(Navigation, DefaultsOfADerivedRecordsetAndSnapshots) {
    path = LoadSample(50);
    OrdersSet own(path);
    own.Open();
    EXPECT_EQ(own.GetType(), dbOpenDynaset);
    EXPECT_EQ(Long(own, 0), 50);
    EXPECT_NE(own.m_pDatabase, nullptr); // a database of its own, closed with it
    own.SetPercentPosition(50.0f);
    EXPECT_EQ(own.GetAbsolutePosition(), 25);
    EXPECT_FLOAT_EQ(own.GetPercentPosition(), 50.0f);
    own.Close();
    EXPECT_EQ(own.m_pDatabase, nullptr);

    // A snapshot is a copy: what others delete afterwards is still there.
    db.Open(path.c_str());
    rs.Open(dbOpenSnapshot, "SELECT * FROM Orders WHERE OrderID <= 10 ORDER BY OrderID DESC");
    ASSERT_TRUE(ExecOther("DELETE FROM Orders WHERE OrderID = 9"));
    rs.Move(1);
    EXPECT_EQ(Long(rs, 0), 9);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 10);
}

KEL_BOTH_ENGINES(Navigation);
KEL_SQLITE_ONLY(NavigationStatements);
