// KEL-PENDING: clicks (placeholder until written).
#include "grid/RecordsetCtrl.h"

void CRecordsetCtrl::CheckClick(CPoint, int) {}
