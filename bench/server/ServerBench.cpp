// The grid on a PostgreSQL server, beside bare libpq doing the same work in the same run:
// the sample of 1 million orders (10 million with KEL_BENCH_10M=1) in the server KEL_BENCH_PG
// names (./run bench starts one and loads the sample once).
//
// Each row's time is the grid's; bare_ms is libpq's for the same step. Round trips per step:
// rt_grid as the grid's database counts them (CDaoDatabase::GetRoundTrips), rt_bare one per
// libpq statement and one for a connection. The grid's window is 1920 x 1080, about
// 60 rows, in a host window that is up before the open (as bare's image is made before it
// draws); the bare reads take 65 rows, a window and a little more:
//   open to the first painted screen   connect, the first 65 rows in key order
//   reopen (a grid closed before)      the first 65 rows on a connection kept open
//   one row down                       the next row after the last one shown
//   one page down                      the next 65 rows by key continuation
//   End right after the open           the last 65 rows by the reverse order
//   open over a table keyed by text    connect, its first 65 rows in key order
//   reopen with a stored sort          the last 65 rows by the reverse order, on a kept
//                                      connection (the layout sorts on OrderID, descending)
// The window cases move the document alone (a window of 60 rows, no paint) beside the same
// reads; their time is doc_ms. The grid's cases also give bare_paint_ms: bare libpq's step
// and then a plain cairo program drawing the rows it read, each value as text in a cell of a
// 1920 x 1080 image (no lines, no header, no clipping), as a program with no grid at all
// would show them; for a row down it moves the image up a row and draws the new one.
#include <KelRSList.h>
#include <KelSettings.h>
#include <afxdao.h>
#include <afxwin.h>

#include "bench/BenchGrid.h"
#include "bench/BenchWindow.h"
#include "tools/sampledb/ServerSample.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using kelbench::Clock;
using kelbench::Records;
using kelbench::Since;

constexpr int kBareRows = 65;
// The grid's columns, and the same for bare libpq.
constexpr const char* kJetColumns = "[OrderID], [Customer], [City], [CustomerID], [OrderDate], "
                                    "[Amount], [Quantity], [Priority], [Weight], [Shipped]";
constexpr const char* kPgColumns = "\"OrderID\", \"Customer\", \"City\", \"CustomerID\", "
                                   "\"OrderDate\", \"Amount\", \"Quantity\", \"Priority\", "
                                   "\"Weight\", \"Shipped\"";

// The server with the sample loaded, as a URI whose search path is the sample's schema; empty
// (and why in strError) when there is none.
const std::string& Server(std::string* strError = nullptr) {
    static std::string error;
    static const std::string uri = []() -> std::string {
        const char* server = std::getenv("KEL_BENCH_PG");
        if (!server || !*server) {
            error = "KEL_BENCH_PG names no server (./run bench starts one)";
            return "";
        }
        const std::string schema = "orders_" + std::to_string(Records());
        try {
            const auto start = Clock::now();
            if (kelsampledb::LoadServer(server, schema, KEL_BENCH_DATA_DIR, Records()))
                std::fprintf(stderr, "server_bench: loaded %lld orders in %.1f s\n", Records(),
                             Since(start));
            return kelsampledb::WithSearchPath(server, schema);
        } catch (const std::exception& e) {
            error = e.what();
            return "";
        }
    }();
    if (strError)
        *strError = error;
    return uri;
}

// Skips the case when there is no server; true when it may run.
bool HaveServer(benchmark::State& state) {
    std::string error;
    if (Server(&error).empty()) {
        state.SkipWithError(error.c_str());
        return false;
    }
    return true;
}

// The layouts the grids store go beside the bench's data, never to the user's settings.
const bool g_settingsApart = [] {
    setenv("KELRS_SETTINGS_DIR", KEL_BENCH_DATA_DIR "/settings", 0);
    return true;
}();

// One grid over the orders on the server (or over another statement).
struct Grid : kelbench::BenchGrid {
    explicit Grid(const std::string& sql = std::string("SELECT ") + kJetColumns + " FROM [Orders]",
                  const std::string& uri = Server(), const std::string& registryKey = "")
        : BenchGrid(uri, sql, registryKey) {}
    // The host window alone, up: Open makes the grid.
    struct HostOnly {};
    explicit Grid(HostOnly) {}
    ULONGLONG RoundTrips() {
        CDaoDatabase* pDb = Loaded() ? grid.m_pDoc->m_pDatabase : nullptr;
        return pDb != nullptr && pDb->IsOpen() ? pDb->GetRoundTrips() : 0;
    }
};

