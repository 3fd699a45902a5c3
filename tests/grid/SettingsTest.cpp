#include "GridTest.h"

#include "tests/support/StatementCounter.h"

#include <cstdlib>
#include <filesystem>
#include <sys/inotify.h>
#include <unistd.h>

// The settings a grid writes when it goes, in the store's layout, read back by the next one.
TEST_P(GridTest, SettingsAreWrittenAndReadBack) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Orders\\"));
    pGrid->SendMessage(WM_NOTIFY, 0, 0); // a stray notification is ignored
    // Sort descending on Amount, hide City, make Customer 12 characters wide.
    NMHEADER nm{};
    nm.hdr.hwndFrom = pGrid->m_wndHeader.m_hWnd;
    nm.hdr.code = HDN_ITEMCLICK;
    nm.iItem = HeaderItemOf(5);
    pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    HDITEM item{};
    item.mask = HDI_WIDTH;
    item.cxy = pGrid->m_nHeaderCharWidth * 12 + 41;
    pGrid->m_wndHeader.SetItem(HeaderItemOf(1), &item);
    pGrid->m_arrayColumns[2].m_bVisible = FALSE;
    pGrid->m_nSearchCol = 3;
    pGrid->m_nSearchOp = 4;
    DestroyGrid();

    CRegistry reg(AppRegistryRoot, KeyPath("Orders\\"));
    CString strText;
    EXPECT_TRUE(reg.Read("[Customer]", strText, ""));
    EXPECT_EQ(strText, "0001 0012 0001");
    EXPECT_TRUE(reg.Read("[City]", strText, ""));
    EXPECT_EQ(strText.Left(5), "0000 ");
    int n = -1;
    EXPECT_TRUE(reg.Read("SortByN", n, -1));
    EXPECT_EQ(n, 5);
    EXPECT_TRUE(reg.Read("SortAsc", n, -1));
    EXPECT_EQ(n, 1); // the descending flag
    EXPECT_TRUE(reg.Read("SearchCol", n, -1));
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(reg.Read("SearchOp", n, -1));
    EXPECT_EQ(n, 4);
    EXPECT_TRUE(reg.Read("ShowBackground", n, -1));
    EXPECT_EQ(n, 0);

    pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Orders\\"));
    EXPECT_EQ(pGrid->m_nSortByN, 5);
    EXPECT_TRUE(pGrid->m_bSortDesc);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "6 DESC");
    EXPECT_EQ(pGrid->m_arrayColumns[1].m_nWidth, 12);
    EXPECT_FALSE(pGrid->m_arrayColumns[2].m_bVisible);
    EXPECT_EQ(HeaderItemOf(2), -1);
    EXPECT_EQ(pGrid->m_wndHeader.GetSortCol(), HeaderItemOf(5) >= 0 ? 4 : -1);
}

// Without a settings key nothing is written, and a new grid starts from the defaults.
// A grid that goes stores its layout in one replacement of the store file, not one for each
// value: a reader sees all of it or none, and the disk is synced once.
TEST_P(GridTest, TheLayoutIsStoredInOneWrite) {
    // A store of this test's own, so that no test beside it writes there meanwhile.
    struct OwnStore {
        std::string dir, saved;
        bool hadSaved = false;
        OwnStore() {
            char name[] = "/tmp/kelrs-layout-XXXXXX";
            dir = ::mkdtemp(name) ? name : "";
            if (const char* old = std::getenv("KELRS_SETTINGS_DIR")) {
                saved = old;
                hadSaved = true;
            }
            ::setenv("KELRS_SETTINGS_DIR", dir.c_str(), 1);
        }
        ~OwnStore() {
            if (hadSaved)
                ::setenv("KELRS_SETTINGS_DIR", saved.c_str(), 1);
            else
                ::unsetenv("KELRS_SETTINGS_DIR");
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    } store;
    ASSERT_FALSE(store.dir.empty());
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    // Each replacement creates a temporary file and moves it over the store: watching both
    // keeps the kernel from merging the repeated moves into one event.
    ASSERT_GE(::inotify_add_watch(watch, store.dir.c_str(), IN_CREATE | IN_MOVED_TO), 0);

    CreateGrid(MakeLoad("SELECT * FROM Orders", "OneWrite\\"));
    DestroyGrid();
    int nReplaced = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;)
        for (char* p = events; p < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0 &&
                std::string(event->name) == "HKEY_CURRENT_USER.reg")
                ++nReplaced;
            p += sizeof(inotify_event) + event->len;
        }
    ::close(watch);
    EXPECT_EQ(nReplaced, 1);

    CRegistry reg(AppRegistryRoot, KeyPath("OneWrite\\"));
    CString strText;
    EXPECT_TRUE(reg.Read("[Customer]", strText, ""));
    int n = -1;
    EXPECT_TRUE(reg.Read("SearchOp", n, -1));
}

