// Names of fields that a join reads twice: qualified with the alias or table each is read
// through, bare where unique, AS names as written; and fields found by either form.
#include "DaoTestSupport.h"

#include "platform/dao/SelectStatement.h"

using namespace daotest;

namespace {

std::vector<std::string> Names(CDaoRecordset& rs) {
    std::vector<std::string> names;
    for (short i = 0; i < rs.GetFieldCount(); ++i) {
        CDaoFieldInfo info;
        rs.GetFieldInfo(i, info);
        names.push_back(info.m_strName.str());
    }
    return names;
}

using Strings = std::vector<std::string>;

class SharedNames : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        path = MakeDatabase(
            "CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, Name TEXT(20), City TEXT(20), "
            "Referrer INTEGER);"
            "INSERT INTO Customers VALUES (1, 'Ann', 'Bonn', NULL), (2, 'Bob', 'Kiel', 1), "
            "(3, 'Cy', 'Ulm', 2);"
            "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, City TEXT(20), Amount CURRENCY, "
            "CustID INTEGER);"
            "INSERT INTO Orders VALUES (10, 'Rome', 5, 2), (11, 'Oslo', 7, 3);");
        Told([&] { db.Open(path.c_str()); });
    }
    std::string path;
    CDaoDatabase db;
};

} // namespace

TEST_P(SharedNames, SelfJoinQualifiesEachSideWithItsAlias) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Customers AS A INNER JOIN Customers AS B "
                           "ON A.Referrer = B.CustID ORDER BY A.CustID");
    EXPECT_EQ(Names(rs), (Strings{"A.CustID", "A.Name", "A.City", "A.Referrer", "B.CustID",
                                  "B.Name", "B.City", "B.Referrer"}));
    CDaoFieldInfo info;
    rs.GetFieldInfo("B.Name", info, AFX_DAO_SECONDARY_INFO);
    EXPECT_EQ(info.m_strSourceTable, "Customers");
    EXPECT_EQ(info.m_strSourceField, "Name");
    EXPECT_EQ(info.m_nType, dbText);
    EXPECT_EQ(Text(rs, "A.Name"), "Bob");
    EXPECT_EQ(Text(rs, "B.Name"), "Ann");
    EXPECT_EQ(Text(rs, "b.[Name]"), "Ann"); // as the grid writes it, in any case
    EXPECT_EQ(Text(rs, "[B].[Name]"), "Ann");
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue("Name"); }), 3265); // two fields bear it
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue("C.Name"); }), 3265);
    ASSERT_TRUE(rs.FindFirst("B.Name = \"Bob\""));
    EXPECT_EQ(Text(rs, "A.Name"), "Cy");

    // Named items, some read twice: only those are qualified. Parenthesised joins, as the
    // dialect writes three tables, put each alias where it belongs.
    CDaoRecordset three(&db);
    three.Open(dbOpenSnapshot,
               "SELECT C.Name, A.Name, B.City, A.CustID FROM (Customers AS A INNER JOIN "
               "Customers AS B ON A.Referrer = B.CustID) INNER JOIN Customers AS C "
               "ON B.Referrer = C.CustID");
    EXPECT_EQ(Names(three), (Strings{"C.Name", "A.Name", "City", "CustID"}));
    EXPECT_EQ(Text(three, "C.Name"), "Ann");
    EXPECT_EQ(Text(three, "A.Name"), "Cy");
    // A bare name is also found in its qualified form.
    EXPECT_EQ(Text(three, "B.City"), "Kiel");
    EXPECT_EQ(Text(three, "A.CustID"), "3");
    EXPECT_EQ(CodeOf([&] { three.GetFieldValue("C.CustID"); }), 3265);
}

