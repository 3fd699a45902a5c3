// KEL-PENDING: painting (placeholder until written).
#include "grid/RecordsetCtrl.h"

BOOL CRecordsetCtrl::OnEraseBkgnd(CDC*) {
    return TRUE;
}
void CRecordsetCtrl::OnPaint() {
    CPaintDC dc(this);
}
void CRecordsetCtrl::DrawBackground(CDC*) {}
void CRecordsetCtrl::DrawTable(CDC*) {}
void CRecordsetCtrl::DrawGrid(CDC*) {}
