// The recordset document over the sample database of 1 million orders, beside bare SQLite
// doing the equivalent work in the same run. Each row's time is the document's; the
// counters give bare SQLite's time for the same step (bare_ms) and the ratio of the two.
//
// The bare equivalents: a reload is the key scan of the whole table in the dynaset's order
// plus the by-key reads of the first window; a move is the by-key reads of the rows it
// shows; a search is one indexed lookup, the place of the key found in the keyset and the
// window's reads.
#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include "bench/BenchWindow.h"
#include "tools/sampledb/SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr long long kRecords = 1000000;
constexpr int kWindow = 30;
constexpr const char* kColumns = "OrderID, Customer, City, OrderDate, Amount, Quantity, "
                                 "Shipped, Notes";

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const std::string& Database() {
    static const std::string path = kelsampledb::Cached(KEL_BENCH_DATA_DIR, kRecords);
    return path;
}

// Bare SQLite: the same file, the same order, the same columns.
class Bare {
public:
    Bare() {
        sqlite3_open_v2(Database().c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr);
        m_byKey = Prepare(std::string("SELECT ") + kColumns + " FROM Orders WHERE rowid = ?");
    }
    ~Bare() {
        sqlite3_finalize(m_byKey);
        sqlite3_close_v2(m_db);
    }
    Bare(const Bare&) = delete;
    Bare& operator=(const Bare&) = delete;

    sqlite3_stmt* Prepare(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "bare: %s\n", sqlite3_errmsg(m_db));
        return stmt;
    }

    // Every key in the order "Customer", rowid breaking ties.
    std::vector<sqlite3_int64> KeyScan() {
        std::vector<sqlite3_int64> keys;
        sqlite3_stmt* stmt = Prepare("SELECT rowid FROM Orders ORDER BY Customer, rowid");
        while (sqlite3_step(stmt) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        return keys;
    }

    // One record read by key, each value turned into text as a grid shows it.
    void ReadByKey(sqlite3_int64 key, std::vector<std::string>& cells) {
        sqlite3_bind_int64(m_byKey, 1, key);
        if (sqlite3_step(m_byKey) == SQLITE_ROW) {
            const int n = sqlite3_column_count(m_byKey);
            cells.resize(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                const unsigned char* text = sqlite3_column_text(m_byKey, i);
                cells[static_cast<size_t>(i)].assign(text ? reinterpret_cast<const char*>(text)
                                                          : "");
            }
        }
        sqlite3_reset(m_byKey);
    }

    void ReadRows(const std::vector<sqlite3_int64>& keys, size_t first, size_t count) {
        for (size_t i = first; i < first + count && i < keys.size(); ++i)
            ReadByKey(keys[i], m_cells);
    }
    void ReadWindow(const std::vector<sqlite3_int64>& keys, size_t first) {
        ReadRows(keys, first, kWindow);
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_byKey = nullptr;
    std::vector<std::string> m_cells;
};

// A document open on the orders sorted by customer, with a window as the grid keeps it.
struct Document : kelbench::BenchWindow {
    Document()
        : BenchWindow(Database(), std::string("SELECT ") + kColumns + " FROM Orders", "Customer",
                      kWindow) {
        if (!m_doc.IsOpen())
            std::fprintf(stderr, "doc_bench: the document did not open\n");
    }
};

// The shared fixtures: one document and one bare connection for the moves, keyed once.
Document& SharedDocument() {
    static Document* doc = [] {
        auto* d = new Document;
        d->m_doc.GetTot();
        return d;
    }();
    return *doc;
}

Bare& SharedBare() {
    static Bare bare;
    return bare;
}

const std::vector<sqlite3_int64>& SharedKeys() {
    static const std::vector<sqlite3_int64> keys = SharedBare().KeyScan();
    return keys;
}

void Report(benchmark::State& state, double docSeconds, double bareSeconds) {
    const double n = static_cast<double>(state.iterations());
    state.counters["doc_ms"] = docSeconds * 1e3 / n;
    state.counters["bare_ms"] = bareSeconds * 1e3 / n;
    state.counters["ratio"] = bareSeconds > 0 ? docSeconds / bareSeconds : 0;
}

// Open + GetTot + the first window, as a grid's full reload did before it counted afterwards.
void BM_Reload(benchmark::State& state) {
    Document doc;
    Bare bare;
    double docSeconds = 0, bareSeconds = 0, daoSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        doc.m_first.Clear();
        doc.m_doc.Open();
        long nTot = doc.m_doc.GetTot();
        doc.Move(CRecordsetDoc::gtFirst);
        double seconds = Since(start);
        docSeconds += seconds;
        state.SetIterationTime(seconds);
        benchmark::DoNotOptimize(nTot);

        start = Clock::now();
        std::vector<sqlite3_int64> keys = bare.KeyScan();
        bare.ReadWindow(keys, 0);
        bareSeconds += Since(start);

        // The data-access classes alone doing the same (what the document adds is the rest).
        start = Clock::now();
        {
            CDaoRecordset rs(doc.m_doc.GetDatabase());
            rs.Open(dbOpenDynaset, doc.m_doc.CreateSQLStatement(), 0);
            rs.MoveLast();
            benchmark::DoNotOptimize(rs.GetRecordCount());
            rs.MoveFirst();
            COleVariant var;
            for (int r = 0; r < kWindow && !rs.IsEOF(); ++r, rs.MoveNext())
                for (int i = 0; i < rs.GetFieldCount(); ++i)
                    rs.GetFieldValue(i, var);
        }
        daoSeconds += Since(start);
    }
    Report(state, docSeconds, bareSeconds);
    state.counters["dao_ms"] = daoSeconds * 1e3 / static_cast<double>(state.iterations());
}

