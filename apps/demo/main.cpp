// Demonstration of what runs so far: the framework's core types as the library uses them.
#include <afx.h>
#include <afxdisp.h>
#include <afxtempl.h>

#include <cstdio>

int main() {
    CString title;
    title.Format("KelRSList core: %d-bit text, %s", 8, "UTF-8");
    std::printf("%s\n", static_cast<LPCTSTR>(title));

    // A row window as the grid keeps it: one string array per row.
    CArray<CStringArray, CStringArray> rows;
    rows.SetSize(3);
    const char* names[] = {"Alice", "Bob", "Carol"};
    for (int r = 0; r < 3; ++r) {
        rows[r].Add(names[r]);
        COleDateTime d(2024, r + 1, 15, 0, 0, 0);
        rows[r].Add(d.Format("%m/%d/%Y"));
        COleCurrency amount(100 * (r + 1), 2500);
        rows[r].Add(amount.Format());
    }
    for (INT_PTR r = 0; r < rows.GetSize(); ++r)
        std::printf("  %-6s %s %8s\n", static_cast<LPCTSTR>(rows[r][0]),
                    static_cast<LPCTSTR>(rows[r][1]), static_cast<LPCTSTR>(rows[r][2]));

    COleDateTime parsed;
    for (const char* text : {"3/1/2000", "2001-12-25", "2/30/2001"}) {
        BOOL ok = parsed.ParseDateTime(text, VAR_DATEVALUEONLY, LANG_USER_DEFAULT);
        std::printf("  parse %-10s -> %s\n", text,
                    ok ? static_cast<LPCTSTR>(parsed.Format("%m/%d/%Y")) : "not a date");
    }

    CString deleted;
    deleted.LoadString(15400);
    std::printf("  library string 15400: %s\n", static_cast<LPCTSTR>(deleted));
    return 0;
}
