#include "GridTest.h"

#include <string>

namespace {

// A derived grid that writes down the order of its first events.
class CTracingCtrl : public CRecordsetCtrl {
    DECLARE_DYNCREATE(CTracingCtrl)

public:
    static std::vector<std::string>& Trace() {
        static std::vector<std::string> trace;
        return trace;
    }

protected:
    int OnCreate(LPCREATESTRUCT lpcs) override {
        Trace().push_back("create");
        return CRecordsetCtrl::OnCreate(lpcs);
    }
    void OnSize(UINT nType, int cx, int cy) override {
        Trace().push_back("size");
        CRecordsetCtrl::OnSize(nType, cx, cy);
    }
    LRESULT OnLoad(WPARAM w, LPARAM l) override {
        Trace().push_back("load");
        return CRecordsetCtrl::OnLoad(w, l);
    }
    LRESULT OnReload(WPARAM w, LPARAM l) override {
        Trace().push_back("reload " + std::to_string(w));
        LRESULT r = CRecordsetCtrl::OnReload(w, l);
        Trace().push_back("rows " + std::to_string(m_arrayTable.GetSize()));
        return r;
    }
};
IMPLEMENT_DYNCREATE(CTracingCtrl, CRecordsetCtrl)

} // namespace

// The record names the class; the handlers are reached through the grid's message map.
TEST_P(GridTest, StartUpOrderThroughADerivedClass) {
    CTracingCtrl::Trace().clear();
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_pCtrlClass = RUNTIME_CLASS(CTracingCtrl);
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    ASSERT_TRUE(pGrid->IsKindOf(RUNTIME_CLASS(CTracingCtrl)));
    const std::vector<std::string>& t = CTracingCtrl::Trace();
    ASSERT_GE(t.size(), 5u);
    EXPECT_EQ(t[0], "create");
    EXPECT_EQ(t[1], "size");
    EXPECT_EQ(t[2], "load");
    EXPECT_EQ(t[3], "reload 1");
    EXPECT_EQ(t[4], "rows " + std::to_string(pGrid->m_nRows));
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);
    EXPECT_EQ(m_host.commands.back().hCtl, pGrid->GetSafeHwnd());
}

TEST_P(GridTest, DefaultGridClassIsTheGrid) {
    CRecordsetLoad load;
    EXPECT_EQ(load.m_pCtrlClass, RUNTIME_CLASS(CRecordsetCtrl));
}

// A reload at a key stands on the first record whose key reaches it, as the top row.
TEST_P(GridTest, ReloadAtAKey) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    m_host.Clear();
    EXPECT_EQ(pGrid->SendMessage(WM_RSC_RELOAD, 0, (LPARAM) "100"), 0);
    EXPECT_EQ(Keys()[0], "100");
    EXPECT_EQ(pGrid->m_nCursor, 0);
    EXPECT_EQ(VPos(), 99);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);

    EXPECT_EQ(pGrid->SendMessage(WM_RSC_RELOADLONG, 0, 200), 0);
    EXPECT_EQ(Keys()[0], "200");
    EXPECT_EQ(VPos(), 199);
    // -5 is searched as the text "-5": every key reaches it.
    EXPECT_EQ(pGrid->SendMessage(WM_RSC_RELOADLONG, 0, (LPARAM)-5), 0);
    EXPECT_EQ(Keys()[0], "1");
    EXPECT_EQ(VPos(), 0);
}

// A filter that selects nothing: an empty range and no cursor.
TEST_P(GridTest, AnEmptyRecordsetHasNoCursor) {
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_strFilter = "OrderID < 0";
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    ASSERT_TRUE(pGrid->m_pDoc->IsOpen());
    EXPECT_EQ(VMax(), -1);
    EXPECT_EQ(pGrid->m_nCursor, -1);
    EXPECT_EQ(Keys()[0], "");
}

// A document that cannot open: 1, nothing changed, nobody told.
TEST_P(GridTest, AFailedReloadChangesNothing) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const std::vector<std::string> keys = Keys();
    const int nItems = pGrid->m_wndHeader.GetItemCount();
    m_host.Clear();
    KelClearMessageBoxes();
    pGrid->m_pDoc->SetFilter(0, "NoSuchColumn = 1");
    EXPECT_EQ(pGrid->SendMessage(WM_RSC_RELOAD, 0, 0), 1);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 0);
    EXPECT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_EQ(Keys(), keys);
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), nItems);
    EXPECT_EQ(VMax(), 249);
}

// A refresh fetches the window where it is: a change made elsewhere shows.
TEST_P(GridTest, RefreshShowsChangesInPlace) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    CDaoDatabase db;
    db.Open(SampleDatabase().c_str());
    CString strOld = Cell(0, 1);
    db.Execute("UPDATE Orders SET Customer = 'Zed Refreshed' WHERE OrderID = 1");
    pGrid->SendMessage(WM_RSC_REFRESH, 0, 0);
    EXPECT_EQ(Cell(0, 1), "Zed Refreshed");
    CString strSQL = "UPDATE Orders SET Customer = '" + strOld + "' WHERE OrderID = 1";
    db.Execute(strSQL);
    db.Close();
}
