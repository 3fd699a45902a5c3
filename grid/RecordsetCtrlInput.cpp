// KEL-PENDING: keyboard, mouse and timers (placeholder until written).
#include "grid/RecordsetCtrl.h"

UINT CRecordsetCtrl::OnGetDlgCode() {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}
void CRecordsetCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}
void CRecordsetCtrl::OnChar(UINT, UINT, UINT) {}
void CRecordsetCtrl::OnTimer(UINT_PTR) {}
void CRecordsetCtrl::OnLButtonDown(UINT, CPoint point) {
    CheckClick(point, 0);
}
void CRecordsetCtrl::OnLButtonDblClk(UINT, CPoint point) {
    CheckClick(point, 2);
}
void CRecordsetCtrl::OnMouseMove(UINT, CPoint) {}
BOOL CRecordsetCtrl::OnMouseWheel(UINT, short, CPoint) {
    return TRUE;
}
void CRecordsetCtrl::Activate() {}
