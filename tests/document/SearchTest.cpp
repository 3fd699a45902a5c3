#include "DocumentFixture.h"

using CS = CRecordsetDoc;

namespace {

// The grid's columns for People: names as written into SQL, types from the fields.
void PeopleColumns(CArray<CColumnDetails, CColumnDetails>& cols) {
    const char* names[] = {"ID", "Name", "Born", "Salary", "Flag", "Notes"};
    const short types[] = {4, 10, 8, 5, 1, 12};
    cols.SetSize(6);
    for (int i = 0; i < 6; ++i) {
        cols[i].m_strName = names[i];
        cols[i].m_nType = types[i];
        cols[i].m_nField = i;
    }
}

} // namespace

class SearchTest : public DocumentTest {
protected:
    long Search(LPCTSTR lpszField, int bDescending, LPCTSTR lpszValue) {
        return m_doc.SearchAndGet(lpszField, bDescending, lpszValue, &m_rows, &m_cols, m_nCount,
                                  &m_first, &m_last, &m_nFilled);
    }
    void Open(int n, LPCTSTR lpszOrder) {
        OpenPeople(n, 5, lpszOrder);
        PeopleColumns(m_cols);
        ASSERT_EQ(Fetch(CS::gtFirst, &m_cols), CS::tsOk);
    }
    CArray<CColumnDetails, CColumnDetails> m_cols;
};

