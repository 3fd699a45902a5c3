#include "DocumentFixture.h"

#include <cstdlib>
#include <stdexcept>

void DocumentTest::SetUp() {
    m_nMessagesAtStart = MessageCount();
    KEL_ENGINE_SETUP(GetParam());
    m_db.Create(GetParam());
}

void DocumentTest::OpenOn(LPCTSTR lpszSQL, LPCTSTR lpszOrder, LPCTSTR lpszFilter) {
    m_doc.SetDatabase(m_db.Path().c_str());
    m_doc.SetDynaset(lpszSQL, lpszFilter, NULL, lpszOrder, 0);
    m_doc.Open();
    // Nothing of the test can go on: it ends here, with the message the document showed.
    if (!m_doc.IsOpen())
        throw std::runtime_error("the document did not open: " + LastMessage().str());
}

void DocumentTest::OpenPeople(int n, int nCount, LPCTSTR lpszOrder, LPCTSTR lpszFilter) {
    m_db.CreatePeople(n);
    OpenOn("SELECT ID, Name, Born, Salary, Flag, Notes FROM People", lpszOrder, lpszFilter);
    m_nCount = nCount;
    m_rows.SetSize(nCount);
    m_rows[0].SetSize(6);
}

CRecordsetDoc::TableStatus DocumentTest::Fetch(int nMove,
                                               CArray<CColumnDetails, CColumnDetails>* pCols) {
    return m_doc.GetTable(&m_rows, pCols, nMove, m_nCount, &m_first, &m_last, &m_nFilled);
}

unsigned long long DocumentTest::ExchangesOf(int nMove, CRecordsetDoc::TableStatus expected) {
    CDaoDatabase& db = *m_doc.m_pRecordset->m_pDatabase;
    const unsigned long long before = db.GetRoundTrips();
    EXPECT_EQ(Fetch(nMove), expected) << "move " << nMove;
    return db.GetRoundTrips() - before;
}

std::vector<int> DocumentTest::Ids() const {
    std::vector<int> ids;
    for (INT_PTR r = 0; r < m_nCount; ++r)
        ids.push_back(m_rows[r].GetSize() ? std::atoi(m_rows[r][0]) : 0);
    return ids;
}

std::string DocumentTest::Row(int r) const {
    std::string out;
    for (INT_PTR i = 0; i < m_rows[r].GetSize(); ++i)
        out += (i ? "|" : "") + m_rows[r][i].str();
    return out;
}

BOOL DocumentTest::AllBlankFrom(int r) const {
    for (int i = r; i < m_nCount; ++i)
        for (INT_PTR c = 0; c < m_rows[i].GetSize(); ++c)
            if (!m_rows[i][c].IsEmpty())
                return FALSE;
    return TRUE;
}

COleVariant DocumentTest::BookmarkOf(int nID) {
    CDaoRecordset& rs = *m_doc.m_pRecordset;
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        COleVariant var;
        rs.GetFieldValue(0, var);
        if (var.lVal == nID)
            return rs.GetBookmark();
        rs.MoveNext();
    }
    ADD_FAILURE() << "no record " << nID;
    return COleVariant();
}

void DocumentTest::DeleteElsewhere(int nID) {
    bothengines::RunStatements(*m_db.Engine().Another(),
                               "DELETE FROM People WHERE ID = " + std::to_string(nID),
                               m_db.Engine().IsServer());
}

KEL_BOTH_ENGINES(DocumentTest);
