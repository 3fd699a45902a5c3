#include "BrowserCtrl.h"

#include "DatabaseName.h"
#include "TextTable.h"

#include "companions/other/TranslateValue.h"
#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"
#include "platform/gdi/FontEngine.h"
#include "platform/win/DialogTemplate.h"
#include "records/JetLiteral.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>
#include <filesystem>
#include <vector>

IMPLEMENT_DYNCREATE(CBrowserCtrl, CRecordsetCtrl)

BEGIN_MESSAGE_MAP(CBrowserCtrl, CRecordsetCtrl)
ON_COMMAND(ID_RECORD_NEW, OnNew)
ON_COMMAND(ID_RECORD_OPEN, OnOpen)
ON_COMMAND(ID_RECORD_DELETE, OnDelete)
ON_COMMAND(ID_RECORD_PRINT, OnPrint)
END_MESSAGE_MAP()

CString CBrowserCtrl::s_strTable;
CString CBrowserCtrl::s_strPrintFolder;
BOOL CBrowserCtrl::s_bPrintText = FALSE;

namespace {

constexpr int IDC_FORM_FIRST = 1000;

// The visible columns' indices in display order.
std::vector<int> ShownColumns(const CRecordsetCtrl::CColumnArray& columns) {
    std::vector<int> shown;
    for (int i = 0; i < columns.GetSize(); ++i) {
        if (columns[i].m_bVisible && columns[i].m_nWidth > 0)
            shown.push_back(i);
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [&](int a, int b) { return columns[a].m_nOrder < columns[b].m_nOrder; });
    return shown;
}

// The record form: a label and an edit per field.
class CRecordForm : public CDialog {
public:
    CStringArray m_names;
    CStringArray m_values;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int i = 0; i < m_values.GetSize(); ++i)
            SetDlgItemText(IDC_FORM_FIRST + i, m_values[i]);
        return TRUE;
    }
    void OnOK() override {
        for (int i = 0; i < m_values.GetSize(); ++i)
            GetDlgItemText(IDC_FORM_FIRST + i, m_values[i]);
        CDialog::OnOK();
    }
};

std::string Plain(const CString& s) {
    return std::string(static_cast<LPCTSTR>(s));
}

// Runs a program with its arguments, no shell between; its exit code, -1 when it could not be
// run. Its output goes to the text given back.
int RunProgram(const std::vector<std::string>& args, std::string& output) {
    // Made before the fork: the child only calls what is safe there.
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return -1;
    }
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    char buf[512];
    ssize_t n = 0;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        output.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
}

// The text cut to what fits nWidth points, with "~" where it was cut.
std::string Fit(cairo_t* cr, const std::string& text, double nWidth) {
    std::string s = text;
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    if (ext.x_advance <= nWidth)
        return s;
    while (!s.empty()) {
        // Back one character (UTF-8), then measure with the mark.
        do
            s.pop_back();
        while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80);
        if (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0xC0)
            s.pop_back();
        const std::string cut = s + "~";
        cairo_text_extents(cr, cut.c_str(), &ext);
        if (ext.x_advance <= nWidth)
            return cut;
    }
    return std::string();
}

} // namespace

BOOL ReadWindowPlace(const CString& strKey, CRect& rc) {
    CRegistry reg(AppRegistryRoot, AppRegistryPath + strKey);
    CString strValue;
    if (!reg.Read("Window", strValue, ""))
        return FALSE;
    int x = 0, y = 0, cx = 0, cy = 0;
    char extra = 0;
    if (std::sscanf(strValue, "%d %d %d %d %c", &x, &y, &cx, &cy, &extra) != 4 || cx < 200 ||
        cy < 150 || cx > 8000 || cy > 8000 || x < -8000 || y < -8000 || x > 8000 || y > 8000)
        return FALSE;
    rc.SetRect(x, y, x + cx, y + cy);
    return TRUE;
}

void WriteWindowPlace(const CString& strKey, const CRect& rc) {
    CRegistry reg(AppRegistryRoot, AppRegistryPath + strKey);
    CString strValue;
    strValue.Format("%d %d %d %d", rc.left, rc.top, rc.Width(), rc.Height());
    reg.Write("Window", strValue);
}

