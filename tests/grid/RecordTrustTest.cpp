// The grid acts on the record under the cursor and writes only what the user changed: records
// named by bookmark and stored key (never by the text shown), untouched editors that write
// nothing, edits that survive reloads and closes, and records whose first field is empty.
#include "GridTest.h"

#include "platform/win/MessageBox.h"

#include <functional>
#include <string>

namespace {

// A second connection to the same database: another program.
class OtherProgram {
public:
    explicit OtherProgram(bothengines::EngineDatabase& db)
        : m_server(db.IsServer()), m_conn(db.Another()) {}
    // Runs SQL in SQLite's words; false when it fails.
    bool Exec(const std::string& sql) {
        try {
            bothengines::RunStatements(*m_conn, sql, m_server);
        } catch (const kel::dao::EngineError&) {
            return false;
        }
        return true;
    }
    // The first column of the first row as text ("<null>" for Null), on SQLite with its
    // storage class (a server's column type fixes it).
    std::string Value(const std::string& sql) {
        std::string out = "<none>";
        try {
            auto stmt = m_conn->Prepare(bothengines::EngineWords(sql, m_server));
            if (stmt->Step()) {
                const kel::dao::EngineValue v = stmt->Column(0);
                out = v.IsNull() ? "<null>" : bothengines::EngineDatabase::Text(v);
                if (!m_server)
                    out += ":" + std::to_string(StorageClass(v));
            }
        } catch (const kel::dao::EngineError& e) {
            ADD_FAILURE() << sql << ": " << e.what();
        }
        return out;
    }
    std::string Text(const std::string& sql) {
        const std::string v = Value(sql);
        return m_server ? v : v.substr(0, v.rfind(':'));
    }
    // What Value gives for a stored value of that SQLite storage class.
    std::string Stored(const std::string& text, int storageClass) const {
        return m_server ? text : text + ":" + std::to_string(storageClass);
    }

private:
    static int StorageClass(const kel::dao::EngineValue& v) {
        using Kind = kel::dao::EngineValue::Kind;
        switch (v.kind) {
        case Kind::Integer:
            return 1;
        case Kind::Real:
            return 2;
        case Kind::Text:
            return 3;
        case Kind::Blob:
            return 4;
        default:
            return 5;
        }
    }

