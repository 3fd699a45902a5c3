// Keying in the background: the last record before the keying reaches it, keying by slices
// and by a worker with its own connection, and others writing meanwhile.
#include "DaoTestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

using namespace daotest;

namespace {

class Keying : public SampleTest {
protected:
    // Every record from the last to the first, by MovePrev.
    std::vector<long> WalkBack() {
        std::vector<long> ids;
        for (; !rs.IsBOF(); rs.MovePrev())
            ids.push_back(Long(rs, 0));
        return ids;
    }
    // Keys by slices as a window's timer would, the worker's sort given a minute at most.
    void KeyToTheEnd() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!rs.KeyMore(20) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(rs.IsKeyed());
    }
};

std::vector<long> Reversed(std::vector<long> v) {
    std::reverse(v.begin(), v.end());
    return v;
}

} // namespace

TEST_P(Keying, TheLastRecordAtOnceAndEveryRecordBackToTheFirst) {
    // Unsorted, sorted by an index, and sorted by the engine (NULLs and ties included), each
    // way: walking back from the end meets the records keyed from the front, and the order
    // is the one keyed from the front alone.
    const char* orders[] = {"", " ORDER BY Customer", " ORDER BY City DESC",
                            " ORDER BY City, Weight DESC", " ORDER BY OrderDate DESC"};
    OpenSample(1500);
    for (const char* order : orders) {
        SCOPED_TRACE(order);
        const std::string sql = std::string("SELECT * FROM Orders") + order;
        CDaoRecordset ref(&db);
        ref.Open(dbOpenDynaset, sql.c_str());
        std::vector<long> expected;
        for (; !ref.IsEOF(); ref.MoveNext())
            expected.push_back(Long(ref, 0));
        ASSERT_EQ(expected.size(), 1500u);

        rs.Close();
        rs.Open(dbOpenDynaset, sql.c_str());
        rs.MoveNext(); // a few keyed from the front
        rs.MoveLastQuick();
        EXPECT_EQ(Long(rs, 0), expected.back());
        EXPECT_LT(rs.GetKeyedCount(), 1500);
        EXPECT_FALSE(rs.IsKeyed());
        EXPECT_EQ(WalkBack(), Reversed(expected));
        EXPECT_TRUE(rs.IsKeyed());
        rs.MoveLast();
        EXPECT_EQ(rs.GetRecordCount(), 1500);
        std::vector<long> forward;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            forward.push_back(Long(rs, 0));
        EXPECT_EQ(forward, expected);
    }
}

TEST_P(Keying, MovesAndBookmarksFromTheEndOutliveTheMeeting) {
    OpenSample(2000);
    rs.MoveLastQuick();
    EXPECT_EQ(Long(rs, 0), 2000);
    rs.Move(-10);
    EXPECT_EQ(Long(rs, 0), 1990);
    COleVariant mark = rs.GetBookmark();
    rs.Move(3);
    EXPECT_EQ(Long(rs, 0), 1993);
    rs.MoveNext();
    rs.Move(6);
    EXPECT_EQ(Long(rs, 0), 2000);
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    rs.MovePrev();
    EXPECT_EQ(Long(rs, 0), 2000);
    rs.SetBookmark(mark);
    EXPECT_EQ(Long(rs, 0), 1990);
    EXPECT_FALSE(rs.IsKeyed());

    // The exact place of a record keyed from the end needs every record keyed.
    EXPECT_EQ(rs.GetAbsolutePosition(), 1989);
    EXPECT_TRUE(rs.IsKeyed());
    EXPECT_EQ(Long(rs, 0), 1990);
    EXPECT_TRUE(rs.GetBookmark() == mark);
    rs.MoveFirst();
    rs.SetBookmark(mark);
    EXPECT_EQ(Long(rs, 0), 1990);
    rs.SetAbsolutePosition(1999);
    EXPECT_EQ(Long(rs, 0), 2000);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 2000);
    EXPECT_EQ(CodeOf([&] { rs.Move(-2001); }), 0);
    EXPECT_TRUE(rs.IsBOF());
}

