#include "companions/dialogs/ControlToolTips.h"

CString KelToolTipText(UINT nID) {
    CString full;
    if (nID == 0 || !full.LoadString(nID))
        return CString();
    const int nl = full.Find('\n');
    if (nl < 0)
        return full;
    CString tip = full.Mid(nl + 1);
    const int next = tip.Find('\n');
    return next < 0 ? tip : tip.Left(next);
}

int KelAddControlToolTips(CToolTipCtrl& tip, CWnd* pParent) {
    if (tip.GetSafeHwnd() == NULL || pParent == nullptr || pParent->GetSafeHwnd() == NULL)
        return 0;
    int added = 0;
    for (CWnd* pChild = pParent->GetWindow(GW_CHILD); pChild != nullptr;
         pChild = pChild->GetNextWindow()) {
        const int id = pChild->GetDlgCtrlID();
        if (id <= 0 || id == 0xFFFF)
            continue; // statics without an ID of their own
        const CString text = KelToolTipText(static_cast<UINT>(id));
        if (!text.IsEmpty() && tip.AddTool(pChild, text))
            ++added;
    }
    return added;
}

void KelRelayToolTip(CToolTipCtrl& tip, MSG* pMsg) {
    if (tip.GetSafeHwnd() != NULL && pMsg != nullptr && pMsg->message >= WM_MOUSEFIRST &&
        pMsg->message <= WM_MOUSELAST)
        tip.RelayEvent(pMsg);
}
