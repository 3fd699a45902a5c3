// The browser's grid over a table on a PostgreSQL server (KEL_TEST_PG, ./run test starts one):
// New takes the key only where the server does not give it, Open writes through to the server
// and the grid shows what was written.
#include "apps/browser/BrowserCtrl.h"
#include "apps/browser/BrowserResources.h"

#include "tools/sampledb/ServerSample.h"

#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include "companions/settings/AppRegistry.h"
#include "platform/win/ModalDriver.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

const char* Env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

class BrowserServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Env("KEL_TEST_PG")) {
            if (Env("KEL_REQUIRE_PG"))
                FAIL() << "KEL_REQUIRE_PG is set but KEL_TEST_PG names no server";
            GTEST_SKIP() << "KEL_TEST_PG is not set: no PostgreSQL server to test against";
        }
        static int counter = 0;
        m_schema = "kel_browser_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
        const std::string folder = std::string(KEL_TEST_DATA_DIR) + "/browser_server";
        ASSERT_TRUE(kelsampledb::LoadServer(Env("KEL_TEST_PG"), m_schema, folder, 60));
        m_uri = kelsampledb::WithSearchPath(Env("KEL_TEST_PG"), m_schema);
        m_conn.reset(PQconnectdb(m_uri.c_str()));
        ASSERT_EQ(PQstatus(m_conn.get()), CONNECTION_OK) << PQerrorMessage(m_conn.get());

        KelResetWindowSystem();
        KelClearMessageBoxes();
        m_strSavedPath = AppRegistryPath;
        AppRegistryPath = "Software\\KelRSListTest\\BrowserServer\\";
        m_app = std::make_unique<CWinApp>("BrowserServerTest");
        RegisterBrowserResources(AfxGetInstanceHandle());
        m_app->AddDocTemplate(new CSingleDocTemplate(IDR_BROWSER, RUNTIME_CLASS(CRecordsetDoc),
                                                     RUNTIME_CLASS(CFrameWnd),
                                                     RUNTIME_CLASS(CRecordsetView)));
    }

    void TearDown() override {
        if (m_app) {
            KelClearModalDriver();
            KelSetMessageBoxAnswer(0);
            if (m_pFrame != nullptr && ::IsWindow(m_pFrame->GetSafeHwnd()))
                m_pFrame->SendMessage(WM_CLOSE);
            KelResetWindowSystem();
            m_app.reset();
            AppRegistryPath = m_strSavedPath;
        }
        if (m_conn && PQstatus(m_conn.get()) == CONNECTION_OK)
            Text("DROP SCHEMA " + m_schema + " CASCADE");
    }

    // The browser's frame over a table on the server, as the program makes it.
    void OpenFrame(LPCTSTR lpszTable) {
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->SendMessage(WM_CLOSE);
        KelRunUntilIdle();
        CBrowserCtrl::s_strTable = lpszTable;
        auto* pLoad = new CRecordsetLoad;
        pLoad->m_strDatabase = m_uri.c_str();
        pLoad->m_strSQL = CString("SELECT * FROM [") + lpszTable + "]";
        pLoad->m_nToolBarID = IDR_BROWSER_TOOLS;
        pLoad->m_pCtrlClass = RUNTIME_CLASS(CBrowserCtrl);
        CDocument* pDoc = m_app->OpenDocumentFile(reinterpret_cast<LPCTSTR>(pLoad));
        ASSERT_NE(nullptr, pDoc);
        POSITION pos = pDoc->GetFirstViewPosition();
        auto* pView = DYNAMIC_DOWNCAST(CRecordsetView, pDoc->GetNextView(pos));
        ASSERT_NE(nullptr, pView);
        m_pFrame = pView->GetParentFrame();
        m_pFrame->MoveWindow(0, 0, 800, 400);
        KelRunUntilIdle();
        m_pGrid = pView->GetRecordsetCtrl();
        ASSERT_NE(nullptr, m_pGrid);
        ASSERT_TRUE(m_pGrid->m_pDoc->IsOpen());
    }

    // One value as the server gives it as text ("" for none or NULL).
    std::string Text(const std::string& sql) {
        std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(m_conn.get(), sql.c_str()),
                                                             &PQclear);
        const ExecStatusType status = PQresultStatus(result.get());
        EXPECT_TRUE(status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK)
            << sql << ": " << PQerrorMessage(m_conn.get());
        if (status != PGRES_TUPLES_OK || PQntuples(result.get()) == 0 ||
            PQgetisnull(result.get(), 0, 0))
            return "";
        return PQgetvalue(result.get(), 0, 0);
    }

    std::string m_schema, m_uri;
    std::unique_ptr<PGconn, decltype(&PQfinish)> m_conn{nullptr, &PQfinish};
    std::unique_ptr<CWinApp> m_app;
    CFrameWnd* m_pFrame = nullptr;
    CRecordsetCtrl* m_pGrid = nullptr;
    CString m_strSavedPath;
};

