// KEL-PENDING: scrolling (placeholder until written).
#include "grid/RecordsetCtrl.h"

void CRecordsetCtrl::OnHScroll(UINT, UINT, CScrollBar*) {}
void CRecordsetCtrl::OnVScroll(UINT, UINT, CScrollBar*) {}
