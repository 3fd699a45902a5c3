// KEL-PENDING: context menu and record commands (placeholder until written).
#include "grid/RecordsetCtrl.h"

void CRecordsetCtrl::BuildMenu(CMenu*) {}
void CRecordsetCtrl::OnRButtonDown(UINT, CPoint point) {
    CheckClick(point, 1);
}
void CRecordsetCtrl::OnCMFontSize8() {}
void CRecordsetCtrl::OnCMFontSize9() {}
void CRecordsetCtrl::OnCMFontSize11() {}
void CRecordsetCtrl::OnCMFontSize13() {}
void CRecordsetCtrl::OnCMColumn() {}
void CRecordsetCtrl::OnCMShowBackground() {}
void CRecordsetCtrl::OnCMShowToolBar() {}
void CRecordsetCtrl::OnCMShowSearchBar() {}
void CRecordsetCtrl::OnCMRefresh() {
    SendMessage(WM_RSC_RELOAD, 0, 0);
}
void CRecordsetCtrl::OnUpdateNew(CCmdUI*) {}
void CRecordsetCtrl::OnUpdateOpen(CCmdUI*) {}
void CRecordsetCtrl::OnUpdateDelete(CCmdUI*) {}
void CRecordsetCtrl::OnUpdateChoose(CCmdUI*) {}
void CRecordsetCtrl::OnChoose() {}
void CRecordsetCtrl::OnClose() {}
