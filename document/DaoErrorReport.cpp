#include "document/DaoErrorReport.h"

namespace kel::document {

long DaoErrorCode(const CDaoException* e) {
    return (e && e->m_pErrorInfo) ? e->m_pErrorInfo->m_lErrorCode : 0;
}

void ReportDaoException(CDaoException* e) {
    CString text;
    if (e->m_pErrorInfo)
        text = e->m_pErrorInfo->m_strDescription;
    if (text.IsEmpty()) {
        TCHAR buf[512] = "";
        e->GetErrorMessage(buf, sizeof buf);
        text = buf;
    }
    AfxMessageBox(text, 0, 0);
    e->Delete();
}

} // namespace kel::document
