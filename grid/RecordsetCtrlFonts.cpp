// The grid's three fonts and their measures: the row height and the column width unit.
#include "grid/RecordsetCtrl.h"

void CRecordsetCtrl::SetFonts() {
    CClientDC dcScreen(this);
    const int nDpi = dcScreen.GetDeviceCaps(LOGPIXELSY);
    // Single-precision factors, truncated toward zero: 9 points at 96 dpi are -12 pixels.
    const int nHeight = (int)((float)m_nFontSize * (float)nDpi * (-1.0f / 72.0f));
    const int nSmallHeight = (int)((float)nDpi * (-1.0f / 9.0f));

    auto make = [this](CFont& font, int nFontHeight, int nWeight) {
        if (font.GetSafeHandle() != NULL)
            font.DeleteObject();
        font.CreateFont(nFontHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                        0, 0, m_strFontName);
    };
    make(m_font, nHeight, FW_NORMAL);
    make(m_fontBold, nHeight, FW_BOLD);
    make(m_fontSmall, nSmallHeight, FW_NORMAL);

    if (m_wndHeader.GetSafeHwnd() != NULL)
        m_wndHeader.SetFont(&m_fontBold, TRUE);
    SendMessage(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), TRUE);

    CClientDC dc(this);
    TEXTMETRIC tm{};
    CFont* pOld = dc.SelectObject(&m_font);
    dc.GetTextMetrics(&tm);
    m_nCharHeight = tm.tmHeight;
    m_nCharWidth = tm.tmAveCharWidth;
    dc.SelectObject(&m_fontBold);
    dc.GetTextMetrics(&tm);
    m_nHeaderCharWidth = tm.tmAveCharWidth;
    dc.SelectObject(&m_fontSmall);
    dc.GetTextMetrics(&tm);
    m_nSmallCharHeight = tm.tmHeight;
    dc.SelectObject(pOld);
}
