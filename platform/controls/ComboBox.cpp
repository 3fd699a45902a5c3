#include "platform/controls/ComboBox.h"

#include "platform/controls/ControlClasses.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    KelRegisterControlClasses();
    return CWnd::Create(WC_COMBOBOX, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    rString.Empty();
    const int n = GetLBTextLen(nIndex);
    if (n == CB_ERR)
        return;
    GetLBText(nIndex, rString.GetBuffer(n));
    rString.ReleaseBuffer();
}