// The rows bare libpq read, drawn as a program without a grid would: a white image of the
// grid's size, each value's text at its cell (ten columns of 190 pixels, rows of 16) in a
// 12-pixel sans-serif face, as far down as the image goes. One that scrolls moves the image
// up by the rows it read and draws them at the bottom, as a row move shows its row.
class BarePainter {
public:
    explicit BarePainter(bool scrolls = false)
        : m_scrolls(scrolls), m_surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1920, 1080),
                                        &cairo_surface_destroy),
          m_cr(cairo_create(m_surface.get()), &cairo_destroy) {
        cairo_select_font_face(m_cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(m_cr.get(), 12);
        cairo_set_source_rgb(m_cr.get(), 1, 1, 1);
        cairo_paint(m_cr.get());
        // What a process does once (finding the face, its first glyphs) is no paint's.
        cairo_set_source_rgb(m_cr.get(), 0, 0, 0);
        cairo_move_to(m_cr.get(), 0, 12);
        cairo_show_text(m_cr.get(),
                        "0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    }
    void Paint(const PGresult* result) {
        cairo_t* cr = m_cr.get();
        const int rows = std::min(PQntuples(result), kShown);
        const int top = m_scrolls ? kShown - rows : 0;
        cairo_set_source_rgb(cr, 1, 1, 1);
        if (m_scrolls) {
            cairo_surface_flush(m_surface.get());
            unsigned char* data = cairo_image_surface_get_data(m_surface.get());
            const int stride = cairo_image_surface_get_stride(m_surface.get());
            std::memmove(data, data + rows * kRowHeight * stride,
                         static_cast<size_t>((kShown - rows) * kRowHeight * stride));
            cairo_surface_mark_dirty(m_surface.get());
            cairo_rectangle(cr, 0, top * kRowHeight, 1920, rows * kRowHeight);
            cairo_fill(cr);
        } else {
            cairo_paint(cr);
        }
        cairo_set_source_rgb(cr, 0, 0, 0);
        const int columns = std::min(PQnfields(result), 10);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                cairo_move_to(cr, c * 190 + 3, (top + r + 1) * kRowHeight - 4);
                cairo_show_text(cr, PQgetvalue(result, r, c));
            }
        cairo_surface_flush(m_surface.get());
    }

private:
    static constexpr int kRowHeight = 16, kShown = 1080 / kRowHeight;
    const bool m_scrolls;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> m_surface;
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> m_cr;
};

// Bare libpq: a connection of its own, every value of the rows read as text; with a painter,
// the rows are drawn too.
class Bare {
public:
    explicit Bare(const std::string& uri = Server()) : m_conn(PQconnectdb(uri.c_str()), &PQfinish) {
        ++m_roundTrips;
    }
    Bare(const Bare&) = delete;
    Bare& operator=(const Bare&) = delete;
    bool Ok() const { return PQstatus(m_conn.get()) == CONNECTION_OK; }
    // The rows of one statement; the key of the last row, or -1 when there is none.
    long long Rows(const std::string& sql, BarePainter* painter = nullptr) {
        ++m_roundTrips;
        std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(m_conn.get(), sql.c_str()),
                                                             &PQclear);
        const int rows = PQntuples(result.get()), columns = PQnfields(result.get());
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(PQgetvalue(result.get(), r, c));
        if (painter) {
            const auto start = Clock::now();
            painter->Paint(result.get());
            m_paintSeconds += Since(start);
        }
        return rows ? std::atoll(PQgetvalue(result.get(), rows - 1, 0)) : -1;
    }
    // The seconds painters took in Rows, so far.
    double PaintSeconds() const { return m_paintSeconds; }
    long long First(int n) {
        return Rows(std::string("SELECT ") + kPgColumns + " FROM \"Orders\" ORDER BY \"OrderID\" " +
                    "LIMIT " + std::to_string(n));
    }
    long long After(long long key, int n, BarePainter* painter = nullptr) {
        return Rows(std::string("SELECT ") + kPgColumns + " FROM \"Orders\" WHERE \"OrderID\" > " +
                        std::to_string(key) + " ORDER BY \"OrderID\" LIMIT " + std::to_string(n),
                    painter);
    }
    long long Last(int n, BarePainter* painter = nullptr) {
        return Rows(std::string("SELECT ") + kPgColumns +
                        " FROM \"Orders\" ORDER BY \"OrderID\" DESC LIMIT " + std::to_string(n),
                    painter);
    }
    long long RoundTrips() const { return m_roundTrips; }
    bool Exec(const std::string& sql) {
        ++m_roundTrips;
        std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(m_conn.get(), sql.c_str()),
                                                             &PQclear);
        const ExecStatusType status = PQresultStatus(result.get());
        return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    }