TEST_P(SearchTest, TextOnAnAscendingOrderFindsTheFirstRecordAtOrAboveTheValue) {
    Open(50, "Name");
    EXPECT_EQ(Search("Name", 0, "Name 02"), 19);
    EXPECT_EQ(m_rows[0][1], "Name 020");
    EXPECT_EQ(Ids(), (std::vector<int>{20, 21, 22, 23, 24}));
    EXPECT_EQ(m_nFilled, 5);
    EXPECT_EQ(Search("Name", 0, "Name 0455"), 45);
    EXPECT_EQ(m_rows[0][1], "Name 046");
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(SearchTest, ADescendingOrderUsesTheLastMatchingRecord) {
    Open(50, "Name DESC");
    EXPECT_EQ(Search("Name", 1, "Name 02"), 30);
    EXPECT_EQ(m_rows[0][1], "Name 020");
    EXPECT_EQ(m_rows[1][1], "Name 019");
}

TEST_P(SearchTest, DatesGoBetweenHashSignsAndNumbersBare) {
    Open(50, "Born");
    EXPECT_EQ(Search("Born", 0, "1/15/2000"), 14);
    EXPECT_EQ(m_rows[0][2], "01/15/2000");
    m_doc.SetOrder("Salary");
    m_doc.Open();
    m_first.Clear();
    ASSERT_EQ(Fetch(CS::gtFirst, &m_cols), CS::tsOk);
    EXPECT_EQ(Search("Salary", 0, "1000"), 9); // 10 x 100.25 is the first >= 1000
    EXPECT_EQ(m_rows[0][3], "1002.50");
    m_doc.SetOrder("ID");
    m_doc.Open();
    m_first.Clear();
    ASSERT_EQ(Fetch(CS::gtFirst, &m_cols), CS::tsOk);
    EXPECT_EQ(Search("ID", 0, " 33 "), 32);
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(SearchTest, AValueThatIsNotOfTheColumnsTypeIsRefusedQuietly) {
    Open(50, "ID");
    ASSERT_EQ(Fetch(CS::gtAbsolute + 10, &m_cols), CS::tsOk);
    const COleVariant here = m_doc.m_pRecordset->GetBookmark();
    const COleVariant first = m_first;
    for (auto [field, value] : {std::pair{"ID", "12abc"},
                                {"ID", "1 OR 1=1"},
                                {"Salary", "$5"},
                                {"Born", "not a date"},
                                {"Born", "1/2/2000# OR #1"},
                                {"Flag", "maybe"},
                                {"ID", ""}}) {
        EXPECT_EQ(Search(field, 0, value), -1) << field << " " << value;
        EXPECT_TRUE(m_doc.m_pRecordset->GetBookmark() == here);
        EXPECT_TRUE(m_first == first);
        EXPECT_EQ(Ids().front(), 11);
    }
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(SearchTest, AQuoteInsideTextCannotEndTheLiteral) {
    m_db.CreatePeople(5);
    m_db.Exec("INSERT INTO People (ID, Name) VALUES (6, 'Say \"hi\" now')");
    OpenOn("SELECT ID, Name, Born, Salary, Flag, Notes FROM People", "Name");
    m_nCount = 5;
    m_rows.SetSize(5);
    m_rows[0].SetSize(6);
    PeopleColumns(m_cols);
    // No window yet: the search still shows the record it found in row 0.
    EXPECT_EQ(Search("Name", 0, "Say \"hi\""), 5);
    EXPECT_EQ(m_rows[0][1], "Say \"hi\" now");
    EXPECT_EQ(Search("Name", 0, "\" OR 1=1 OR \""), 0);
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(SearchTest, AFieldMatchingNoColumnShowsOneMessageAndGoesBack) {
    Open(20, "ID");
    ASSERT_EQ(Fetch(CS::gtAbsolute + 6, &m_cols), CS::tsOk);
    const COleVariant here = m_doc.m_pRecordset->GetBookmark();
    EXPECT_EQ(Search("Nobody", 0, "x"), -1);
    EXPECT_EQ(NewMessages(), 1);
    EXPECT_TRUE(m_doc.m_pRecordset->GetBookmark() == here);
    EXPECT_EQ(Ids().front(), 7);
}

TEST_P(SearchTest, NothingIsDoneWithoutBuffersOrOnAClosedDocument) {
    Open(5, "ID");
    EXPECT_EQ(m_doc.SearchAndGet("ID", 0, "2", NULL, &m_cols, 5, &m_first, &m_last, NULL), -1);
    EXPECT_EQ(m_doc.SearchAndGet("ID", 0, "2", &m_rows, &m_cols, 5, NULL, &m_last, NULL), -1);
    m_doc.Close(FALSE);
    EXPECT_EQ(Search("ID", 0, "2"), -1);
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, ExtractingWithAWhereTextIgnoresTheFiltersAndTheOrder) {
    OpenPeople(50, 5, "ID DESC", "ID < 45");
    m_doc.SetFilter(0, "ID > 40");
    m_doc.Open();

    CDaoRecordset all(m_doc.GetDatabase());
    ASSERT_TRUE(m_doc.ExtractRecordset(&all, NULL, dbOpenDynaset, 0));
    COleVariant var;
    all.GetFieldValue(0, var);
    EXPECT_EQ(var.lVal, 44);
    all.MoveLast();
    EXPECT_EQ(all.GetRecordCount(), 4);
    all.Close();

    CDaoRecordset one(m_doc.GetDatabase());
    CString where = "WHERE ID = 3";
    ASSERT_TRUE(m_doc.ExtractRecordset(&one, &where, dbOpenDynaset, 0));
    one.MoveLast();
    EXPECT_EQ(one.GetRecordCount(), 1);
    one.GetFieldValue(0, var);
    EXPECT_EQ(var.lVal, 3);
    one.Close();

    CDaoRecordset bad(m_doc.GetDatabase());
    where = "WHERE NoSuchField = 3 AND";
    EXPECT_FALSE(m_doc.ExtractRecordset(&bad, &where, dbOpenDynaset, 0));
    EXPECT_FALSE(bad.IsOpen());
    EXPECT_EQ(NewMessages(), 1);
}

TEST_P(DocumentTest, EditingARowOfTheWindowEditsThatRecord) {
    OpenPeople(10, 4);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtAbsolute + 3), CS::tsOk);
    ASSERT_TRUE(m_doc.EditCurrentRecord(2, &m_first));
    m_doc.m_pRecordset->SetFieldValue(1, COleVariant("Edited", VT_BSTRT));
    m_doc.m_pRecordset->Update();
    ASSERT_EQ(Fetch(CS::gtRefresh), CS::tsOk);
    EXPECT_EQ(Row(2).substr(0, 9), "6|Edited|");

    // Past the end of the dynaset there is no record to edit: one message, FALSE.
    ASSERT_EQ(Fetch(CS::gtAbsolute + 8), CS::tsOk);
    EXPECT_FALSE(m_doc.EditCurrentRecord(5, &m_first));
    EXPECT_EQ(NewMessages(), 1);
    EXPECT_EQ(LastMessage(), "No current record.");
    EXPECT_EQ(m_doc.m_pRecordset->GetEditMode(), dbEditNone);
}

KEL_BOTH_ENGINES(SearchTest);
