// Text compared as the dialect promises: without regard to case, accented Latin letters
// included, in criteria, LIKE, Find and orders; and names holding a "]".
#include "DaoTestSupport.h"

#include <string>
#include <vector>

using namespace daotest;

namespace {

class TextCompare : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        m_path = MakeDatabase(
            "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT(30), Town TEXT(30), "
            "\"Size [cm]\" TEXT(10));"
            "CREATE INDEX PeopleByTown ON People (Town);"
            "INSERT INTO People VALUES (1, 'émile', 'Zürich', 'a'), (2, 'Zoë', 'zug', 'b'), "
            "(3, 'apple', 'Aarau', 'c'), (4, 'Banana', 'bern', 'd'), (5, 'ÉCOLE', 'Basel', 'e'), "
            "(6, 'straße', 'Chur', 'f'), (7, 'STRASSE', 'aarau', 'g'), (8, 'ŁÓDŹ', 'Sion', 'h');");
        Told([&] { m_db.Open(m_path.c_str()); });
    }
    void TearDown() override { m_db.Close(); }

    // The IDs a statement gives, in its order.
    std::vector<long> Ids(const std::string& sql) {
        CDaoRecordset rs(&m_db);
        rs.Open(dbOpenDynaset, sql.c_str());
        std::vector<long> ids;
        for (; !rs.IsEOF(); rs.MoveNext())
            ids.push_back(rs.GetFieldValue("ID").lVal);
        rs.Close();
        return ids;
    }
    long Found(CDaoRecordset& rs, long type, LPCTSTR criterion) {
        return rs.Find(type, criterion) ? rs.GetFieldValue("ID").lVal : -1;
    }

    std::string m_path;
    CDaoDatabase m_db;
};

} // namespace

TEST_P(TextCompare, CriteriaIgnoreCaseOfLatinLetters) {
    using V = std::vector<long>;
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name = \"ÉMILE\""), V{1});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name = \"łódź\""), V{8});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE \"zoë\" = Name"), V{2});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name <> \"zoë\" AND ID < 4"), (V{1, 3}));
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name >= \"b\" AND Name <= \"BANANA\""), V{4});
    // Sharp s is not "ss".
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name = \"STRASSE\""), V{7});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"*É*\" ORDER BY ID"), (V{1, 5}));
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"ł?d*\""), V{8});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"[a-c]*\" ORDER BY ID"), (V{3, 4}));
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"é#*\" OR Name LIKE \"#É*\""), V{});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"[!x]COLE\""), V{5});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"zo[ë]\""), V{2});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"?OË\""), V{2});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"[é-ë]*\" ORDER BY ID"), (V{1, 5}));
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"[!a-zé]*\" ORDER BY ID"), V{8});
    EXPECT_EQ(Ids("SELECT ID FROM People WHERE Name LIKE \"[Ł]ód[ź]\""), V{8});

    // A definition kept in SQLite's schema names no collation of the classes': other programs
    // still read and write through it (and compare as SQLite does).
    if (!IsServer()) {
        m_db.Execute("CREATE VIEW Zs AS SELECT * FROM People WHERE Name >= \"z\"");
        EXPECT_TRUE(ExecOther("INSERT INTO People (ID, Name, Town) VALUES (9, 'zz', 'Zug');"
                              "SELECT * FROM Zs;"));
        EXPECT_EQ(QueryIds("SELECT ID FROM Zs ORDER BY ID"), (V{1, 5, 8, 9}));
    }
}