private:
    std::unique_ptr<PGconn, decltype(&PQfinish)> m_conn{nullptr, &PQfinish};
    long long m_roundTrips = 0;
    double m_paintSeconds = 0;
};

// bare_ms from the seconds bare libpq took in all, less those it spent drawing; and, where it
// drew, bare_paint_ms from all of them.
void BareCounters(benchmark::State& state, double seconds, double paintSeconds, bool painted) {
    const double n = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = (seconds - paintSeconds) * 1e3 / n;
    if (painted)
        state.counters["bare_paint_ms"] = seconds * 1e3 / n;
}

// A grid kept for the moves, counted before they are measured.
Grid* SharedGrid() {
    static Grid* grid = [] {
        auto* g = new Grid; // kept to the end of the run
        while (g->Loaded() && g->grid.IsCounting())
            KelAdvanceTime(10);
        return g;
    }();
    return grid->Loaded() ? grid : nullptr;
}

// The server under a name no open used before in this run, so no connection kept from before
// serves it.
std::string FirstOpenServer() {
    static int opens = 0;
    return Server() + "&application_name=kelbench" + std::to_string(++opens);
}

// What one open gave: whether it loaded, its exchanges and the rows it shows.
struct Opened {
    bool loaded = false;
    ULONGLONG trips = 0;
    int rows = 0;
};

// Opens by open(uri, made) (timed, its result destroyed untimed) on what prepare() made before
// (untimed: a grid's host window, up, as bare's image is made before it draws), each beside
// bare libpq reading bareSql (and, where painted, drawing what it read); side names the opening
// side's counters. A first open connects (a name of its own each time, so no connection kept
// from before serves it), as bare libpq does. A reopen follows one closed on the same server,
// whose connection the data access keeps; bare libpq then reads on a connection it kept too.
template <typename Prepare, typename Open>
void Opens(benchmark::State& state, const std::string& side, const std::string& bareSql,
           bool reopen, bool painted, Prepare&& prepare, Open&& open) {
    double seconds = 0, bareSeconds = 0, bareDrawSeconds = 0;
    std::optional<BarePainter> painter;
    if (painted)
        painter.emplace();
    BarePainter* const pPainter = painter ? &*painter : nullptr;
    long long bareTrips = 0;
    ULONGLONG trips = 0;
    int rows = 0;
    // A reopen's bare libpq reads on a connection it keeps.
    const std::unique_ptr<Bare> kept = reopen ? std::make_unique<Bare>() : nullptr;
    // What a process does once (its fonts) is not an open's: an open on a name of its own
    // comes first, untimed.
    static const bool warmed = [&] {
        Grid(std::string("SELECT ") + kJetColumns + " FROM [Orders]",
             Server() + "&application_name=kelbench_warm");
        return true;
    }();
    (void)warmed;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string uri = reopen ? Server() : FirstOpenServer();
        if (reopen) {
            auto before = prepare();
            open(uri, before); // opened and closed: its connection is kept
        }
        auto made = prepare();
        state.ResumeTiming();
        auto start = Clock::now();
        auto opened = open(uri, made);
        seconds += Since(start);
        if (!opened.first.loaded) {
            state.SkipWithError("nothing loaded from the server");
            return;
        }
        rows = opened.first.rows;
        trips += opened.first.trips;
        state.PauseTiming();
        opened.second.reset();
        state.ResumeTiming();
        start = Clock::now();
        if (reopen) {
            const long long before = kept->RoundTrips();
            const double drawn = kept->PaintSeconds();
            kept->Rows(bareSql, pPainter);
            bareTrips += kept->RoundTrips() - before;
            bareDrawSeconds += kept->PaintSeconds() - drawn;
        } else {
            Bare bare(uri);
            bare.Rows(bareSql, pPainter);
            bareTrips += bare.RoundTrips();
            bareDrawSeconds += bare.PaintSeconds();
        }
        bareSeconds += Since(start);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters[side + "_ms"] = seconds * 1e3 / n;
    BareCounters(state, bareSeconds, bareDrawSeconds, painted);
    state.counters["rt_" + side] = static_cast<double>(trips) / n;
    state.counters["rt_bare"] = static_cast<double>(bareTrips) / n;
    state.counters["rows"] = rows;
}

