// CExScrollBar: a scroll bar that takes 32-bit ranges. The platform bar, whose thumb
// messages carry 16-bit positions, is given the range itself when it fits 0..65535 and a
// scaled copy of it otherwise; every way of reading or setting the range, the page and the
// position (the members here, the framework's SetScrollPos/GetScrollPos/SetScrollRange/
// GetScrollRange/SetScrollInfo/GetScrollInfo, and the SBM_ messages) works in the real
// values, and the thumb stands where the real position says.
//
// A maximum below the minimum is an empty range: the bar shows no thumb and is disabled
// until a range is set again. The position is kept within min .. max - page + 1, as the
// system keeps it.
//
// The thumb messages (SB_THUMBTRACK, SB_THUMBPOSITION) can only carry 16 bits: for a scaled
// range, GetThumbPos turns their nPos back into a real position, and GetThumbMessagePos gives
// the nPos to send for one.
#pragma once

#include "afxwin.h"

class CExScrollBar : public CScrollBar {
    DECLARE_DYNAMIC(CExScrollBar)
public:
    CExScrollBar() = default;

    void SetScrollRangePage(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void SetScrollPage(int nPage, BOOL bRedraw = TRUE);
    // The range as last set (an empty one included).
    void GetScrollRangePage(int* pMinPos, int* pMaxPos) const;
    int GetScrollPage() const;
    BOOL IsRangeEmpty() const;
    // The real position that a thumb message's nPos stands for.
    int GetThumbPos(UINT nPos) const;
    // The 16-bit nPos a thumb message sent for real position nPos carries: GetThumbPos gives
    // back nPos (clamped to where the thumb can stand) at both ends of the range.
    UINT GetThumbMessagePos(int nPos) const;

    // The largest value the platform bar's range takes; beyond it the range is scaled.
    static constexpr int kBarLimit = 0xFFFF;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Logical {
        int nMin = 0;
        int nMax = 100;
        UINT nPage = 0;
        int nPos = 0;
    };
    struct Scale {
        long long barPage = 0;   // the page on the platform bar
        long long barTravel = 0; // the platform positions the thumb can take, from 0
        long long travel = 0;    // the real positions it can take, from the minimum
    };
    // The state, read from the platform bar the first time it is needed.
    Logical& State() const;
    bool IsScaled() const;
    Scale GetScale() const;
    int ToBar(int nPos) const;
    int FromBar(int nBarPos) const;
    void Clamp();
    // The last position the thumb can stand at: max - page + 1, not below min.
    int LastPos() const;
    // Hands the platform bar the range, page and position, and its enabled state.
    void Sync(BOOL bRedraw);
    void ApplyInfo(const SCROLLINFO& si);
    void FillInfo(SCROLLINFO& si) const;

    mutable Logical m_state;
    mutable bool m_bKnown = false;
    bool m_bDisabledEmpty = false; // disabled by an empty range, enabled again by a real one
};