    bool m_server;
    std::unique_ptr<kel::dao::EngineConnection> m_conn;
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

// SQLite's rowid: a table without a key written through it, and a rowid handed on to another
// program's new row.
class RecordTrustRowIdTest : public RecordTrustTest {};

TEST_P(RecordTrustTest, TheRecordHandedOverIsTheOneUnderTheCursorWhateverItsText) {
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

TEST_P(RecordTrustTest, KeysAreMatchedAtFullPrecision) {
    // A date key with its time, and a double key shown rounded: rows that look alike.
    Open(MakeDatabase("CREATE TABLE D (At DATETIME PRIMARY KEY, V TEXT);"
                      "INSERT INTO D VALUES ('2024-01-05 10:00:00', 'morning'),"
                      " ('2024-01-05 12:30:15', 'noon');"
                      "CREATE TABLE R (X DOUBLE PRIMARY KEY, V TEXT);"
                      "INSERT INTO R VALUES (0.3, 'a'), (CAST(0.1 AS REAL) + 0.2, 'b');"),
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

TEST_P(RecordTrustRowIdTest, ATableWithoutKeyIsNamedByRowAndAJoinIsRefused) {
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
    OtherProgram other(Made());
    EXPECT_EQ(other.Text(IsServer() ? "SELECT string_agg(Name, '' ORDER BY V) FROM N"
                                    : "SELECT group_concat(Name, '') FROM N"),
              "xyx");

    Open(path, "SELECT N.Name, M.W FROM N INNER JOIN M ON N.V = M.V");
    EXPECT_EQ(Chosen(0, 1), "<refused>");
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_NE(KelGetMessageBoxes()[0].strText.Find("one table"), -1);
}

TEST_P(RecordTrustRowIdTest, ADeletedRecordIsRefusedNotReplacedByAnotherProgramsNewOne) {
    const std::string path = MakeDatabase("CREATE TABLE P (Code TEXT PRIMARY KEY, Name TEXT);"
                                          "INSERT INTO P VALUES ('a', 'Anna'), ('b', 'Bert');");
    Open(path, "SELECT Name FROM P");
    OtherProgram other(Made());
    // Bert goes, and a new record takes his row identity.
    ASSERT_TRUE(other.Exec("DELETE FROM P WHERE Code = 'b'; INSERT INTO P VALUES ('c', 'Carl')"));
    ASSERT_EQ(other.Text("SELECT rowid FROM P WHERE Code = 'c'"), "2");
    m_pGrid->SendMessage(WM_RSC_REFRESH);
    EXPECT_EQ(Cell(1, 0), m_pGrid->m_strDeleted);
    EXPECT_EQ(StartEdit(1, 0), nullptr);
    EXPECT_EQ(Chosen(1, 0), "<refused>");
    EXPECT_EQ(other.Text("SELECT Name FROM P WHERE Code = 'c'"), "Carl");
}

TEST_P(RecordTrustTest, AnUntouchedEditorWritesNothing) {
    const std::string path = MakeDatabase("CREATE TABLE E (ID INTEGER PRIMARY KEY, Amount CURRENCY,"
                                          " City TEXT(20), Notes TEXT);"
                                          "INSERT INTO E VALUES (1, 4085.8782, NULL, 'keep');");
    Open(path, "SELECT * FROM E");
    OtherProgram other(Made());
    EXPECT_EQ(Cell(0, 1), "4085.88");
    for (int c : {1, 2}) {
        ASSERT_NE(StartEdit(0, c), nullptr);
        m_robot.Key(VK_RETURN); // accepted as it was shown
        ASSERT_NE(StartEdit(0, c), nullptr);
        m_pGrid->SetFocus(); // and by losing the focus
        m_robot.Idle();
    }
    EXPECT_EQ(other.Value("SELECT Amount FROM E"), other.Stored("4085.8782", 2));
    EXPECT_EQ(other.Value("SELECT City FROM E"), other.Stored("<null>", 5));
    EXPECT_TRUE(KelGetMessageBoxes().empty());

    // EditCurrentRecord edits the slot it is given, whatever slot a click left pending.
    m_pGrid->m_nEditSlot = SlotOf(1);
    CKillEdit* pEdit = StartEdit(0, 3);
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("changed");
    m_robot.Key(VK_RETURN);
    EXPECT_EQ(other.Text("SELECT Notes FROM E"), "changed");
    EXPECT_EQ(other.Value("SELECT Amount FROM E"), other.Stored("4085.8782", 2));
}

TEST_P(RecordTrustTest, FieldsTheEngineCannotWriteGetNoEditor) {
    Open(MakeDatabase("CREATE TABLE A (ID INTEGER PRIMARY KEY AUTOINCREMENT, Price DOUBLE);"
                      "INSERT INTO A (Price) VALUES (2.5);"),
         "SELECT ID, Price, Price * 2 AS Twice FROM A");
    EXPECT_EQ(StartEdit(0, 0), nullptr); // the engine numbers it
    EXPECT_EQ(StartEdit(0, 2), nullptr); // computed
    EXPECT_EQ(m_pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);
    EXPECT_NE(StartEdit(0, 1), nullptr);
    m_robot.Key(VK_ESCAPE);
}

TEST_P(RecordTrustTest, TypingHoldsNoLockAndAChangeByAnotherProgramWins) {
    const std::string path = MakeDatabase("CREATE TABLE L (ID INTEGER PRIMARY KEY, Name TEXT);"
                                          "INSERT INTO L VALUES (1, 'Anna'), (2, 'Bert');");
    Open(path, "SELECT * FROM L");
    OtherProgram other(Made());
    CKillEdit* pEdit = StartEdit(0, 1);
    ASSERT_NE(pEdit, nullptr);
    // Another program writes while the user types: it is not kept waiting.
    EXPECT_TRUE(other.Exec("UPDATE L SET Name = 'Anne' WHERE ID = 1"));
    EXPECT_TRUE(other.Exec("UPDATE L SET Name = 'Bernd' WHERE ID = 2"));
    pEdit->SetWindowText("Annika");
    m_robot.Key(VK_RETURN);
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_NE(KelGetMessageBoxes()[0].strText.Find("another user"), -1)
        << (LPCTSTR)KelGetMessageBoxes()[0].strText;
    EXPECT_EQ(other.Text("SELECT Name FROM L WHERE ID = 1"), "Anne");
    EXPECT_EQ(Cell(0, 1), "Anne");
    EXPECT_EQ(m_pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);
}

TEST_P(RecordTrustTest, ReloadsResizesAndClosesWriteWhatWasTyped) {
    const std::string path =
        MakeDatabase("CREATE TABLE W (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL);"
                     "INSERT INTO W VALUES (1, 'a'), (2, 'b'), (3, 'c');");
    Open(path, "SELECT * FROM W");
    OtherProgram other(Made());
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

TEST_P(RecordTrustTest, RowsBelowADeletedFirstRowAreStillTheirRecords) {
    const std::string path =
        MakeDatabase("CREATE TABLE F (ID INTEGER PRIMARY KEY, Name TEXT);"
                     "INSERT INTO F VALUES (1, 'one'), (2, 'two'), (3, 'three');");
    Open(path, "SELECT * FROM F");
    OtherProgram other(Made());
    ASSERT_TRUE(other.Exec("DELETE FROM F WHERE ID = 1"));
    // The window still shows the first row: the others are counted back from the last.
    EXPECT_EQ(Chosen(2, 1), "three");
    EXPECT_EQ(Chosen(1, 1), "two");
    EXPECT_TRUE(KelGetMessageBoxes().empty());
    EXPECT_EQ(Chosen(0, 1), "<refused>");
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_EQ(KelGetMessageBoxes()[0].strText,
              "Can't perform operation; the current record is deleted.");
}

KEL_BOTH_ENGINES(RecordTrustTest);
KEL_SQLITE_ONLY(RecordTrustRowIdTest);
