// kelrs_browser: a grid over one table or query of a SQLite database or a PostgreSQL server
// (a libpq URI, or an ODBC connect string), in a frame with the
// record toolbar and the search bar, or (--chooser) in the record chooser dialog. With a
// display it opens a real window; without one (or with --png) it renders the first screen into
// a PNG and prints the rows on it as text.
//
//   kelrs_browser [--chooser] [--png FILE] [--text] [--size WxH] [database [table | "SELECT ..."]]
//
// The chooser prints the chosen record, a "Name=value" line per field, and exits 0; closed
// without a choice it exits 1.
//
// Without a database it opens the sample database (10,000 orders, made on first run).
#include "BrowserCtrl.h"
#include "BrowserResources.h"
#include "DatabaseName.h"
#include "Query.h"

#include "companions/other/TranslateValue.h"
#include "platform/win/ModalDriver.h"
#include "tools/sampledb/SampleDatabase.h"

#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#ifdef KEL_HAVE_X11
#include "platform/backends/x11/X11Backend.h"
#endif

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kExitBadInput = 2;

struct Options {
    std::string strDatabase;
    std::string strSource; // a table name or a SELECT statement
    std::string strPng;
    bool bText = false;
    bool bChooser = false;
    bool bSizeGiven = false;
    int nWidth = 1000;
    int nHeight = 600;
};

void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: kelrs_browser [--chooser] [--png FILE] [--text] [--size WxH] [database "
                 "[table | \"SELECT ...\"]]\n"
                 "  database  a SQLite database file (default: the sample database), or a\n"
                 "            PostgreSQL server: postgresql://user@host:port/db (a password from\n"
                 "            PGPASSWORD or ~/.pgpass) or \"ODBC;DRIVER={PostgreSQL};SERVER=...\"\n"
                 "  table     the table or view to show (default: the first table), or a\n"
                 "            query: SELECT ... FROM ... [WHERE ...] (the order comes from a\n"
                 "            click on a column header)\n"
                 "  --png     render the first screen into FILE and print its rows, no window\n"
                 "  --text    print the rows of the first screen only, no window\n"
                 "  --size    the window's size (default 1000x600)\n"
                 "  --chooser pick a record in the record chooser: the chosen record is printed,\n"
                 "            a Name=value line per field, exit 1 when closed without a choice\n");
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "kelrs_browser: %s\n", message.c_str());
    return kExitBadInput;
}

std::string DataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::string(data) + "/kelrslist";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/kelrslist";
    return "kelrslist-data";
}

// 0 when parsed; otherwise the exit code (0 for --help).
int ParseArgs(int argc, char** argv, Options& opt, bool& bHelp) {
    int nPositional = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            bHelp = true;
            return 0;
        } else if (!std::strcmp(arg, "--png") && i + 1 < argc) {
            opt.strPng = argv[++i];
        } else if (!std::strcmp(arg, "--text")) {
            opt.bText = true;
        } else if (!std::strcmp(arg, "--chooser")) {
            opt.bChooser = true;
        } else if (!std::strcmp(arg, "--size") && i + 1 < argc) {
            int w = 0, h = 0;
            if (std::sscanf(argv[++i], "%dx%d", &w, &h) != 2 || w < 200 || h < 150 || w > 8000 ||
                h > 8000)
                return Fail(std::string("bad size: ") + argv[i] + " (WxH, at least 200x150)");
            opt.nWidth = w;
            opt.nHeight = h;
            opt.bSizeGiven = true;
        } else if (arg[0] == '-' && arg[1] == '-') {
            Usage(stderr);
            return Fail(std::string("unknown option: ") + arg);
        } else if (nPositional == 0) {
            opt.strDatabase = arg;
            ++nPositional;
        } else if (nPositional == 1) {
            opt.strSource = arg;
            ++nPositional;
        } else {
            Usage(stderr);
            return Fail("too many arguments");
        }
    }
    return 0;
}

bool IsSelect(const std::string& source) {
    size_t i = source.find_first_not_of(" \t\r\n");
    return i != std::string::npos && source.size() - i > 7 &&
           strncasecmp(source.c_str() + i, "SELECT", 6) == 0 &&
           std::strchr(" \t\r\n", source[i + 6]) != nullptr;
}

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

