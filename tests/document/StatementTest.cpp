#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include <gtest/gtest.h>

namespace {

// The statement from the SELECT text "S", slots 0..3 and the order.
CString Compose(LPCTSTR a, LPCTSTR b, LPCTSTR c, LPCTSTR d, LPCTSTR order) {
    CRecordsetDoc doc;
    doc.SetDynaset("S", c, d, order, 0);
    doc.SetFilter(0, a);
    doc.SetFilter(1, b);
    return doc.CreateSQLStatement();
}

} // namespace

TEST(Statement, ShapesKeepTheirBlanksAndParentheses) {
    EXPECT_EQ(Compose("", "", "", "", ""), "S ");
    EXPECT_EQ(Compose("A", "", "", "", ""), "S WHERE ((A) )");
    EXPECT_EQ(Compose("", "", "C", "", ""), "S WHERE (C) ");
    EXPECT_EQ(Compose("", "", "C", "D", ""), "S WHERE (C) AND (D) ");
    EXPECT_EQ(Compose("A", "", "C", "", ""), "S WHERE ((A) )AND (C) ");
    EXPECT_EQ(Compose("A", "", "C", "D", "O"), "S WHERE ((A) )AND (C) AND (D) ORDER BY O");
    EXPECT_EQ(Compose("A", "", "", "", "O"), "S WHERE ((A) )ORDER BY O");
    EXPECT_EQ(Compose("", "", "", "", "O"), "S ORDER BY O");
    EXPECT_EQ(Compose("", "", "C", "", "2 DESC"), "S WHERE (C) ORDER BY 2 DESC");
    // Slot 3 alone opens the clause itself; a slot of blanks is not empty; nothing is trimmed.
    EXPECT_EQ(Compose("", "", "", "D", ""), "S WHERE (D) ");
    EXPECT_EQ(Compose(" ", "", "", "", ""), "S WHERE (( ) )");
    EXPECT_EQ(Compose("", "", " x = 1 ", "", ""), "S WHERE ( x = 1 ) ");
}

TEST(Statement, BothSearchSlotsAreJoinedWithAnd) {
    EXPECT_EQ(Compose("A", "B", "", "", ""), "S WHERE ((A) AND (B) )");
    EXPECT_EQ(Compose("", "B", "", "", ""), "S WHERE ((B) )");
    EXPECT_EQ(Compose("A", "B", "C", "D", "O"), "S WHERE ((A) AND (B) )AND (C) AND (D) ORDER BY O");
}

TEST(Statement, SetDynasetEmptiesTheSearchSlotsAndKeepsFixedOnesGivenAsNull) {
    CRecordsetDoc doc;
    doc.SetDynaset("SELECT * FROM T", "F1", "F2", "Name", 0);
    doc.SetFilter(0, "Name LIKE \"A*\"");
    doc.SetFilter(1, "Host");
    doc.SetDynaset("SELECT * FROM U", NULL, NULL, "", 64);
    CStringArray* pSlots = doc.GetArrayFilter();
    ASSERT_EQ(pSlots->GetSize(), 4);
    EXPECT_EQ((*pSlots)[0], "");
    EXPECT_EQ((*pSlots)[1], "");
    EXPECT_EQ((*pSlots)[2], "F1");
    EXPECT_EQ((*pSlots)[3], "F2");
    EXPECT_EQ(doc.m_nOpenType, 2);
    EXPECT_EQ(doc.m_nOptions, 64);
    EXPECT_EQ(doc.CreateSQLStatement(), "SELECT * FROM U WHERE (F1) AND (F2) ");
    doc.SetDynaset("SELECT * FROM U", "", "G2", "Name", 0);
    EXPECT_EQ(doc.CreateSQLStatement(), "SELECT * FROM U WHERE (G2) ORDER BY Name");
}

