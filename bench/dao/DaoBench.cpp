// The data-access classes beside bare SQLite doing the same work, in the same run, over the
// generated sample database of 1 million orders (and 10 million with KEL_BENCH_10M=1).
// Each row's time is the classes'; the counters give bare SQLite's time and the ratio.
#include <afxdao.h>

#include "tools/sampledb/SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const std::string& DatabaseFor(long long rows) {
    static std::map<long long, std::string> paths;
    auto it = paths.find(rows);
    if (it == paths.end())
        it = paths.emplace(rows, kelsampledb::Cached(KEL_BENCH_DATA_DIR, rows)).first;
    return it->second;
}

// A bare connection, opened as the classes open theirs.
class Bare {
public:
    explicit Bare(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    ~Bare() { sqlite3_close_v2(m_db); }
    sqlite3_stmt* Prepare(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "bare: %s\n", sqlite3_errmsg(m_db));
        return stmt;
    }

private:
    sqlite3* m_db = nullptr;
};

// Reads every column of the current row, as a caller of bare SQLite would to show it.
size_t ReadRow(sqlite3_stmt* stmt) {
    size_t bytes = 0;
    for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            bytes += static_cast<size_t>(sqlite3_column_int64(stmt, i) & 1);
            break;
        case SQLITE_FLOAT:
            bytes += sqlite3_column_double(stmt, i) > 0;
            break;
        case SQLITE_TEXT:
            bytes += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                 static_cast<size_t>(sqlite3_column_bytes(stmt, i)))
                         .size();
            break;
        case SQLITE_BLOB:
            bytes += std::vector<unsigned char>(
                         static_cast<const unsigned char*>(sqlite3_column_blob(stmt, i)),
                         static_cast<const unsigned char*>(sqlite3_column_blob(stmt, i)) +
                             sqlite3_column_bytes(stmt, i))
                         .size();
            break;
        default:
            break;
        }
    }
    return bytes;
}

// Reads every field of the current record, as the grid's window does.
void ReadRecord(CDaoRecordset& rs, COleVariant& holder) {
    for (int i = 0, n = rs.GetFieldCount(); i < n; ++i)
        rs.GetFieldValue(i, holder);
}

struct Order {
    const char* name;
    const char* jet;
    const char* bareKeys;
};
const Order kOrders[] = {
    {"unsorted", "SELECT * FROM Orders", "SELECT rowid FROM Orders ORDER BY rowid"},
    {"indexed", "SELECT * FROM Orders ORDER BY Customer",
     "SELECT rowid FROM Orders ORDER BY Customer, rowid"},
    {"unindexed", "SELECT * FROM Orders ORDER BY City",
     "SELECT rowid FROM Orders ORDER BY City, rowid"},
};

// The ratio counters of a pair: the classes' time per iteration is the row's time.
void Report(benchmark::State& state, double ours, double bare, bool speedup = false) {
    const double n = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = bare / n * 1e3;
    if (speedup)
        state.counters["bare/ours"] = bare / ours;
    else
        state.counters["ours/bare"] = ours / bare;
}

long long RowsOf(const benchmark::State& state) {
    return state.range(0);
}

// Open + MoveLast + GetRecordCount beside the bare key query stepped to its end.
void Keying(benchmark::State& state) {
    const long long rows = RowsOf(state);
    const Order& order = kOrders[state.range(1)];
    const std::string& path = DatabaseFor(rows);
    CDaoDatabase db;
    db.Open(path.c_str());
    Bare bare(path);
    double ours = 0, theirs = 0;
    size_t memory = 0;
    long count = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            CDaoRecordset rs(&db);
            rs.Open(dbOpenDynaset, order.jet);
            rs.MoveLast();
            count = rs.GetRecordCount();
            memory = rs.GetKeysetMemory();
        }
        double t = Since(start);
        ours += t;
        state.SetIterationTime(t);

        start = Clock::now();
        sqlite3_stmt* stmt = bare.Prepare(order.bareKeys);
        std::vector<sqlite3_int64> keys;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        theirs += Since(start);
        benchmark::DoNotOptimize(keys.data());
    }
    Report(state, ours, theirs);
    state.counters["records"] = static_cast<double>(count);
    state.counters["keyset_bytes/row"] = static_cast<double>(memory) / static_cast<double>(count);
    state.SetLabel(order.name);
}