// The checks a file and a table pass before any window is made; "" when they pass.
// strTable comes back as the table's own spelling, or the first table when none was named.
// A server is checked when the statement is (CheckStatement): it names its table.
std::string CheckSource(const std::string& path, std::string& strTable) {
    if (IsServerName(path))
        return strTable.empty() ? "name the table or query to show on " + ShownName(path) : "";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return "no such file: " + path;
    if (!std::filesystem::is_regular_file(path, ec))
        return "not a file: " + path;
    char magic[16] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(magic, sizeof magic) || std::memcmp(magic, "SQLite format 3", 16) != 0)
        return "not a SQLite database: " + path;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, SqliteCloser> db(raw);
    if (rc != SQLITE_OK)
        return "cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : "out of memory");
    if (IsSelect(strTable))
        return "";
    const bool bFirst = strTable.empty();
    const char* sql = bFirst ? "SELECT name FROM sqlite_master WHERE type = 'table' AND name "
                               "NOT LIKE 'sqlite_%' ORDER BY rowid LIMIT 1"
                             : "SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                               "AND name = ?1 COLLATE NOCASE";
    sqlite3_stmt* rawStmt = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql, -1, &rawStmt, nullptr) != SQLITE_OK)
        return "cannot read " + path + ": " + sqlite3_errmsg(db.get());
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> stmt(rawStmt);
    if (!bFirst)
        sqlite3_bind_text(stmt.get(), 1, strTable.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        return bFirst ? "the database has no table: " + path
                      : "no table or view named \"" + strTable + "\" in " + path;
    strTable = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    return "";
}

// Whether the engine takes the statements the grid will run, unsorted and sorted by a header
// click (which appends an ordinal ORDER BY: a query with an order of its own cannot take
// it); "" when it does.
std::string CheckStatement(const std::string& path, const CString& strSQL,
                           const CString& strWhere) {
    CString strStatement;
    std::string error;
    CDaoDatabase db;
    try {
        db.Open(path.c_str());
        for (LPCTSTR lpszOrder : {"", "1 ASC"}) {
            CRecordsetDoc doc;
            doc.SetDatabase(path.c_str());
            doc.SetDynaset(strSQL, strWhere, "", lpszOrder, 0);
            strStatement = doc.CreateSQLStatement();
            CDaoRecordset rs(&db);
            rs.Open(dbOpenDynaset, strStatement);
            rs.Close();
        }
    } catch (CDaoException* e) {
        error = "the statement is refused: " + std::string(static_cast<LPCTSTR>(strStatement));
        if (e->m_pErrorInfo != nullptr)
            error += "\n  " + std::string(static_cast<LPCTSTR>(e->m_pErrorInfo->m_strDescription));
        e->Delete();
    }
    if (db.IsOpen())
        db.Close();
    return error;
}

bool WantRealWindow(const Options& opt) {
    const char* display = std::getenv("DISPLAY");
    return opt.strPng.empty() && !opt.bText && display != nullptr && *display != '\0';
}

// What a person would have read in a message box.
void ReportMessageBoxes() {
    for (const KelMessageBoxRecord& box : KelGetMessageBoxes())
        std::fprintf(stderr, "kelrs_browser: %s\n", static_cast<LPCTSTR>(box.strText));
}

// Headless: the window into the PNG asked for (if any) and the rows on screen as text; 0 when
// the picture could be written.
int RenderHeadless(CWnd* pWnd, const CBrowserCtrl* pGrid, const Options& opt) {
    int rc = 0;
    if (!opt.strPng.empty()) {
        std::error_code ec;
        const auto parent = std::filesystem::path(opt.strPng).parent_path();
        if (!parent.empty())
            std::filesystem::create_directories(parent, ec);
        if (SaveWindowImage(pWnd->GetSafeHwnd(), opt.strPng.c_str())) {
            CRect rcWindow;
            pWnd->GetWindowRect(&rcWindow);
            std::printf("%s (%dx%d)\n", opt.strPng.c_str(), rcWindow.Width(), rcWindow.Height());
        } else {
            std::fprintf(stderr, "kelrs_browser: cannot write %s\n", opt.strPng.c_str());
            rc = 1;
        }
    }
    pGrid->WriteRows(stdout);
    return rc;
}

