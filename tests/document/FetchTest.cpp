#include "DocumentFixture.h"

#include <utility>

using CS = CRecordsetDoc;
using IdList = std::vector<int>;

TEST_P(DocumentTest, AClosedDocumentLeavesTheWindowAlone) {
    CRecordsetDoc doc;
    m_rows.SetSize(2);
    m_rows[0].Add("kept");
    m_first = COleVariant(LONG(1));
    int n = 99;
    EXPECT_EQ(doc.GetTable(&m_rows, NULL, 0, 2, &m_first, &m_last, &n), CS::tsEmpty);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(m_rows[0][0], "kept");
    EXPECT_EQ(m_first.vt, VT_I4);
    EXPECT_EQ(doc.GetTot(), 0);

    OpenPeople(3, 2);
    EXPECT_EQ(m_doc.GetTable(NULL, NULL, 0, 2, &m_first, &m_last, &n), CS::tsFailed);
}

// A quiet attempt whose statement fails says nothing and keeps its database for the next
// one; a database that does not open is told as Open tells it.
TEST_P(DocumentTest, AQuietOpenTellsOnlyWhatAnotherAttemptWouldMeetToo) {
    m_db.CreatePeople(3);
    m_doc.SetDatabase(m_db.Path().c_str());
    m_doc.SetDynaset("SELECT ID, Name FROM People", NULL, NULL, "9 ASC", 0);
    EXPECT_FALSE(m_doc.OpenQuietly());
    EXPECT_FALSE(m_doc.IsOpen());
    EXPECT_EQ(NewMessages(), 0);
    CDaoDatabase* pKept = m_doc.GetDatabase();
    ASSERT_NE(pKept, nullptr);
    EXPECT_TRUE(pKept->IsOpen());
    m_doc.SetOrder("2 DESC");
    EXPECT_TRUE(m_doc.OpenQuietly());
    ASSERT_TRUE(m_doc.IsOpen());
    EXPECT_EQ(m_doc.GetDatabase(), pKept);
    m_nCount = 3;
    m_rows.SetSize(3);
    m_rows[0].SetSize(2);
    EXPECT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{3, 2, 1}));

    CRecordsetDoc missing;
    missing.SetDatabase("/nonexistent-folder/none.db");
    missing.SetDynaset("SELECT ID FROM People", NULL, NULL, "", 0);
    EXPECT_TRUE(missing.OpenQuietly());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(NewMessages(), 1);
}

