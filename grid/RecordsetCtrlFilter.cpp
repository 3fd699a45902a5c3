// KEL-PENDING: filter building (placeholder until written).
#include "grid/RecordsetCtrl.h"

CString CRecordsetCtrl::CreateFilter(int, int, LPCTSTR, LPCTSTR, LPCTSTR) {
    return CString();
}