// The record chooser over the load record, which it takes over. The chosen record comes into
// a recordset on a connection of the browser's own, as a host application would hold it.
int RunChooser(CRecordsetLoad* pLoad, const Options& opt, bool bReal) {
    CDaoDatabase db;
    try {
        db.Open(opt.strDatabase.c_str());
    } catch (CDaoException* e) {
        std::fprintf(stderr, "kelrs_browser: %s\n",
                     e->m_pErrorInfo ? static_cast<LPCTSTR>(e->m_pErrorInfo->m_strDescription)
                                     : "cannot open the database");
        e->Delete();
        delete pLoad;
        return 1;
    }
    CDaoRecordset rs(&db);
    CRecordsetDlg dlg;
    dlg.SetLoad(pLoad); // handed on to the dialog's grid, which deletes it
    dlg.SetRecordset(&rs);
    dlg.SetWidth(opt.nWidth);
    dlg.SetHeight(opt.nHeight);
    dlg.AddBar(IDR_CHOOSER_TOOLS);
    AfxGetApp()->m_pMainWnd = &dlg;

    int rc = 1; // headless: 0 once the first screen was shown and written
    INT_PTR nResult = IDCANCEL;
    if (bReal) {
        nResult = dlg.DoModal();
    } else {
        // Nobody can choose: the first screen is shown and the dialog closed.
        bool bShown = false;
        KelSetModalDriver([&](CWnd* pModal) {
            if (const auto* pGrid = DYNAMIC_DOWNCAST(CBrowserCtrl, dlg.GetRecordsetCtrl())) {
                bShown = true;
                rc = RenderHeadless(pModal, pGrid, opt);
            }
            pModal->SendMessage(WM_COMMAND, ID_RECORD_CLOSE, 0);
        });
        dlg.DoModal();
        KelClearModalDriver();
        if (!bShown)
            std::fprintf(stderr, "kelrs_browser: the chooser could not be shown\n");
    }
    AfxGetApp()->m_pMainWnd = nullptr;
    ReportMessageBoxes();
    if (!bReal)
        return rc;
    if (nResult != IDOK || !rs.IsOpen() || rs.IsEOF())
        return 1;
    for (short i = 0; i < rs.GetFieldCount(); ++i) {
        CDaoFieldInfo info;
        rs.GetFieldInfo(i, info);
        CString strValue;
        TranslateValue(rs.GetFieldValue(i), strValue, 0);
        std::printf("%s=%s\n", static_cast<LPCTSTR>(info.m_strName),
                    static_cast<LPCTSTR>(strValue));
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    bool bHelp = false;
    if (int rc = ParseArgs(argc, argv, opt, bHelp); rc != 0 || bHelp) {
        if (bHelp)
            Usage(stdout);
        return rc;
    }
    if (opt.strDatabase.empty()) {
        const std::string folder = DataFolder();
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        try {
            opt.strDatabase = kelsampledb::Cached(folder, 10000);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "kelrs_browser: cannot make the sample database in %s: %s\n",
                         folder.c_str(), e.what());
            return 1;
        }
        if (opt.strSource.empty())
            opt.strSource = "Orders";
    }
    std::string strTable = opt.strSource;
    if (std::string error = CheckSource(opt.strDatabase, strTable); !error.empty())
        return Fail(error);
    const bool bQuery = IsSelect(strTable);
    Query query;
    if (bQuery) {
        if (std::string error = SplitQuery(strTable, query); !error.empty())
            return Fail(error);
        if (!query.strHint.empty())
            std::fprintf(stderr, "kelrs_browser: %s\n", query.strHint.c_str());
    }
    const CString strSQL = bQuery ? CString(query.strSelect.c_str())
                                  : CString(("SELECT * FROM [" + strTable + "]").c_str());
    const CString strWhere = query.strWhere.c_str();
    if (std::string error = CheckStatement(opt.strDatabase, strSQL, strWhere); !error.empty())
        return Fail(error);
    const CString strKey =
        bQuery ? CString(query.strKey.c_str()) : CString("Browser\\") + strTable.c_str();

    bool bReal = WantRealWindow(opt);
#ifdef KEL_HAVE_X11
    if (bReal && KelX11BackendAvailable()) {
        KelRequestRealWindows(TRUE);
        if (std::strcmp(KelGetBackendName(), "x11") != 0) {
            std::fprintf(stderr,
                         "kelrs_browser: cannot open the display %s; rendering "
                         "headless\n",
                         std::getenv("DISPLAY"));
            bReal = false;
        }
    }
#else
    bReal = false;
#endif
    if (!bReal && opt.strPng.empty() && !opt.bText)
        opt.strPng = DataFolder() + (opt.bChooser ? "/chooser.png" : "/browser.png");

    CWinApp app("KelRSList Browser");
    RegisterBrowserResources(AfxGetInstanceHandle());
    app.AddDocTemplate(new CSingleDocTemplate(IDR_BROWSER, RUNTIME_CLASS(CRecordsetDoc),
                                              RUNTIME_CLASS(CFrameWnd),
                                              RUNTIME_CLASS(CRecordsetView)));
    CBrowserCtrl::s_strTable = bQuery ? "" : strTable.c_str();
    CBrowserCtrl::s_strPrintFolder = DataFolder().c_str();
    CBrowserCtrl::s_bPrintText = opt.bText;

    auto* pLoad = new CRecordsetLoad;
    pLoad->m_strDatabase = opt.strDatabase.c_str();
    pLoad->m_strSQL = strSQL;
    pLoad->m_strFilter = strWhere;
    pLoad->m_strRegistryKey = strKey;
    pLoad->m_strTitle = bQuery ? "Query" : strTable.c_str();
    pLoad->m_strTitleSuffix = (" - " + ShownName(opt.strDatabase)).c_str();
    pLoad->m_nToolBarID = opt.bChooser ? IDR_CHOOSER_TOOLS : IDR_BROWSER_TOOLS;
    pLoad->m_hResourceInstance = AfxGetInstanceHandle();
    pLoad->m_bToolBarLarge = FALSE;
    pLoad->m_pCtrlClass = RUNTIME_CLASS(CBrowserCtrl);
    // The window's place as the user left it for this table or query; a size given wins.
    CRect rcPlace(40, 40, 40 + opt.nWidth, 40 + opt.nHeight);
    CRect rcStored;
    if (ReadWindowPlace(opt.bChooser ? strKey + "\\Chooser" : strKey, rcStored)) {
        if (opt.bSizeGiven)
            rcPlace.OffsetRect(rcStored.left - rcPlace.left, rcStored.top - rcPlace.top);
        else
            rcPlace = rcStored;
    }
    opt.nWidth = rcPlace.Width();
    opt.nHeight = rcPlace.Height();
    if (opt.bChooser)
        return RunChooser(pLoad, opt, bReal);
    CDocument* pDoc = app.OpenDocumentFile(reinterpret_cast<LPCTSTR>(pLoad));
    CRecordsetView* pView = nullptr;
    if (pDoc != nullptr) {
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pFirst = pDoc->GetNextView(pos);
        pView = DYNAMIC_DOWNCAST(CRecordsetView, pFirst);
    }
    if (pView == nullptr || pView->GetRecordsetCtrl() == nullptr) {
        std::fprintf(stderr, "kelrs_browser: the window could not be made\n");
        return 1;
    }
    CFrameWnd* pFrame = pView->GetParentFrame();
    app.m_pMainWnd = pFrame;
    pFrame->LoadAccelTable(MAKEINTRESOURCE(IDR_RSC_ACCELERATORS));
    pFrame->MoveWindow(rcPlace.left, rcPlace.top, opt.nWidth, opt.nHeight);
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    KelRunUntilIdle();
    const auto* pGrid = DYNAMIC_DOWNCAST(CBrowserCtrl, pView->GetRecordsetCtrl());
    if (pGrid == nullptr) {
        std::fprintf(stderr, "kelrs_browser: the window could not be made\n");
        return 1;
    }

    if (bReal)
        return app.Run();

    // A picture is taken once: with the count, which a window shows a moment after its rows.
    while (pGrid->IsCounting())
        KelAdvanceTime(10);
    const int rc = RenderHeadless(pFrame, pGrid, opt);
    ReportMessageBoxes();
    pFrame->SendMessage(WM_CLOSE); // the grid writes its settings
    KelRunUntilIdle();
    return rc;
}