TEST_P(DocumentTest, ThreeRecordsInATenRowWindow) {
    OpenPeople(3, 10);
    m_rows[7].Add("stale"); // rows past the data are blanked
    EXPECT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    EXPECT_EQ(m_nFilled, 3);
    EXPECT_EQ(Ids(), (IdList{1, 2, 3, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Row(1), "2|Name 002|01/02/2000|200.50|No|note 2");
    EXPECT_TRUE(AllBlankFrom(3));
    EXPECT_TRUE(m_last == BookmarkOf(3));
    EXPECT_TRUE(m_first == BookmarkOf(1));
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, TheFirstCallWithoutBookmarksFetchesTheFirstPageWhateverTheMove) {
    OpenPeople(20, 5);
    for (int nMove :
         {int(CS::gtLineDown), int(CS::gtPageDown), int(CS::gtRefresh), CS::gtAbsolute + 9}) {
        m_first.Clear();
        m_last.Clear();
        EXPECT_EQ(Fetch(nMove), CS::tsOk);
        EXPECT_EQ(Ids(), (IdList{1, 2, 3, 4, 5})) << nMove;
    }
    // Move codes 1 and below are the first page too.
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    for (int nMove : {1, -1, -100}) {
        ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
        EXPECT_EQ(Fetch(nMove), CS::tsOk);
        EXPECT_EQ(Ids(), (IdList{1, 2, 3, 4, 5})) << nMove;
    }
}

TEST_P(DocumentTest, ScrollingDownUntilTheLastRecordIsRowZeroAndBackUp) {
    OpenPeople(12, 5);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    EXPECT_EQ(Fetch(CS::gtLineUp), CS::tsTop); // nothing above the first page
    EXPECT_EQ(Ids(), (IdList{1, 2, 3, 4, 5}));
    EXPECT_TRUE(m_last == BookmarkOf(5));

    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(Fetch(CS::gtLineDown), CS::tsOk);
        EXPECT_EQ(m_nFilled, 1); // one new row read, the others shifted
    }
    EXPECT_EQ(Ids(), (IdList{8, 9, 10, 11, 12}));
    const COleVariant lastRecord = m_last;

    // The last record is in the window: rows shift up, blank rows come in at the bottom.
    for (IdList expected : {IdList{9, 10, 11, 12, 0}, IdList{10, 11, 12, 0, 0},
                            IdList{11, 12, 0, 0, 0}, IdList{12, 0, 0, 0, 0}}) {
        ASSERT_EQ(Fetch(CS::gtLineDown), CS::tsOk);
        EXPECT_EQ(Ids(), expected);
        EXPECT_EQ(m_nFilled, 0);
        EXPECT_TRUE(m_last == lastRecord);
    }
    EXPECT_TRUE(AllBlankFrom(1));
    const COleVariant first = m_first;
    EXPECT_EQ(Fetch(CS::gtLineDown), CS::tsBottom);
    EXPECT_EQ(Ids(), (IdList{12, 0, 0, 0, 0}));
    EXPECT_EQ(m_nFilled, 1);
    EXPECT_TRUE(m_first == first);
    EXPECT_TRUE(m_last == lastRecord);

    // Back up: the window fills again from the top, and the last bookmark follows the
    // last record shown, which a page down then proves.
    for (IdList expected :
         {IdList{11, 12, 0, 0, 0}, IdList{10, 11, 12, 0, 0}, IdList{9, 10, 11, 12, 0},
          IdList{8, 9, 10, 11, 12}, IdList{7, 8, 9, 10, 11}}) {
        ASSERT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
        EXPECT_EQ(Ids(), expected);
        EXPECT_EQ(m_nFilled, 1);
    }
    EXPECT_TRUE(m_last == BookmarkOf(11));
    ASSERT_EQ(Fetch(CS::gtRefresh), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{7, 8, 9, 10, 11}));
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{11, 12, 0, 0, 0}));
    ASSERT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{10, 11, 12, 0, 0}));
    EXPECT_TRUE(m_last == lastRecord);
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, PagesAndAbsoluteMoves) {
    OpenPeople(50, 10);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    EXPECT_EQ(Ids().front(), 10); // the old last row becomes the first
    EXPECT_EQ(Ids().back(), 19);
    ASSERT_EQ(Fetch(CS::gtPageUp), CS::tsOk);
    EXPECT_EQ(Ids().front(), 1); // the old first row becomes the last
    EXPECT_EQ(Ids().back(), 10);
    ASSERT_EQ(Fetch(CS::gtPageUp), CS::tsOk); // cannot go above the first record
    EXPECT_EQ(Ids().front(), 1);

    EXPECT_EQ(Fetch(CS::gtAbsolute + 20), CS::tsOk);
    EXPECT_EQ(Ids().front(), 21);
    EXPECT_EQ(m_nFilled, 10);
    // One row up in the middle: the last row leaves the window and a page down starts there.
    ASSERT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
    EXPECT_EQ(Ids().front(), 20);
    EXPECT_EQ(Ids().back(), 29);
    EXPECT_EQ(m_nFilled, 1);
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    EXPECT_EQ(Ids().front(), 29);
    EXPECT_EQ(Fetch(CS::gtAbsolute + 1000), CS::tsOk); // capped at the last record
    EXPECT_EQ(Ids(), (IdList{50, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m_nFilled, 1);
    EXPECT_TRUE(m_first == BookmarkOf(50));
    EXPECT_TRUE(m_last == BookmarkOf(50));
    ASSERT_EQ(Fetch(CS::gtPageUp), CS::tsOk);
    EXPECT_EQ(Ids().front(), 41);
    EXPECT_EQ(Ids().back(), 50);
    EXPECT_EQ(NewMessages(), 0);
}

// Over a network each window move is at most one exchange once the records are keyed: the
// move checks one bookmark, and that check (or a fill of the cache before it) reads the
// records the move shows.
TEST_P(DocumentTest, EachWindowMoveIsOneExchangeWithAServer) {
    OpenPeople(1000, 60);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    m_doc.m_pRecordset->MoveLast(); // keyed: no key run joins a move
    const unsigned long long perMove = m_db.IsServer() ? 1 : 0;
    EXPECT_EQ(ExchangesOf(CS::gtAbsolute + 300), perMove);
    EXPECT_EQ(Ids().front(), 301);
    // The recordset caches the window and the row that comes in, and no more.
    EXPECT_EQ(m_doc.m_pRecordset->GetCacheSize(), 61);
    int first = 301;
    // Down, up, and every change of direction, by rows and by pages.
    const std::pair<int, int> moves[] = {
        {CS::gtLineDown, 1},  {CS::gtLineDown, 1}, {CS::gtLineUp, -1},   {CS::gtLineUp, -1},
        {CS::gtLineUp, -1},   {CS::gtLineDown, 1}, {CS::gtPageDown, 59}, {CS::gtPageUp, -59},
        {CS::gtPageUp, -59},  {CS::gtLineDown, 1}, {CS::gtPageUp, -59},  {CS::gtRefresh, 0},
        {CS::gtPageDown, 59}, {CS::gtLineUp, -1}};
    for (const auto& [nMove, shift] : moves) {
        EXPECT_LE(ExchangesOf(nMove), perMove) << "move " << nMove << " from " << first;
        first += shift;
        EXPECT_EQ(Ids().front(), first);
        EXPECT_EQ(Ids().back(), first + 59);
    }
    // A row up reads a record either side of its check, and leaves the cache as it was.
    EXPECT_EQ(m_doc.m_pRecordset->GetCacheSize(), 61);
    EXPECT_EQ(NewMessages(), 0);
}

// The last page right after the open keys the end alone, in one run of keys that reads the
// page's records as well (one exchange with a server); the moves from there key more as they
// need it.
TEST_P(DocumentTest, TheLastPageRightAfterTheOpenIsOneRunFromTheEnd) {
    OpenPeople(5000, 60);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    const bool server = m_db.IsServer();
    EXPECT_EQ(ExchangesOf(CS::gtFromEnd - 59), server ? 1u : 0u);
    EXPECT_EQ(Ids().front(), 4941);
    EXPECT_EQ(Ids().back(), 5000);
    EXPECT_EQ(ExchangesOf(CS::gtLineUp), server ? 1u : 0u);
    EXPECT_EQ(Ids().front(), 4940);
    // Keys before those keyed from the end: one more run, and the window's reads.
    EXPECT_LE(ExchangesOf(CS::gtPageUp), server ? 4u : 0u);
    EXPECT_EQ(Ids().front(), 4881);
    EXPECT_EQ(Ids().back(), 4940);
    EXPECT_EQ(m_doc.m_pRecordset->IsKeyed(), FALSE); // nothing between was keyed

    // A window taller than the keying's first run from the end costs no more.
    OpenOn("SELECT ID, Name, Born, Salary, Flag, Notes FROM People", "ID", NULL);
    m_nCount = 100;
    m_rows.SetSize(100);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    EXPECT_EQ(ExchangesOf(CS::gtFromEnd - 99), server ? 1u : 0u);
    EXPECT_EQ(Ids().front(), 4901);
    EXPECT_EQ(Ids().back(), 5000);
}

// The last page is read from the last record up: a record gone elsewhere keeps its row and
// says so, both bookmarks name the page's ends, and fewer records than rows show from the top.
TEST_P(DocumentTest, TheLastPageIsReadFromTheEndUp) {
    OpenPeople(40, 6);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    DeleteElsewhere(38);
    ASSERT_EQ(Fetch(CS::gtFromEnd - 5), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{35, 36, 37, 0, 39, 40}));
    EXPECT_EQ(Row(3).substr(0, 9), "#deleted|");
    EXPECT_EQ(m_nFilled, 6);
    // The moves from there count from both bookmarks.
    ASSERT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
    EXPECT_EQ(Ids().front(), 34);
    ASSERT_EQ(Fetch(CS::gtPageUp), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{29, 30, 31, 32, 33, 34}));
    ASSERT_EQ(Fetch(CS::gtFromEnd - 5), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{40, 0, 0, 0, 0, 0}));
    EXPECT_EQ(NewMessages(), 0);

    OpenOn("SELECT ID, Name, Born, Salary, Flag, Notes FROM People", "ID", "ID <= 4");
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtFromEnd - 5), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{1, 2, 3, 4, 0, 0}));
    EXPECT_EQ(m_nFilled, 4);
    EXPECT_TRUE(AllBlankFrom(4));
    EXPECT_TRUE(m_first == BookmarkOf(1));
    EXPECT_TRUE(m_last == BookmarkOf(4));
    // The last records in the window's upper rows, as a grid whose last row shows in part
    // asks for them.
    ASSERT_EQ(Fetch(CS::gtFromEnd - 2), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2, 3, 4, 0, 0, 0}));
    EXPECT_EQ(m_nFilled, 3);
    EXPECT_TRUE(m_first == BookmarkOf(2));
    EXPECT_TRUE(m_last == BookmarkOf(4));
}