TEST_P(Keying, SlicesAndTheWorkerKeyInTheStatementOrder) {
    OpenSample(30000, "SELECT * FROM Orders ORDER BY Quantity DESC, Weight");
    // The first records by one bounded read, not a sort of all of them.
    EXPECT_LE(rs.GetKeyedCount(), 1024);
    EXPECT_FALSE(rs.IsKeyed());
    KeyToTheEnd();
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 30000);
    std::vector<long> ids;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        ids.push_back(Long(rs, 0));
    EXPECT_EQ(ids, QueryIds("SELECT OrderID FROM Orders ORDER BY " +
                            Ordered("Quantity DESC, Weight, OrderID")));

    rs.Close();
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders WHERE Quantity > 5");
    const std::vector<long> expected =
        QueryIds("SELECT OrderID FROM Orders WHERE Quantity > 5 ORDER BY OrderID");
    KeyToTheEnd();
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), (long)expected.size());
}

TEST_P(Keying, OthersWritingWhileKeyingFromBothEnds) {
    for (const char* sql : {"SELECT * FROM Orders", "SELECT * FROM Orders ORDER BY Weight"}) {
        SCOPED_TRACE(sql);
        OpenSample(5000, sql);
        const std::vector<long> before =
            QueryIds(std::string("SELECT OrderID FROM Orders") + " ORDER BY " +
                     Ordered(strstr(sql, "Weight") ? "Weight, OrderID" : "OrderID"));
        rs.MoveLastQuick();
        const long last = Long(rs, 0);
        ASSERT_TRUE(ExecOther("INSERT INTO Orders (Customer) VALUES ('Zed New')"));
        ASSERT_TRUE(ExecOther("DELETE FROM Orders WHERE OrderID IN (" +
                              std::to_string(before[2500]) + ", " + std::to_string(before[4999]) +
                              ")"));
        // The deleted last record keeps its place, and says so once read again: after steps
        // away and back on SQLite; on a server, whose steps read ahead, after a jump.
        EXPECT_EQ(last, before.back());
        if (IsServer()) {
            rs.Move(0);
        } else {
            rs.MovePrev();
            rs.MoveNext();
        }
        EXPECT_EQ(CodeOf([&] { rs.GetFieldValue(0); }), 3167);
        KeyToTheEnd();
        rs.MoveLast();
        // The record deleted before the front reached it is gone; the added one unseen.
        EXPECT_EQ(rs.GetRecordCount(), 4999);
        std::vector<long> ids;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            ids.push_back(rs.GetAbsolutePosition() == 4998 ? before.back() : Long(rs, 0));
        std::vector<long> expected = before;
        expected.erase(expected.begin() + 2500);
        EXPECT_EQ(ids, expected);
        rs.Close();
        db.Close();
    }
}

// A record keyed early whose place in the order another program moves past where the keying
// stopped is met again there: it stays where it was keyed, once.
TEST_P(Keying, ARecordMovedAheadOfTheKeyingIsKeyedOnce) {
    for (const bool fromTheEnd : {false, true}) {
        SCOPED_TRACE(fromTheEnd ? "keyed from the end too" : "keyed from the front");
        OpenSample(3000, "SELECT * FROM Orders ORDER BY Weight");
        const long moved = Long(rs, 0);
        rs.Move(10);
        ASSERT_FALSE(rs.IsKeyed());
        ASSERT_TRUE(ExecOther("UPDATE Orders SET Weight = 1000000 WHERE OrderID = " +
                              std::to_string(moved)));
        if (fromTheEnd)
            rs.MoveLastQuick();
        std::vector<long> ids;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            ids.push_back(Long(rs, 0));
        EXPECT_EQ(ids.size(), 3000u);
        EXPECT_EQ(std::count(ids.begin(), ids.end(), moved), 1);
        EXPECT_EQ(ids.front(), moved);
        rs.Close();
        db.Close();
    }
}

