// The grid acts on the record under the cursor and writes only what the user changed: records
// named by bookmark and stored key (never by the text shown), untouched editors that write
// nothing, edits that survive reloads and closes, and records whose first field is empty.
#include "GridTest.h"

#include "platform/win/MessageBox.h"

#include <sqlite3.h>

#include <functional>
#include <string>

namespace {

// A second connection to the same file: another program.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& path) { sqlite3_open(path.c_str(), &m_db); }
    ~OtherProgram() { sqlite3_close(m_db); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    int Exec(const std::string& sql) {
        return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    // The first column of the first row as text ("<null>" for Null), with its storage class.
    std::string Value(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        std::string out = "<none>";
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            out = std::string(text ? reinterpret_cast<const char*>(text) : "<null>") + ":" +
                  std::to_string(sqlite3_column_type(stmt, 0));
        }
        sqlite3_finalize(stmt);
        return out;
    }
    std::string Text(const std::string& sql) {
        const std::string v = Value(sql);
        return v.substr(0, v.rfind(':'));
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

class RecordTrustTest : public GridTest {
protected:
    CRecordsetCtrl* Open(const std::string& path, LPCTSTR lpszSQL) {
        CRecordsetLoad* pLoad = MakeLoad(lpszSQL);
        pLoad->m_strDatabase = path.c_str();
        CRecordsetCtrl* pGrid = CreateGrid(pLoad);
        pGrid->SetFocus();
        m_robot.Idle();
        KelClearMessageBoxes();
        return pGrid;
    }
    // Field nField of the host recordset GetCurrentRecord opens on row nRow, as text.
    CString Chosen(int nRow, int nField) {
        m_pGrid->m_nCursor = nRow;
        CDaoRecordset rs(m_pGrid->m_pDoc->GetDatabase());
        if (!m_pGrid->GetCurrentRecord(&rs, FALSE, 0))
            return "<refused>";
        CString out = "<eof>";
        if (!rs.IsEOF()) {
            COleVariant v = rs.GetFieldValue(nField);
            out = v.vt == VT_NULL ? CString("<null>") : CString(V_BSTRT(&v));
            rs.MoveNext();
            if (!rs.IsEOF())
                out += " and more";
        }
        rs.Close();
        return out;
    }
    // The slot (display position) of column index c.
    int SlotOf(int c) const {
        HDITEM item{};
        item.mask = HDI_ORDER;
        m_pGrid->m_wndHeader.GetItem(HeaderItemOf(c), &item);
        return item.iOrder;
    }
    CKillEdit* Editor() const { return DYNAMIC_DOWNCAST(CKillEdit, CWnd::GetFocus()); }
    // Starts an edit of row r, column index c, as the edit timer does.
    CKillEdit* StartEdit(int r, int c) {
        m_pGrid->m_nCursor = r;
        if (!m_pGrid->EditCurrentRecord(SlotOf(c), r, nullptr))
            return nullptr;
        return Editor();
    }
};

TEST_F(RecordTrustTest, TheRecordHandedOverIsTheOneUnderTheCursorWhateverItsText) {
    // Two "Smith" rows apart only by a text key the grid does not show first.
    Open(MakeDatabase("CREATE TABLE T (Name TEXT, City TEXT, Code TEXT PRIMARY KEY);"
                      "INSERT INTO T VALUES ('Smith', 'Aachen', 'k1'), ('Smith', 'Bonn', 'k2'),"
                      " (NULL, 'Celle', 'k3'), ('', 'Dover', 'k4');"),
         "SELECT Name, City FROM T");
    EXPECT_EQ(Chosen(0, 1), "Aachen");
    EXPECT_EQ(Chosen(1, 1), "Bonn");
    // A record whose first field is Null or empty is a record like any other.
    EXPECT_TRUE(m_pGrid->RowHoldsRecord(2));
    EXPECT_TRUE(m_pGrid->RowHoldsRecord(3));
    EXPECT_FALSE(m_pGrid->RowHoldsRecord(4));
    EXPECT_EQ(Chosen(2, 1), "Celle");
    EXPECT_EQ(Chosen(3, 1), "Dover");
    EXPECT_EQ(Chosen(4, 1), "<refused>"); // below the data
    EXPECT_TRUE(KelGetMessageBoxes().empty());

    // One-row moves keep count of the rows that hold records, empty first fields or not.
    auto move = [&](int nMove) {
        m_pGrid->GetTable(&m_pGrid->m_arrayTable, &m_pGrid->m_arrayColumns, nMove, m_pGrid->m_nRows,
                          &m_pGrid->m_varFirst, &m_pGrid->m_varLast, &m_pGrid->m_nTableRows);
    };
    move(CRecordsetDoc::gtLineDown);
    EXPECT_EQ(Cell(1, 1), "Celle");
    EXPECT_TRUE(m_pGrid->RowHoldsRecord(2));
    EXPECT_FALSE(m_pGrid->RowHoldsRecord(3));
    EXPECT_EQ(Chosen(2, 1), "Dover");
    move(CRecordsetDoc::gtLineUp);
    EXPECT_TRUE(m_pGrid->RowHoldsRecord(3));
    EXPECT_FALSE(m_pGrid->RowHoldsRecord(4));
    EXPECT_EQ(Chosen(0, 1), "Aachen");
}

TEST_F(RecordTrustTest, KeysAreMatchedAtFullPrecision) {
    // A date key with its time, and a double key shown rounded: rows that look alike.
    Open(MakeDatabase("CREATE TABLE D (At DATETIME PRIMARY KEY, V TEXT);"
                      "INSERT INTO D VALUES ('2024-01-05 10:00:00', 'morning'),"
                      " ('2024-01-05 12:30:15', 'noon');"
                      "CREATE TABLE R (X DOUBLE PRIMARY KEY, V TEXT);"
                      "INSERT INTO R VALUES (0.3, 'a'), (0.1 + 0.2, 'b');"),
         "SELECT * FROM D");
    EXPECT_EQ(Chosen(0, 1), "morning");
    EXPECT_EQ(Chosen(1, 1), "noon");

    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM R");
    pLoad->m_strDatabase = m_pGrid->m_pDoc->m_strDatabase;
    CreateGrid(pLoad);
    EXPECT_EQ(Cell(0, 0), Cell(1, 0)); // the same text on screen
    EXPECT_EQ(Chosen(0, 1), "a");
    EXPECT_EQ(Chosen(1, 1), "b");
}

TEST_F(RecordTrustTest, ATableWithoutKeyIsNamedByRowAndAJoinIsRefused) {
    const std::string path = MakeDatabase("CREATE TABLE N (Name TEXT, V INTEGER);"
                                          "INSERT INTO N VALUES ('x', 1), ('x', 2), ('x', 3);"
                                          "CREATE TABLE M (V INTEGER, W TEXT);"
                                          "INSERT INTO M VALUES (1, 'one'), (2, 'two');");
    Open(path, "SELECT Name, V FROM N");
    m_pGrid->m_nCursor = 1;
    CDaoRecordset rs(m_pGrid->m_pDoc->GetDatabase());
    ASSERT_TRUE(m_pGrid->GetCurrentRecord(&rs, TRUE, FALSE));
    EXPECT_EQ(rs.GetFieldValue(1).lVal, 2);
    rs.SetFieldValue(0, "y");
    rs.Update();
    rs.Close();
    OtherProgram other(path);
    EXPECT_EQ(other.Text("SELECT group_concat(Name, '') FROM N"), "xyx");

    Open(path, "SELECT N.Name, M.W FROM N INNER JOIN M ON N.V = M.V");
    EXPECT_EQ(Chosen(0, 1), "<refused>");
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_NE(KelGetMessageBoxes()[0].strText.Find("one table"), -1);
}

TEST_F(RecordTrustTest, ADeletedRecordIsRefusedNotReplacedByAnotherProgramsNewOne) {
    const std::string path = MakeDatabase("CREATE TABLE P (Code TEXT PRIMARY KEY, Name TEXT);"
                                          "INSERT INTO P VALUES ('a', 'Anna'), ('b', 'Bert');");
    Open(path, "SELECT Name FROM P");
    OtherProgram other(path);
    // Bert goes, and a new record takes his row identity.
    ASSERT_EQ(other.Exec("DELETE FROM P WHERE Code = 'b'; INSERT INTO P VALUES ('c', 'Carl')"),
              SQLITE_OK);
    ASSERT_EQ(other.Text("SELECT rowid FROM P WHERE Code = 'c'"), "2");
    m_pGrid->SendMessage(WM_RSC_REFRESH);
    EXPECT_EQ(Cell(1, 0), m_pGrid->m_strDeleted);
    EXPECT_EQ(StartEdit(1, 0), nullptr);
    EXPECT_EQ(Chosen(1, 0), "<refused>");
    EXPECT_EQ(other.Text("SELECT Name FROM P WHERE Code = 'c'"), "Carl");
}

TEST_F(RecordTrustTest, AnUntouchedEditorWritesNothing) {
    const std::string path = MakeDatabase("CREATE TABLE E (ID INTEGER PRIMARY KEY, Amount CURRENCY,"
                                          " City TEXT(20), Notes TEXT);"
                                          "INSERT INTO E VALUES (1, 4085.8782, NULL, 'keep');");
    Open(path, "SELECT * FROM E");
    OtherProgram other(path);
    EXPECT_EQ(Cell(0, 1), "4085.88");
    for (int c : {1, 2}) {
        ASSERT_NE(StartEdit(0, c), nullptr);
        m_robot.Key(VK_RETURN); // accepted as it was shown
        ASSERT_NE(StartEdit(0, c), nullptr);
        m_pGrid->SetFocus(); // and by losing the focus
        m_robot.Idle();
    }
    EXPECT_EQ(other.Value("SELECT Amount FROM E"), "4085.8782:2");
    EXPECT_EQ(other.Value("SELECT City FROM E"), "<null>:5");
    EXPECT_TRUE(KelGetMessageBoxes().empty());

    // EditCurrentRecord edits the slot it is given, whatever slot a click left pending.
    m_pGrid->m_nEditSlot = SlotOf(1);
    CKillEdit* pEdit = StartEdit(0, 3);
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("changed");
    m_robot.Key(VK_RETURN);
    EXPECT_EQ(other.Text("SELECT Notes FROM E"), "changed");
    EXPECT_EQ(other.Value("SELECT Amount FROM E"), "4085.8782:2");
}

TEST_F(RecordTrustTest, FieldsTheEngineCannotWriteGetNoEditor) {
    Open(MakeDatabase("CREATE TABLE A (ID INTEGER PRIMARY KEY AUTOINCREMENT, Price DOUBLE);"
                      "INSERT INTO A (Price) VALUES (2.5);"),
         "SELECT ID, Price, Price * 2 AS Twice FROM A");
    EXPECT_EQ(StartEdit(0, 0), nullptr); // the engine numbers it
    EXPECT_EQ(StartEdit(0, 2), nullptr); // computed
    EXPECT_EQ(m_pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);
    EXPECT_NE(StartEdit(0, 1), nullptr);
    m_robot.Key(VK_ESCAPE);
}

TEST_F(RecordTrustTest, TypingHoldsNoLockAndAChangeByAnotherProgramWins) {
    const std::string path = MakeDatabase("CREATE TABLE L (ID INTEGER PRIMARY KEY, Name TEXT);"
                                          "INSERT INTO L VALUES (1, 'Anna'), (2, 'Bert');");
    Open(path, "SELECT * FROM L");
    OtherProgram other(path);
    CKillEdit* pEdit = StartEdit(0, 1);
    ASSERT_NE(pEdit, nullptr);
    // Another program writes while the user types: it is not kept waiting.
    EXPECT_EQ(other.Exec("UPDATE L SET Name = 'Anne' WHERE ID = 1"), SQLITE_OK);
    EXPECT_EQ(other.Exec("UPDATE L SET Name = 'Bernd' WHERE ID = 2"), SQLITE_OK);
    pEdit->SetWindowText("Annika");
    m_robot.Key(VK_RETURN);
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_NE(KelGetMessageBoxes()[0].strText.Find("another user"), -1)
        << (LPCTSTR)KelGetMessageBoxes()[0].strText;
    EXPECT_EQ(other.Text("SELECT Name FROM L WHERE ID = 1"), "Anne");
    EXPECT_EQ(Cell(0, 1), "Anne");
    EXPECT_EQ(m_pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);
}

TEST_F(RecordTrustTest, ReloadsResizesAndClosesWriteWhatWasTyped) {
    const std::string path =
        MakeDatabase("CREATE TABLE W (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL);"
                     "INSERT INTO W VALUES (1, 'a'), (2, 'b'), (3, 'c');");
    Open(path, "SELECT * FROM W");
    OtherProgram other(path);
    struct Step {
        const char* what;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"refresh", [&] { m_pGrid->SendMessage(WM_RSC_REFRESH); }},
        {"reload", [&] { m_pGrid->SendMessage(WM_RSC_RELOAD, 0, 0); }},
        {"refresh button", [&] { m_robot.Click(&m_pGrid->m_btnRefresh, CPoint(4, 4)); }},
        {"resize", [&] { m_pGrid->MoveWindow(0, 0, 380, 260); }},
    };
    int n = 0;
    for (const Step& step : steps) {
        CKillEdit* pEdit = StartEdit(0, 1);
        ASSERT_NE(pEdit, nullptr) << step.what;
        const std::string typed = "typed " + std::to_string(++n);
        pEdit->SetWindowText(typed.c_str());
        step.act();
        m_robot.Idle();
        EXPECT_EQ(other.Text("SELECT Name FROM W WHERE ID = 1"), typed) << step.what;
        EXPECT_EQ(Editor(), nullptr) << step.what;
        EXPECT_EQ(m_pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone) << step.what;
    }
    EXPECT_TRUE(KelGetMessageBoxes().empty());

    // Closing with a value the database refuses: the message comes while the window stands.
    CKillEdit* pEdit = StartEdit(1, 1);
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("");
    bool bStood = false;
    KelSetMessageBoxHandler([&](const KelMessageBoxRecord&) {
        bStood = ::IsWindowVisible(m_host.GetSafeHwnd()) && ::IsWindow(m_pGrid->GetSafeHwnd());
        return IDOK;
    });
    m_host.DestroyWindow();
    KelSetMessageBoxHandler({});
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_TRUE(bStood);
    EXPECT_EQ(other.Text("SELECT Name FROM W WHERE ID = 2"), "b");
    m_pGrid = nullptr;
    m_pOwned.reset();
}

TEST_F(RecordTrustTest, RowsBelowADeletedFirstRowAreStillTheirRecords) {
    const std::string path =
        MakeDatabase("CREATE TABLE F (ID INTEGER PRIMARY KEY, Name TEXT);"
                     "INSERT INTO F VALUES (1, 'one'), (2, 'two'), (3, 'three');");
    Open(path, "SELECT * FROM F");
    OtherProgram other(path);
    ASSERT_EQ(other.Exec("DELETE FROM F WHERE ID = 1"), SQLITE_OK);
    // The window still shows the first row: the others are counted back from the last.
    EXPECT_EQ(Chosen(2, 1), "three");
    EXPECT_EQ(Chosen(1, 1), "two");
    EXPECT_TRUE(KelGetMessageBoxes().empty());
    EXPECT_EQ(Chosen(0, 1), "<refused>");
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_EQ(KelGetMessageBoxes()[0].strText,
              "Can't perform operation; the current record is deleted.");
}
