// The window at the end and moves from there before the records are counted, and the count
// kept in the background.
#include "DocumentFixture.h"

using CS = CRecordsetDoc;
using IdList = std::vector<int>;

TEST_P(DocumentTest, TheLastWindowBeforeTheCountAndMovesFromThere) {
    OpenPeople(3000, 5);
    EXPECT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_FALSE(m_doc.IsCounted());
    // The last record in the first row, then the last three records.
    EXPECT_EQ(Fetch(CS::gtFromEnd), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{3000, 0, 0, 0, 0}));
    EXPECT_EQ(Fetch(CS::gtFromEnd - 2), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2998, 2999, 3000, 0, 0}));
    EXPECT_EQ(m_nFilled, 3);
    EXPECT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2997, 2998, 2999, 3000, 0}));
    EXPECT_EQ(Fetch(CS::gtPageUp), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2993, 2994, 2995, 2996, 2997}));
    EXPECT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2992, 2993, 2994, 2995, 2996}));
    EXPECT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2996, 2997, 2998, 2999, 3000}));
    EXPECT_EQ(Fetch(CS::gtLineDown), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2997, 2998, 2999, 3000, 0}));
    EXPECT_FALSE(m_doc.IsCounted());
    // Bookmarks taken before both ends met name the same records after.
    const COleVariant varLast = m_last;
    EXPECT_TRUE(varLast == BookmarkOf(3000));

    // The place of the window's first row, once asked, needs the count.
    EXPECT_EQ(m_doc.GetBookmarkPosition(m_first), 2996);
    EXPECT_TRUE(m_doc.IsCounted());
    EXPECT_EQ(m_doc.GetTot(), 3000);
    EXPECT_EQ(Fetch(CS::gtRefresh), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2997, 2998, 2999, 3000, 0}));
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, AbsoluteMovesBeforeTheCountStopAtTheLastRecord) {
    OpenPeople(3000, 5);
    EXPECT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    EXPECT_EQ(Fetch(CS::gtAbsolute + 100), CS::tsOk);
    EXPECT_EQ(Ids()[0], 101);
    EXPECT_FALSE(m_doc.IsCounted());
    EXPECT_LT(m_doc.GetCountSoFar(), 3000);
    EXPECT_EQ(Fetch(CS::gtAbsolute + 5000), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{3000, 0, 0, 0, 0}));
}

TEST_P(DocumentTest, CountingBySlicesEndsWithTheExactCount) {
    OpenPeople(3000, 5, "ID DESC");
    EXPECT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_FALSE(m_doc.IsCounted());
    long nSoFar = m_doc.GetCountSoFar();
    int nTicks = 0;
    while (!m_doc.KeepCounting(5) && nTicks < 100000) {
        EXPECT_GE(m_doc.GetCountSoFar(), nSoFar);
        nSoFar = m_doc.GetCountSoFar();
        ++nTicks;
    }
    EXPECT_TRUE(m_doc.IsCounted());
    EXPECT_EQ(m_doc.GetCountSoFar(), 3000);
    EXPECT_EQ(m_doc.GetTot(), 3000);
    EXPECT_EQ(Fetch(CS::gtFromEnd - 1), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2, 1, 0, 0, 0}));
    // A closed document has nothing to count.
    m_doc.Close(FALSE);
    EXPECT_TRUE(m_doc.KeepCounting(5));
    EXPECT_EQ(m_doc.GetCountSoFar(), 0);
    EXPECT_EQ(NewMessages(), 0);
}
