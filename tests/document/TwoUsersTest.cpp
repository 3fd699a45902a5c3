// Two people on one table, each with a document and a connection of their own: a refresh shows
// what the other committed, and of two edits of one record the second to be written fails
// with 3197 while the first one's value stands.
#include "DocumentFixture.h"

using CS = CRecordsetDoc;

namespace {

class TwoUsersTest : public DocumentTest {
protected:
    // People with n records open in both documents, each showing its first window.
    void OpenBoth(int n) {
        OpenPeople(n, 5);
        ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
        m_otherDoc.SetDatabase(m_db.Path().c_str());
        m_otherDoc.SetDynaset("SELECT ID, Name, Born, Salary, Flag, Notes FROM People", NULL, NULL,
                              "ID", 0);
        m_otherDoc.Open();
        ASSERT_TRUE(m_otherDoc.IsOpen());
        m_otherRows.SetSize(5);
        m_otherRows[0].SetSize(6);
        ASSERT_EQ(OtherFetch(CS::gtFirst), CS::tsOk);
    }
    CS::TableStatus OtherFetch(int nMove) {
        return m_otherDoc.GetTable(&m_otherRows, NULL, nMove, 5, &m_otherFirst, &m_otherLast,
                                   &m_nOtherFilled);
    }
    // Starts an edit of window row r as the grid does (no lock) and sets Name.
    void EditName(CRecordsetDoc& doc, COleVariant& first, int r, LPCTSTR lpszName) {
        ASSERT_TRUE(doc.EditCurrentRecord(r, &first));
        doc.m_pRecordset->SetFieldValue("Name", COleVariant(lpszName, VT_BSTRT));
    }
    // The stored name of a person, read by a connection of its own.
    std::string StoredName(int nID) {
        return m_db.Engine().Value(bothengines::EngineWords(
            "SELECT Name FROM People WHERE ID = " + std::to_string(nID), m_db.IsServer()));
    }

    CRecordsetDoc m_otherDoc;
    CArray<CStringArray, CStringArray> m_otherRows;
    COleVariant m_otherFirst, m_otherLast;
    int m_nOtherFilled = 0;
};

long CodeOf(CDaoRecordset& rs) {
    try {
        rs.Update();
    } catch (CDaoException* e) {
        const long code = e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : -1;
        e->Delete();
        return code;
    }
    return 0;
}

} // namespace

TEST_P(TwoUsersTest, ARefreshShowsWhatTheOtherCommitted) {
    OpenBoth(10);
    EditName(m_otherDoc, m_otherFirst, 1, "Bea Other");
    ASSERT_EQ(CodeOf(*m_otherDoc.m_pRecordset), 0);
    EXPECT_EQ(m_rows[1][1], "Name 002"); // not before the refresh
    ASSERT_EQ(Fetch(CS::gtRefresh), CS::tsOk);
    EXPECT_EQ(m_rows[1][1], "Bea Other");
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
    // And the other way round, a record the first person's window does not show yet.
    EditName(m_doc, m_first, 4, "Eve Here");
    ASSERT_EQ(CodeOf(*m_doc.m_pRecordset), 0);
    ASSERT_EQ(OtherFetch(CS::gtRefresh), CS::tsOk);
    EXPECT_EQ(m_otherRows[4][1], "Eve Here");
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(TwoUsersTest, TheSecondOfTwoEditsOfOneRecordFailsAndTheFirstStands) {
    OpenBoth(10);
    // Both start editing the third person before either writes.
    EditName(m_doc, m_first, 2, "First Writer");
    EditName(m_otherDoc, m_otherFirst, 2, "Second Writer");
    ASSERT_EQ(CodeOf(*m_doc.m_pRecordset), 0);
    EXPECT_EQ(CodeOf(*m_otherDoc.m_pRecordset), 3197);
    EXPECT_EQ(StoredName(3), "First Writer");
    // The loser's edit is still pending; given up, a refresh shows the winner's value.
    EXPECT_EQ(m_otherDoc.m_pRecordset->GetEditMode(), dbEditInProgress);
    m_otherDoc.m_pRecordset->CancelUpdate();
    ASSERT_EQ(OtherFetch(CS::gtRefresh), CS::tsOk);
    EXPECT_EQ(m_otherRows[2][1], "First Writer");
    // Edited again from the record as it now is, the second person's change goes through.
    EditName(m_otherDoc, m_otherFirst, 2, "Second Writer");
    ASSERT_EQ(CodeOf(*m_otherDoc.m_pRecordset), 0);
    EXPECT_EQ(StoredName(3), "Second Writer");
    // Nothing else changed.
    EXPECT_EQ(StoredName(2), "Name 002");
    EXPECT_EQ(StoredName(4), "Name 004");
}

KEL_BOTH_ENGINES(TwoUsersTest);