// A grid's host window, up, for a grid to open in.
std::unique_ptr<Grid> HostWindow() {
    return std::make_unique<Grid>(Grid::HostOnly{});
}

// Grids opened over sql.
void GridOpens(benchmark::State& state, const std::string& sql, const std::string& bareSql,
               bool reopen) {
    Opens(state, "grid", bareSql, reopen, true, HostWindow,
          [&](const std::string& uri, std::unique_ptr<Grid>& g) {
              g->Open(uri, sql);
              const Opened opened{g->Loaded(), g->RoundTrips(), g->grid.m_nRows};
              return std::make_pair(opened, std::move(g));
          });
}

void OrdersOpens(benchmark::State& state, bool reopen) {
    if (!HaveServer(state))
        return;
    GridOpens(state, std::string("SELECT ") + kJetColumns + " FROM [Orders]",
              std::string("SELECT ") + kPgColumns + " FROM \"Orders\" ORDER BY \"OrderID\" LIMIT " +
                  std::to_string(kBareRows),
              reopen);
}

void BM_ServerOpenToFirstScreen(benchmark::State& state) {
    OrdersOpens(state, false);
}
BENCHMARK(BM_ServerOpenToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ServerReopenToFirstScreen(benchmark::State& state) {
    OrdersOpens(state, true);
}
BENCHMARK(BM_ServerReopenToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

// A grid whose stored layout sorts on OrderID, descending, reopened: the records are opened
// once, sorted.
void BM_ServerReopenStoredSort(benchmark::State& state) {
    if (!HaveServer(state))
        return;
    const char* key = "ServerBench\\StoredSort\\";
    {
        CRegistry reg(AppRegistryRoot, AppRegistryPath + key);
        if (!reg.Write("SortByN", 0) || !reg.Write("SortAsc", 1)) {
            state.SkipWithError("the layout could not be stored");
            return;
        }
    }
    const std::string sql = std::string("SELECT ") + kJetColumns + " FROM [Orders]";
    Opens(state, "grid",
          std::string("SELECT ") + kPgColumns +
              " FROM \"Orders\" ORDER BY \"OrderID\" DESC LIMIT " + std::to_string(kBareRows),
          true, true, HostWindow, [&](const std::string& uri, std::unique_ptr<Grid>& g) {
              g->Open(uri, sql, key);
              const Opened opened{g->Loaded() && g->grid.m_pDoc->GetOrder() == "1 DESC",
                                  g->RoundTrips(), g->grid.m_nRows};
              return std::make_pair(opened, std::move(g));
          });
}
BENCHMARK(BM_ServerReopenStoredSort)->Unit(benchmark::kMillisecond)->Iterations(5);

// The document alone opened to its first window of 60 rows, without a grid or its paint:
// what the data access costs of an open.
constexpr int kWindowRows = 60;
void WindowOpens(benchmark::State& state, bool reopen) {
    if (!HaveServer(state))
        return;
    Opens(
        state, "doc",
        std::string("SELECT ") + kPgColumns + " FROM \"Orders\" ORDER BY \"OrderID\" LIMIT " +
            std::to_string(kWindowRows),
        reopen, false, [] { return 0; },
        [](const std::string& uri, int) {
            auto w = std::make_unique<kelbench::BenchWindow>(
                uri, std::string("SELECT ") + kJetColumns + " FROM [Orders]", "", kWindowRows);
            Opened opened;
            if (w->m_doc.IsOpen() && w->Move(CRecordsetDoc::gtFirst) != CRecordsetDoc::tsFailed) {
                opened = {true, w->m_doc.m_pDatabase->GetRoundTrips(), w->m_nRows};
            }
            return std::make_pair(opened, std::move(w));
        });
}

void BM_ServerWindowOpen(benchmark::State& state) {
    WindowOpens(state, false);
}
BENCHMARK(BM_ServerWindowOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ServerWindowReopen(benchmark::State& state) {
    WindowOpens(state, true);
}
BENCHMARK(BM_ServerWindowReopen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The orders again, keyed by text ("o000000001", ...) rather than by an integer: the grid keys
// them through a map. Made once, beside the sample.
bool MakeCodedOrders() {
    Bare bare;
    return bare.Ok() &&
           bare.Exec(std::string("DO $$BEGIN IF to_regclass('\"OrderCodes\"') IS NULL THEN ") +
                     "CREATE TABLE \"OrderCodes\" AS SELECT 'o' || lpad(\"OrderID\"::text, 9, "
                     "'0') AS \"Code\", " +
                     kPgColumns + " FROM \"Orders\"; " +
                     "ALTER TABLE \"OrderCodes\" ADD PRIMARY KEY (\"Code\"); END IF; END$$");
}

void BM_ServerOpenTextKeyed(benchmark::State& state) {
    if (!HaveServer(state))
        return;
    if (!MakeCodedOrders()) {
        state.SkipWithError("the orders keyed by text could not be made");
        return;
    }
    GridOpens(state, std::string("SELECT [Code], ") + kJetColumns + " FROM [OrderCodes]",
              std::string("SELECT \"Code\", ") + kPgColumns +
                  " FROM \"OrderCodes\" ORDER BY \"Code\" LIMIT " + std::to_string(kBareRows),
              false);
}
BENCHMARK(BM_ServerOpenTextKeyed)->Unit(benchmark::kMillisecond)->Iterations(5);

// Moves timed beside bare libpq's reads of what each one shows: move() makes one, back()
// goes to the top again (every 1000 moves, to stay well inside the data) and trips() counts
// the exchanges so far. The moving side's figures go to <side>_ms and rt_<side>. With a
// painter, bare libpq draws the rows it read too.
template <typename Move, typename Back, typename Trips>
void TimedMoves(benchmark::State& state, const std::string& side, int shown, int bareRows,
                BarePainter* painter, Move&& move, Back&& back, Trips&& trips) {
    Bare bare;
    back();
    long long last = bare.First(shown);
    const long long startTrips = bare.RoundTrips();
    double seconds = 0, bareSeconds = 0;
    ULONGLONG exchanges = 0;
    int moves = 0;
    for (auto _ : state) {
        const ULONGLONG before = trips();
        auto start = Clock::now();
        move();
        seconds += Since(start);
        exchanges += trips() - before;
        start = Clock::now();
        last = bare.After(last, bareRows, painter);
        bareSeconds += Since(start);
        if (++moves == 1000) {
            state.PauseTiming();
            back();
            last = bare.First(shown);
            moves = 0;
            state.ResumeTiming();
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters[side + "_ms"] = seconds * 1e3 / n;
    BareCounters(state, bareSeconds, bare.PaintSeconds(), painter != nullptr);
    state.counters["rt_" + side] = static_cast<double>(exchanges) / n;
    state.counters["rt_bare"] = static_cast<double>(bare.RoundTrips() - startTrips) / n;
}

// A move of the counted grid (a row or a page down), with its paint; bare libpq draws the
// page it read, or scrolls by the row it read and draws it.
void Moves(benchmark::State& state, int code, int bareRows) {
    if (!HaveServer(state))
        return;
    Grid* g = SharedGrid();
    if (g == nullptr) {
        state.SkipWithError("the grid did not load from the server");
        return;
    }
    BarePainter painter(code == SB_LINEDOWN);
    TimedMoves(
        state, "grid", g->grid.m_nRows, bareRows, &painter, [&] { g->Scroll(code); },
        [&] { g->Scroll(SB_THUMBPOSITION, 0); }, [&] { return g->RoundTrips(); });
}

void BM_ServerRowDown(benchmark::State& state) {
    Moves(state, SB_LINEDOWN, 1);
}
BENCHMARK(BM_ServerRowDown)->Unit(benchmark::kMillisecond);

void BM_ServerPageDown(benchmark::State& state) {
    Moves(state, SB_PAGEDOWN, kBareRows);
}
BENCHMARK(BM_ServerPageDown)->Unit(benchmark::kMillisecond);

// The document alone, as the grid asks it for a window of 60 rows, without the paint: what
// the data access costs.
void WindowMoves(benchmark::State& state, int nMove, int bareRows) {
    if (!HaveServer(state))
        return;
    constexpr int kRows = 60;
    static auto* window = new kelbench::BenchWindow( // kept to the end of the run
        Server(), std::string("SELECT ") + kJetColumns + " FROM [Orders]", "", kRows);
    if (!window->m_doc.IsOpen()) {
        state.SkipWithError("the document did not open on the server");
        return;
    }
    TimedMoves(
        state, "doc", kRows, bareRows, nullptr, [&] { window->Move(nMove); },
        [&] { window->Move(CRecordsetDoc::gtFirst); },
        [&] { return window->m_doc.m_pDatabase->GetRoundTrips(); });
}

void BM_ServerWindowRowDown(benchmark::State& state) {
    WindowMoves(state, CRecordsetDoc::gtLineDown, 1);
}
BENCHMARK(BM_ServerWindowRowDown)->Unit(benchmark::kMillisecond);

void BM_ServerWindowPageDown(benchmark::State& state) {
    WindowMoves(state, CRecordsetDoc::gtPageDown, 60);
}
BENCHMARK(BM_ServerWindowPageDown)->Unit(benchmark::kMillisecond);

// End pressed right after the open, before anything is counted, beside bare libpq reading
// the last rows (and, with a painter, drawing them): open() makes what moves (untimed),
// end(it) makes the move, trips(it) counts the exchanges so far; side names the moving side's
// counters.
template <typename Open, typename End, typename Trips>
void EndsRightAfterOpen(benchmark::State& state, const std::string& side, int bareRows,
                        BarePainter* painter, Open&& open, End&& end, Trips&& trips) {
    if (!HaveServer(state))
        return;
    double seconds = 0, bareSeconds = 0;
    ULONGLONG exchanges = 0;
    Bare bare;
    const long long startTrips = bare.RoundTrips();
    for (auto _ : state) {
        state.PauseTiming();
        auto it = open();
        if (!it) {
            state.SkipWithError("nothing loaded from the server");
            return;
        }
        const ULONGLONG before = trips(*it);
        state.ResumeTiming();
        auto start = Clock::now();
        end(*it);
        seconds += Since(start);
        exchanges += trips(*it) - before;
        start = Clock::now();
        bare.Last(bareRows, painter);
        bareSeconds += Since(start);
        state.PauseTiming();
        it.reset();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters[side + "_ms"] = seconds * 1e3 / n;
    BareCounters(state, bareSeconds, bare.PaintSeconds(), painter != nullptr);
    state.counters["rt_" + side] = static_cast<double>(exchanges) / n;
    state.counters["rt_bare"] = static_cast<double>(bare.RoundTrips() - startTrips) / n;
}

// The grid's End key and its paint.
void BM_ServerEndRightAfterOpen(benchmark::State& state) {
    BarePainter painter;
    EndsRightAfterOpen(
        state, "grid", kBareRows, &painter,
        [] {
            auto g = std::make_unique<Grid>();
            if (!g->Loaded())
                g.reset();
            else
                g->grid.SetFocus();
            return g;
        },
        [](Grid& g) {
            g.grid.SendMessage(WM_KEYDOWN, VK_END, 0);
            KelRunUntilIdle();
        },
        [](Grid& g) { return g.RoundTrips(); });
}
BENCHMARK(BM_ServerEndRightAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The document alone: its last window of 60 rows, without the paint.
void BM_ServerWindowEndRightAfterOpen(benchmark::State& state) {
    EndsRightAfterOpen(
        state, "doc", kWindowRows, nullptr,
        [] {
            auto w = std::make_unique<kelbench::BenchWindow>(
                Server(), std::string("SELECT ") + kJetColumns + " FROM [Orders]", "", kWindowRows);
            if (!w->m_doc.IsOpen() || w->Move(CRecordsetDoc::gtFirst) == CRecordsetDoc::tsFailed)
                w.reset();
            return w;
        },
        [](kelbench::BenchWindow& w) { w.Move(CRecordsetDoc::gtFromEnd - (kWindowRows - 1)); },
        [](kelbench::BenchWindow& w) { return w.m_doc.m_pDatabase->GetRoundTrips(); });
}
BENCHMARK(BM_ServerWindowEndRightAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
