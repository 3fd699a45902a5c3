// The count in the background: the first window painted before the records are counted,
// the range and counter following, the end reached before the count, and reloads, sorts and
// other programs' writes while counting goes on.
#include "GridTest.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A grid that writes down, at each paint, whether it was still counting.
class CPaintTracingCtrl : public CRecordsetCtrl {
    DECLARE_DYNCREATE(CPaintTracingCtrl)

public:
    std::vector<BOOL> paints;

protected:
    void OnPaint() override {
        paints.push_back(IsCounting());
        CRecordsetCtrl::OnPaint();
    }
};
IMPLEMENT_DYNCREATE(CPaintTracingCtrl, CRecordsetCtrl)

constexpr long long kRows = 20000;

class CountTest : public GridTest {
protected:
    CRecordsetCtrl* Open(LPCTSTR lpszSQL = "SELECT * FROM Orders", CRuntimeClass* pClass = NULL) {
        CRecordsetLoad* pLoad = MakeLoad(lpszSQL);
        pLoad->m_strDatabase = SampleDatabase(kRows).c_str();
        if (pClass)
            pLoad->m_pCtrlClass = pClass;
        return CreateGrid(pLoad);
    }
    // The sample, the test's own: the test may write to it.
    CRecordsetCtrl* OpenCopy(std::string& path) {
        path = SampleDatabase(kRows);
        CRecordsetLoad* pLoad = MakeLoad();
        pLoad->m_strDatabase = path.c_str();
        return CreateGrid(pLoad);
    }
    CString CursorKey() const { return Cell(m_pGrid->m_nCursor, m_pGrid->m_nKeyColumn); }
};

// The SQLite file itself damaged under the grid.
class CountFileTest : public CountTest {};

} // namespace

TEST_P(CountTest, FirstPaintBeforeTheCountThenRangeCounterAndNotification) {
    auto* pGrid = static_cast<CPaintTracingCtrl*>(
        Open("SELECT * FROM Orders", RUNTIME_CLASS(CPaintTracingCtrl)));
    ASSERT_NE(pGrid, nullptr);
    // Shown and painted with only the first records keyed.
    EXPECT_EQ(Keys()[0], "1");
    ASSERT_FALSE(pGrid->paints.empty());
    EXPECT_TRUE(pGrid->paints.front());
    EXPECT_TRUE(pGrid->IsCounting());
    EXPECT_LT(pGrid->m_pDoc->GetCountSoFar(), kRows);
    EXPECT_LT(VMax(), kRows - 1);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);

    CountAll();
    EXPECT_EQ(VMax(), kRows - 1);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 2);
    EXPECT_EQ(m_host.commands.back().nCode, (UINT)RSCN_SELCHANGE);
    // The counter is painted again with the count.
    KelRunUntilIdle();
    EXPECT_FALSE(pGrid->paints.back());
}

TEST_P(CountTest, FewRecordsAreCountedAtOnceAsBefore) {
    CRecordsetLoad* pLoad = MakeLoad();
    CreateGrid(pLoad); // 250 records
    EXPECT_FALSE(m_pGrid->IsCounting());
    EXPECT_EQ(VMax(), 249);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);
}

TEST_P(CountTest, GetTotIsExactWhileCounting) {
    Open();
    ASSERT_TRUE(m_pGrid->IsCounting());
    EXPECT_EQ(m_pGrid->m_pDoc->GetTot(), kRows);
    // The window stays where it was, and the next tick finishes the count.
    EXPECT_EQ(Keys()[0], "1");
    KelAdvanceTime(10);
    EXPECT_FALSE(m_pGrid->IsCounting());
    EXPECT_EQ(VMax(), kRows - 1);
}

TEST_P(CountTest, TheEndBeforeTheCountAndBackUp) {
    Open();
    ASSERT_TRUE(m_pGrid->IsCounting());
    m_pGrid->SetFocus();
    m_robot.Key(VK_END);
    EXPECT_TRUE(m_pGrid->IsCounting());
    EXPECT_EQ(CursorKey(), std::to_string(kRows).c_str());
    // Up a page and a row from the end, by bookmarks.
    const int nTop = std::stoi(std::string(Keys()[0]));
    m_robot.Key(VK_PRIOR);
    EXPECT_EQ(std::stoi(Keys()[0]), nTop - (m_pGrid->m_nRows - 1));
    m_pGrid->m_nCursor = 0;
    m_robot.Key(VK_UP);
    const int nNewTop = std::stoi(Keys()[0]);
    EXPECT_EQ(nNewTop, nTop - m_pGrid->m_nRows);
    // The count gives the window its place from the front.
    CountAll();
    EXPECT_EQ(VMax(), kRows - 1);
    EXPECT_EQ(VPos(), nNewTop - 1);
    m_robot.Key(VK_END);
    EXPECT_EQ(CursorKey(), std::to_string(kRows).c_str());
    EXPECT_EQ(VPos(), std::stoi(Keys()[0]) - 1);
}