TEST_P(DocumentTest, AnEmptyDynasetBlanksTheWindowAndForgetsTheBookmarks) {
    OpenPeople(5, 4, "ID", "ID > 1000");
    m_rows[2].Add("stale");
    m_first = COleVariant(LONG(1));
    m_last = COleVariant(LONG(2));
    EXPECT_EQ(Fetch(CS::gtPageDown), CS::tsEmpty);
    EXPECT_TRUE(AllBlankFrom(0));
    EXPECT_EQ(m_first.vt, VT_EMPTY);
    EXPECT_EQ(m_last.vt, VT_EMPTY);
    EXPECT_EQ(m_doc.GetTot(), 0);

    m_doc.SetFilter(2, "");
    m_doc.Open();
    EXPECT_EQ(Fetch(CS::gtPageDown), CS::tsOk); // no bookmarks: the first page
    EXPECT_EQ(Ids(), (IdList{1, 2, 3, 4}));
}

TEST_P(DocumentTest, ANegativeCountFetchesEveryRecordIntoAGrowingBuffer) {
    OpenPeople(7, 1);
    EXPECT_EQ(m_doc.GetTable(&m_rows, NULL, CS::gtFirst, -1, &m_first, &m_last, &m_nFilled),
              CS::tsOk);
    EXPECT_EQ(m_nFilled, 7);
    ASSERT_EQ(m_rows.GetSize(), 7);
    EXPECT_EQ(m_rows[6][0], "7");
    EXPECT_EQ(m_rows[6].GetSize(), 6);
}

