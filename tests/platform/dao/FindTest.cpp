// Find: FIRST and LAST in the recordset's order, ties, descending orders, records beyond
// the keyed part, NEXT and PREV, and what happens when nothing matches.
#include "DaoTestSupport.h"

#include <algorithm>
#include <vector>

using namespace daotest;

namespace {

long IndexOf(const std::vector<long>& ids, long id) {
    auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<long>(it - ids.begin());
}

class Find : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        path = LoadSample(3000);
        Told([&] { db.Open(path.c_str()); });
    }
    // Where the engine puts the first (or last) record matching where, in the order given.
    long Expect(const std::string& order, const std::string& where, bool last) {
        std::vector<long> all = QueryIds("SELECT OrderID FROM Orders ORDER BY " + Ordered(order));
        std::vector<long> hits =
            QueryIds("SELECT OrderID FROM Orders WHERE " + where + " ORDER BY " + Ordered(order));
        if (hits.empty())
            return -1;
        return IndexOf(all, last ? hits.back() : hits.front());
    }
    std::string path;
    CDaoDatabase db;
    CDaoRecordset rs{&db};
};

} // namespace

TEST_P(Find, FirstAndLastInAscendingOrderWithTies) {
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer");
    rs.MoveLast();
    const std::string order = "Customer, OrderID";
    ASSERT_TRUE(rs.Find(AFX_DAO_FIRST, "Customer >= \"m\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), Expect(order, Key("Customer") + " >= 'm'", false));
    ASSERT_TRUE(rs.FindLast("Customer >= \"m\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), 2999);
    // A value many records share: the first and the last of them.
    ASSERT_TRUE(rs.FindFirst("Customer = \"Greta Vogel\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), Expect(order, Key("Customer") + " = 'greta vogel'", false));
    ASSERT_TRUE(rs.FindLast("Customer = \"greta vogel\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), Expect(order, Key("Customer") + " = 'greta vogel'", true));
    EXPECT_EQ(Text(rs, "Customer"), "Greta Vogel");
}

TEST_P(Find, DescendingOrderAndDates) {
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer DESC");
    rs.MoveLast();
    const std::string order = "Customer DESC, OrderID DESC";
    // Nearest to the value in a descending order: the last record greater or equal.
    ASSERT_TRUE(rs.FindLast("Customer >= \"Karin\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), Expect(order, Key("Customer") + " >= 'karin'", true));
    ASSERT_TRUE(rs.FindFirst("Customer <= \"Karin\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), Expect(order, Key("Customer") + " <= 'karin'", false));

    CDaoRecordset dates(&db);
    dates.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY OrderDate DESC, Amount");
    dates.MoveLast();
    ASSERT_TRUE(dates.FindFirst("OrderDate < #3/1/2010#"));
    std::vector<long> all = QueryIds("SELECT OrderID FROM Orders ORDER BY " +
                                     Ordered("OrderDate DESC, Amount, OrderID"));
    std::vector<long> hits = QueryIds("SELECT OrderID FROM Orders WHERE OrderDate < '2010-03-01' "
                                      "ORDER BY " +
                                      Ordered("OrderDate DESC, Amount, OrderID"));
    EXPECT_EQ(dates.GetAbsolutePosition(), IndexOf(all, hits.front()));
    ASSERT_TRUE(dates.FindLast("OrderDate Is Null"));
    EXPECT_EQ(dates.GetAbsolutePosition(), 2999); // NULLs sort last when descending
}

TEST_P(Find, BeyondWhatIsKeyedKeyingGoesOn) {
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer");
    EXPECT_EQ(rs.GetRecordCount(), 1);
    ASSERT_TRUE(rs.FindFirst("Customer >= \"Xenia\""));
    long expected = Expect("Customer, OrderID", Key("Customer") + " >= 'xenia'", false);
    EXPECT_EQ(rs.GetAbsolutePosition(), expected);
    EXPECT_EQ(rs.GetRecordCount(), expected + 1);
    rs.MovePrev();
    EXPECT_LT(Text(rs, "Customer"), "Xenia");
}

TEST_P(Find, NothingMatchingLeavesTheCurrentRecord) {
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer");
    rs.Move(42);
    COleVariant here = rs.GetBookmark();
    EXPECT_FALSE(rs.FindFirst("Customer = \"Nobody\""));
    EXPECT_FALSE(rs.FindLast("Customer = \"Nobody\""));
    EXPECT_FALSE(rs.FindNext("Customer = \"Nobody\""));
    EXPECT_FALSE(rs.FindPrev("OrderID < 0"));
    EXPECT_TRUE(here == rs.GetBookmark());
}

TEST_P(Find, NextAndPreviousFromTheCurrentRecord) {
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY OrderDate");
    std::vector<long> all =
        QueryIds("SELECT OrderID FROM Orders ORDER BY " + Ordered("OrderDate, OrderID"));
    std::vector<long> hits =
        QueryIds("SELECT OrderID FROM Orders WHERE Priority = 3 AND Shipped = TRUE ORDER BY " +
                 Ordered("OrderDate, OrderID"));
    ASSERT_GE(hits.size(), 3u);
    ASSERT_TRUE(rs.FindFirst("Priority = 3 AND Shipped = True"));
    ASSERT_TRUE(rs.FindNext("Priority = 3 AND Shipped = True"));
    ASSERT_TRUE(rs.FindNext("Priority = 3 AND Shipped = True"));
    EXPECT_EQ(rs.GetAbsolutePosition(), IndexOf(all, hits[2]));
    ASSERT_TRUE(rs.FindPrev("Priority = 3 AND Shipped = True"));
    EXPECT_EQ(Long(rs, 0), hits[1]);
    rs.MoveLast();
    rs.MoveNext(); // after the last record, PREV starts from the end
    ASSERT_TRUE(rs.FindPrev("Priority = 3 AND Shipped = True"));
    EXPECT_EQ(Long(rs, 0), hits.back());
}

TEST_P(Find, RecordsChangedSinceKeyingAreStillFound) {
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer");
    rs.MoveLast();
    std::vector<long> all =
        QueryIds("SELECT OrderID FROM Orders ORDER BY " + Ordered("Customer, OrderID"));
    ASSERT_TRUE(ExecOther("UPDATE Orders SET Customer = 'Aaa' WHERE OrderID = " +
                          std::to_string(all[2500])));
    ASSERT_TRUE(rs.FindFirst("Customer = \"Aaa\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), 2500); // its keyed place, not its new sort place
    // Rows others add are not records of the dynaset.
    ASSERT_TRUE(ExecOther("INSERT INTO Orders (Customer) VALUES ('Aab')"));
    EXPECT_FALSE(rs.FindFirst("Customer = \"Aab\""));
}

TEST_P(Find, QueriesOverManyTablesAndBadCriteria) {
    rs.Open(dbOpenDynaset,
            "SELECT Orders.OrderID, Orders.City, Customers.City, Customers.Name "
            "FROM Orders INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID "
            "ORDER BY Customers.Name, Orders.OrderID");
    std::vector<long> all =
        QueryIds("SELECT Orders.OrderID FROM Orders INNER JOIN Customers ON Orders.CustomerID = "
                 "Customers.CustomerID ORDER BY " +
                 Ordered("Customers.Name, Orders.OrderID"));
    std::vector<long> hits =
        QueryIds("SELECT Orders.OrderID FROM Orders INNER JOIN Customers ON Orders.CustomerID = "
                 "Customers.CustomerID WHERE " +
                 Key("Customers.City") + " = 'berlin' AND " + Key("Orders.City") +
                 " <> 'berlin' ORDER BY " + Ordered("Customers.Name, Orders.OrderID"));
    ASSERT_FALSE(hits.empty());
    // The shared name is qualified, and the criterion may name it so.
    ASSERT_TRUE(rs.FindFirst("Customers.City = \"Berlin\" AND [Orders.City] <> \"Berlin\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), IndexOf(all, hits.front()));
    ASSERT_TRUE(rs.FindLast("Customers.City = \"Berlin\" AND [Orders.City] <> \"Berlin\""));
    EXPECT_EQ(Long(rs, 0), hits.back());

    rs.MoveFirst();
    DaoError unknown = ErrorOf([&] { rs.FindFirst("Colour = \"red\""); });
    EXPECT_EQ(unknown.code, 3070);
    EXPECT_NE(unknown.description.find("'Colour'"), std::string::npos);
    EXPECT_EQ(CodeOf([&] { rs.FindFirst("Name >= "); }), 3075);
    EXPECT_EQ(CodeOf([&] { rs.FindFirst("Name = \"a\"; DELETE FROM Orders"); }), 3075);
    EXPECT_EQ(rs.GetAbsolutePosition(), 0);

    CDaoRecordset table(&db);
    table.Open(dbOpenTable, "Orders");
    EXPECT_EQ(CodeOf([&] { table.FindFirst("OrderID = 5"); }), 3251);
}

KEL_BOTH_ENGINES(Find);
