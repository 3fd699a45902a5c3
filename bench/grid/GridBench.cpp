// The grid on a 1920 x 1080 window (about 60 rows of 10 columns) over the sample database of
// 1 million orders (10 million with KEL_BENCH_10M=1): a full repaint into the off-screen
// image, and a page down with its repaint, beside bare SQLite reading the rows the page
// shows (bare_ms). Painting reads no record, so the repaint has no bare counterpart.
#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include "bench/BenchGrid.h"
#include "platform/dao/engines/sqlite/SqliteEngine.h"
#include "tools/sampledb/SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using kelbench::Clock;
using kelbench::Records;
using kelbench::Since;

constexpr const char* kColumns = "OrderID, Customer, City, CustomerID, OrderDate, Amount, "
                                 "Quantity, Priority, Weight, Shipped";

const std::string& Database() {
    static const std::string path = kelsampledb::Cached(KEL_BENCH_DATA_DIR, Records());
    return path;
}

// One grid over the orders.
struct Grid : kelbench::BenchGrid {
    Grid() : BenchGrid(Database(), std::string("SELECT ") + kColumns + " FROM Orders") {
        if (!Loaded())
            std::fprintf(stderr, "grid_bench: the grid did not load\n");
    }
    void Top() { Scroll(SB_THUMBPOSITION, 0); }
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
    static Grid* grid = [] {
        auto* g = new Grid; // kept to the end of the run
        // Counted before the moves are measured, and no timer of its own left to tick.
        while (g->grid.IsCounting())
            KelAdvanceTime(10);
        return g;
    }();
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
        g.Scroll(SB_PAGEDOWN);
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

// Bare SQLite reading the first rows of the statement as text: what a first screen needs.
// The connection compares text as the grid's does (the JETTEXT collation, which folds
// accented letters too), so that a sorted read does the same work.
double BareFirstRows(const char* order, int rows) {
    const auto start = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    kel::dao::RegisterSqliteFunctions(db);
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = std::string("SELECT ") + kColumns + " FROM Orders" + order + " LIMIT " +
                            std::to_string(rows);
    sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return Since(start);
}

// A grid made, loaded and painted, as a host opening the orders does; nothing counted yet
// (the count's timer runs on the virtual clock, which does not move here).
void BM_OpenToFirstScreen(benchmark::State& state) {
    double gridSeconds = 0, bareSeconds = 0;
    int rows = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        auto g = std::make_unique<Grid>();
        gridSeconds += Since(start);
        rows = g->grid.m_nRows;
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
        bareSeconds += BareFirstRows("", rows);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["grid_ms"] = gridSeconds * 1e3 / n;
    state.counters["bare_ms"] = bareSeconds * 1e3 / n;
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

// A reload of a standing grid (a search, a refresh of the statement) to its first painted
// window: the dynaset opened again and the window read, nothing counted.
void BM_ReloadToFirstScreen(benchmark::State& state) {
    Grid& g = SharedGrid();
    double gridSeconds = 0, bareSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        g.grid.SendMessage(WM_RSC_RELOAD, 0, 0);
        KelRunUntilIdle();
        gridSeconds += Since(start);
        bareSeconds += BareFirstRows("", g.grid.m_nRows);
        state.PauseTiming();
        while (g.grid.IsCounting())
            KelAdvanceTime(10);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["grid_ms"] = gridSeconds * 1e3 / n;
    state.counters["bare_ms"] = bareSeconds * 1e3 / n;
}
BENCHMARK(BM_ReloadToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

// A header click on City, which no index serves: the reload to the first sorted window and
// its paint, beside bare SQLite's ORDER BY ... LIMIT of the rows shown.
void BM_SortClickToFirstScreen(benchmark::State& state) {
    Grid g;
    double gridSeconds = 0, bareSeconds = 0;
    BOOL bDesc = FALSE;
    for (auto _ : state) {
        auto start = Clock::now();
        g.grid.m_nSortByN = 2; // City
        g.grid.m_bSortDesc = bDesc;
        g.grid.SetSort();
        g.grid.SendMessage(WM_RSC_RELOAD, 0, 0);
        KelRunUntilIdle();
        gridSeconds += Since(start);
        bareSeconds +=
            BareFirstRows(bDesc ? " ORDER BY City DESC" : " ORDER BY City", g.grid.m_nRows);
        bDesc = !bDesc;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["grid_ms"] = gridSeconds * 1e3 / n;
    state.counters["bare_ms"] = bareSeconds * 1e3 / n;
}
BENCHMARK(BM_SortClickToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(4);

// End pressed right after the open, before anything is counted: the last window and its
// paint.
void BM_EndRightAfterOpen(benchmark::State& state) {
    double gridSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<Grid>();
        g->grid.SetFocus();
        state.ResumeTiming();
        auto start = Clock::now();
        g->grid.SendMessage(WM_KEYDOWN, VK_END, 0);
        KelRunUntilIdle();
        gridSeconds += Since(start);
        state.PauseTiming();
        if (!g->grid.IsCounting())
            std::fprintf(stderr, "grid_bench: counted before End\n");
        g.reset();
        state.ResumeTiming();
    }
    state.counters["grid_ms"] = gridSeconds * 1e3 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_EndRightAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The count after the first screen, tick after tick of the timer: the longest the loop is
// busy at once is the longest a message posted meanwhile waits. Unsorted (arg 0) and sorted
// on City by the worker (arg 1).
void BM_CountingWorstMessageWait(benchmark::State& state) {
    double worst = 0, total = 0;
    int ticks = 0;
    for (auto _ : state) {
        Grid g;
        if (state.range(0) == 1) {
            g.grid.m_nSortByN = 2;
            g.grid.m_bSortDesc = FALSE;
            g.grid.SetSort();
            g.grid.SendMessage(WM_RSC_RELOAD, 0, 0);
            KelRunUntilIdle();
        }
        const auto start = Clock::now();
        while (g.grid.IsCounting()) {
            const auto tick = Clock::now();
            g.host.PostMessage(WM_NULL, 0, 0);
            KelAdvanceTime(10);
            worst = std::max(worst, Since(tick));
            ++ticks;
        }
        total += Since(start);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["worst_wait_ms"] = worst * 1e3;
    state.counters["count_s"] = total / n;
    state.counters["ticks"] = ticks / n;
}
BENCHMARK(BM_CountingWorstMessageWait)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