TEST_P(GridTest, NoKeyNoSettings) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    NMHEADER nm{};
    nm.hdr.hwndFrom = pGrid->m_wndHeader.m_hWnd;
    nm.hdr.code = HDN_ITEMCLICK;
    nm.iItem = HeaderItemOf(1);
    pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    DestroyGrid();
    CRegistry reg(AppRegistryRoot, AppRegistryPath);
    int n = 0;
    EXPECT_FALSE(reg.Read("SortByN", n, -7));
    EXPECT_FALSE(reg.Read("SearchCol", n, -7));
    CString strText;
    EXPECT_FALSE(reg.Read("[Customer]", strText, ""));

    pGrid = CreateGrid(MakeLoad());
    EXPECT_EQ(pGrid->m_nSortByN, -1);
    EXPECT_EQ(pGrid->m_nSearchCol, 1);
    EXPECT_EQ(pGrid->m_nSearchOp, 0);
}

// Damaged column values are ignored; the column keeps what the fields give it.
TEST_P(GridTest, DamagedColumnValuesAreIgnored) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Damaged\\"));
        reg.Write("[Customer]", "garbage");
        reg.Write("[City]", "0001 -005 0002");
        reg.Write("[Amount]", "0001 0007 0003");
    }
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Damaged\\"));
    EXPECT_GT(pGrid->m_arrayColumns[1].m_nWidth, 0);
    EXPECT_TRUE(pGrid->m_arrayColumns[1].m_bVisible);
    EXPECT_GT(pGrid->m_arrayColumns[2].m_nWidth, 0);
    EXPECT_EQ(pGrid->m_arrayColumns[5].m_nWidth, 7);
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), pGrid->m_arrayColumns.GetSize());
}

// A load that fails knows nothing of the user's choices: the stored sort stays as it was. The
// failure is told once, though the sorted attempt failed too.
TEST_P(GridTest, AFailedLoadKeepsTheStoredSort) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Closed\\"));
        reg.Write("SortByN", 3);
        reg.Write("SortAsc", 1);
        reg.Write("SearchCol", 2);
    }
    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM NoSuchTable", "Closed\\");
    KelSetMessageBoxAnswer(0);
    KelClearMessageBoxes();
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    ASSERT_FALSE(pGrid->m_pDoc->IsOpen());
    EXPECT_EQ(KelGetMessageBoxes().size(), 1u);
    DestroyGrid();
    CRegistry reg(AppRegistryRoot, KeyPath("Closed\\"));
    int n = -1;
    EXPECT_TRUE(reg.Read("SortByN", n, -1));
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(reg.Read("SortAsc", n, -1));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(reg.Read("SearchCol", n, -1));
    EXPECT_EQ(n, 2);
}

