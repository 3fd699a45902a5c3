#include "GridTest.h"

#include "platform/win/MessageBox.h"

#include <iostream>

BOOL CGridHost::CreateHost(const CRect& rc) {
    return CreateEx(0,
                    AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                        ::GetSysColorBrush(COLOR_3DFACE)),
                    "Host", WS_POPUP | WS_VISIBLE, rc, nullptr, 0);
}

int CGridHost::Count(UINT nCode) const {
    int n = 0;
    for (const Command& c : commands)
        n += c.nID == GridTest::kGridID && c.nCode == nCode;
    return n;
}

BOOL CGridHost::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        commands.push_back({LOWORD(wParam), HIWORD(wParam), (HWND)lParam});
        *pResult = 0;
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

void GridTest::SetUp() {
    KelResetWindowSystem();
    // Each test keeps its settings under a path of its own, so tests running side by side
    // share the store file but never a value.
    m_strSavedPath = AppRegistryPath;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    AppRegistryPath =
        CString("Software\\KelRSListTest\\") + info->test_suite_name() + "." + info->name() + "\\";
    ASSERT_TRUE(m_host.CreateHost(CRect(0, 0, 800, 600)));
    KEL_ENGINE_SETUP(GetParam());
}

void GridTest::TearDown() {
    DestroyGrid();
    if (m_host.GetSafeHwnd() != NULL)
        m_host.DestroyWindow();
    KelResetWindowSystem();
    AppRegistryPath = m_strSavedPath;
    m_samples.clear();
    m_pMade.reset();
}

bothengines::EngineDatabase& GridTest::Sample(long long nRows) {
    auto& sample = m_samples[nRows];
    if (!sample)
        sample = std::make_unique<bothengines::EngineDatabase>(
            GetParam(), "grid", bothengines::EngineDatabase::Sample{nRows},
            bothengines::RunningTestName() + "." + std::to_string(nRows));
    return *sample;
}

long GridTest::SampleCount(long long nRows, const std::string& where) {
    const auto ids = Sample(nRows).Ids(
        bothengines::EngineWords("SELECT count(*) FROM Orders WHERE " + where, IsServer()));
    return ids.empty() ? -1 : ids.front();
}

bool GridTest::ExecOther(bothengines::EngineDatabase& db, const std::string& sql) {
    try {
        bothengines::RunStatements(*db.Another(), sql, db.IsServer());
    } catch (const kel::dao::EngineError& e) {
        ADD_FAILURE() << sql << ": " << e.what();
        return false;
    }
    return true;
}

CRecordsetLoad* GridTest::MakeLoad(LPCTSTR lpszSQL, LPCTSTR lpszKey) {
    auto* pLoad = new CRecordsetLoad;
    pLoad->m_strDatabase = SampleDatabase().c_str();
    pLoad->m_strSQL = lpszSQL;
    pLoad->m_strRegistryKey = lpszKey;
    return pLoad;
}

CRecordsetCtrl* GridTest::CreateGrid(CRecordsetLoad* pLoad, const CRect& rc) {
    DestroyGrid();
    CRuntimeClass* pClass =
        pLoad->m_pCtrlClass ? pLoad->m_pCtrlClass : RUNTIME_CLASS(CRecordsetCtrl);
    CObject* pObject = pClass->CreateObject(); // the macro reads its argument twice
    auto* pGrid = DYNAMIC_DOWNCAST(CRecordsetCtrl, pObject);
    EXPECT_NE(pGrid, nullptr);
    if (pGrid == nullptr) {
        delete pLoad;
        return nullptr;
    }
    m_pOwned.reset(pGrid);
    m_pGrid = pGrid;
    EXPECT_TRUE(
        pGrid->Create(pLoad, "", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rc, &m_host, kGridID));
    KelRunUntilIdle();
    // Said where a test that expects records stumbles on their absence later.
    if (pGrid->m_pDoc == nullptr || !pGrid->m_pDoc->IsOpen())
        for (const KelMessageBoxRecord& box : KelGetMessageBoxes())
            std::cerr << "message: " << box.strText.str() << "\n";
    return pGrid;
}

void GridTest::DestroyGrid() {
    if (m_pGrid != nullptr && m_pGrid->GetSafeHwnd() != NULL)
        m_pGrid->DestroyWindow();
    m_pOwned.reset();
    m_pGrid = nullptr;
}

CString GridTest::Cell(int r, int c) const {
    if (r < 0 || r >= m_pGrid->m_arrayTable.GetSize() || c < 0 ||
        c >= m_pGrid->m_arrayTable[r].GetSize())
        return CString();
    return m_pGrid->m_arrayTable[r][c];
}

std::vector<std::string> GridTest::Keys() const {
    std::vector<std::string> keys;
    for (int r = 0; r < m_pGrid->m_arrayTable.GetSize(); ++r)
        keys.push_back((LPCTSTR)Cell(r, m_pGrid->m_nKeyColumn));
    return keys;
}

int GridTest::VPos() const {
    return m_pGrid->m_wndVScroll.GetScrollPos();
}

int GridTest::VMax() const {
    int nMin = 0, nMax = 0;
    m_pGrid->m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    return nMax;
}

void GridTest::CountAll() {
    for (int i = 0; i < 100000 && m_pGrid->IsCounting(); ++i)
        KelAdvanceTime(10);
    EXPECT_FALSE(m_pGrid->IsCounting());
}

std::string GridTest::MakeDatabase(const std::string& sql) {
    m_pMade.reset();
    m_pMade = std::make_unique<bothengines::EngineDatabase>(GetParam(), "grid");
    m_pMade->Exec(sql);
    return m_pMade->Name();
}

int GridTest::HeaderItemOf(int nColumn) const {
    const int nItems = m_pGrid->m_wndHeader.GetItemCount();
    for (int i = 0; i < nItems; ++i) {
        HDITEM item{};
        item.mask = HDI_LPARAM;
        m_pGrid->m_wndHeader.GetItem(i, &item);
        if (item.lParam == nColumn)
            return i;
    }
    return -1;
}

CRect GridTest::HeaderItemRect(int nItem) const {
    CRect rc;
    m_pGrid->m_wndHeader.GetItemRect(nItem, &rc);
    m_pGrid->m_wndHeader.MapWindowPoints(m_pGrid, &rc);
    return rc;
}

KEL_BOTH_ENGINES(GridTest);
