// Shared by the grid's tests: a clean window system, the sample database on either engine, a
// host window that writes down what the grid tells it, and a grid created from a
// configuration record.
#pragma once

#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"
#include "platform/win/Robot.h"
#include "tests/platform/dao/BothEngines.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// A top-level window standing in for a host: it writes down every WM_COMMAND it gets.
class CGridHost : public CWnd {
public:
    BOOL CreateHost(const CRect& rc);
    struct Command {
        UINT nID;
        UINT nCode;
        HWND hCtl;
    };
    std::vector<Command> commands;
    // How many notifications of that code came from the grid.
    int Count(UINT nCode) const;
    void Clear() { commands.clear(); }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// Run on both engines (TEST_P): SQLite files or schemas on the server.
class GridTest : public ::testing::TestWithParam<std::string> {
public:
    static constexpr UINT kGridID = 77;

protected:
    void SetUp() override;
    void TearDown() override;

    bool IsServer() const { return bothengines::IsServer(GetParam()); }
    // The sample database of that many orders, the test's own copy (the test may write to it).
    bothengines::EngineDatabase& Sample(long long nRows = 250);
    // Its name, as a configuration record or CDaoDatabase::Open takes it.
    std::string SampleDatabase(long long nRows = 250) { return Sample(nRows).Name(); }
    // How many orders of the sample match a condition (in SQLite's words).
    long SampleCount(long long nRows, const std::string& where);
    // Runs SQL (SQLite's words) on a connection of its own to a database of the test, as
    // another program would; false when it fails.
    static bool ExecOther(bothengines::EngineDatabase& db, const std::string& sql);
    // A configuration record over the sample database: SELECT text, settings key ("" for no
    // persistence). The caller hands it to CreateGrid, which hands it to the grid.
    CRecordsetLoad* MakeLoad(LPCTSTR lpszSQL = "SELECT * FROM Orders", LPCTSTR lpszKey = "");
    // Creates the grid (class of the record, or CRecordsetCtrl) in the host, client rc, and
    // runs the loop until the first load is done. The grid is owned by the fixture.
    CRecordsetCtrl* CreateGrid(CRecordsetLoad* pLoad, const CRect& rc = CRect(0, 0, 400, 300));
    // Destroys the grid (its settings are written).
    void DestroyGrid();
    // A database of the test's own, made by running that SQL (SQLite's words); its name.
    std::string MakeDatabase(const std::string& sql);
    // That database, for reading and writing as another program.
    bothengines::EngineDatabase& Made() { return *m_pMade; }
    // The header item of a column index (-1 when it has none), and its rectangle in the
    // grid's client coordinates.
    int HeaderItemOf(int nColumn) const;
    CRect HeaderItemRect(int nItem) const;

    // Text of a cell of the row window (row r, column index c).
    CString Cell(int r, int c) const;
    // The key column's text of each row of the window.
    std::vector<std::string> Keys() const;
    // The absolute position the vertical scroll bar shows, and its range.
    int VPos() const;
    int VMax() const;
    // Lets time pass until the grid has counted its records in the background.
    void CountAll();
    // The settings key the test's values are kept under, below AppRegistryPath.
    CString KeyPath(LPCTSTR lpszKey) const { return AppRegistryPath + lpszKey; }

    CGridHost m_host;
    std::unique_ptr<CRecordsetCtrl> m_pOwned;
    CRecordsetCtrl* m_pGrid = nullptr;
    Robot m_robot;
    CString m_strSavedPath;
    std::map<long long, std::unique_ptr<bothengines::EngineDatabase>> m_samples;
    std::unique_ptr<bothengines::EngineDatabase> m_pMade;
};
