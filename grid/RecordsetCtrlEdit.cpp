// KEL-PENDING: in-place editing and record access (placeholder until written).
#include "grid/RecordsetCtrl.h"

BOOL CRecordsetCtrl::EditCurrentRecord(int, int, CPoint*) {
    return FALSE;
}
BOOL CRecordsetCtrl::BeforeEdit(CKillEdit*, CPoint*) {
    return FALSE;
}
LRESULT CRecordsetCtrl::OnKillEdit(WPARAM, LPARAM) {
    return 0;
}
LRESULT CRecordsetCtrl::OnKillEditCancel(WPARAM, LPARAM) {
    return 0;
}
BOOL CRecordsetCtrl::GetCurrentRecord(CDaoRecordset*, BOOL, int) {
    return FALSE;
}
BOOL CRecordsetCtrl::AddRecord(CDaoRecordset*) {
    return FALSE;
}
