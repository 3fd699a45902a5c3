// The browser's grid class in its frame: Delete asks and deletes the current record, New adds
// the record typed into the form, Open writes back what was changed in it, Print writes the rows
// on screen.
#include "apps/browser/BrowserCtrl.h"
#include "apps/browser/BrowserResources.h"

#include "tools/sampledb/SampleDatabase.h"

#include <afxdao.h>
#include <afxwin.h>

#include "companions/settings/AppRegistry.h"
#include "platform/win/ModalDriver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

long long Scalar(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    long long n = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        n = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return n;
}

// Every column of one order as stored: its type and its text.
std::vector<std::string> StoredRow(const std::string& path, int nOrderID) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    std::vector<std::string> row;
    const std::string sql = "SELECT * FROM Orders WHERE OrderID = " + std::to_string(nOrderID);
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const int nType = sqlite3_column_type(stmt, i);
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_blob(stmt, i));
            row.push_back(std::to_string(nType) + ":" +
                          std::string(text ? text : "", sqlite3_column_bytes(stmt, i)));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return row;
}

class BrowserCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        KelResetWindowSystem();
        KelClearMessageBoxes();
        m_strSavedPath = AppRegistryPath;
        AppRegistryPath = "Software\\KelRSListTest\\BrowserCtrl\\";
        const fs::path dir = fs::path(KEL_TEST_DATA_DIR) / "browser";
        fs::create_directories(dir);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_strDb = (dir / (std::string(info->name()) + ".db")).string();
        fs::copy_file(kelsampledb::Cached(dir.string(), 60), m_strDb,
                      fs::copy_options::overwrite_existing);
        m_app = std::make_unique<CWinApp>("BrowserCtrlTest");
        RegisterBrowserResources(AfxGetInstanceHandle());
        m_app->AddDocTemplate(new CSingleDocTemplate(IDR_BROWSER, RUNTIME_CLASS(CRecordsetDoc),
                                                     RUNTIME_CLASS(CFrameWnd),
                                                     RUNTIME_CLASS(CRecordsetView)));
        CBrowserCtrl::s_strTable = "Orders";
        auto* pLoad = new CRecordsetLoad;
        pLoad->m_strDatabase = m_strDb.c_str();
        pLoad->m_strSQL = "SELECT * FROM [Orders]";
        pLoad->m_nToolBarID = IDR_BROWSER_TOOLS;
        pLoad->m_pCtrlClass = RUNTIME_CLASS(CBrowserCtrl);
        CDocument* pDoc = m_app->OpenDocumentFile(reinterpret_cast<LPCTSTR>(pLoad));
        ASSERT_NE(nullptr, pDoc);
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pView = pDoc->GetNextView(pos);
        m_pView = DYNAMIC_DOWNCAST(CRecordsetView, pView);
        ASSERT_NE(nullptr, m_pView);
        m_pFrame = m_pView->GetParentFrame();
        m_pFrame->MoveWindow(0, 0, 800, 400);
        KelRunUntilIdle();
        m_pGrid = m_pView->GetRecordsetCtrl();
        ASSERT_NE(nullptr, m_pGrid);
    }
    void TearDown() override {
        KelClearModalDriver();
        KelSetMessageBoxAnswer(0);
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->SendMessage(WM_CLOSE);
        KelResetWindowSystem();
        m_app.reset();
        AppRegistryPath = m_strSavedPath;
    }
    CString FirstKey() const { return m_pGrid->m_arrayTable[0][m_pGrid->m_nKeyColumn]; }

    std::string m_strDb;
    std::unique_ptr<CWinApp> m_app;
    CRecordsetView* m_pView = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    CRecordsetCtrl* m_pGrid = nullptr;
    CString m_strSavedPath;
};

TEST_F(BrowserCtrlTest, DeleteAsksAndDeletesTheCurrentRecord) {
    ASSERT_EQ(CString("1"), FirstKey());
    KelSetMessageBoxAnswer(IDNO);
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_DELETE, 0);
    EXPECT_EQ(60, Scalar(m_strDb, "SELECT COUNT(*) FROM Orders"));
    KelSetMessageBoxAnswer(IDYES);
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_DELETE, 0);
    ASSERT_EQ(2u, KelGetMessageBoxes().size());
    EXPECT_EQ(CString("Delete the current record?"), KelGetMessageBoxes()[1].strText);
    EXPECT_EQ(59, Scalar(m_strDb, "SELECT COUNT(*) FROM Orders"));
    EXPECT_EQ(0, Scalar(m_strDb, "SELECT COUNT(*) FROM Orders WHERE OrderID = 1"));
    EXPECT_EQ(CString("2"), FirstKey()); // reloaded
}