int WritePdf(const std::string& path, const CString& strTitle, const CStringArray& captions,
             const std::vector<CStringArray>& rows, const CString& strNote,
             const std::vector<bool>& right) {
    // A4 landscape in points; 8-point text on 11-point lines.
    constexpr double kPageW = 842, kPageH = 595, kMargin = 36, kLine = 11, kGap = 6;
    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kPageW, kPageH);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return 0;
    }
    cairo_t* cr = cairo_create(surface);
    // The fonts the windows draw with (the drawing layer's fontconfig setup), 8 points high.
    auto font = [cr](bool bBold) {
        LOGFONT lf{};
        lf.lfHeight = -8;
        lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Arial");
        if (const kel::gdi::FontInstance* pFont = kel::gdi::FindFont(lf))
            cairo_set_scaled_font(cr, pFont->Scaled());
    };
    const int nCols = static_cast<int>(captions.GetSize());
    // Each column as wide as its widest text, shared out when the page is too narrow.
    std::vector<double> widths(nCols, 0);
    for (int pass = 0; pass < 2; ++pass) {
        font(pass == 0);
        for (int c = 0; c < nCols; ++c) {
            cairo_text_extents_t ext;
            if (pass == 0) {
                cairo_text_extents(cr, Plain(captions[c]).c_str(), &ext);
                widths[c] = std::max(widths[c], ext.x_advance);
            } else {
                for (const CStringArray& row : rows) {
                    if (c < row.GetSize()) {
                        cairo_text_extents(cr, Plain(row[c]).c_str(), &ext);
                        widths[c] = std::max(widths[c], std::min(ext.x_advance, 300.0));
                    }
                }
            }
        }
    }
    const double nUsable = kPageW - 2 * kMargin - kGap * std::max(nCols - 1, 0);
    double nTotal = 0;
    for (double w : widths)
        nTotal += w;
    if (nTotal > nUsable) {
        // Too wide for the page: the widest columns give way first, down to one common width,
        // so narrow columns (numbers, dates) stay whole.
        double nLow = 0, nHigh = *std::max_element(widths.begin(), widths.end());
        for (int i = 0; i < 40; ++i) {
            const double nCap = (nLow + nHigh) / 2;
            double nSum = 0;
            for (double w : widths)
                nSum += std::min(w, nCap);
            (nSum > nUsable ? nHigh : nLow) = nCap;
        }
        for (double& w : widths)
            w = std::max(std::min(w, nLow), 12.0);
    }

    const int nPerPage = static_cast<int>((kPageH - 2 * kMargin - 3 * kLine) / kLine);
    const int nRows = static_cast<int>(rows.size());
    const int nPages = std::max(1, (nRows + nPerPage - 1) / nPerPage);
    for (int page = 0; page < nPages; ++page) {
        double y = kMargin + kLine;
        font(true);
        cairo_move_to(cr, kMargin, y);
        cairo_show_text(cr, Plain(strTitle).c_str());
        CString strPage;
        strPage.Format("page %d of %d", page + 1, nPages);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, Plain(strPage).c_str(), &ext);
        cairo_move_to(cr, kPageW - kMargin - ext.x_advance, y);
        cairo_show_text(cr, Plain(strPage).c_str());
        y += 1.5 * kLine;
        // Text in its column, flush right for numbers.
        auto cell = [&](double x, int c, const CString& text) {
            const std::string fitted = Fit(cr, Plain(text), widths[c]);
            cairo_text_extents_t extText;
            cairo_text_extents(cr, fitted.c_str(), &extText);
            const bool bRight = c < static_cast<int>(right.size()) && right[c];
            cairo_move_to(cr, bRight ? x + widths[c] - extText.x_advance : x, y);
            cairo_show_text(cr, fitted.c_str());
        };
        double x = kMargin;
        for (int c = 0; c < nCols; ++c) {
            cell(x, c, captions[c]);
            x += widths[c] + kGap;
        }
        cairo_set_line_width(cr, 0.5);
        cairo_move_to(cr, kMargin, y + 3);
        cairo_line_to(cr, kPageW - kMargin, y + 3);
        cairo_stroke(cr);
        font(false);
        for (int r = page * nPerPage; r < std::min(nRows, (page + 1) * nPerPage); ++r) {
            y += kLine;
            x = kMargin;
            for (int c = 0; c < nCols && c < rows[r].GetSize(); ++c) {
                cell(x, c, rows[r][c]);
                x += widths[c] + kGap;
            }
        }
        if (page == nPages - 1 && !strNote.IsEmpty()) {
            cairo_move_to(cr, kMargin, y + 1.5 * kLine);
            cairo_show_text(cr, Plain(strNote).c_str());
        }
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool bOk = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return bOk ? nPages : 0;
}