// The orders' key is the server's identity: New shows it read-only and the server numbers the
// record. A table whose integer key the server does not number takes it in the form, and
// never goes without one.
TEST_F(BrowserServerTest, NewTakesOnlyAKeyTheServerDoesNotGive) {
    OpenFrame("Orders");
    bool bKeyReadOnly = false;
    KelQueueModalAction([&](CWnd* pForm) {
        CString strLabel;
        pForm->GetWindow(GW_CHILD)->GetWindowText(strLabel);
        bKeyReadOnly =
            strLabel == "OrderID" && (pForm->GetDlgItem(1000)->GetStyle() & ES_READONLY) != 0;
        pForm->SetDlgItemText(1001, "Server Customer");
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_NEW, 0);
    EXPECT_TRUE(KelGetMessageBoxes().empty()) << KelGetMessageBoxes()[0].strText;
    EXPECT_TRUE(bKeyReadOnly);
    EXPECT_EQ("61", Text("SELECT \"OrderID\" FROM \"Orders\" WHERE \"Customer\" = "
                         "'Server Customer'"));

    Text("CREATE TABLE \"Codes\" (\"Code\" integer PRIMARY KEY, \"Name\" text)");
    Text("INSERT INTO \"Codes\" VALUES (49, 'Germany')");
    OpenFrame("Codes");
    bool bCodeTyped = false;
    KelSetMessageBoxAnswer(IDOK); // asked for the key: back to the form
    KelQueueModalAction([&](CWnd* pForm) {
        bCodeTyped = (pForm->GetDlgItem(1000)->GetStyle() & ES_READONLY) == 0;
        pForm->SetDlgItemText(1001, "Nowhere"); // the key left empty
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1000, "33");
        pForm->SetDlgItemText(1001, "France");
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_NEW, 0);
    EXPECT_TRUE(bCodeTyped);
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_EQ(CString("The key Code needs a value."), KelGetMessageBoxes()[0].strText);
    EXPECT_EQ("France", Text("SELECT \"Name\" FROM \"Codes\" WHERE \"Code\" = 33"));
    EXPECT_EQ("2", Text("SELECT count(*) FROM \"Codes\""));

    // A text key as well.
    Text("CREATE TABLE \"Lands\" (\"Land\" varchar(10) PRIMARY KEY, \"Name\" text)");
    OpenFrame("Lands");
    KelClearMessageBoxes();
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1000, "PT");
        pForm->SetDlgItemText(1001, "Portugal");
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_NEW, 0);
    EXPECT_TRUE(KelGetMessageBoxes().empty()) << KelGetMessageBoxes()[0].strText;
    EXPECT_EQ("Portugal", Text("SELECT \"Name\" FROM \"Lands\" WHERE \"Land\" = 'PT'"));
}

// Open writes the changed field to the server, and the grid shows it at once (its records read
// ahead are not kept past a write of the same database).
TEST_F(BrowserServerTest, OpenWritesToTheServerAndShowsIt) {
    OpenFrame("Orders");
    m_pGrid->m_nCursor = 2; // order 3
    const std::string before = Text("SELECT \"Customer\" FROM \"Orders\" WHERE \"OrderID\" = 3");
    KelQueueModalAction([](CWnd* pForm) {
        pForm->SetDlgItemText(1002, "Kiel"); // City
        pForm->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_OPEN, 0);
    EXPECT_TRUE(KelGetMessageBoxes().empty()) << KelGetMessageBoxes()[0].strText;
    EXPECT_EQ("Kiel", Text("SELECT \"City\" FROM \"Orders\" WHERE \"OrderID\" = 3"));
    EXPECT_EQ(before, Text("SELECT \"Customer\" FROM \"Orders\" WHERE \"OrderID\" = 3"));
    EXPECT_EQ(CString("Kiel"), m_pGrid->m_arrayTable[2][2]);
}

} // namespace
