// A document open on a statement, with a window of rows as the grid keeps it: for the benches
// that move the document alone, without a grid or its paint.
#pragma once

#include <KelRSList.h>
#include <afxdao.h>
#include <afxwin.h>

#include <string>

namespace kelbench {

class BenchWindow {
public:
    // database: a file or a server's URI; order: the dynaset's sort ("" for none).
    BenchWindow(const std::string& database, const std::string& sql, LPCTSTR order, int rows)
        : m_nCount(rows) {
        m_doc.SetDatabase(database.c_str());
        m_doc.SetDynaset(sql.c_str(), NULL, NULL, order, 0);
        m_doc.Open();
        CStringArray names;
        CArray<short, short> types;
        if (m_doc.IsOpen())
            m_doc.GetFields(&names, NULL, &types, NULL, NULL, NULL);
        m_columns.SetSize(names.GetSize());
        for (INT_PTR i = 0; i < names.GetSize(); ++i) {
            m_columns[i].m_strName = names[i];
            m_columns[i].m_nType = types[i];
            m_columns[i].m_nField = static_cast<int>(i);
        }
        m_rows.SetSize(rows);
        m_rows[0].SetSize(names.GetSize());
    }

    CRecordsetDoc::TableStatus Move(int nMove) {
        return m_doc.GetTable(&m_rows, &m_columns, nMove, m_nCount, &m_first, &m_last, &m_nRows);
    }

    CRecordsetDoc m_doc;
    CArray<CColumnDetails, CColumnDetails> m_columns;
    CArray<CStringArray, CStringArray> m_rows;
    COleVariant m_first, m_last;
    int m_nCount;
    int m_nRows = 0;
};

} // namespace kelbench