TEST_P(DocumentTest, NullBookmarksUseTheDocumentsOwn) {
    OpenPeople(30, 10);
    ASSERT_EQ(m_doc.GetTable(&m_rows, NULL, CS::gtFirst, 10, NULL, NULL, NULL), CS::tsOk);
    ASSERT_EQ(m_doc.GetTable(&m_rows, NULL, CS::gtPageDown, 10, NULL, NULL, NULL), CS::tsOk);
    EXPECT_EQ(Ids().front(), 10);
    EXPECT_TRUE(m_doc.m_varFirst == BookmarkOf(10));
}

TEST_P(DocumentTest, PageUpAfterTheFirstRowWasDeletedElsewhereFallsBackToTheTop) {
    OpenPeople(30, 10);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    ASSERT_EQ(Ids().front(), 19);
    DeleteElsewhere(19);
    EXPECT_EQ(Fetch(CS::gtPageUp), CS::tsTop);
    EXPECT_EQ(Ids().front(), 1);
    EXPECT_EQ(Ids().back(), 10);
    EXPECT_EQ(m_nFilled, 10);
    EXPECT_EQ(NewMessages(), 0);
}

// A row down reads at the window's last row. A first row deleted elsewhere scrolls out
// quietly, a deleted last row is stepped over from the first row instead, and a deleted row
// that comes in shows as deleted.
TEST_P(DocumentTest, ALineDownGoesOnPastARowDeletedElsewhereAtEitherEnd) {
    OpenPeople(30, 10);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    DeleteElsewhere(1);
    ASSERT_EQ(Fetch(CS::gtLineDown), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(m_nFilled, 1);
    DeleteElsewhere(11);
    ASSERT_EQ(Fetch(CS::gtLineDown), CS::tsOk);
    EXPECT_EQ(Ids(), (IdList{3, 4, 5, 6, 7, 8, 9, 10, 11, 12})); // rows shift, unread
    // Both bookmarks followed: the next moves count from them. A row that comes in deleted
    // says so.
    DeleteElsewhere(13);
    ASSERT_EQ(Fetch(CS::gtLineDown), CS::tsOk);
    EXPECT_EQ(Ids().front(), 4);
    EXPECT_EQ(Row(9).substr(0, 9), "#deleted|");
    ASSERT_EQ(Fetch(CS::gtLineUp), CS::tsOk);
    EXPECT_EQ(Ids().front(), 3);
    EXPECT_EQ(Ids().back(), 12);
    EXPECT_EQ(NewMessages(), 0);
}

// A row up whose first row is gone elsewhere restarts at the top, and the window that comes
// then is read as a whole window is: one exchange with a server, not one per row.
TEST_P(DocumentTest, ARowUpMeetingADeletedFirstRowRestartsWithTheWindowsCache) {
    OpenPeople(300, 60);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtAbsolute + 100), CS::tsOk);
    DeleteElsewhere(101);
    EXPECT_LE(ExchangesOf(CS::gtLineUp, CS::tsRestarted), m_db.IsServer() ? 2u : 0u);
    EXPECT_EQ(Ids().front(), 1);
    EXPECT_EQ(Ids().back(), 60);
    EXPECT_EQ(m_doc.m_pRecordset->GetCacheSize(), 61);
    EXPECT_EQ(NewMessages(), 1);
}

