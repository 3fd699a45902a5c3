#include "DocumentFixture.h"

namespace {

struct CountedLoad : CRecordsetLoad {
    explicit CountedLoad(int* pCount) : m_pCount(pCount) {}
    ~CountedLoad() override { ++*m_pCount; }
    int* m_pCount;
};

} // namespace

TEST_P(DocumentTest, OpeningWithoutAFileOrAStatementDoesNothingQuietly) {
    m_doc.SetDatabase("");
    m_doc.SetDynaset("SELECT * FROM People", NULL, NULL, "", 0);
    m_doc.Open();
    EXPECT_FALSE(m_doc.IsOpen());
    m_doc.SetDatabase(m_db.Path().c_str());
    m_doc.SetDynaset("", NULL, NULL, "", 0);
    m_doc.Open();
    EXPECT_FALSE(m_doc.IsOpen());
    EXPECT_EQ(m_doc.GetDatabase(), nullptr);
    EXPECT_EQ(NewMessages(), 0);
}

TEST_P(DocumentTest, AFileThatCannotBeOpenedIsReportedOnceAndLeavesNothingOpen) {
    m_doc.SetDatabase("/nonexistent/folder/missing.db");
    m_doc.SetDynaset("SELECT * FROM People", NULL, NULL, "", 0);
    m_doc.Open();
    EXPECT_FALSE(m_doc.IsOpen());
    EXPECT_EQ(m_doc.GetDatabase(), nullptr);
    EXPECT_EQ(m_doc.m_pRecordset, nullptr);
    EXPECT_EQ(NewMessages(), 1);
    EXPECT_NE(LastMessage().Find("missing.db"), -1);
}

TEST_P(DocumentTest, ARejectedStatementReleasesAnOwnDatabaseButNotABorrowedOne) {
    m_db.CreatePeople(3);
    m_doc.SetDatabase(m_db.Path().c_str());
    m_doc.SetDynaset("SELECT * FROM Nowhere", NULL, NULL, "", 0);
    m_doc.Open();
    EXPECT_FALSE(m_doc.IsOpen());
    EXPECT_EQ(m_doc.GetDatabase(), nullptr);
    EXPECT_EQ(m_doc.m_pRecordset, nullptr);
    EXPECT_EQ(NewMessages(), 1);

    CDaoDatabase borrowed;
    borrowed.Open(m_db.Path().c_str(), FALSE, FALSE, "");
    m_doc.SetDatabase(&borrowed);
    m_doc.Open();
    EXPECT_FALSE(m_doc.IsOpen());
    EXPECT_EQ(NewMessages(), 2);
    EXPECT_EQ(m_doc.GetDatabase(), &borrowed);
    EXPECT_TRUE(borrowed.IsOpen());
}

TEST_P(DocumentTest, ClosingTheDynasetKeepsTheDatabaseForTheNextOpen) {
    OpenPeople(3, 3);
    CDaoDatabase* pDatabase = m_doc.GetDatabase();
    ASSERT_NE(pDatabase, nullptr);
    EXPECT_TRUE(m_doc.GetbLocalDatabase());
    m_doc.Close(FALSE);
    EXPECT_FALSE(m_doc.IsOpen());
    EXPECT_EQ(m_doc.m_pRecordset, nullptr);
    EXPECT_EQ(m_doc.GetDatabase(), pDatabase);
    m_doc.SetOrder("ID DESC");
    m_doc.Open();
    EXPECT_EQ(m_doc.GetDatabase(), pDatabase); // the same connection, not reopened
    ASSERT_EQ(Fetch(CRecordsetDoc::gtFirst), CRecordsetDoc::tsOk);
    EXPECT_EQ(Ids().front(), 3);
    m_doc.Close(TRUE);
    EXPECT_EQ(m_doc.GetDatabase(), nullptr);
}

