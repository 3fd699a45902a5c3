// What the grid's benches share: the seconds since a point, the number of orders to bench
// (10 million with KEL_BENCH_10M=1, else 1 million), and a grid in a 1920 x 1080 top-level
// window (about 60 rows of 10 columns) over a statement, as a host would make it.
#pragma once

#include <KelRSList.h>
#include <afxwin.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace kelbench {

using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline long long Records() {
    const char* big = std::getenv("KEL_BENCH_10M");
    return big && *big == '1' ? 10000000 : 1000000;
}

class CBenchHost : public CWnd {
public:
    BOOL CreateHost() {
        return CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "Bench",
                        WS_POPUP | WS_VISIBLE, CRect(0, 0, 1920, 1080), nullptr, 0);
    }
};

// The grid made and loaded over database (a file or a server's URI) and sql; with a settings
// key, the layout stored under it is the grid's. Made without them, the host window alone is
// made and shown, and Open makes the grid in it later: a host's window is up before it opens
// a table.
struct BenchGrid {
    BenchGrid() {
        host.CreateHost();
        KelRunUntilIdle();
    }
    BenchGrid(const std::string& database, const std::string& sql,
              const std::string& registryKey = std::string())
        : BenchGrid() {
        Open(database, sql, registryKey);
    }
    void Open(const std::string& database, const std::string& sql,
              const std::string& registryKey = std::string()) {
        auto* pLoad = new CRecordsetLoad; // the grid takes it
        pLoad->m_strDatabase = database.c_str();
        pLoad->m_strSQL = sql.c_str();
        pLoad->m_strRegistryKey = registryKey.c_str();
        grid.Create(pLoad, "", 0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1920, 1080), &host, 1);
        KelRunUntilIdle();
    }
    ~BenchGrid() {
        grid.DestroyWindow();
        host.DestroyWindow();
    }
    BenchGrid(const BenchGrid&) = delete;
    BenchGrid& operator=(const BenchGrid&) = delete;

    bool Loaded() const { return grid.m_pDoc != nullptr && grid.m_pDoc->IsOpen(); }
    // A scroll bar's move (SB_PAGEDOWN, SB_THUMBPOSITION at pos, ...) and its paint.
    void Scroll(int code, int pos = 0) {
        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(code, pos),
                         (LPARAM)grid.m_wndVScroll.GetSafeHwnd());
        KelRunUntilIdle();
    }

    CBenchHost host;
    CRecordsetCtrl grid;
};

} // namespace kelbench