BOOL SendToPrinter(const std::string& path, std::string& strMessage) {
    // "system default destination: NAME" when a printer is configured.
    std::string out;
    if (RunProgram({"lpstat", "-d"}, out) != 0 ||
        out.find("system default destination:") == std::string::npos)
        return FALSE;
    std::string lp;
    if (RunProgram({"lp", "--", path}, lp) != 0) {
        strMessage = "lp could not print " + path + (lp.empty() ? "" : ": " + lp);
        while (!strMessage.empty() && strMessage.back() == '\n')
            strMessage.pop_back();
        return FALSE;
    }
    strMessage = "sent " + path + " to the printer";
    return TRUE;
}

void CBrowserCtrl::WriteRows(std::FILE* out) const {
    CArray<TextColumn, TextColumn&> text;
    CArray<CStringArray, CStringArray> rows;
    const std::vector<int> shown = ShownColumns(m_arrayColumns);
    for (int c : shown) {
        const CColumnDetails& col = m_arrayColumns[c];
        TextColumn t;
        t.strCaption = col.m_strCaption.IsEmpty() ? col.m_strName : col.m_strCaption;
        t.nWidth = std::clamp(col.m_nWidth, t.strCaption.GetLength(), 28);
        t.bRight = col.m_nAlign == 1 || col.m_nAlign == 2; // right or centred numbers
        text.Add(t);
    }
    for (int r = 0; r < m_arrayTable.GetSize(); ++r) {
        const CStringArray& row = m_arrayTable[r];
        if (!RowHoldsRecord(r))
            continue; // blank rows past the end of the data
        CStringArray line;
        for (int c : shown)
            line.Add(c < row.GetSize() ? row[c] : CString());
        rows.Add(line);
    }
    PrintTable(out, text, rows, static_cast<int>(rows.GetSize()));
    std::fflush(out);
}

