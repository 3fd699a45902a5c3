// KEL-PENDING: the search bar (placeholder until written).
#include "grid/RecordsetCtrl.h"

void CRecordsetCtrl::InitDialogBar() {}
void CRecordsetCtrl::OnSelendokDialogBar() {}
void CRecordsetCtrl::OnView() {}
void CRecordsetCtrl::OnUpdateView(CCmdUI*) {}
void CRecordsetCtrl::OnAll() {}
void CRecordsetCtrl::OnUpdateAll(CCmdUI*) {}
void CRecordsetCtrl::OnConfigSearch() {}
