// The header class: items in a display order, drawn as buttons; clicks, divider tracking and
// drag-reordering told to the parent with the HDN_ notifications.
#include "platform/controls/CommCtrlDefs.h"
#include "platform/controls/NativeControl.h"

#include <algorithm>
#include <vector>

namespace kel::ctl {
namespace {

constexpr int kDivider = 4; // the divider's reach on each side
constexpr int kMargin = 6;  // text and image margin inside an item

class Header : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
        case WM_ENABLE:
            Invalidate();
            return 0;
        case WM_SETFONT:
            Default(msg, wp, lp);
            if (lp)
                Invalidate();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                CPoint pt;
                ::GetCursorPos(&pt);
                ::ScreenToClient(m_hWnd, &pt);
                HDHITTESTINFO hti{pt, 0, -1};
                HitTest(hti);
                if (m_eMode == Tracking || (hti.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))) {
                    ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
                    return TRUE;
                }
            }
            return Default(msg, wp, lp);
        case WM_LBUTTONDOWN:
            ButtonDown(Point(lp));
            return 0;
        case WM_LBUTTONDBLCLK:
            DoubleClick(Point(lp));
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(Point(lp));
            return 0;
        case WM_LBUTTONUP:
            ButtonUp(Point(lp));
            return 0;
        case WM_RBUTTONUP: {
            NMHDR hdr{};
            NotifyParent(hdr, NM_RCLICK);
            return Alive() ? Default(msg, wp, lp) : 0;
        }
        case WM_CAPTURECHANGED:
            if (m_eMode != None && reinterpret_cast<HWND>(lp) != m_hWnd)
                CancelMode();
            return 0;
        case HDM_GETITEMCOUNT:
            return static_cast<LRESULT>(m_items.size());
        case HDM_INSERTITEM:
            return Insert(static_cast<int>(wp), reinterpret_cast<const HDITEM*>(lp));
        case HDM_DELETEITEM:
            return Delete(static_cast<int>(wp));
        case HDM_GETITEM:
            return GetItem(static_cast<int>(wp), reinterpret_cast<HDITEM*>(lp));
        case HDM_SETITEM:
            return SetItem(static_cast<int>(wp), reinterpret_cast<HDITEM*>(lp));
        case HDM_LAYOUT:
            return Layout(reinterpret_cast<HDLAYOUT*>(lp));
        case HDM_HITTEST: {
            auto* hti = reinterpret_cast<HDHITTESTINFO*>(lp);
            if (hti == nullptr)
                return -1;
            HitTest(*hti);
            return hti->iItem;
        }
        case HDM_GETITEMRECT:
            if (!Valid(static_cast<int>(wp)) || lp == 0)
                return FALSE;
            *reinterpret_cast<LPRECT>(lp) = ItemRect(static_cast<int>(wp));
            return TRUE;
        case HDM_SETIMAGELIST: {
            HIMAGELIST old = m_hImageList;
            m_hImageList = reinterpret_cast<HIMAGELIST>(lp);
            Invalidate();
            return reinterpret_cast<LRESULT>(old);
        }
        case HDM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(m_hImageList);
        case HDM_ORDERTOINDEX: {
            const int order = static_cast<int>(wp);
            if (order < 0 || order >= static_cast<int>(m_order.size()))
                return order;
            return m_order[static_cast<size_t>(order)];
        }
        case HDM_GETORDERARRAY: {
            auto* out = reinterpret_cast<int*>(lp);
            if (out == nullptr || static_cast<size_t>(wp) < m_order.size())
                return FALSE;
            std::copy(m_order.begin(), m_order.end(), out);
            return TRUE;
        }
        case HDM_SETORDERARRAY:
            return SetOrder(static_cast<int>(wp), reinterpret_cast<const int*>(lp));
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    struct Item {
        int cxy = 0;
        CString text;
        HBITMAP hbm = nullptr;
        int fmt = HDF_LEFT | HDF_STRING;
        LPARAM lParam = 0;
        int iImage = 0;
    };
    enum Mode { None, Pressing, Dragging, Tracking };

    static CPoint Point(LPARAM lp) { return CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); }
    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(m_items.size()); }
    int OrderOf(int index) const {
        auto it = std::find(m_order.begin(), m_order.end(), index);
        return it == m_order.end() ? -1 : static_cast<int>(it - m_order.begin());
    }
    int LeftOf(int index) const {
        int x = 0;
        for (int i : m_order) {
            if (i == index)
                return x;
            x += m_items[static_cast<size_t>(i)].cxy;
        }
        return x;
    }
    CRect ItemRect(int index) const {
        const int left = LeftOf(index);
        return CRect(left, 0, left + m_items[static_cast<size_t>(index)].cxy, Client().bottom);
    }

    // The notification record's item, filled for the mask.
    LRESULT NotifyItem(UINT code, int index, HDITEM* pItem, int button = 0) {
        NMHEADER nm{};
        nm.iItem = index;
        nm.iButton = button;
        nm.pitem = pItem;
        return NotifyParent(nm.hdr, code);
    }

    int Insert(int index, const HDITEM* p) {
        if (p == nullptr)
            return -1;
        const int n = static_cast<int>(m_items.size());
        index = std::clamp(index, 0, n);
        Item item;
        Apply(item, *p);
        m_items.insert(m_items.begin() + index, item);
        for (int& v : m_order) {
            if (v >= index)
                ++v;
        }
        const int pos = std::clamp((p->mask & HDI_ORDER) ? p->iOrder : index, 0, n);
        m_order.insert(m_order.begin() + pos, index);
        Invalidate();
        return index;
    }

    BOOL Delete(int index) {
        if (!Valid(index))
            return FALSE;
        if (m_eMode != None)
            CancelMode();
        m_items.erase(m_items.begin() + index);
        m_order.erase(std::remove(m_order.begin(), m_order.end(), index), m_order.end());
        for (int& v : m_order) {
            if (v > index)
                --v;
        }
        Invalidate();
        return TRUE;
    }

    static void Apply(Item& item, const HDITEM& p) {
        if (p.mask & HDI_WIDTH)
            item.cxy = std::max(0, p.cxy);
        if (p.mask & HDI_TEXT)
            item.text = (p.pszText != nullptr && p.pszText != LPSTR_TEXTCALLBACK) ? p.pszText : "";
        if (p.mask & HDI_FORMAT)
            item.fmt = p.fmt;
        if (p.mask & HDI_LPARAM)
            item.lParam = p.lParam;
        if (p.mask & HDI_BITMAP)
            item.hbm = p.hbm;
        if (p.mask & HDI_IMAGE)
            item.iImage = p.iImage;
    }

    BOOL GetItem(int index, HDITEM* p) const {
        if (!Valid(index) || p == nullptr)
            return FALSE;
        const Item& item = m_items[static_cast<size_t>(index)];
        if (p->mask & HDI_WIDTH)
            p->cxy = item.cxy;
        if (p->mask & HDI_TEXT)
            CopyText(item.text, p->pszText, p->cchTextMax);
        if (p->mask & HDI_FORMAT)
            p->fmt = item.fmt;
        if (p->mask & HDI_LPARAM)
            p->lParam = item.lParam;
        if (p->mask & HDI_BITMAP)
            p->hbm = item.hbm;
        if (p->mask & HDI_IMAGE)
            p->iImage = item.iImage;
        if (p->mask & HDI_ORDER)
            p->iOrder = OrderOf(index);
        return TRUE;
    }

    BOOL SetItem(int index, HDITEM* p) {
        if (!Valid(index) || p == nullptr)
            return FALSE;
        if (NotifyItem(HDN_ITEMCHANGING, index, p) != 0 || !Alive() || !Valid(index))
            return FALSE;
        Apply(m_items[static_cast<size_t>(index)], *p);
        if (p->mask & HDI_ORDER) {
            const int to = std::clamp(p->iOrder, 0, static_cast<int>(m_order.size()) - 1);
            m_order.erase(m_order.begin() + OrderOf(index));
            m_order.insert(m_order.begin() + to, index);
        }
        Invalidate();
        NotifyItem(HDN_ITEMCHANGED, index, p);
        return TRUE;
    }

    BOOL SetOrder(int count, const int* order) {
        if (order == nullptr || count != static_cast<int>(m_items.size()))
            return FALSE;
        std::vector<bool> seen(static_cast<size_t>(count), false);
        for (int k = 0; k < count; ++k) {
            const int v = order[k];
            if (v < 0 || v >= count || seen[static_cast<size_t>(v)])
                return FALSE; // not an arrangement of the items
            seen[static_cast<size_t>(v)] = true;
        }
        m_order.assign(order, order + count);
        Invalidate();
        return TRUE;
    }

    int Height() const {
        if (Style() & HDS_HIDDEN)
            return 0;
        int h = FontHeight(Font());
        int cx = 0, cy = 0;
        if (m_hImageList != nullptr && ImageList_GetIconSize(m_hImageList, &cx, &cy))
            h = std::max(h, cy);
        return h + 6;
    }

    BOOL Layout(HDLAYOUT* p) {
        if (p == nullptr || p->prc == nullptr || p->pwpos == nullptr)
            return FALSE;
        const int h = Height();
        RECT& rc = *p->prc;
        *p->pwpos =
            WINDOWPOS{m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, h, SWP_NOZORDER};
        rc.top += h;
        return TRUE;
    }

    void HitTest(HDHITTESTINFO& hti) const {
        const CRect client = Client();
        hti.iItem = -1;
        hti.flags = 0;
        const CPoint pt(hti.pt);
        if (pt.y < 0)
            hti.flags |= HHT_ABOVE;
        if (pt.y >= client.bottom)
            hti.flags |= HHT_BELOW;
        if (pt.x < 0)
            hti.flags |= HHT_TOLEFT;
        if (hti.flags != 0)
            return;
        // Dividers first: the nearest right edge within reach; an empty item right of a
        // divider opens from its right side.
        int x = 0, best = -1, bestX = 0, bestDist = kDivider + 1;
        for (size_t k = 0; k < m_order.size(); ++k) {
            const int i = m_order[k];
            x += m_items[static_cast<size_t>(i)].cxy;
            const int d = std::abs(pt.x - x);
            if (d < bestDist) {
                bestDist = d;
                best = static_cast<int>(k);
                bestX = x;
            }
        }
        if (best >= 0) {
            const size_t k = static_cast<size_t>(best);
            if (pt.x > bestX && k + 1 < m_order.size() &&
                m_items[static_cast<size_t>(m_order[k + 1])].cxy == 0) {
                hti.iItem = m_order[k + 1];
                hti.flags = HHT_ONDIVOPEN;
                return;
            }
            hti.iItem = m_order[k];
            hti.flags = HHT_ONDIVIDER;
            return;
        }
        x = 0;
        for (int i : m_order) {
            const int w = m_items[static_cast<size_t>(i)].cxy;
            if (pt.x >= x && pt.x < x + w) {
                hti.iItem = i;
                hti.flags = HHT_ONHEADER;
                return;
            }
            x += w;
        }
        hti.flags = pt.x >= x ? (HHT_NOWHERE | HHT_TORIGHT) : HHT_NOWHERE;
    }

    void ButtonDown(CPoint pt) {
        HDHITTESTINFO hti{pt, 0, -1};
        HitTest(hti);
        if (hti.iItem < 0)
            return;
        if (hti.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
            Item& item = m_items[static_cast<size_t>(hti.iItem)];
            HDITEM hdi{};
            hdi.mask = HDI_WIDTH;
            hdi.cxy = item.cxy;
            if (NotifyItem(HDN_BEGINTRACK, hti.iItem, &hdi) != 0 || !Alive() || !Valid(hti.iItem))
                return;
            m_eMode = Tracking;
            m_nItem = hti.iItem;
            m_nOrigWidth = m_items[static_cast<size_t>(hti.iItem)].cxy;
            m_nTrackWidth = m_nOrigWidth;
            m_nGrab = pt.x - (LeftOf(m_nItem) + m_nOrigWidth);
            ::SetCapture(m_hWnd);
            return;
        }
        if (!(Style() & (HDS_BUTTONS | HDS_DRAGDROP)))
            return;
        m_eMode = Pressing;
        m_nItem = hti.iItem;
        m_ptPress = pt;
        m_bInside = true;
        m_bDragRefused = false;
        ::SetCapture(m_hWnd);
        Invalidate();
    }

    void MouseMove(CPoint pt) {
        switch (m_eMode) {
        case Tracking: {
            const int width = std::max(0, pt.x - m_nGrab - LeftOf(m_nItem));
            if (width == m_nTrackWidth)
                return;
            m_nTrackWidth = width;
            HDITEM hdi{};
            hdi.mask = HDI_WIDTH;
            hdi.cxy = width;
            const LRESULT stop = NotifyItem(HDN_TRACK, m_nItem, &hdi);
            if (!Alive())
                return;
            if (Style() & HDS_FULLDRAG)
                ApplyWidth(m_nItem, width);
            Invalidate();
            if (stop != 0)
                EndTrack();
            return;
        }
        case Pressing: {
            if ((Style() & HDS_DRAGDROP) && !m_bDragRefused &&
                std::abs(pt.x - m_ptPress.x) > ::GetSystemMetrics(SM_CXDRAG)) {
                HDITEM hdi{};
                hdi.mask = HDI_ORDER;
                hdi.iOrder = OrderOf(m_nItem);
                if (NotifyItem(HDN_BEGINDRAG, m_nItem, &hdi) == 0) {
                    if (!Alive() || m_eMode != Pressing)
                        return;
                    m_eMode = Dragging;
                    m_nDragOffset = m_ptPress.x - LeftOf(m_nItem);
                    m_nDragX = pt.x;
                    Invalidate();
                    return;
                }
                m_bDragRefused = true;
            }
            const bool inside = ItemRect(m_nItem).PtInRect(pt) != FALSE;
            if (inside != m_bInside) {
                m_bInside = inside;
                Invalidate();
            }
            return;
        }
        case Dragging:
            m_nDragX = pt.x;
            Invalidate();
            return;
        default:
            return;
        }
    }

    // Where a dragged item lands: before the first other item whose middle is right of the
    // pointer's item position.
    int DropOrder(int x) const {
        const int left = x - m_nDragOffset;
        const int mid = left + m_items[static_cast<size_t>(m_nItem)].cxy / 2;
        int pos = 0, edge = 0;
        for (int i : m_order) {
            const int w = m_items[static_cast<size_t>(i)].cxy;
            if (i != m_nItem) {
                if (mid < edge + w / 2)
                    break;
                ++pos;
            }
            edge += w;
        }
        return pos;
    }

    void ButtonUp(CPoint pt) {
        const Mode mode = m_eMode;
        if (mode == None)
            return;
        if (mode == Tracking) {
            MouseMove(pt);
            if (m_eMode == Tracking)
                EndTrack();
            return;
        }
        const int item = m_nItem;
        m_eMode = None;
        ReleaseOwnCapture();
        Invalidate();
        if (mode == Pressing) {
            if ((Style() & HDS_BUTTONS) && Valid(item) && ItemRect(item).PtInRect(pt))
                NotifyItem(HDN_ITEMCLICK, item, nullptr);
            return;
        }
        // Dragging: the parent may refuse the new order.
        if (!Valid(item))
            return;
        HDITEM hdi{};
        hdi.mask = HDI_ORDER;
        hdi.iOrder = DropOrder(pt.x);
        if (NotifyItem(HDN_ENDDRAG, item, &hdi) != 0 || !Alive() || !Valid(item))
            return;
        const int to = std::clamp(hdi.iOrder, 0, static_cast<int>(m_order.size()) - 1);
        const int from = OrderOf(item);
        if (from < 0 || from == to)
            return;
        m_order.erase(m_order.begin() + from);
        m_order.insert(m_order.begin() + to, item);
        Invalidate();
    }

    void EndTrack() {
        const int item = m_nItem;
        const int width = m_nTrackWidth;
        m_eMode = None;
        ReleaseOwnCapture();
        Invalidate();
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH;
        hdi.cxy = width;
        NotifyItem(HDN_ENDTRACK, item, &hdi);
        if (Alive() && Valid(item))
            ApplyWidth(item, width);
    }

    void ApplyWidth(int item, int width) {
        if (m_items[static_cast<size_t>(item)].cxy == width)
            return;
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH;
        hdi.cxy = width;
        SetItem(item, &hdi);
    }

    // The mouse operation stops without effect (the capture went elsewhere).
    void CancelMode() {
        const Mode mode = m_eMode;
        m_eMode = None;
        ReleaseOwnCapture();
        Invalidate();
        if (mode == Tracking && Valid(m_nItem)) {
            if (Style() & HDS_FULLDRAG)
                ApplyWidth(m_nItem, m_nOrigWidth);
            HDITEM hdi{};
            hdi.mask = HDI_WIDTH;
            hdi.cxy = m_nOrigWidth;
            NotifyItem(HDN_ENDTRACK, m_nItem, &hdi);
        }
    }

    void DoubleClick(CPoint pt) {
        HDHITTESTINFO hti{pt, 0, -1};
        HitTest(hti);
        if (hti.iItem < 0)
            return;
        if (hti.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
            NotifyItem(HDN_DIVIDERDBLCLICK, hti.iItem, nullptr);
        else if (Style() & HDS_BUTTONS)
            NotifyItem(HDN_ITEMDBLCLICK, hti.iItem, nullptr);
    }

    void DrawItem(HDC hdc, int index, CRect rc, bool pressed) {
        const Item& item = m_items[static_cast<size_t>(index)];
        ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_3DFACE));
        if (item.fmt & HDF_OWNERDRAW) {
            DRAWITEMSTRUCT dis{};
            dis.itemID = static_cast<UINT>(index);
            dis.itemState = pressed ? ODS_SELECTED : 0;
            dis.rcItem = rc;
            dis.itemData = static_cast<ULONG_PTR>(item.lParam);
            const int saved = ::SaveDC(hdc);
            ::IntersectClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
            SendDrawItem(dis, ODT_HEADER, hdc);
            ::RestoreDC(hdc, saved);
        } else {
            CRect content = rc;
            content.DeflateRect(kMargin, 1);
            if (pressed)
                content.OffsetRect(1, 1);
            int cx = 0, cy = 0;
            if ((item.fmt & HDF_IMAGE) && m_hImageList != nullptr &&
                ImageList_GetIconSize(m_hImageList, &cx, &cy) && content.Width() > cx) {
                ImageList_Draw(m_hImageList, item.iImage, hdc, content.left,
                               content.top + (content.Height() - cy) / 2, ILD_TRANSPARENT);
                content.left += cx + kMargin;
            }
            BITMAP bm{};
            if ((item.fmt & HDF_BITMAP) && item.hbm != nullptr &&
                ::GetObject(item.hbm, sizeof(bm), &bm) && content.Width() > bm.bmWidth) {
                const bool right = (item.fmt & HDF_BITMAP_ON_RIGHT) != 0;
                const int x = right ? content.right - bm.bmWidth : content.left;
                DrawBitmap(hdc, item.hbm, x, content.top + (content.Height() - bm.bmHeight) / 2,
                           bm.bmWidth, bm.bmHeight);
                if (right)
                    content.right -= bm.bmWidth + kMargin;
                else
                    content.left += bm.bmWidth + kMargin;
            }
            if (!item.text.IsEmpty() && content.Width() > 0) {
                UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
                switch (item.fmt & HDF_JUSTIFYMASK) {
                case HDF_RIGHT:
                    fmt |= DT_RIGHT;
                    break;
                case HDF_CENTER:
                    fmt |= DT_CENTER;
                    break;
                default:
                    break;
                }
                DrawItemText(hdc, item.text, item.text.GetLength(), content, fmt, Enabled());
            }
        }
        if (pressed) {
            ::FrameRect(hdc, &rc, ::GetSysColorBrush(COLOR_3DSHADOW));
        } else {
            CRect edge = rc;
            ::DrawEdge(hdc, &edge, EDGE_RAISED, BF_RECT | BF_SOFT);
        }
    }

    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNTEXT));
        ::SetBkColor(hdc, ::GetSysColor(COLOR_3DFACE));
        const CRect client = Client();
        // Items outside the clip box are not drawn: a grid scrolls its header left out of its
        // window, and only the columns that show cost a paint.
        CRect clip;
        ::GetClipBox(hdc, &clip);
        int x = 0;
        for (int i : m_order) {
            const int w = m_items[static_cast<size_t>(i)].cxy;
            if (w > 0 && x < clip.right && x + w > clip.left) {
                const bool pressed =
                    m_eMode == Pressing && i == m_nItem && m_bInside && (Style() & HDS_BUTTONS);
                if (m_eMode == Dragging && i == m_nItem) {
                    CRect hole(x, 0, x + w, client.bottom);
                    ::FillRect(hdc, &hole, ::GetSysColorBrush(COLOR_3DSHADOW));
                } else {
                    DrawItem(hdc, i, CRect(x, 0, x + w, client.bottom), pressed);
                }
            }
            x += w;
        }
        if (x < client.right) {
            CRect rest(x, 0, client.right, client.bottom);
            ::FillRect(hdc, &rest, ::GetSysColorBrush(COLOR_3DFACE));
            ::DrawEdge(hdc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
        }
        if (m_eMode == Tracking && !(Style() & HDS_FULLDRAG)) {
            const int line = LeftOf(m_nItem) + m_nTrackWidth;
            CRect rc(line - 1, 0, line + 1, client.bottom);
            ::InvertRect(hdc, &rc);
        }
        if (m_eMode == Dragging) {
            // The item follows the pointer; a mark shows where it would land.
            const int w = m_items[static_cast<size_t>(m_nItem)].cxy;
            CRect ghost(m_nDragX - m_nDragOffset, 0, m_nDragX - m_nDragOffset + w, client.bottom);
            DrawItem(hdc, m_nItem, ghost, true);
            // The mark stands before the other item the dragged one would precede.
            const int to = DropOrder(m_nDragX);
            int mark = x, pos = 0;
            for (int i : m_order) {
                if (i == m_nItem)
                    continue;
                if (pos++ == to) {
                    mark = LeftOf(i);
                    break;
                }
            }
            CRect rc(mark - 1, 0, mark + 1, client.bottom);
            ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    }

    std::vector<Item> m_items;
    std::vector<int> m_order; // item index at each display position
    HIMAGELIST m_hImageList = nullptr;

    Mode m_eMode = None;
    int m_nItem = -1;
    CPoint m_ptPress;
    bool m_bInside = false;
    bool m_bDragRefused = false;
    int m_nOrigWidth = 0, m_nTrackWidth = 0, m_nGrab = 0;
    int m_nDragOffset = 0, m_nDragX = 0;
};

} // namespace

WNDPROC HeaderWndProc() {
    return &NativeClass<Header>::WndProc;
}

} // namespace kel::ctl