TEST(Statement, SetFilterRefusesAnIndexOutsideTheFourSlots) {
    CRecordsetDoc doc;
    doc.SetDynaset("S", "C", "D", "", 0);
    for (int nIndex : {-1, 4, 5, 1000, -1000})
        doc.SetFilter(nIndex, "X");
    EXPECT_EQ(doc.GetArrayFilter()->GetSize(), 4);
    EXPECT_EQ(doc.CreateSQLStatement(), "S WHERE (C) AND (D) ");
    doc.SetFilter(3, NULL);
    EXPECT_EQ(doc.CreateSQLStatement(), "S WHERE (C) ");
}

TEST(Statement, AHostShrinkingTheSlotsCannotMakeTheDocumentReadPastThem) {
    CRecordsetDoc doc;
    doc.SetDynaset("S", "C", "", "O", 0);
    doc.GetArrayFilter()->SetSize(1);
    EXPECT_EQ(doc.CreateSQLStatement(), "S ORDER BY O");
    doc.SetFilter(2, "lost"); // no slot 2 any more: refused
    doc.SetDynaset("T", "lost", "lost", "", 0);
    EXPECT_EQ(doc.GetArrayFilter()->GetSize(), 1);
    EXPECT_EQ(doc.CreateSQLStatement(), "T ");
}

TEST(DocumentTitle, EmptyTitleJoinsStoredTitleAndSuffixOtherwiseTheArgumentWins) {
    CRecordsetDoc doc;
    doc.m_strTitle = "Orders";
    doc.m_strTitleSuffix = " - open";
    doc.SetTitle("");
    EXPECT_EQ(doc.GetTitle(), "Orders - open");
    doc.SetTitle(NULL);
    EXPECT_EQ(doc.GetTitle(), "Orders - open");
    doc.SetTitle("Chosen");
    EXPECT_EQ(doc.GetTitle(), "Chosen");
    doc.m_strTitle = "A";
    doc.m_strTitleSuffix = "B";
    doc.SetTitle("");
    EXPECT_EQ(doc.GetTitle(), "AB");
}

TEST(DocumentLifetime, NewDocumentAlwaysFailsAndOpenDocumentOnlyConfigures) {
    // Document templates create it by its run-time class.
    CObject* pObject = RUNTIME_CLASS(CRecordsetDoc)->CreateObject();
    ASSERT_NE(pObject, nullptr);
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CDocument)));
    auto* pCreated = static_cast<CRecordsetDoc*>(pObject);
    EXPECT_EQ(pCreated->GetArrayFilter()->GetSize(), 4);
    EXPECT_FALSE(pCreated->OnNewDocument());
    delete pCreated;

    CRecordsetDoc doc;

    auto* pLoad = new CRecordsetLoad;
    pLoad->m_strDatabase = "/nonexistent/never-opened.db";
    pLoad->m_strSQL = "SELECT * FROM People";
    pLoad->m_strFilter = "ID > 1";
    pLoad->m_strFilter2 = "ID < 9";
    pLoad->m_strOrder = "Name";
    pLoad->m_nOptions = 8;
    pLoad->m_strTitle = "People";
    pLoad->m_strTitleSuffix = " (all)";
    ASSERT_TRUE(doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(pLoad)));
    EXPECT_EQ(doc.m_pLoad, pLoad);
    EXPECT_FALSE(doc.IsOpen()); // the grid's first load opens it
    EXPECT_TRUE(doc.GetbLocalDatabase());
    EXPECT_EQ(doc.m_strDatabase, "/nonexistent/never-opened.db");
    EXPECT_EQ(doc.GetDatabase(), nullptr);
    EXPECT_EQ(doc.m_nOptions, 8);
    EXPECT_EQ(doc.GetOrder(), "Name");
    EXPECT_EQ(doc.CreateSQLStatement(),
              "SELECT * FROM People WHERE (ID > 1) AND (ID < 9) ORDER BY Name");
    doc.SetTitle("");
    EXPECT_EQ(doc.GetTitle(), "People (all)");
    // The document still holds the record: its destructor deletes it.
}
