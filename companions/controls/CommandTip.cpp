#include "companions/controls/CommandTip.h"

CString KelCommandTip(UINT nID) {
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