TEST_P(DocumentTest, ARefreshMeetingADeletedFirstRowRestartsAfterOneMessage) {
    OpenPeople(30, 10);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtAbsolute + 10), CS::tsOk);
    ASSERT_EQ(Ids().front(), 11);
    DeleteElsewhere(11);
    EXPECT_EQ(Fetch(CS::gtRefresh), CS::tsRestarted);
    EXPECT_EQ(NewMessages(), 1);
    EXPECT_EQ(LastMessage(), "Record is deleted.");
    EXPECT_EQ(Ids().front(), 1);
    EXPECT_EQ(m_nFilled, 10);
}

TEST_P(DocumentTest, CellsOfADeletedRecordSayDeletedAndHiddenOnesStayBlank) {
    OpenPeople(6, 6);
    CArray<CColumnDetails, CColumnDetails> cols;
    cols.SetSize(6);
    for (int i = 0; i < 6; ++i)
        cols[i].m_nField = i;
    cols[4].m_bVisible = 0;
    ASSERT_EQ(Fetch(CS::gtFirst, &cols), CS::tsOk);
    DeleteElsewhere(3);
    EXPECT_EQ(Fetch(CS::gtRefresh, &cols), CS::tsOk);
    EXPECT_EQ(Row(2), "#deleted|#deleted|#deleted|#deleted||#deleted");
    EXPECT_EQ(Row(3).substr(0, 2), "4|");
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, OnlyShownOrKeyColumnsAreReadWithTheirFormat) {
    OpenPeople(4, 4);
    CArray<CColumnDetails, CColumnDetails> cols;
    cols.SetSize(6);
    // Cell i shows field 5 - i: the cells follow the columns, not the fields.
    for (int i = 0; i < 6; ++i)
        cols[i].m_nField = 5 - i;
    cols[5].m_bVisible = 0; // ID, hidden but the key: read
    cols[5].m_bKey = 1;
    cols[4].m_bVisible = 2;          // Name: only exactly 1 shows
    cols[2].m_nFormat = 0x70000 | 5; // Salary: the low 16 bits are the format code
    cols[1].m_nFormat = 8;           // Flag as On/Off
    cols[3].m_nField = 42;           // no such field: blank, not the previous cell's text
    ASSERT_EQ(Fetch(CS::gtFirst, &cols), CS::tsOk);
    EXPECT_EQ(Row(1), "note 2|Off|$200.50|||2");
    EXPECT_EQ(Row(2), "note 3|On|$300.75|||3");
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, RecordCountLeavesTheCurrentRecordWhereItWas) {
    OpenPeople(25, 5);
    CDaoRecordset& rs = *m_doc.m_pRecordset;
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
    ASSERT_EQ(Fetch(CS::gtAbsolute + 7), CS::tsOk);
    const COleVariant here = rs.GetBookmark();
    EXPECT_EQ(m_doc.GetTot(), 25);
    EXPECT_TRUE(rs.GetBookmark() == here);

    rs.MoveFirst();
    rs.MovePrev();
    ASSERT_TRUE(rs.IsBOF());
    EXPECT_EQ(m_doc.GetTot(), 25);
    EXPECT_TRUE(rs.IsBOF());
    rs.MoveNext();
    EXPECT_TRUE(rs.GetBookmark() == BookmarkOf(1));

    rs.MoveLast();
    rs.MoveNext();
    ASSERT_TRUE(rs.IsEOF());
    EXPECT_EQ(m_doc.GetTot(), 25);
    EXPECT_TRUE(rs.IsEOF());
    rs.MovePrev();
    EXPECT_TRUE(rs.GetBookmark() == BookmarkOf(25));
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, ARecordDeletedWhereTheDynasetStandsDisturbsNeitherCountNorAbsoluteMove) {
    OpenPeople(30, 10);
    ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk); // leaves the dynaset on the last row shown
    DeleteElsewhere(10);
    CDaoRecordset& rs = *m_doc.m_pRecordset;
    const long nHere = rs.GetAbsolutePosition();
    EXPECT_EQ(m_doc.GetTot(), 30); // a deleted record keeps its place
    EXPECT_EQ(rs.GetAbsolutePosition(), nHere);
    EXPECT_EQ(Fetch(CS::gtAbsolute + 20), CS::tsOk);
    EXPECT_EQ(Ids().front(), 21);
    EXPECT_EQ(NewMessages(), 0);
}
