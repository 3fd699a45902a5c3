// The grid on a 1920 x 1080 window (about 60 rows of 10 columns) over the sample database of
// 1 million orders (10 million with KEL_BENCH_10M=1): a full repaint into the off-screen
// image, and a page down with its repaint, beside bare SQLite reading the rows the page
// shows (bare_ms). Painting reads no record, so the repaint has no bare counterpart.
#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include "tools/sampledb/SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kColumns = "OrderID, Customer, City, CustomerID, OrderDate, Amount, "
                                 "Quantity, Priority, Weight, Shipped";

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long long Records() {
    const char* big = std::getenv("KEL_BENCH_10M");
    return big && *big == '1' ? 10000000 : 1000000;
}

const std::string& Database() {
    static const std::string path = kelsampledb::Cached(KEL_BENCH_DATA_DIR, Records());
    return path;
}

class CBenchHost : public CWnd {
public:
    BOOL CreateHost() {
        return CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "Bench",
                        WS_POPUP | WS_VISIBLE, CRect(0, 0, 1920, 1080), nullptr, 0);
    }
};

// One grid over the orders, as a host would make it.
struct Grid {
    Grid() {
        host.CreateHost();
        auto* pLoad = new CRecordsetLoad;
        pLoad->m_strDatabase = Database().c_str();
        pLoad->m_strSQL = (std::string("SELECT ") + kColumns + " FROM Orders").c_str();
        grid.Create(pLoad, "", 0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1920, 1080), &host, 1);
        KelRunUntilIdle();
        if (!grid.m_pDoc->IsOpen())
            std::fprintf(stderr, "grid_bench: the grid did not load\n");
    }
    ~Grid() {
        grid.DestroyWindow();
        host.DestroyWindow();
    }
    void PageDown() {
        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0),
                         (LPARAM)grid.m_wndVScroll.GetSafeHwnd());
    }
    void Top() {
        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0),
                         (LPARAM)grid.m_wndVScroll.GetSafeHwnd());
        KelRunUntilIdle();
    }
    CBenchHost host;
    CRecordsetCtrl grid;
};

// Bare SQLite reading the rows of a page by key, each value as text.
class Bare {
public:
    Bare() {
        sqlite3_open_v2(Database().c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(
            m_db, (std::string("SELECT ") + kColumns + " FROM Orders WHERE rowid = ?").c_str(), -1,
            &m_byKey, nullptr);
    }
    ~Bare() {
        sqlite3_finalize(m_byKey);
        sqlite3_close_v2(m_db);
    }
    Bare(const Bare&) = delete;
    Bare& operator=(const Bare&) = delete;
    void ReadRows(sqlite3_int64 first, int count) {
        for (sqlite3_int64 key = first; key < first + count; ++key) {
            sqlite3_bind_int64(m_byKey, 1, key);
            if (sqlite3_step(m_byKey) == SQLITE_ROW)
                for (int i = 0; i < sqlite3_column_count(m_byKey); ++i)
                    benchmark::DoNotOptimize(sqlite3_column_text(m_byKey, i));
            sqlite3_reset(m_byKey);
        }
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_byKey = nullptr;
};

Grid& SharedGrid() {
    static Grid* grid = new Grid; // kept to the end of the run
    return *grid;
}

void BM_Repaint(benchmark::State& state) {
    Grid& g = SharedGrid();
    g.Top();
    for (auto _ : state) {
        g.grid.Invalidate(TRUE);
        KelRunUntilIdle();
    }
    state.counters["rows"] = g.grid.m_nRows;
    state.counters["columns"] = g.grid.m_wndHeader.GetItemCount();
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

void BM_PageDownAndRepaint(benchmark::State& state) {
    Grid& g = SharedGrid();
    Bare bare;
    g.Top();
    double gridSeconds = 0, bareSeconds = 0;
    sqlite3_int64 next = 1;
    int pages = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        g.PageDown();
        KelRunUntilIdle();
        gridSeconds += Since(start);
        start = Clock::now();
        bare.ReadRows(next + g.grid.m_nRows, g.grid.m_nRows - 1);
        bareSeconds += Since(start);
        next += g.grid.m_nRows - 1;
        if (++pages == 1000) { // stay well inside the data
            state.PauseTiming();
            g.Top();
            next = 1;
            pages = 0;
            state.ResumeTiming();
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["grid_ms"] = gridSeconds * 1e3 / n;
    state.counters["bare_ms"] = bareSeconds * 1e3 / n;
}
BENCHMARK(BM_PageDownAndRepaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