// A table keyed by text and a number rather than by one integer: keyed from both ends in
// orders with ties, a record others move keyed once, and Find by the keys' order.
TEST_P(Keying, ATableKeyedByTextAndANumber) {
    OpenSample(3000);
    ASSERT_TRUE(
        ExecOther("CREATE TABLE Lines (City VARCHAR(30) NOT NULL, Seq INTEGER NOT NULL, "
                  "Quantity SMALLINT, PRIMARY KEY (City, Seq));"
                  "INSERT INTO Lines SELECT coalesce(City, '-'), OrderID, coalesce(Quantity, 0) "
                  "FROM Orders"));
    for (const char* order : {"", " ORDER BY Quantity", " ORDER BY Quantity DESC, City"}) {
        SCOPED_TRACE(order);
        const std::string sql = std::string("SELECT Seq, City, Quantity FROM Lines") + order;
        CDaoRecordset ref(&db);
        ref.Open(dbOpenDynaset, sql.c_str());
        std::vector<long> expected, quantities;
        for (; !ref.IsEOF(); ref.MoveNext()) {
            expected.push_back(Long(ref, 0));
            quantities.push_back(Long(ref, 2));
        }
        std::vector<long> sorted = expected;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted.size(), 3000u);
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
        if (strstr(order, "DESC")) {
            EXPECT_TRUE(std::is_sorted(quantities.rbegin(), quantities.rend()));
        } else if (*order) {
            EXPECT_TRUE(std::is_sorted(quantities.begin(), quantities.end()));
        }

        auto at = [&](long seq) {
            return static_cast<long>(std::find(expected.begin(), expected.end(), seq) -
                                     expected.begin());
        };
        const long lastBelow10 =
            *std::find_if(expected.rbegin(), expected.rend(), [](long s) { return s < 10; });

        // Find before the keying reaches the record keys from its end no further than it lies.
        rs.Close();
        rs.Open(dbOpenDynaset, sql.c_str());
        ASSERT_TRUE(rs.FindFirst(("Seq = " + std::to_string(expected[700])).c_str()));
        EXPECT_EQ(rs.GetAbsolutePosition(), 700);
        const std::string nearTheEnd = "Seq = " + std::to_string(expected[2900]);
        ASSERT_TRUE(rs.FindLast(nearTheEnd.c_str()));
        EXPECT_EQ(Long(rs, 0), expected[2900]);
        if (IsServer()) {
            EXPECT_FALSE(rs.IsKeyed());
        }
        rs.MovePrev();
        EXPECT_EQ(Long(rs, 0), expected[2899]);
        EXPECT_FALSE(rs.FindFirst("Seq < 0"));

        rs.Close();
        rs.Open(dbOpenDynaset, sql.c_str());
        EXPECT_LT(rs.GetKeyedCount(), 1000);
        rs.Move(300);
        rs.MoveLastQuick();
        EXPECT_EQ(Long(rs, 0), expected.back());
        EXPECT_FALSE(rs.IsKeyed());
        EXPECT_EQ(WalkBack(), Reversed(expected));
        EXPECT_TRUE(rs.IsKeyed());

        // Every record keyed, Find goes by the keys' order, from either end and from a record.
        ASSERT_TRUE(rs.FindFirst("Seq = 1500"));
        EXPECT_EQ(rs.GetAbsolutePosition(), at(1500));
        ASSERT_TRUE(rs.FindNext("Seq > 2990"));
        const long next = *std::find_if(expected.begin() + at(1500) + 1, expected.end(),
                                        [](long s) { return s > 2990; });
        EXPECT_EQ(Long(rs, 0), next);
        ASSERT_TRUE(rs.FindLast("Seq < 10"));
        EXPECT_EQ(Long(rs, 0), lastBelow10);
        ASSERT_TRUE(rs.FindPrev("Seq < 10"));
        EXPECT_LT(Long(rs, 0), 10);
        EXPECT_LT(rs.GetAbsolutePosition(), at(lastBelow10));
    }

    // Another program moves the first record past where the keying stopped: it stays first.
    // A record it deletes before the keying reaches it is none of the records.
    rs.Close();
    rs.Open(dbOpenDynaset, "SELECT Seq, City, Quantity FROM Lines ORDER BY Quantity");
    const long moved = Long(rs, 0);
    rs.Move(10);
    ASSERT_FALSE(rs.IsKeyed());
    const long gone = QueryIds("SELECT Seq FROM Lines ORDER BY " + Ordered("Quantity, Seq"))[1500];
    ASSERT_TRUE(ExecOther("UPDATE Lines SET Quantity = 30000 WHERE Seq = " + std::to_string(moved) +
                          "; DELETE FROM Lines WHERE Seq = " + std::to_string(gone)));
    rs.MoveLastQuick();
    std::vector<long> ids;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        ids.push_back(Long(rs, 0));
    EXPECT_EQ(ids.size(), 2999u);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), moved), 1);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), gone), 0);
    EXPECT_EQ(ids.front(), moved);
}