TEST_P(TextCompare, OrdersIgnoreCaseUnlessAnIndexServesThem) {
    using V = std::vector<long>;
    // Accented letters follow the unaccented ones; case does not count.
    EXPECT_EQ(Ids("SELECT ID, Name FROM People ORDER BY Name, ID"), (V{3, 4, 7, 6, 2, 5, 1, 8}));
    EXPECT_EQ(Ids("SELECT ID, Name FROM People ORDER BY 2 DESC"), (V{8, 1, 5, 2, 6, 7, 4, 3}));
    EXPECT_EQ(Ids("SELECT * FROM People ORDER BY [Name]"), (V{3, 4, 7, 6, 2, 5, 1, 8}));
    // A snapshot of a join is ordered the same way.
    EXPECT_EQ(Ids("SELECT P.ID, P.Name FROM People AS P, People AS Q WHERE P.ID = Q.ID "
                  "ORDER BY 2"),
              (V{3, 4, 7, 6, 2, 5, 1, 8}));
    // Town leads an index: on SQLite its order stays the index's, so keying it reads the
    // index. A server orders all text without case (no plain index serves that order).
    const V byTown = IsServer() ? V{3, 7, 5, 4, 6, 8, 2, 1} : V{3, 5, 6, 8, 1, 7, 4, 2};
    EXPECT_EQ(Ids("SELECT ID, Town FROM People ORDER BY Town"), byTown);
}

TEST_P(TextCompare, FindIgnoresCaseInTheDynasetsOrder) {
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM People ORDER BY Name");
    EXPECT_EQ(Found(rs, AFX_DAO_FIRST, "[Name] >= \"s\""), 7);
    EXPECT_EQ(Found(rs, AFX_DAO_FIRST, "[Name] >= \"É\""), 5);
    EXPECT_EQ(Found(rs, AFX_DAO_LAST, "[Name] <= \"B\""), 3);
    EXPECT_EQ(Found(rs, AFX_DAO_NEXT, "[Name] = \"émile\""), 1);
    EXPECT_EQ(Found(rs, AFX_DAO_FIRST, "[Name] >= \"żz\""), -1);
    EXPECT_EQ(rs.GetFieldValue("ID").lVal, 1); // nothing found: the record stays
    // Moving through the keyed order visits every record once, in order.
    std::vector<long> ids;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        ids.push_back(rs.GetFieldValue("ID").lVal);
    EXPECT_EQ(ids, (std::vector<long>{3, 4, 7, 6, 2, 5, 1, 8}));
    rs.Close();
}

TEST_P(TextCompare, NamesHoldingABracketAreWrittenDoubled) {
    using V = std::vector<long>;
    EXPECT_EQ(Ids("SELECT ID, [Size [cm]]] FROM People WHERE [Size [cm]]] = \"B\""), V{2});
    EXPECT_EQ(Ids("SELECT * FROM People WHERE People.[Size [cm]]] >= 'g' ORDER BY 4 DESC"),
              (V{8, 7}));
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT ID, [Size [cm]]] FROM People ORDER BY ID");
    CDaoFieldInfo info;
    rs.GetFieldInfo(1, info);
    EXPECT_EQ(info.m_strName, "Size [cm]");
    EXPECT_EQ(Text(rs, "[Size [cm]]]"), "a");
    EXPECT_TRUE(rs.Find(AFX_DAO_FIRST, "[Size [cm]]] = \"C\""));
    EXPECT_EQ(rs.GetFieldValue("ID").lVal, 3);
    rs.Close();
    // An unclosed name is a syntax error, not a name that swallows the rest.
    EXPECT_EQ(ErrorOf([&] { Ids("SELECT [Size [cm]] FROM People"); }).code, 3075);
}

// In an order an index serves, Find compares the sort column as that order does, so that the
// record found is a place in it, and the index answers.
TEST_P(TextCompare, FindInAnIndexedOrderComparesAsTheIndex) {
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM People ORDER BY Town");
    // A server's order, and so its Find, is without case: Basel comes before bern.
    EXPECT_EQ(Found(rs, AFX_DAO_FIRST, "[Town] >= \"b\""), IsServer() ? 5 : 4);
    EXPECT_EQ(Found(rs, AFX_DAO_FIRST, "People.Town >= \"Basel\""), 5);
    // Other fields compare without case as anywhere else.
    EXPECT_EQ(Found(rs, AFX_DAO_FIRST, "[Name] = \"zoë\""), 2);
    rs.Close();
}

KEL_BOTH_ENGINES(TextCompare);
