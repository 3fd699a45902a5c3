// The header: items and their order through messages, clicks, divider tracking and
// drag-reordering through the mouse, owner-drawn items.
#include "ControlTest.h"

namespace {

class HeaderTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 500, 260)));
        ASSERT_TRUE(header.Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_DRAGDROP,
                                  CRect(0, 0, 400, 20), &host, 5));
        Add(0, "Name", 100, HDF_LEFT);
        Add(1, "Amount", 80, HDF_RIGHT);
        Add(2, "Date", 120, HDF_CENTER);
        KelRunUntilIdle();
        host.Clear();
    }
    void Add(int index, LPCTSTR text, int width, int fmt) {
        HDITEM hdi{};
        hdi.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_LPARAM;
        hdi.pszText = const_cast<LPSTR>(text);
        hdi.cxy = width;
        hdi.fmt = fmt | HDF_STRING;
        hdi.lParam = 100 + index;
        ASSERT_EQ(index, header.InsertItem(index, &hdi));
    }
    int Width(int item) {
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH;
        header.GetItem(item, &hdi);
        return hdi.cxy;
    }
    std::vector<int> Order() {
        std::vector<int> order(static_cast<size_t>(header.GetItemCount()));
        EXPECT_TRUE(header.GetOrderArray(order.data(), static_cast<int>(order.size())));
        return order;
    }

    CHostWnd host;
    CHeaderCtrl header;
};

TEST_F(HeaderTest, ItemsKeepTheirDataAndComeInDisplayOrder) {
    HDITEM hdi{};
    char text[32] = {};
    hdi.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_LPARAM | HDI_ORDER;
    hdi.pszText = text;
    hdi.cchTextMax = sizeof(text);
    ASSERT_TRUE(header.GetItem(1, &hdi));
    EXPECT_STREQ("Amount", text);
    EXPECT_EQ(80, hdi.cxy);
    EXPECT_EQ(HDF_RIGHT | HDF_STRING, hdi.fmt);
    EXPECT_EQ(101, hdi.lParam);
    EXPECT_EQ(1, hdi.iOrder);
    EXPECT_FALSE(header.GetItem(3, &hdi));

    // An index past the end appends; an order places the item among the others.
    HDITEM extra{};
    extra.mask = HDI_WIDTH | HDI_ORDER | HDI_LPARAM;
    extra.cxy = 50;
    extra.iOrder = 0;
    extra.lParam = 7;
    EXPECT_EQ(3, header.InsertItem(99, &extra));
    EXPECT_EQ((std::vector<int>{3, 0, 1, 2}), Order());
    EXPECT_EQ(3, header.OrderToIndex(0));
    CRect rc;
    ASSERT_TRUE(header.GetItemRect(0, &rc));
    EXPECT_EQ(CRect(50, 0, 150, 20), rc);

    // Deleting an item renumbers the ones after it in the order.
    EXPECT_TRUE(header.DeleteItem(0));
    EXPECT_EQ((std::vector<int>{2, 0, 1}), Order());
    EXPECT_FALSE(header.DeleteItem(5));

    // An order array must arrange every item exactly once.
    int bad[] = {0, 0, 1};
    EXPECT_FALSE(header.SetOrderArray(3, bad));
    int shortOne[] = {1, 0};
    EXPECT_FALSE(header.SetOrderArray(2, shortOne));
    int good[] = {1, 2, 0};
    EXPECT_TRUE(header.SetOrderArray(3, good));
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Order());
    int small[2];
    EXPECT_FALSE(header.GetOrderArray(small, 2)); // too small for every item
}

TEST_F(HeaderTest, LayoutAndHitTesting) {
    CRect area(0, 0, 400, 160);
    WINDOWPOS wp{};
    HDLAYOUT layout{&area, &wp};
    ASSERT_TRUE(header.Layout(&layout));
    EXPECT_GT(wp.cy, 10);
    EXPECT_EQ(400, wp.cx);
    EXPECT_EQ(wp.cy, area.top); // the header took its height from the top

    HDHITTESTINFO hti{{50, 5}, 0, -1};
    EXPECT_EQ(0, header.HitTest(&hti));
    EXPECT_EQ(static_cast<UINT>(HHT_ONHEADER), hti.flags);
    hti.pt = CPoint(178, 5); // near the divider between Amount and Date
    EXPECT_EQ(1, header.HitTest(&hti));
    EXPECT_EQ(static_cast<UINT>(HHT_ONDIVIDER), hti.flags);
    hti.pt = CPoint(350, 5);
    EXPECT_EQ(-1, header.HitTest(&hti));
    EXPECT_TRUE(hti.flags & HHT_NOWHERE);
}