TEST_P(CountTest, ThumbAtTheBottomBeforeTheCountIsTheEnd) {
    Open();
    ASSERT_TRUE(m_pGrid->IsCounting());
    const int nBottom = VMax();
    m_pGrid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, nBottom),
                         (LPARAM)m_pGrid->m_wndVScroll.GetSafeHwnd());
    EXPECT_EQ(Keys()[m_pGrid->m_nRows / 2 - 1], std::to_string(kRows)); // the upper half
    // Thumb back to the middle: a place from the front again.
    m_pGrid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100),
                         (LPARAM)m_pGrid->m_wndVScroll.GetSafeHwnd());
    EXPECT_EQ(Keys()[0], "101");
    EXPECT_EQ(VPos(), 100);
    // Paging on past what is counted so far.
    for (int i = 0; i < 20; ++i)
        m_robot.Key(VK_NEXT);
    EXPECT_EQ(std::stoi(Keys()[0]), VPos() + 1);
    CountAll();
    EXPECT_EQ(std::stoi(Keys()[0]), VPos() + 1);
}

TEST_P(CountTest, SortAndSearchWhileCountingDropTheOldCount) {
    Open();
    ASSERT_TRUE(m_pGrid->IsCounting());
    // A sort on a column no index serves: its first window after one bounded read.
    const int nCity = HeaderItemOf(2);
    m_robot.Click(m_pGrid, CRect(HeaderItemRect(nCity)).CenterPoint());
    KelRunUntilIdle();
    EXPECT_TRUE(m_pGrid->IsCounting());
    EXPECT_LT(m_pGrid->m_pDoc->GetCountSoFar(), kRows);
    // And before that count has come, a search narrows the records again.
    m_pGrid->m_pDoc->SetFilter(1, "[Quantity] > 10");
    m_pGrid->SendMessage(WM_RSC_RELOAD, 0, 0);
    CountAll();
    const int nExpected = SampleCount(kRows, "Quantity > 10");
    EXPECT_EQ(VMax(), nExpected - 1);
}

TEST_P(CountTest, AnotherProgramWritesWhileCounting) {
    std::string path;
    OpenCopy(path);
    ASSERT_TRUE(m_pGrid->IsCounting());
    // Not held up by the keying, which holds no lock between its slices.
    EXPECT_TRUE(ExecOther(Sample(kRows), "DELETE FROM Orders WHERE OrderID IN (15000, 19999)"));
    KelAdvanceTime(10);
    EXPECT_TRUE(ExecOther(Sample(kRows), "INSERT INTO Orders (Customer) VALUES ('Later')"));
    CountAll();
    // Deleted before the keying reached them: gone; added after the open: unseen.
    EXPECT_EQ(VMax(), kRows - 3);
    m_pGrid->SetFocus();
    m_robot.Key(VK_END);
    EXPECT_EQ(CursorKey(), std::to_string(kRows).c_str());
}

TEST_P(CountTest, TypeAheadFarBeyondWhatIsCountedSoFar) {
    Open();
    m_robot.Click(m_pGrid, CRect(HeaderItemRect(HeaderItemOf(1))).CenterPoint()); // Customer
    KelRunUntilIdle();
    ASSERT_TRUE(m_pGrid->IsCounting());
    m_pGrid->SetFocus();
    m_robot.Type("y");
    const int nBefore = SampleCount(kRows, bothengines::TextKey("Customer", IsServer()) + " < 'y'");
    ASSERT_GT(nBefore, 1000);
    EXPECT_EQ(VPos(), nBefore);
    EXPECT_EQ(CString(Cell(0, 1)).Left(1), "Y");
    CountAll();
    EXPECT_EQ(VPos(), nBefore);
    EXPECT_EQ(VMax(), kRows - 1);
}

TEST_P(CountFileTest, AFileDamagedWhileCountingIsToldOnceAndTheCountStops) {
    std::string path;
    OpenCopy(path);
    ASSERT_TRUE(m_pGrid->IsCounting());
    KelClearMessageBoxes();
    {
        // Pages well past those of the first window turn to noise.
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(0, std::ios::end);
        const std::streamoff size = file.tellp();
        const std::string noise(static_cast<size_t>(size / 4), '\x5a');
        file.seekp(size / 2);
        file.write(noise.data(), static_cast<std::streamsize>(noise.size()));
    }
    for (int i = 0; i < 2000 && m_pGrid->IsCounting(); ++i)
        KelAdvanceTime(10);
    EXPECT_FALSE(m_pGrid->IsCounting());
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_EQ(CString(KelGetMessageBoxes()[0].strText).Left(30), "Unrecognized database format '");
    // What was counted stands; the window still shows its records.
    EXPECT_GT(VMax(), 0);
    EXPECT_EQ(Keys()[0], "1");
}

TEST_P(CountTest, PagingUpFromTheEndFurtherThanCountedSoFar) {
    Open();
    ASSERT_TRUE(m_pGrid->IsCounting());
    m_pGrid->SetFocus();
    m_robot.Key(VK_END);
    const int nStep = m_pGrid->m_nRows - 1;
    int nTop = std::stoi(std::string(Keys()[0]));
    // More pages than the bar had positions above the window when the end came.
    const int nPages = VPos() / nStep + 5;
    for (int i = 0; i < nPages; ++i) {
        m_robot.Key(VK_PRIOR);
        ASSERT_EQ(std::stoi(std::string(Keys()[0])), nTop - nStep) << "page " << i;
        nTop -= nStep;
        ASSERT_GE(VPos(), 0);
    }
    EXPECT_TRUE(m_pGrid->IsCounting());
    CountAll();
    EXPECT_EQ(VPos(), nTop - 1);
}

KEL_BOTH_ENGINES(CountTest);
KEL_SQLITE_ONLY(CountFileTest);