// One dynaset in the grid's usual shape (sorted on an indexed column), keyed whole, kept
// open for the benchmarks that move in it; and the same order's rowids for bare SQLite.
struct Sorted {
    explicit Sorted(long long rows) : path(DatabaseFor(rows)), bare(path), rs(&db) {
        db.Open(path.c_str());
        rs.Open(dbOpenDynaset, kOrders[1].jet);
        rs.MoveLast();
        sqlite3_stmt* stmt = bare.Prepare(kOrders[1].bareKeys);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        byKey = bare.Prepare("SELECT * FROM Orders WHERE rowid = ?1");
    }
    ~Sorted() { sqlite3_finalize(byKey); }
    // Bare SQLite's reads of the records at positions [first, first + count).
    size_t ReadByKey(size_t first, size_t count) {
        size_t bytes = 0;
        for (size_t p = first; p < first + count && p < keys.size(); ++p) {
            sqlite3_bind_int64(byKey, 1, keys[p]);
            if (sqlite3_step(byKey) == SQLITE_ROW)
                bytes += ReadRow(byKey);
            sqlite3_reset(byKey);
        }
        return bytes;
    }
    std::string path;
    Bare bare;
    CDaoDatabase db;
    CDaoRecordset rs;
    std::vector<sqlite3_int64> keys;
    sqlite3_stmt* byKey = nullptr;
};

Sorted& SortedFor(long long rows) {
    static std::map<long long, std::unique_ptr<Sorted>> fixtures;
    auto& f = fixtures[rows];
    if (!f)
        f = std::make_unique<Sorted>(rows);
    return *f;
}

constexpr size_t kWindow = 40;

size_t StartOf(const Sorted& s, long where) {
    switch (where) {
    case 0:
        return 0;
    case 1:
        return s.keys.size() / 2;
    default:
        return s.keys.size() - kWindow;
    }
}
const char* kPlaces[] = {"first", "middle", "end"};

// The grid's way to show a window: to its first record, then each record's fields and on.
// Returns the seconds it took.
double ReadWindow(CDaoRecordset& rs, size_t start, COleVariant& holder) {
    auto t0 = Clock::now();
    rs.SetAbsolutePosition(static_cast<long>(start));
    for (size_t r = 0; r < kWindow && !rs.IsEOF(); ++r) {
        ReadRecord(rs, holder);
        rs.MoveNext();
    }
    return Since(t0);
}

// A 40-row window read through the dynaset beside bare reads of the same 40 rows by key.
void Window(benchmark::State& state) {
    Sorted& s = SortedFor(RowsOf(state));
    const size_t start = StartOf(s, static_cast<long>(state.range(1)));
    COleVariant holder;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        double t = ReadWindow(s.rs, start, holder);
        ours += t;
        state.SetIterationTime(t);
        auto t0 = Clock::now();
        benchmark::DoNotOptimize(s.ReadByKey(start, kWindow));
        theirs += Since(t0);
    }
    Report(state, ours, theirs);
    state.SetLabel(kPlaces[state.range(1)]);
}

// One row down: MoveNext and the new record's fields, beside one read by key.
void MoveNextOneRow(benchmark::State& state) {
    Sorted& s = SortedFor(RowsOf(state));
    COleVariant holder;
    size_t p = s.keys.size() / 3;
    s.rs.SetAbsolutePosition(static_cast<long>(p));
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        s.rs.MoveNext();
        ReadRecord(s.rs, holder);
        double t = Since(t0);
        ours += t;
        state.SetIterationTime(t);
        ++p;
        t0 = Clock::now();
        benchmark::DoNotOptimize(s.ReadByKey(p, 1));
        theirs += Since(t0);
        if (p + 2 >= s.keys.size()) {
            p = 0;
            s.rs.MoveFirst();
        }
    }
    Report(state, ours, theirs);
}

// A jump to a position and its 40-row window, beside "LIMIT 40 OFFSET n", the usual paging
// of grid front ends, at the same position.
void Jump(benchmark::State& state) {
    Sorted& s = SortedFor(RowsOf(state));
    const long where = static_cast<long>(state.range(1));
    std::mt19937_64 random(42);
    sqlite3_stmt* page =
        s.bare.Prepare("SELECT * FROM Orders ORDER BY Customer LIMIT 40 OFFSET ?1");
    COleVariant holder;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        size_t start = where == 3 ? random() % (s.keys.size() - kWindow) : StartOf(s, where);
        double t = ReadWindow(s.rs, start, holder);
        ours += t;
        state.SetIterationTime(t);
        auto t0 = Clock::now();
        sqlite3_bind_int64(page, 1, static_cast<sqlite3_int64>(start));
        size_t bytes = 0;
        while (sqlite3_step(page) == SQLITE_ROW)
            bytes += ReadRow(page);
        sqlite3_reset(page);
        theirs += Since(t0);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_finalize(page);
    Report(state, ours, theirs, true);
    const char* labels[] = {"first", "middle", "last page", "random"};
    state.SetLabel(labels[where]);
}