TEST_P(Keying, ClosingDropsAWorkerStillSorting) {
    OpenSample(60000, "SELECT * FROM Orders ORDER BY Weight, City");
    EXPECT_FALSE(rs.KeyMore(1)); // the worker starts
    const auto start = std::chrono::steady_clock::now();
    rs.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Its read is over: another program writes at once.
    EXPECT_TRUE(ExecOther("UPDATE Orders SET Notes = 'x' WHERE OrderID = 7"));
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Weight DESC");
    EXPECT_FALSE(rs.KeyMore(1));
    KeyToTheEnd();
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 60000);
}

TEST_P(Keying, AQueryOverItsOwnCopyEndsAtOnceToo) {
    OpenSample(800, "SELECT Customer, count(*) AS N FROM Orders GROUP BY Customer");
    const std::vector<long> groups =
        QueryIds("SELECT count(*) FROM (SELECT Customer FROM Orders GROUP BY Customer) AS g");
    rs.MoveLastQuick();
    EXPECT_TRUE(rs.IsKeyed());
    EXPECT_EQ(rs.GetAbsolutePosition(), groups[0] - 1);
    KeyToTheEnd();
}

TEST_P(Keying, EditsAndFindsOnARecordKeyedFromTheEnd) {
    OpenSample(1200);
    rs.MoveLastQuick();
    rs.MovePrev();
    rs.Edit();
    rs.SetFieldValue("City", COleVariant("Tailtown", VT_BSTRT));
    rs.Update();
    EXPECT_TRUE(rs.IsKeyed());
    EXPECT_EQ(rs.GetAbsolutePosition(), 1198);
    EXPECT_EQ(QueryIds("SELECT OrderID FROM Orders WHERE City = 'Tailtown'"),
              std::vector<long>{1199});

    rs.Close();
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders");
    rs.MoveLastQuick();
    ASSERT_TRUE(rs.FindPrev("OrderID = 1100"));
    EXPECT_EQ(rs.GetAbsolutePosition(), 1099);
    rs.MoveLastQuick();
    rs.Delete();
    rs.MoveLast();
    EXPECT_EQ(QueryIds("SELECT count(*) FROM Orders"), std::vector<long>{1199});
}

TEST_P(Keying, BothEndsMeetWhereTheFrontStoppedThoughThatRecordIsGone) {
    for (const char* sql : {"SELECT * FROM Orders", "SELECT * FROM Orders ORDER BY Weight DESC"}) {
        SCOPED_TRACE(sql);
        OpenSample(4000, sql);
        std::vector<long> expected;
        {
            CDaoRecordset ref(&db);
            ref.Open(dbOpenDynaset, sql);
            for (; !ref.IsEOF(); ref.MoveNext())
                expected.push_back(Long(ref, 0));
        }
        rs.Move(300); // the front stops somewhere past it
        const long front = rs.GetKeyedCount();
        ASSERT_LT(front, 4000);
        ASSERT_TRUE(ExecOther("DELETE FROM Orders WHERE OrderID = " +
                              std::to_string(expected[static_cast<size_t>(front) - 1])));
        rs.MoveLastQuick();
        std::vector<long> back;
        for (; !rs.IsBOF(); rs.MovePrev()) {
            long id = -1;
            CodeOf([&] { id = Long(rs, 0); });
            back.push_back(id);
        }
        expected[static_cast<size_t>(front) - 1] = -1; // deleted, in its place
        EXPECT_EQ(back, Reversed(expected));
        rs.Close();
        db.Close();
    }
}

TEST_P(Keying, AWriteHereStopsTheWorkerRatherThanWaitOnIt) {
    // No patience for locks: a write that had to wait for the worker's read would fail.
    OpenSample(100000, "SELECT * FROM Orders ORDER BY City, Weight DESC");
    db.SetQueryTimeout(0);
    EXPECT_FALSE(rs.KeyMore(1)); // the worker starts its sort
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(CodeOf([&] { db.Execute("UPDATE Orders SET City = 'Aachen' WHERE OrderID = 5"); }),
              0);
    CDaoRecordset other(&db);
    other.Open(dbOpenDynaset, "SELECT * FROM Orders WHERE OrderID = 6");
    EXPECT_FALSE(rs.KeyMore(1)); // started again
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    other.Edit();
    other.SetFieldValue("City", COleVariant("Aachen", VT_BSTRT));
    EXPECT_EQ(CodeOf([&] { other.Update(); }), 0);
    other.Close();
    KeyToTheEnd();
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 100000);
}

KEL_BOTH_ENGINES(Keying);
