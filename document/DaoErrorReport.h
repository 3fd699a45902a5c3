// The document's way with database errors: the first error's description in an OK box,
// then the exception is released.
#pragma once

#include "afxdao.h"
#include "afxwin.h"

namespace kel::document {

// The first DAO error code carried by the exception (0 when it carries none).
long DaoErrorCode(const CDaoException* e);
// Shows the description with AfxMessageBox(text, 0, 0) and deletes the exception.
void ReportDaoException(CDaoException* e);

} // namespace kel::document
