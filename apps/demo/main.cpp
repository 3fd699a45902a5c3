// kelrs_demo: the recordset document at work, as text. It composes the statement, counts the
// records, shows the first window of rows, a page down, a type-ahead search on the sort
// column and a filtered reload: a command-line preview of a grid's configuration.
//
//   kelrs_demo [options] [database [select [filter [order]]]]
//
// Without a database it uses the sample database (built on first use in the cache folder).
#include "TextTable.h"

#include "tools/sampledb/SampleDatabase.h"

#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

struct Options {
    CString strDatabase;
    CString strSQL = "SELECT OrderID, Customer, City, OrderDate, Amount, Quantity, Shipped "
                     "FROM Orders";
    CString strFilter;
    CString strOrder = "Customer";
    CString strSearch = "Maria";
    CString strWhere = "City = \"Berlin\"";
    int nRows = 10;
    long long nSampleRows = 10000;
    BOOL bSearchGiven = FALSE;
    BOOL bWhereGiven = FALSE;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: kelrs_demo [--rows N] [--search TEXT] [--where FILTER] [--sample N]\n"
                 "                  [database [select [filter [order]]]]\n"
                 "  database  a database file (default: the sample database of N orders)\n"
                 "  select    the SELECT ... FROM text\n"
                 "  filter    a fixed filter, always applied\n"
                 "  order     the ORDER BY text, without the keywords\n"
                 "  --search  the text typed ahead on the sort column\n"
                 "  --where   the search filter of the filtered reload (\"\" for none)\n");
}

bool ParseInt(const char* text, long long nMin, long long& out) {
    char* end = nullptr;
    long long n = std::strtoll(text, &end, 10);
    if (!end || *end || n < nMin)
        return false;
    out = n;
    return true;
}

bool ParseArgs(int argc, char** argv, Options& opt) {
    int nPositional = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool bHasValue = i + 1 < argc;
        long long n = 0;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return false;
        } else if (std::strcmp(arg, "--rows") == 0 && bHasValue) {
            if (!ParseInt(argv[++i], 1, n) || n > 1000)
                return false;
            opt.nRows = static_cast<int>(n);
        } else if (std::strcmp(arg, "--sample") == 0 && bHasValue) {
            if (!ParseInt(argv[++i], 1, n))
                return false;
            opt.nSampleRows = n;
        } else if (std::strcmp(arg, "--search") == 0 && bHasValue) {
            opt.strSearch = argv[++i];
            opt.bSearchGiven = TRUE;
        } else if (std::strcmp(arg, "--where") == 0 && bHasValue) {
            opt.strWhere = argv[++i];
            opt.bWhereGiven = TRUE;
        } else if (arg[0] == '-' && arg[1] == '-') {
            return false;
        } else {
            switch (nPositional++) {
            case 0:
                // Another database: the sample's statement, order and texts do not apply.
                opt.strDatabase = arg;
                opt.strSQL.Empty();
                opt.strOrder.Empty();
                if (!opt.bSearchGiven)
                    opt.strSearch.Empty();
                if (!opt.bWhereGiven)
                    opt.strWhere.Empty();
                break;
            case 1:
                opt.strSQL = arg;
                break;
            case 2:
                opt.strFilter = arg;
                break;
            case 3:
                opt.strOrder = arg;
                break;
            default:
                return false;
            }
        }
    }
    // A database of one's own needs its SELECT text.
    return nPositional == 0 || !opt.strSQL.IsEmpty();
}

std::string CacheFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return std::string(cache) + "/kelrslist";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.cache/kelrslist";
    return "kelrslist-cache";
}

// The field the order sorts on first: "Customer DESC", "[Order Date]", "2 DESC" (ordinal).
CString SortField(const CString& strOrder, const CStringArray& names, BOOL& bDescending) {
    int nStart = 0;
    CString strFirst = strOrder.Tokenize(",", nStart);
    strFirst.Trim();
    bDescending = FALSE;
    CString strUpper = strFirst;
    strUpper.MakeUpper();
    if (strUpper.GetLength() > 5 && strUpper.Right(5) == " DESC") {
        bDescending = TRUE;
        strFirst = strFirst.Left(strFirst.GetLength() - 5);
    } else if (strUpper.GetLength() > 4 && strUpper.Right(4) == " ASC") {
        strFirst = strFirst.Left(strFirst.GetLength() - 4);
    }
    strFirst.Trim();
    if (!strFirst.IsEmpty() && strFirst.SpanIncluding("0123456789") == strFirst) {
        int nOrdinal = std::atoi(strFirst);
        return nOrdinal >= 1 && nOrdinal <= names.GetSize() ? names[nOrdinal - 1] : CString();
    }
    strFirst.Remove('[');
    strFirst.Remove(']');
    return strFirst;
}

class Preview {
public:
    explicit Preview(const Options& opt) : m_opt(opt) {}
    int Run();

private:
    void Header(LPCTSTR lpszTitle);
    BOOL Reload(LPCTSTR lpszWhat);
    void Show(CRecordsetDoc::TableStatus status);

    const Options& m_opt;
    CRecordsetDoc m_doc;
    CStringArray m_names; // every field of the dynaset, for ordinals in the order
    CArray<CColumnDetails, CColumnDetails> m_columns;
    CArray<TextColumn, TextColumn&> m_text;
    CArray<CStringArray, CStringArray> m_rows;
    COleVariant m_first, m_last;
    int m_nFilled = 0;
};