// Open + the first window, as a grid's reload does now (the count comes afterwards), over the
// order by customer (an index serves it) and by city (none does: a bounded sort), beside bare
// SQLite reading the window by the same order with LIMIT.
void BM_OpenAndFirstWindow(benchmark::State& state) {
    const char* order = state.range(0) == 0 ? "Customer" : "City";
    Document doc;
    doc.m_doc.SetOrder(order);
    Bare bare;
    const std::string sql = std::string("SELECT ") + kColumns + " FROM Orders ORDER BY " + order +
                            ", rowid LIMIT " + std::to_string(kWindow);
    double docSeconds = 0, bareSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        doc.m_first.Clear();
        doc.m_doc.Open();
        doc.Move(CRecordsetDoc::gtFirst);
        double seconds = Since(start);
        docSeconds += seconds;
        state.SetIterationTime(seconds);

        start = Clock::now(); // a new statement, as each reload has
        sqlite3_stmt* stmt = bare.Prepare(sql);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
        sqlite3_finalize(stmt);
        bareSeconds += Since(start);
    }
    Report(state, docSeconds, bareSeconds);
}

// One-row and one-page moves from a position (record number given as the argument); the
// window goes back there, untimed, before it reaches the end.
void Moves(benchmark::State& state, int nMove, int nStep) {
    Document& doc = SharedDocument();
    Bare& bare = SharedBare();
    const std::vector<sqlite3_int64>& keys = SharedKeys();
    const long nStart = static_cast<long>(state.range(0));
    long nFirst = nStart;
    doc.Move(CRecordsetDoc::gtAbsolute + static_cast<int>(nStart));
    double docSeconds = 0, bareSeconds = 0;
    for (auto _ : state) {
        if (nFirst + nStep + kWindow >= kRecords || nFirst + nStep < 0) {
            nFirst = nStart;
            doc.Move(CRecordsetDoc::gtAbsolute + static_cast<int>(nStart));
        }
        auto start = Clock::now();
        CRecordsetDoc::TableStatus status = doc.Move(nMove);
        double seconds = Since(start);
        docSeconds += seconds;
        state.SetIterationTime(seconds);
        if (status != CRecordsetDoc::tsOk)
            state.SkipWithError("the move did not succeed");
        nFirst += nStep;

        // Bare: the reads of the rows that came into view.
        start = Clock::now();
        if (nMove == CRecordsetDoc::gtLineDown)
            bare.ReadRows(keys, static_cast<size_t>(nFirst + kWindow - 1), 1);
        else if (nMove == CRecordsetDoc::gtLineUp)
            bare.ReadRows(keys, static_cast<size_t>(nFirst), 1);
        else
            bare.ReadWindow(keys, static_cast<size_t>(nFirst));
        bareSeconds += Since(start);
    }
    Report(state, docSeconds, bareSeconds);
}