// Find FIRST on the indexed sort column, beside the bare query that finds the same record.
void FindFirst(benchmark::State& state) {
    Sorted& s = SortedFor(RowsOf(state));
    sqlite3_stmt* first = s.bare.Prepare(
        "SELECT rowid FROM Orders WHERE Customer >= ?1 ORDER BY Customer, rowid LIMIT 1");
    const char* firstNames[] = {"Anna", "Bruno", "Carla", "David", "Elena", "Frank",  "Greta",
                                "Hugo", "Ines",  "Jonas", "Karin", "Lukas", "Maria",  "Nils",
                                "Olga", "Paul",  "Rosa",  "Simon", "Tanja", "Ulrich", "Vera"};
    std::mt19937 random(7);
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        std::string name = std::string(firstNames[random() % std::size(firstNames)]) + " " +
                           static_cast<char>('A' + random() % 26);
        std::string criterion = "Customer >= \"" + name + "\"";
        auto t0 = Clock::now();
        BOOL found = s.rs.FindFirst(criterion.c_str());
        long position = s.rs.GetAbsolutePosition();
        double t = Since(t0);
        ours += t;
        state.SetIterationTime(t);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(position);
        t0 = Clock::now();
        sqlite3_bind_text(first, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_int64 key = sqlite3_step(first) == SQLITE_ROW ? sqlite3_column_int64(first, 0) : 0;
        sqlite3_reset(first);
        theirs += Since(t0);
        benchmark::DoNotOptimize(key);
    }
    sqlite3_finalize(first);
    Report(state, ours, theirs);
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    }
    return 0;
}

// What keying a whole dynaset costs in memory, measured in a fresh process of its own (in this
// one, memory freed by earlier work would be reused and hide the growth): the keyset's own
// bytes, and the growth of the peak resident size while it is built (SQLite's sorter and
// page cache included). Prints "<keyset bytes> <peak growth bytes> <seconds>".
int MeasureKeyset(long long rows, int order) {
    CDaoDatabase db;
    db.Open(DatabaseFor(rows).c_str());
    const long before = StatusKilobytes("VmRSS:");
    auto t0 = Clock::now();
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, kOrders[order].jet);
    rs.MoveLast();
    const double seconds = Since(t0);
    const long peak = StatusKilobytes("VmHWM:");
    std::printf("%zu %ld %f\n", rs.GetKeysetMemory(), (peak - before) * 1024L, seconds);
    return 0;
}

void KeysetMemory(benchmark::State& state) {
    const long long rows = RowsOf(state);
    const Order& order = kOrders[state.range(1)];
    DatabaseFor(rows); // built here, not in the measured process
    const std::string command = "/proc/" + std::to_string(::getpid()) + "/exe --measure-keyset " +
                                std::to_string(rows) + " " + std::to_string(state.range(1));
    double keyset = 0, peak = 0;
    for (auto _ : state) {
        FILE* child = ::popen(command.c_str(), "r");
        size_t bytes = 0;
        long growth = 0;
        double seconds = 0;
        if (!child || std::fscanf(child, "%zu %ld %lf", &bytes, &growth, &seconds) != 3) {
            state.SkipWithError("the measuring process failed");
            if (child)
                ::pclose(child);
            return;
        }
        ::pclose(child);
        state.SetIterationTime(seconds);
        keyset = static_cast<double>(bytes);
        peak = static_cast<double>(growth);
    }
    state.counters["keyset_bytes/row"] = keyset / static_cast<double>(rows);
    state.counters["peak_rss_growth_bytes/row"] = peak / static_cast<double>(rows);
    state.SetLabel(order.name);
}

void Register(long long rows, bool all) {
    const std::string suffix = "/rows:" + std::to_string(rows);
    for (long order = 0; order < 3; ++order) {
        if (!all && order == 2)
            continue;
        benchmark::RegisterBenchmark(("KeysetMemory" + suffix).c_str(), KeysetMemory)
            ->Args({rows, order})
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    for (long order = 0; order < 3; ++order) {
        if (!all && order == 2)
            continue;
        benchmark::RegisterBenchmark(("OpenMoveLastCount" + suffix).c_str(), Keying)
            ->Args({rows, order})
            ->Iterations(order == 2 ? 3 : 5)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    if (all) {
        for (long place = 0; place < 3; ++place)
            benchmark::RegisterBenchmark(("Window40" + suffix).c_str(), Window)
                ->Args({rows, place})
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("MoveNextOneRow" + suffix).c_str(), MoveNextOneRow)
            ->Args({rows})
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
    for (long where = 0; where < 4; ++where) {
        if (!all && where < 2)
            continue;
        benchmark::RegisterBenchmark(("JumpAndWindow40" + suffix).c_str(), Jump)
            ->Args({rows, where})
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(("FindFirstIndexed" + suffix).c_str(), FindFirst)
        ->Args({rows})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--measure-keyset")
        return MeasureKeyset(std::atoll(argv[2]), std::atoi(argv[3]));
    Register(1000000, true);
    const char* big = std::getenv("KEL_BENCH_10M");
    if (big && std::string(big) == "1")
        Register(10000000, false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