namespace {

// The fields of a table's primary key as the data-access classes describe it: the primary index
// of a table-type recordset. Empty when it has none or cannot be read.
std::vector<std::pair<CString, CString>> DescribedKey(CDaoDatabase* pDb, const CString& strTable) {
    std::vector<std::pair<CString, CString>> keys;
    CDaoRecordset rs(pDb);
    try {
        rs.Open(dbOpenTable, strTable);
        const short nIndexes = rs.GetIndexCount();
        for (short i = 0; i < nIndexes && keys.empty(); ++i) {
            CDaoIndexInfo info;
            rs.GetIndexInfo(i, info, AFX_DAO_SECONDARY_INFO);
            if (!info.m_bPrimary || info.m_pFieldInfos == NULL)
                continue;
            for (short f = 0; f < info.m_nFields; ++f)
                keys.emplace_back(info.m_pFieldInfos[f].m_strName, CString());
        }
    } catch (CDaoException* e) {
        e->Delete();
    }
    if (rs.IsOpen())
        rs.Close();
    return keys;
}

// The same from a SQLite file, with each field's declared type: a single INTEGER key is the
// row's number there, which the engine gives a record added without it.
std::vector<std::pair<CString, CString>> SqliteKey(LPCTSTR lpszFile, const CString& strTable) {
    std::vector<std::pair<CString, CString>> keys;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(lpszFile, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT name, upper(type) FROM pragma_table_info(?1) WHERE pk > 0",
                               -1, &stmt, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(stmt, 1, strTable, -1, SQLITE_TRANSIENT);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
                const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
                keys.emplace_back(name ? name : "", type ? type : "");
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return keys;
}

} // namespace

std::vector<int> CBrowserCtrl::TypedKeyColumns() const {
    if (s_strTable.IsEmpty() || m_pDoc == NULL || m_pDoc->m_pDatabase == NULL)
        return {};
    // A server is only reached through the data-access classes; a file is asked directly for
    // what they do not tell, the declared type.
    const CString strName = m_pDoc->m_pDatabase->GetName();
    const std::vector<std::pair<CString, CString>> keys =
        IsServerName(static_cast<LPCTSTR>(strName)) ||
                IsServerName(static_cast<LPCTSTR>(m_pDoc->m_pDatabase->GetConnect()))
            ? DescribedKey(m_pDoc->m_pDatabase, s_strTable)
            : SqliteKey(strName, s_strTable);
    // One INTEGER field is the row's number, which the engine gives a record added without it.
    if (keys.size() == 1 && keys[0].second == "INTEGER")
        return {};
    std::vector<int> typed;
    for (int c = 0; c < m_arrayColumns.GetSize(); ++c) {
        const CString strName = kel::records::JetNameOf(m_arrayColumns[c].m_strName);
        for (const auto& key : keys) {
            if (strName.CompareNoCase(key.first) != 0)
                continue;
            // A counter fills itself.
            BOOL bCounter = FALSE;
            if (m_pDoc->m_pRecordset != NULL && m_pDoc->m_pRecordset->IsOpen()) {
                try {
                    CDaoFieldInfo info;
                    m_pDoc->m_pRecordset->GetFieldInfo(m_arrayColumns[c].m_nField, info);
                    bCounter = (info.m_lAttributes & dbAutoIncrField) != 0;
                } catch (CDaoException* e) {
                    e->Delete();
                }
            }
            if (!bCounter)
                typed.push_back(c);
        }
    }
    return typed;
}

BOOL CBrowserCtrl::RunForm(LPCTSTR lpszTitle, BOOL bFromCurrent, CStringArray& names,
                           CStringArray& values) {
    std::vector<int> shown = ShownColumns(m_arrayColumns);
    // A new record's key is typed in the form unless the engine gives it, hidden or not.
    const std::vector<int> typed = bFromCurrent ? std::vector<int>() : TypedKeyColumns();
    auto isTyped = [&](int c) { return std::find(typed.begin(), typed.end(), c) != typed.end(); };
    for (auto it = typed.rbegin(); it != typed.rend(); ++it)
        if (std::find(shown.begin(), shown.end(), *it) == shown.end())
            shown.insert(shown.begin(), *it);
    // The current record's values as stored, whole: a cell may show a long text cut short, and
    // the form must not write the cut text back.
    CDaoRecordset current(m_pDoc != NULL ? m_pDoc->m_pDatabase : NULL);
    if (bFromCurrent && (m_pDoc == NULL || !GetCurrentRecord(&current, FALSE, 0)))
        return FALSE; // no record under the cursor, or gone: the grid has said why
    BOOL bRecord = bFromCurrent && !current.IsEOF();
    CRecordForm form;
    KelDialogTemplate tmpl(lpszTitle,
                           DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0,
                           220, 30 + 16 * static_cast<int>(shown.size()), {});
    int y = 7;
    for (size_t i = 0; i < shown.size(); ++i, y += 16) {
        const CColumnDetails& col = m_arrayColumns[shown[i]];
        tmpl.items.push_back(
            KelDialogItem::LText(kel::records::JetNameOf(col.m_strName), -1, 7, y + 2, 60, 10));
        DWORD dwStyle = ES_AUTOHSCROLL;
        if (col.m_bKey && !isTyped(shown[i]))
            dwStyle |= ES_READONLY; // the engine gives it, or it names the record shown
        tmpl.items.push_back(
            KelDialogItem::EditText(IDC_FORM_FIRST + static_cast<int>(i), 70, y, 143, 13, dwStyle));
        form.m_names.Add(col.m_strName);
        CString strValue;
        if (bRecord) {
            try {
                COleVariant var;
                current.GetFieldValue(col.m_nField, var);
                TranslateValue(var, strValue, LOWORD(col.m_nFormat));
            } catch (CDaoException* e) {
                e->Delete();
                bRecord = FALSE;
            }
        }
        if (!bRecord && bFromCurrent && m_nCursor >= 0 && m_nCursor < m_arrayTable.GetSize() &&
            shown[i] < m_arrayTable[m_nCursor].GetSize())
            strValue = m_arrayTable[m_nCursor][shown[i]];
        form.m_values.Add(strValue);
    }
    tmpl.items.push_back(KelDialogItem::DefPushButton("OK", IDOK, 110, y + 4, 50, 14));
    tmpl.items.push_back(KelDialogItem::PushButton("Cancel", IDCANCEL, 163, y + 4, 50, 14));
    tmpl.cy = y + 24;
    // From the current record only what was changed goes back: the form shows values as the
    // grid formats them (rounded, shortened), and writing those would change fields nobody
    // touched. Its key is shown, not written.
    CStringArray initial;
    initial.Copy(form.m_values);
    for (;;) {
        if (!form.InitModalIndirect(&tmpl, this) || form.DoModal() != IDOK)
            return FALSE;
        // A record is never added without its key: the form comes back until it is typed.
        CString strMissing;
        for (size_t i = 0; i < shown.size() && strMissing.IsEmpty(); ++i)
            if (isTyped(shown[i]) && CString(form.m_values[static_cast<int>(i)]).Trim().IsEmpty())
                strMissing = kel::records::JetNameOf(m_arrayColumns[shown[i]].m_strName);
        if (strMissing.IsEmpty())
            break;
        CString strMessage;
        strMessage.Format("The key %s needs a value.", static_cast<LPCTSTR>(strMissing));
        if (AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return FALSE;
    }
    names.RemoveAll();
    values.RemoveAll();
    for (size_t i = 0; i < shown.size(); ++i) {
        if (bFromCurrent && form.m_values[i] == initial[i])
            continue;
        if (!m_arrayColumns[shown[i]].m_bKey || isTyped(shown[i])) {
            names.Add(form.m_names[i]);
            values.Add(form.m_values[i]);
        }
    }
    return TRUE;
}

BOOL CBrowserCtrl::WriteFields(CDaoRecordset& rs, const CStringArray& names,
                               const CStringArray& values, BOOL bEmptyIsNull) {
    try {
        for (int i = 0; i < names.GetSize(); ++i) {
            CDaoFieldInfo info;
            rs.GetFieldInfo(names[i], info);
            if (info.m_lAttributes & dbAutoIncrField)
                continue;
            if (values[i].IsEmpty() && !bEmptyIsNull)
                continue; // a new record keeps the field's default
            if (values[i].IsEmpty())
                rs.SetFieldValueNull(names[i]);
            else
                rs.SetFieldValue(names[i], values[i]);
        }
        rs.Update();
    } catch (CDaoException* e) {
        CString strError = e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription : CString("error");
        e->Delete();
        try {
            rs.CancelUpdate(); // the record being written is dropped, the table unchanged
        } catch (CDaoException* e2) {
            e2->Delete();
        }
        AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

void CBrowserCtrl::Reload() {
    SendMessage(WM_RSC_RELOAD, 0, 0);
}

void CBrowserCtrl::OnNew() {
    if (s_strTable.IsEmpty() || m_pDoc == NULL) {
        AfxMessageBox("A query has no table to add a record to.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    CStringArray names, values;
    if (!RunForm("New record", FALSE, names, values))
        return;
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    if (AddRecord(&rs) && WriteFields(rs, names, values, FALSE))
        Reload();
    if (rs.IsOpen())
        rs.Close();
}

void CBrowserCtrl::OnOpen() {
    if (m_pDoc == NULL)
        return;
    CStringArray names, values;
    if (!RunForm("Record", TRUE, names, values) || names.IsEmpty())
        return;
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    if (GetCurrentRecord(&rs, TRUE, dbOptimistic) && WriteFields(rs, names, values, TRUE))
        SendMessage(WM_RSC_REFRESH, 0, 0);
    if (rs.IsOpen())
        rs.Close();
}

void CBrowserCtrl::OnDelete() {
    if (m_pDoc == NULL ||
        AfxMessageBox("Delete the current record?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    if (GetCurrentRecord(&rs, FALSE, 0)) {
        try {
            rs.Delete();
        } catch (CDaoException* e) {
            CString strError =
                e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription : CString("error");
            e->Delete();
            AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        }
        rs.Close();
        Reload();
    }
}

BOOL CBrowserCtrl::ReadViewRows(int nMax, CStringArray& captions, std::vector<CStringArray>& rows,
                                BOOL& bMore, CString& strError) const {
    captions.RemoveAll();
    rows.clear();
    bMore = FALSE;
    if (m_pDoc == NULL || m_pDoc->m_pDatabase == NULL) {
        strError = "There is no data to print.";
        return FALSE;
    }
    const std::vector<int> shown = ShownColumns(m_arrayColumns);
    for (int c : shown) {
        const CColumnDetails& col = m_arrayColumns[c];
        captions.Add(col.m_strCaption.IsEmpty() ? kel::records::JetNameOf(col.m_strName)
                                                : col.m_strCaption);
    }
    // The view's own statement: its filters and its order, as the grid reads them.
    CDaoRecordset rs(m_pDoc->m_pDatabase);
    try {
        rs.Open(dbOpenSnapshot, m_pDoc->CreateSQLStatement(), dbReadOnly);
        COleVariant var;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            if (static_cast<int>(rows.size()) == nMax) {
                bMore = TRUE;
                break;
            }
            CStringArray row;
            row.SetSize(static_cast<INT_PTR>(shown.size()));
            for (size_t i = 0; i < shown.size(); ++i) {
                const CColumnDetails& col = m_arrayColumns[shown[i]];
                rs.GetFieldValue(col.m_nField, var);
                TranslateValue(var, row[static_cast<INT_PTR>(i)], LOWORD(col.m_nFormat));
            }
            rows.push_back(row);
        }
        rs.Close();
    } catch (CDaoException* e) {
        strError = e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription : CString("error");
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CBrowserCtrl::OnPrint() {
    if (s_bPrintText) {
        WriteRows(stdout);
        return;
    }
    // More would be a book, not a printout.
    constexpr int kMaxRows = 10000;
    CStringArray captions;
    std::vector<CStringArray> rows;
    BOOL bMore = FALSE;
    CString strError;
    if (!ReadViewRows(kMaxRows, captions, rows, bMore, strError)) {
        AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString strTitle;
    if (CWnd* pTop = GetTopLevelParent())
        pTop->GetWindowText(strTitle);
    CString strNote;
    if (bMore)
        strNote.Format("The first %d rows of the view.", kMaxRows);
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = s_strPrintFolder.IsEmpty() ? fs::temp_directory_path(ec)
                                                       : fs::path(Plain(s_strPrintFolder));
    fs::create_directories(folder, ec);
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    std::string name = "print-" + std::string(stamp);
    std::string path = (folder / (name + ".pdf")).string();
    for (int n = 2; fs::exists(path, ec); ++n)
        path = (folder / (name + "-" + std::to_string(n) + ".pdf")).string();
    std::vector<bool> right;
    for (int c : ShownColumns(m_arrayColumns))
        right.push_back(m_arrayColumns[c].m_nAlign != 0); // numbers, as the text table has them
    if (WritePdf(path, strTitle, captions, rows, strNote, right) == 0) {
        AfxMessageBox(("Cannot write " + path).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string strMessage;
    if (SendToPrinter(path, strMessage))
        std::printf("%s\n", strMessage.c_str());
    else if (!strMessage.empty())
        AfxMessageBox(strMessage.c_str(), MB_OK | MB_ICONEXCLAMATION);
    else
        std::printf("%s\n", path.c_str()); // no printer: the file is the printout
    std::fflush(stdout);
}

void CBrowserCtrl::OnDestroy() {
    // The window's place, kept with the grid's settings: the frame's, or the chooser's.
    if (!m_strRegistryKey.IsEmpty()) {
        if (CWnd* pTop = GetTopLevelParent()) {
            CRect rc;
            pTop->GetWindowRect(&rc);
            WriteWindowPlace(m_strRegistryKey + (m_bInView ? "" : "\\Chooser"), rc);
        }
    }
    CRecordsetCtrl::OnDestroy();
}