void BM_LineDown(benchmark::State& state) {
    Moves(state, CRecordsetDoc::gtLineDown, 1);
}
void BM_LineUp(benchmark::State& state) {
    Moves(state, CRecordsetDoc::gtLineUp, -1);
}
void BM_PageDown(benchmark::State& state) {
    Moves(state, CRecordsetDoc::gtPageDown, kWindow - 1);
}
void BM_PageUp(benchmark::State& state) {
    Moves(state, CRecordsetDoc::gtPageUp, 1 - kWindow);
}

// Absolute moves between two places around the middle, as a dragged scroll thumb makes.
void BM_AbsoluteMiddle(benchmark::State& state) {
    Document& doc = SharedDocument();
    Bare& bare = SharedBare();
    const std::vector<sqlite3_int64>& keys = SharedKeys();
    double docSeconds = 0, bareSeconds = 0;
    long nTarget = kRecords / 2;
    for (auto _ : state) {
        nTarget = nTarget == kRecords / 2 ? kRecords / 2 + 5000 : kRecords / 2;
        auto start = Clock::now();
        doc.Move(CRecordsetDoc::gtAbsolute + static_cast<int>(nTarget));
        double seconds = Since(start);
        docSeconds += seconds;
        state.SetIterationTime(seconds);

        start = Clock::now();
        bare.ReadWindow(keys, static_cast<size_t>(nTarget));
        bareSeconds += Since(start);
    }
    Report(state, docSeconds, bareSeconds);
}

// Type-ahead on the sort column (indexed): find, position, window.
void BM_SearchAndGet(benchmark::State& state) {
    Document& doc = SharedDocument();
    Bare& bare = SharedBare();
    const std::vector<sqlite3_int64>& keys = SharedKeys();
    const char* texts[] = {"Anna B", "Carla F", "Greta M", "Jonas Q", "Maria D",
                           "Paul T", "Simon K", "Vera Z",  "Xenia C", "Yann W"};
    sqlite3_stmt* find = bare.Prepare("SELECT rowid FROM Orders WHERE Customer >= ? "
                                      "ORDER BY Customer, rowid LIMIT 1");
    double docSeconds = 0, bareSeconds = 0;
    size_t i = 0;
    for (auto _ : state) {
        const char* text = texts[i++ % std::size(texts)];
        auto start = Clock::now();
        long nPos = doc.m_doc.SearchAndGet("Customer", 0, text, &doc.m_rows, &doc.m_columns,
                                           kWindow, &doc.m_first, &doc.m_last, &doc.m_nRows);
        double seconds = Since(start);
        docSeconds += seconds;
        state.SetIterationTime(seconds);
        if (nPos < 0)
            state.SkipWithError("nothing found");

        // Bare: the indexed lookup, the key's place in the same in-memory keyset, the window.
        start = Clock::now();
        sqlite3_bind_text(find, 1, text, -1, SQLITE_STATIC);
        sqlite3_step(find);
        const sqlite3_int64 key = sqlite3_column_int64(find, 0);
        sqlite3_reset(find);
        const size_t nAt =
            static_cast<size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
        bare.ReadWindow(keys, nAt);
        bareSeconds += Since(start);
        if (static_cast<long>(nAt) != nPos)
            state.SkipWithError("the document and bare SQLite disagree on the position");
    }
    sqlite3_finalize(find);
    Report(state, docSeconds, bareSeconds);
}