void Preview::Header(LPCTSTR lpszTitle) {
    std::printf("\n== %s\n", lpszTitle);
}

void Preview::Show(CRecordsetDoc::TableStatus status) {
    static const char* names[] = {"tsEmpty",  "tsFailed",    "tsTop",
                                  "tsBottom", "tsRestarted", "tsOk"};
    std::printf("  (%s, %d row%s read)\n", names[status], m_nFilled, m_nFilled == 1 ? "" : "s");
    PrintTable(stdout, m_text, m_rows, m_nFilled > 0 ? m_opt.nRows : 0);
}

// Opens the dynaset and rebuilds the columns as the grid would: one per field, the key
// always read, Binary and Long binary (width 0) hidden. The window holds one cell per shown
// column, so hidden fields get no column at all.
BOOL Preview::Reload(LPCTSTR lpszWhat) {
    Header(lpszWhat);
    std::printf("  statement: %s\n", static_cast<LPCTSTR>(m_doc.CreateSQLStatement()));
    m_doc.Open();
    if (!m_doc.IsOpen()) {
        std::printf("  the dynaset could not be opened\n");
        return FALSE;
    }
    CStringArray& names = m_names;
    CUIntArray widths;
    CArray<short, short> types;
    CArray<BYTE, BYTE> aligns;
    int nKey = -1;
    m_doc.GetFields(&names, &widths, &types, &aligns, NULL, &nKey);
    m_columns.RemoveAll();
    m_text.RemoveAll();
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
        if (widths[i] == 0)
            continue;
        CColumnDetails col;
        col.m_strName = names[i];
        col.m_strCaption = names[i];
        col.m_nField = static_cast<int>(i);
        col.m_nType = types[i];
        col.m_nWidth = static_cast<int>(widths[i]);
        col.m_nAlign = aligns[i];
        col.m_bKey = i == nKey;
        m_columns.Add(col);
        TextColumn text{names[i], static_cast<int>(widths[i]), aligns[i] == 2};
        if (text.nWidth < names[i].GetLength())
            text.nWidth = names[i].GetLength();
        if (types[i] == dbDate)
            text.nWidth = 19; // room for a time of day
        if (text.nWidth > 24)
            text.nWidth = 24;
        m_text.Add(text);
    }
    m_rows.RemoveAll();
    m_rows.SetSize(m_opt.nRows);
    m_rows[0].SetSize(m_columns.GetSize());
    m_first.Clear();
    m_last.Clear();
    std::printf("  records: %ld\n", m_doc.GetTot());
    Show(m_doc.GetTable(&m_rows, &m_columns, CRecordsetDoc::gtFirst, m_opt.nRows, &m_first, &m_last,
                        &m_nFilled));
    return TRUE;
}

int Preview::Run() {
    auto* pLoad = new CRecordsetLoad; // the document owns it from OnOpenDocument on
    pLoad->m_strDatabase = m_opt.strDatabase;
    pLoad->m_strSQL = m_opt.strSQL;
    pLoad->m_strFilter = m_opt.strFilter;
    pLoad->m_strOrder = m_opt.strOrder;
    pLoad->m_strTitle = "KelRSList preview";
    m_doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(pLoad));
    std::printf("database: %s\n", static_cast<LPCTSTR>(m_opt.strDatabase));

    if (!Reload("first window"))
        return 1;

    Header("page down");
    Show(m_doc.GetTable(&m_rows, &m_columns, CRecordsetDoc::gtPageDown, m_opt.nRows, &m_first,
                        &m_last, &m_nFilled));

    BOOL bDescending = FALSE;
    const CString strSort = SortField(m_doc.GetOrder(), m_names, bDescending);
    CString strTitle;
    strTitle.Format("type-ahead \"%s\" on %s", static_cast<LPCTSTR>(m_opt.strSearch),
                    strSort.IsEmpty() ? "(no sort column)" : static_cast<LPCTSTR>(strSort));
    Header(strTitle);
    if (m_opt.strSearch.IsEmpty()) {
        std::printf("  (no text given: --search)\n");
    } else if (!strSort.IsEmpty()) {
        long nPos = m_doc.SearchAndGet(strSort, bDescending, m_opt.strSearch, &m_rows, &m_columns,
                                       m_opt.nRows, &m_first, &m_last, &m_nFilled);
        if (nPos < 0) {
            std::printf("  refused or failed: the window stays where it was\n");
        } else {
            std::printf("  found at record %ld\n", nPos + 1);
            Show(CRecordsetDoc::tsOk);
        }
    }

    if (!m_opt.strWhere.IsEmpty()) {
        m_doc.SetFilter(0, m_opt.strWhere);
        strTitle.Format("filtered reload: %s", static_cast<LPCTSTR>(m_opt.strWhere));
        if (!Reload(strTitle))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!ParseArgs(argc, argv, opt)) {
        Usage();
        return 2;
    }
    // No one is there to click: every message box is written to stderr and answered OK.
    KelSetMessageBoxHandler([](const KelMessageBoxRecord& box) {
        std::fprintf(stderr, "kelrs_demo: message: %s\n", static_cast<LPCTSTR>(box.strText));
        return IDOK;
    });
    if (opt.strDatabase.IsEmpty()) {
        try {
            opt.strDatabase = kelsampledb::Cached(CacheFolder(), opt.nSampleRows).c_str();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "kelrs_demo: cannot build the sample database: %s\n", e.what());
            return 1;
        }
    }
    Preview preview(opt);
    return preview.Run();
}