TEST_F(HeaderTest, ClicksAndDoubleClicksReachTheParent) {
    Robot robot;
    robot.Click(&header, CPoint(130, 10));
    EXPECT_EQ(std::vector<std::string>({"notify 5 HDN_ITEMCLICK item 1"}), host.log);
    // A press that leaves the item before the release is no click.
    host.Clear();
    robot.Wait(1000);
    robot.Press(&header, CPoint(130, 10));
    robot.Move(&header, CPoint(130, 40));
    robot.Release(&header, CPoint(130, 40));
    EXPECT_EQ(0, host.Count("notify 5 HDN_ITEMCLICK"));

    host.Clear();
    robot.Wait(1000);
    robot.DoubleClick(&header, CPoint(30, 10));
    EXPECT_EQ(std::vector<std::string>(
                  {"notify 5 HDN_ITEMCLICK item 0", "notify 5 HDN_ITEMDBLCLICK item 0"}),
              host.log);
}

TEST_F(HeaderTest, DraggingADividerTracksTheNewWidthThenAppliesIt) {
    Robot robot;
    robot.Drag(&header, CPoint(100, 10), CPoint(140, 10), 4);
    ASSERT_GE(host.log.size(), 5u);
    EXPECT_EQ("notify 5 HDN_BEGINTRACK item 0 width 100", host.log.front());
    EXPECT_EQ(4, host.Count("notify 5 HDN_TRACK"));
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "notify 5 HDN_TRACK item 0 width 110"),
              host.log.end());
    const auto end =
        std::find(host.log.begin(), host.log.end(), "notify 5 HDN_ENDTRACK item 0 width 140");
    ASSERT_NE(end, host.log.end());
    // The width is applied after the parent heard of the end.
    EXPECT_EQ("notify 5 HDN_ITEMCHANGING item 0 width 140", *(end + 1));
    EXPECT_EQ("notify 5 HDN_ITEMCHANGED item 0 width 140", *(end + 2));
    EXPECT_EQ(140, Width(0));

    // Narrowed to nothing, the item keeps width 0.
    robot.Drag(&header, CPoint(140, 10), CPoint(-5, 10), 2);
    EXPECT_EQ(0, Width(0));

    // A parent that refuses the start keeps the width as it is.
    host.Clear();
    host.refuseCode = HDN_BEGINTRACK;
    robot.Drag(&header, CPoint(80, 10), CPoint(120, 10), 2); // Amount's right edge is at 80
    EXPECT_EQ(std::vector<std::string>({"notify 5 HDN_BEGINTRACK item 1 width 80"}), host.log);
    EXPECT_EQ(80, Width(1));
}

TEST_F(HeaderTest, DraggingAnItemReordersUnlessTheParentRefuses) {
    Robot robot;
    // Name (0..100) dropped past the middle of Date (180..300).
    robot.Drag(&header, CPoint(50, 10), CPoint(320, 10), 6);
    EXPECT_EQ("notify 5 HDN_BEGINDRAG item 0 order 0", host.log.front());
    EXPECT_EQ("notify 5 HDN_ENDDRAG item 0 order 2", host.log.back());
    EXPECT_EQ(0, host.Count("notify 5 HDN_ITEMCLICK"));
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Order());
    CRect rc;
    header.GetItemRect(0, &rc);
    EXPECT_EQ(CRect(200, 0, 300, 20), rc);

    host.Clear();
    host.refuseCode = HDN_ENDDRAG;
    robot.Drag(&header, CPoint(250, 10), CPoint(10, 10), 6);
    EXPECT_EQ("notify 5 HDN_ENDDRAG item 0 order 0", host.log.back());
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Order());

    // Without HDS_DRAGDROP a drag is only a press.
    header.ModifyStyle(HDS_DRAGDROP, 0);
    host.Clear();
    host.refuseCode = 0;
    robot.Drag(&header, CPoint(250, 10), CPoint(10, 10), 6);
    EXPECT_EQ(0, host.Count("notify 5 HDN_BEGINDRAG"));
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Order());
}