// A table whose every record carries a 2 MB memo and a 4 MB BLOB, made once. (The engine
// reaches a value through those stored before it: a memo after the BLOB would cost the walk
// past it, read or not.)
const std::string& LargeValuesDatabase() {
    static const std::string path = [] {
        const std::string file = std::string(KEL_BENCH_DATA_DIR) + "/large-values.db";
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE IF NOT EXISTS B (ID INTEGER PRIMARY KEY, Name TEXT, "
                     "Amount DOUBLE, Short LONGTEXT, Memo LONGTEXT, Data BLOB);"
                     "BEGIN;"
                     "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n "
                     "WHERE v < 115) INSERT INTO B (Name, Amount, Short, Memo, Data) SELECT "
                     "'row ' || v, v * 1.5, 'a short memo', "
                     "replace(hex(zeroblob(1048576)), '00', 'ab'), zeroblob(4194304) "
                     "FROM n WHERE (SELECT count(*) FROM B) = 0;"
                     "COMMIT;",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

// Ten page downs of a ten-row window over three short columns: with nothing else (argument
// 0), beside a hidden 4 MB BLOB column (1), beside a shown 2 MB memo column (2) and beside a
// shown short memo (3). Hidden columns are not read and a cell reads no more of a memo than it
// keeps: 1 costs what 0 does, and 2 what 3 does plus one incremental read per row.
void BM_TenPageDownsLargeValues(benchmark::State& state) {
    constexpr int kRows = 10;
    const char* statements[] = {
        "SELECT ID, Name, Amount FROM B", "SELECT ID, Name, Amount, Data FROM B",
        "SELECT ID, Name, Amount, Memo FROM B", "SELECT ID, Name, Amount, Short FROM B"};
    CRecordsetDoc doc;
    doc.SetDatabase(LargeValuesDatabase().c_str());
    doc.SetDynaset(statements[state.range(0)], NULL, NULL, NULL, 0);
    doc.Open();
    CStringArray names;
    doc.GetFields(&names, NULL, NULL, NULL, NULL, NULL);
    CArray<CColumnDetails, CColumnDetails> columns;
    columns.SetSize(names.GetSize());
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
        columns[i].m_strName = names[i];
        columns[i].m_nField = static_cast<int>(i);
        columns[i].m_bVisible = names[i] != "Data";
    }
    CArray<CStringArray, CStringArray> rows;
    rows.SetSize(kRows);
    rows[0].SetSize(names.GetSize());
    COleVariant first, last;
    int nRows = 0;
    for (auto _ : state) {
        doc.GetTable(&rows, &columns, CRecordsetDoc::gtFirst, kRows, &first, &last, &nRows);
        auto start = Clock::now();
        for (int i = 0; i < 10; ++i)
            doc.GetTable(&rows, &columns, CRecordsetDoc::gtPageDown, kRows, &first, &last, &nRows);
        state.SetIterationTime(Since(start));
        if (nRows != kRows)
            state.SkipWithError("a page came back short");
    }
}

} // namespace

BENCHMARK(BM_TenPageDownsLargeValues)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3);
BENCHMARK(BM_Reload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenAndFirstWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5);
BENCHMARK(BM_LineDown)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Arg(0)
    ->Arg(kRecords / 2)
    ->Arg(kRecords - 2 * kWindow - 1000);
BENCHMARK(BM_LineUp)->UseManualTime()->Unit(benchmark::kMicrosecond)->Arg(kRecords / 2);
BENCHMARK(BM_PageDown)->UseManualTime()->Unit(benchmark::kMicrosecond)->Arg(kRecords / 2);
BENCHMARK(BM_PageUp)->UseManualTime()->Unit(benchmark::kMicrosecond)->Arg(kRecords / 2);
BENCHMARK(BM_AbsoluteMiddle)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchAndGet)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