TEST_P(SharedNames, TablesQualifyOnlyTheNamesTheyShare) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Orders INNER JOIN Customers "
                           "ON Orders.CustID = Customers.CustID ORDER BY Orders.ID");
    EXPECT_EQ(Names(rs), (Strings{"ID", "Orders.City", "Amount", "Orders.CustID",
                                  "Customers.CustID", "Name", "Customers.City", "Referrer"}));
    EXPECT_EQ(Text(rs, "Orders.City"), "Rome");
    EXPECT_EQ(Text(rs, "Customers.City"), "Kiel");
    EXPECT_EQ(Text(rs, "Name"), "Bob");
    EXPECT_EQ(Text(rs, "Customers.Name"), "Bob");
    ASSERT_TRUE(rs.FindFirst("Customers.City = \"Ulm\" AND Orders.ID > 10"));
    EXPECT_EQ(Text(rs, "ID"), "11");

    // Two stars of different widths around an AS name: each column under its own item.
    CDaoRecordset stars(&db);
    stars.Open(dbOpenSnapshot, "SELECT Customers.*, O.ID * 2 AS Twice, O.* FROM "
                               "(SELECT ID, City, CustID FROM Orders) AS O, Customers "
                               "WHERE O.CustID = Customers.CustID ORDER BY O.ID");
    EXPECT_EQ(Names(stars), (Strings{"Customers.CustID", "Name", "Customers.City", "Referrer",
                                     "Twice", "ID", "O.City", "O.CustID"}));
    EXPECT_EQ(Text(stars, "Twice"), "20");

    // USING leaves the right side's CustID out of *: the rest still land on their tables.
    CDaoRecordset using_(&db);
    using_.Open(dbOpenSnapshot,
                "SELECT * FROM Orders INNER JOIN Customers USING (CustID) ORDER BY ID");
    // SQLite keeps the left table's order; the server puts the shared column first.
    const Strings left = {"ID", "Orders.City", "Amount", "CustID"};
    const Strings server = {"CustID", "ID", "Orders.City", "Amount"};
    Strings expected = IsServer() ? server : left;
    for (const char* name : {"Name", "Customers.City", "Referrer"})
        expected.push_back(name);
    EXPECT_EQ(Names(using_), expected);
    EXPECT_EQ(Text(using_, "Customers.City"), "Kiel");
}

TEST_P(SharedNames, AsNamesStayAsWritten) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT A.CustID AS CustID, B.CustID, B.Name AS Referred, A.Name, "
                           "A.City & \"/\" & B.City FROM Customers AS A INNER JOIN Customers AS B "
                           "ON A.Referrer = B.CustID ORDER BY 1");
    EXPECT_EQ(Names(rs), (Strings{"CustID", "B.CustID", "Referred", "Name", "Expr1000"}));
    EXPECT_EQ(Text(rs, "CustID"), "2");
    EXPECT_EQ(Text(rs, "B.CustID"), "1");
    EXPECT_EQ(Text(rs, "Referred"), "Ann");
    EXPECT_EQ(Text(rs, "Expr1000"), "Kiel/Bonn");
    // An AS name is the field's whole name: its item's source does not qualify it.
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue("B.Referred"); }), 3265);

    // Columns a sub-query computes keep their names; the sub-query's alias qualifies.
    CDaoRecordset sub(&db);
    sub.Open(dbOpenSnapshot,
             "SELECT * FROM (SELECT CustID, Name & \"!\" AS Shout FROM Customers) AS S "
             "INNER JOIN Customers AS C ON S.CustID = C.Referrer ORDER BY C.CustID");
    EXPECT_EQ(Names(sub), (Strings{"S.CustID", "Shout", "C.CustID", "Name", "City", "Referrer"}));
    EXPECT_EQ(Text(sub, "Shout"), "Ann!");
}

TEST_P(SharedNames, QualifiedNamesWriteThroughASingleTable) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Customers AS A WHERE A.CustID = 2");
    EXPECT_EQ(Names(rs), (Strings{"CustID", "Name", "City", "Referrer"}));
    rs.Edit();
    rs.SetFieldValue("A.[City]", COleVariant("Jena", VT_BSTRT));
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Customers.City", COleVariant(1L)); }), 3265);
    rs.Update();
    EXPECT_EQ(Text(rs, "A.City"), "Jena");
    EXPECT_EQ(QueryIds("SELECT CustID FROM Customers WHERE City = 'Jena'"), std::vector<long>{2});
}

TEST(FromList, SourcesInOrderWithTheirAliases) {
    using kel::dao::ParseFromList;
    auto names = [](std::string_view from) {
        Strings out;
        for (const auto& s : ParseFromList(from))
            out.push_back(s.table + "/" + s.alias);
        return out;
    };
    EXPECT_EQ(names("((\"A\" AS x LEFT OUTER JOIN main.B y ON left(x.n, 1) = y.n) "
                    "NATURAL JOIN C) CROSS JOIN [D d] AS \"e\", E INDEXED BY i"),
              (Strings{"A/x", "B/y", "C/", "D d/e", "E/"}));
    EXPECT_EQ(names("(SELECT 1 AS k, (SELECT 2 FROM F)) s INNER JOIN json_each('[1]') AS j "
                    "USING (k), (SELECT 3)"),
              (Strings{"/s", "json_each/j", "/"}));
}

KEL_BOTH_ENGINES(SharedNames);