TEST_F(BrowserCtrlTest, NewAddsTheRecordOfTheForm) {
    KelQueueModalAction([](CWnd* pForm) {
        // The fields in display order: OrderID (the key, read only), Customer, City, ...
        pForm->SetDlgItemText(1001, "Zed Zulu");
        pForm->SetDlgItemText(1002, "Kiel");
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_NEW, 0);
    EXPECT_EQ(1, KelGetModalLoopCount());
    EXPECT_EQ(61, Scalar(m_strDb, "SELECT COUNT(*) FROM Orders"));
    EXPECT_EQ(1, Scalar(m_strDb, "SELECT COUNT(*) FROM Orders WHERE Customer = 'Zed Zulu' AND "
                                 "City = 'Kiel' AND Shipped = 0"));
    EXPECT_TRUE(KelGetMessageBoxes().empty()) << KelGetMessageBoxes()[0].strText;
    // Cancel adds nothing.
    KelQueueModalAction([](CWnd* pForm) { pForm->SendMessage(WM_COMMAND, IDCANCEL, 0); });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_NEW, 0);
    EXPECT_EQ(61, Scalar(m_strDb, "SELECT COUNT(*) FROM Orders"));
}

// Open shows the current record in the form; OK writes what was changed into that record and
// nothing else: fields the form shows rounded or shortened keep their stored values.
TEST_F(BrowserCtrlTest, OpenWritesTheChangedFieldsOfTheCurrentRecord) {
    m_pGrid->m_nCursor = 2; // order 3
    const std::vector<std::string> before = StoredRow(m_strDb, 3);
    const std::vector<std::string> neighbour = StoredRow(m_strDb, 4);
    ASSERT_FALSE(before.empty());
    CString strShown;
    KelQueueModalAction([&](CWnd* pForm) {
        pForm->GetDlgItemText(1001, strShown); // Customer
        pForm->SetDlgItemText(1002, "Kiel");   // City
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_OPEN, 0);
    EXPECT_EQ(strShown, m_pGrid->m_arrayTable[2][1]);
    EXPECT_TRUE(KelGetMessageBoxes().empty()) << KelGetMessageBoxes()[0].strText;
    std::vector<std::string> want = before;
    want[2] = "3:Kiel";
    EXPECT_EQ(want, StoredRow(m_strDb, 3));
    EXPECT_EQ(neighbour, StoredRow(m_strDb, 4));
    EXPECT_EQ(CString("Kiel"), m_pGrid->m_arrayTable[2][2]); // shown at once

    // Emptied, a field becomes Null; Cancel writes nothing.
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1002, "");
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_OPEN, 0);
    want[2] = "5:";
    EXPECT_EQ(want, StoredRow(m_strDb, 3));
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1001, "Nobody");
        pForm->SendMessage(WM_COMMAND, IDCANCEL, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_OPEN, 0);
    EXPECT_EQ(want, StoredRow(m_strDb, 3));
}

// A value the database refuses is reported and the record stays as it was, whole.
TEST_F(BrowserCtrlTest, OpenWithARefusedValueChangesNothing) {
    const std::vector<std::string> before = StoredRow(m_strDb, 1);
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1001, "Changed Too");
        pForm->SetDlgItemText(1006, "lots"); // Quantity
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_OPEN, 0);
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_EQ(before, StoredRow(m_strDb, 1));
    EXPECT_EQ(dbEditNone, m_pGrid->m_pDoc->m_pRecordset->GetEditMode());
    // The next edit goes through.
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1006, "12");
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_OPEN, 0);
    EXPECT_EQ(1,
              Scalar(m_strDb, "SELECT COUNT(*) FROM Orders WHERE OrderID = 1 AND Quantity = 12"));
}

TEST_F(BrowserCtrlTest, PrintWritesTheRowsOnScreen) {
    ::testing::internal::CaptureStdout();
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_PRINT, 0);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("OrderID | Customer")) << out;
    EXPECT_NE(std::string::npos, out.find("\n         1 | ")) << out;
}

} // namespace