// A stored sort on a field the statement no longer has is ignored: the grid loads unsorted,
// without a message, and sorts again from a header click.
TEST_P(GridTest, AStoredSortBeyondTheFieldsLoadsUnsorted) {
    for (int nStale : {99, 6, -5}) {
        SCOPED_TRACE(nStale);
        {
            CRegistry reg(AppRegistryRoot, KeyPath("Stale\\"));
            reg.Write("SortByN", nStale);
            reg.Write("SortAsc", 1);
        }
        KelClearMessageBoxes();
        CRecordsetCtrl* pGrid =
            CreateGrid(MakeLoad("SELECT OrderID, Customer, City FROM Orders", "Stale\\"));
        EXPECT_TRUE(KelGetMessageBoxes().empty());
        ASSERT_TRUE(pGrid->m_pDoc->IsOpen());
        EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "");
        EXPECT_EQ(pGrid->m_wndHeader.GetSortCol(), -1);
        EXPECT_EQ(pGrid->m_pDoc->GetTot(), 250);
        EXPECT_EQ(Cell(0, 0), "1");
        NMHEADER nm{};
        nm.hdr.hwndFrom = pGrid->m_wndHeader.m_hWnd;
        nm.hdr.code = HDN_ITEMCLICK;
        nm.iItem = HeaderItemOf(2);
        pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
        EXPECT_EQ(pGrid->m_nSortByN, 2);
        DestroyGrid();
    }
}

// A stored sort opens the records once, sorted on its field, as a sort the load gives does:
// both cost the same (SQLite's statements, a server's exchanges). A stored sort on a column
// the layout hides opens them again, unsorted.
TEST_P(GridTest, AStoredSortOpensTheRecordsOnce) {
    StatementCounter counter;
    const LPCTSTR lpszSQL = "SELECT OrderID, Customer, City, Amount FROM Orders";
    auto load = [&](LPCTSTR lpszKey) {
        CRecordsetLoad* pLoad = MakeLoad(lpszSQL, lpszKey);
        if (*lpszKey == '\0')
            pLoad->m_strOrder = "4 DESC";
        counter.Reset();
        CRecordsetCtrl* pGrid = CreateGrid(pLoad);
        KelRunUntilIdle();
        EXPECT_TRUE(pGrid->m_pDoc->IsOpen());
        return IsServer() ? static_cast<int>(pGrid->m_pDoc->m_pDatabase->GetRoundTrips())
                          : counter.statements;
    };
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Sorted\\"));
        reg.Write("SortByN", 3);
        reg.Write("SortAsc", 1);
        reg.Write("[Amount]", "0001 0010 0003"); // shown, whatever a run before left
    }
    load(""); // what a first load learns of the server is learnt by both
    load("Sorted\\");
    const int given = load("");
    const CString strLargest = Cell(0, 3);
    const int stored = load("Sorted\\");
    CRecordsetCtrl* pGrid = m_pGrid;
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "4 DESC");
    EXPECT_EQ(pGrid->m_wndHeader.GetSortCol(), 3);
    EXPECT_EQ(Cell(0, 3), strLargest);
    EXPECT_EQ(stored, given);

    // Amount hidden: sorted first, then unsorted as the layout says.
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Hidden\\"));
        reg.Write("SortByN", 3);
        reg.Write("SortAsc", 1);
    }
    load("Hidden\\");
    m_pGrid->m_arrayColumns[3].m_bVisible = FALSE;
    DestroyGrid();
    load("Hidden\\");
    EXPECT_EQ(m_pGrid->m_pDoc->GetOrder(), "");
    EXPECT_EQ(m_pGrid->m_wndHeader.GetSortCol(), -1);
    EXPECT_EQ(Cell(0, 0), "1");
}

// The search in every text column looks only in the text columns shown, and with none shown
// it is refused rather than finding every record.
TEST_P(GridTest, AllColumnsSearchLooksOnlyInShownTextColumns) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    CString strFilter, strError;
    for (int i = 0; i < pGrid->m_arrayColumns.GetSize(); ++i)
        if (pGrid->m_arrayColumns[i].m_strName == "[City]")
            pGrid->m_arrayColumns[i].m_bVisible = FALSE;
    ASSERT_TRUE(pGrid->BuildAllColumnsFilter(0, "Bern", strFilter, strError));
    EXPECT_EQ(strFilter.Find("[City]"), -1);
    EXPECT_NE(strFilter.Find("[Customer]"), -1);

    pGrid = CreateGrid(MakeLoad("SELECT OrderID, Amount, OrderDate FROM Orders"));
    EXPECT_FALSE(pGrid->BuildAllColumnsFilter(0, "Bern", strFilter, strError));
    EXPECT_TRUE(strFilter.IsEmpty());
    EXPECT_NE(strError.Find("No text column"), -1);
}