TEST_P(DocumentTest, ABorrowedDatabaseOutlivesTheDocumentAndIsNeverDeletedAsItsOwn) {
    m_db.CreatePeople(4);
    CDaoDatabase borrowed;
    borrowed.Open(m_db.Path().c_str(), FALSE, FALSE, "");
    {
        CRecordsetDoc doc;
        doc.SetDatabase(&borrowed);
        doc.SetDynaset("SELECT * FROM People", NULL, NULL, "", 0);
        doc.Open();
        ASSERT_TRUE(doc.IsOpen());
        EXPECT_FALSE(doc.GetbLocalDatabase());
        EXPECT_EQ(doc.GetTot(), 4);
    }
    EXPECT_TRUE(borrowed.IsOpen());
    {
        // Switching to a file of its own: the document opens its own database, and its
        // destructor deletes that one only.
        CRecordsetDoc doc;
        doc.SetDatabase(&borrowed);
        doc.SetDynaset("SELECT * FROM People", NULL, NULL, "", 0);
        doc.Open();
        doc.SetDatabase(m_db.Path().c_str());
        doc.Open();
        ASSERT_TRUE(doc.IsOpen());
        EXPECT_TRUE(doc.GetbLocalDatabase());
        EXPECT_NE(doc.GetDatabase(), &borrowed);
    }
    EXPECT_TRUE(borrowed.IsOpen());
    CDaoRecordset rs(&borrowed);
    rs.Open(dbOpenDynaset, "SELECT * FROM People", 0);
    EXPECT_FALSE(rs.IsEOF());
}

TEST_P(DocumentTest, TheLoadRecordIsDeletedExactlyOnce) {
    m_db.CreatePeople(2);
    int deleted = 0;
    {
        CRecordsetDoc doc; // destroyed while holding the record: deletes it
        ASSERT_TRUE(doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(new CountedLoad(&deleted))));
    }
    EXPECT_EQ(deleted, 1);
    {
        CRecordsetDoc doc; // a creator that takes the record clears the pointer
        ASSERT_TRUE(doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(new CountedLoad(&deleted))));
        delete doc.m_pLoad;
        doc.m_pLoad = NULL;
        EXPECT_EQ(deleted, 2);
    }
    EXPECT_EQ(deleted, 2);
    {
        CRecordsetDoc doc; // a second record given to the same document
        ASSERT_TRUE(doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(new CountedLoad(&deleted))));
        ASSERT_TRUE(doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(new CountedLoad(&deleted))));
        EXPECT_EQ(deleted, 3);
    }
    EXPECT_EQ(deleted, 4);
    EXPECT_FALSE(m_doc.OnOpenDocument(NULL));
}

TEST_P(DocumentTest, ADocumentTemplateCannotTakeTheLoadRecordForAPath) {
    auto* pLoad = new CRecordsetLoad;
    pLoad->m_strTitle = "Orders";
    ASSERT_TRUE(m_doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(pLoad)));
    m_doc.SetPathName(reinterpret_cast<LPCTSTR>(pLoad)); // what a template does next
    EXPECT_TRUE(m_doc.GetPathName().IsEmpty());
    EXPECT_EQ(m_doc.m_pLoad, pLoad);
}

TEST_P(DocumentTest, ALoadRecordBorrowingADatabaseLeavesItOpen) {
    m_db.CreatePeople(3);
    CDaoDatabase borrowed;
    borrowed.Open(m_db.Path().c_str(), FALSE, FALSE, "");
    auto* pLoad = new CRecordsetLoad;
    pLoad->m_pDatabase = &borrowed;
    pLoad->m_strSQL = "SELECT * FROM People";
    auto* pCopy = new CRecordsetLoad(*pLoad);
    delete pCopy;
    {
        CRecordsetDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(reinterpret_cast<LPCTSTR>(pLoad)));
        EXPECT_FALSE(doc.GetbLocalDatabase());
        EXPECT_EQ(doc.GetDatabase(), &borrowed);
        doc.Open();
        EXPECT_EQ(doc.GetTot(), 3);
    }
    EXPECT_TRUE(borrowed.IsOpen());
}