// Owner-drawn items go to the control's DrawItem with their item data.
class COwnerHeader : public CHeaderCtrl {
public:
    std::vector<ULONG_PTR> drawn;
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        EXPECT_EQ(static_cast<UINT>(ODT_HEADER), dis->CtlType);
        drawn.push_back(dis->itemData);
        CHeaderCtrl::DrawItem(dis);
    }
};

TEST_F(HeaderTest, OwnerDrawnItemsAreDrawnByTheControl) {
    COwnerHeader owner;
    ASSERT_TRUE(owner.Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS, CRect(0, 40, 400, 58), &host, 6));
    owner.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
    for (int i = 0; i < 2; ++i) {
        HDITEM hdi{};
        hdi.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_LPARAM;
        hdi.pszText = const_cast<LPSTR>(i == 0 ? "Drawn" : "By owner");
        hdi.cxy = 90;
        hdi.fmt = HDF_OWNERDRAW | HDF_STRING;
        hdi.lParam = 40 + i;
        owner.InsertItem(i, &hdi);
    }
    KelRunUntilIdle();
    EXPECT_EQ((std::vector<ULONG_PTR>{40, 41}), owner.drawn);
    SavePicture(&host, "header");
    // The owner's text is in the first item, inside its edge; the rest of the header, right
    // of the items, has none.
    auto inkIn = [&](int left, int right) {
        int n = 0;
        for (int y = 2; y < 16; ++y) {
            for (int x = left; x < right; ++x)
                n += KelGetWindowPixel(owner.m_hWnd, CPoint(x, y)) != ::GetSysColor(COLOR_3DFACE);
        }
        return n;
    };
    EXPECT_GT(inkIn(6, 84), 10);
    EXPECT_EQ(0, inkIn(190, 390));
}

TEST_F(HeaderTest, OnlyTheItemsThatShowAreDrawn) {
    // Scrolled left out of its parent, as a grid places it: items 0 to 2 are out of sight.
    COwnerHeader owner;
    ASSERT_TRUE(owner.Create(WS_CHILD | WS_VISIBLE, CRect(-300, 40, 300, 58), &host, 6));
    for (int i = 0; i < 6; ++i) {
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH | HDI_FORMAT | HDI_LPARAM;
        hdi.cxy = 100;
        hdi.fmt = HDF_OWNERDRAW;
        hdi.lParam = i;
        owner.InsertItem(i, &hdi);
    }
    KelRunUntilIdle();
    EXPECT_EQ((std::vector<ULONG_PTR>{3, 4, 5}), owner.drawn);
    // A part of one item to repaint draws that item alone.
    owner.drawn.clear();
    CRect part(410, 0, 420, 18);
    owner.InvalidateRect(&part);
    KelRunUntilIdle();
    EXPECT_EQ((std::vector<ULONG_PTR>{4}), owner.drawn);
}

TEST_F(HeaderTest, ItemImagesComeFromTheImageList) {
    // One 16 x 16 image: a blue square.
    CBitmap strip;
    std::vector<uint32_t> px(16 * 16, 0xC0C0C0);
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x)
            px[static_cast<size_t>(y) * 16 + x] = 0x0000FF;
    ASSERT_TRUE(strip.CreateBitmap(16, 16, 1, 32, px.data()));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    ASSERT_EQ(0, images.Add(&strip, RGB(192, 192, 192)));
    EXPECT_EQ(nullptr, header.SetImageList(&images));
    EXPECT_EQ(images.GetSafeHandle(), header.GetImageList()->GetSafeHandle());
    header.MoveWindow(0, 0, 400, 22);
    HDITEM hdi{};
    hdi.mask = HDI_FORMAT | HDI_IMAGE;
    hdi.fmt = HDF_STRING | HDF_IMAGE;
    hdi.iImage = 0;
    ASSERT_TRUE(header.SetItem(0, &hdi));
    KelRunUntilIdle();
    // Left in the item, before the text.
    EXPECT_EQ(RGB(0, 0, 255), KelGetWindowPixel(header.m_hWnd, CPoint(6 + 8, 11)));
    header.SetImageList(nullptr);
}

} // namespace
