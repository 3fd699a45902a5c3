// A document over a small People table, the row window the grid would keep, and the
// message boxes the document showed.
#pragma once

#include "TestDatabase.h"

#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Message boxes shown since the fixture started (recorded and answered, never waited on).
int MessageCount();
CString LastMessage();

// Run on both engines (TEST_P): a SQLite file or a schema on the server.
class DocumentTest : public ::testing::TestWithParam<std::string> {
protected:
    // People with n records, the document open on SELECT ... ORDER BY order, a window of
    // nCount rows of 6 cells.
    void OpenPeople(int n, int nCount, LPCTSTR lpszOrder = "ID", LPCTSTR lpszFilter = NULL);
    void SetUp() override;
    // The document open on the test's database with that statement and order.
    void OpenOn(LPCTSTR lpszSQL, LPCTSTR lpszOrder = "", LPCTSTR lpszFilter = NULL);

    CRecordsetDoc::TableStatus Fetch(int nMove,
                                     CArray<CColumnDetails, CColumnDetails>* pCols = NULL);
    // The exchanges with a server one Fetch costs (0 on SQLite); it must end with expected.
    unsigned long long ExchangesOf(int nMove,
                                   CRecordsetDoc::TableStatus expected = CRecordsetDoc::tsOk);
    // Column 0 of each row as a number (0 for a blank row).
    std::vector<int> Ids() const;
    // Every cell of row r joined with "|".
    std::string Row(int r) const;
    BOOL AllBlankFrom(int r) const;
    // The bookmark of the record with that ID, through the document's own dynaset.
    COleVariant BookmarkOf(int nID);
    // Deletes a record through a connection of its own, as another user would.
    void DeleteElsewhere(int nID);

    TestDatabase m_db;
    CRecordsetDoc m_doc;
    CArray<CStringArray, CStringArray> m_rows;
    COleVariant m_first, m_last;
    int m_nCount = 0;
    int m_nFilled = -1;
    int m_nMessagesAtStart = 0;

    int NewMessages() const { return MessageCount() - m_nMessagesAtStart; }
};
