// Inside the controls: the list box, which the combo box also uses as its drop-down list.
// Not a public header.
#pragma once

#include "platform/controls/NativeControl.h"
#include "platform/controls/ScrollTrack.h"

#include <vector>

namespace kel::ctl {

class ListBox : public NativeControl {
public:
    explicit ListBox(HWND h);
    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The drop-down list of a combo box: owned by the combo, shown as a popup while dropped.
    void SetCombo(HWND hCombo) { m_hCombo = hCombo; }
    bool IsComboList() const { return m_hCombo != nullptr; }
    // While the list is dropped, the pointer tracks the selection; a release outside the
    // items (the one that follows the drop) leaves it open.
    void BeginDrop();
    int GetCurSel() const { return m_nCurSel; }
    // Keyboard movement of the combo box: the selection moves as in a list with the focus.
    // TRUE when the key moved it.
    bool MoveByKey(UINT vk);
    int CountOfItems() const { return static_cast<int>(m_items.size()); }
    int ItemHeight() const { return m_nItemHeight; }
    int FindPrefixFrom(int start, LPCTSTR prefix, bool exact) const;
    void SelectForCombo(int index); // without notifications

protected:
    struct Item {
        CString text;
        ULONG_PTR data = 0;
        bool sel = false;
    };

    bool Multi() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    bool Extended() const { return (Style() & LBS_EXTENDEDSEL) != 0; }
    bool NotifyStyle() const { return (Style() & LBS_NOTIFY) != 0 || IsComboList(); }
    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(m_items.size()); }
    int FullRows() const;
    int KeyTarget(UINT vk, int from) const;
    int MaxTop() const;
    void SetTop(int top);
    void EnsureVisible(int index);
    int ItemFromPoint(CPoint pt, bool* pOutside) const;
    CRect ItemRect(int index) const;
    void SelectSingle(int index);
    void SelectRange(int a, int b, bool clearOthers);
    void Changed(); // counts or heights changed: scroll bar and repaint
    void UpdateScrollBar();
    CRect ScrollBarRect() const; // window coordinates
    CPoint ClientToWindow(CPoint pt) const;
    void Paint();
    void NcPaint();
    void ButtonDown(CPoint pt, UINT keys, bool dbl);
    void MouseMove(CPoint pt);
    void ButtonUp(CPoint pt);
    bool KeyDown(UINT vk);
    void Char(UINT ch);
    void SelChange(bool notify);
    int Insert(int index, LPCTSTR text);

    std::vector<Item> m_items;
    int m_nTop = 0;
    int m_nCaret = 0;
    int m_nAnchor = 0;
    int m_nCurSel = -1;
    int m_nItemHeight = 0;
    bool m_bTracking = false;       // the left button is held in the items
    bool m_bSelChanged = false;     // a change not yet notified
    bool m_bHasVScroll = false;     // created with WS_VSCROLL
    bool m_bScrollTracking = false; // the button is held on the scroll bar
    HWND m_hCombo = nullptr;
    ScrollTrack m_track;
};

// The combo box's part of the dropped list: the user chose (TRUE) or cancelled.
void ComboListDone(HWND hCombo, bool chosen);

} // namespace kel::ctl
