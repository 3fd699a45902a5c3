// The grid's header: widths and positions in display order, placing a position at the left
// edge, paging, and the items it draws (image, sort mark).
#include "CompanionTest.h"

namespace {

constexpr UINT IDB_STRIP = 300;

class HeaderTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 400, 200)));
        ASSERT_TRUE(header.Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_DRAGDROP,
                                  CRect(0, 0, 400, 21), &host, 0));
        header.SetHeight(21);
    }
    void AddItems(std::initializer_list<int> widths) {
        int i = 0;
        for (int w : widths) {
            CString text;
            text.Format("Column %d", i);
            HDITEM hdi{};
            hdi.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_IMAGE;
            hdi.cxy = w;
            hdi.pszText = const_cast<LPSTR>(static_cast<LPCTSTR>(text));
            hdi.fmt = HDF_OWNERDRAW | HDF_STRING;
            hdi.lParam = i;
            hdi.iImage = i;
            ASSERT_EQ(i, header.InsertItem(i, &hdi));
            ++i;
        }
    }
    CRect HeaderRect() {
        CRect rc;
        header.GetWindowRect(&rc);
        host.ScreenToClient(&rc);
        return rc;
    }

    CHostWnd host;
    CExHeaderCtrl header;
};

TEST_F(HeaderTest, WidthsFollowTheDisplayOrder) {
    AddItems({100, 80, 120, 60});
    EXPECT_EQ(0, header.GetWidth(0));
    EXPECT_EQ(0, header.GetWidth(-3));
    EXPECT_EQ(100, header.GetWidth(1));
    EXPECT_EQ(300, header.GetWidth(3));
    EXPECT_EQ(360, header.GetWidth(900));

    int order[] = {2, 0, 3, 1};
    ASSERT_TRUE(header.SetOrderArray(4, order));
    EXPECT_EQ(120, header.GetWidth(1));
    EXPECT_EQ(280, header.GetWidth(3));
    EXPECT_EQ(2, header.OrderToIndex(0));
    EXPECT_EQ(1, header.OrderToIndex(3));

    // The user drags the first column (item 2) to the end.
    Robot robot;
    robot.Drag(&header, CPoint(60, 10), CPoint(395, 10), 8);
    EXPECT_EQ(0, header.OrderToIndex(0));
    EXPECT_EQ(2, header.OrderToIndex(3));
    EXPECT_EQ(240, header.GetWidth(3));
    EXPECT_EQ(360, header.GetWidth(900));
}

TEST_F(HeaderTest, MoveToTopShowsTheFirstPositionAtTheLeftEdge) {
    AddItems({100, 80, 120, 60});
    CRect rc(0, 0, 300, 200);
    header.MoveToTop(&rc, 2);
    EXPECT_EQ(CRect(-180, 0, 300, 21), HeaderRect());
    // What stands at the left edge is the item of display position 2.
    Robot robot;
    robot.Click(&host, CPoint(20, 10));
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ("click 2", host.log.back());

    // After a reorder the position counts in display order.
    int order[] = {3, 2, 1, 0};
    ASSERT_TRUE(header.SetOrderArray(4, order));
    header.MoveToTop(&rc, 1);
    EXPECT_EQ(CRect(-60, 0, 300, 21), HeaderRect());
    robot.Click(&host, CPoint(20, 10));
    EXPECT_EQ("click 2", host.log.back());

    // Positions outside the items stand for the first and the last; a rectangle elsewhere
    // and another height are followed.
    header.MoveToTop(&rc, 99);
    EXPECT_EQ(CRect(-260, 0, 300, 21), HeaderRect());
    header.SetHeight(18);
    CRect inner(10, 30, 250, 100);
    header.MoveToTop(&inner, -4);
    EXPECT_EQ(CRect(10, 30, 250, 48), HeaderRect());
}

TEST_F(HeaderTest, PagesLeftAndRightStayWithinTheItems) {
    CRect page(0, 0, 250, 100);
    EXPECT_EQ(0, header.GetPageRightCol(&page, 0)); // no items
    EXPECT_EQ(0, header.GetPageLeftCol(&page, 3));

    AddItems({100, 80, 120, 60, 200, 50});
    // Right: the first position that was not wholly shown comes first.
    EXPECT_EQ(2, header.GetPageRightCol(&page, 0));
    EXPECT_EQ(4, header.GetPageRightCol(&page, 2));
    EXPECT_EQ(5, header.GetPageRightCol(&page, 4)); // the rest fits: the last position
    EXPECT_EQ(5, header.GetPageRightCol(&page, 5));
    EXPECT_EQ(5, header.GetPageRightCol(&page, 77));
    // Left: the page that ends just before the first shown position.
    EXPECT_EQ(4, header.GetPageLeftCol(&page, 5));
    EXPECT_EQ(2, header.GetPageLeftCol(&page, 4));
    EXPECT_EQ(0, header.GetPageLeftCol(&page, 2));
    EXPECT_EQ(0, header.GetPageLeftCol(&page, 0));
    EXPECT_EQ(0, header.GetPageLeftCol(&page, -2));

    // A column wider than the page still moves by one.
    CRect narrow(0, 0, 90, 100);
    EXPECT_EQ(1, header.GetPageRightCol(&narrow, 0));
    EXPECT_EQ(3, header.GetPageLeftCol(&narrow, 4));
}

TEST_F(HeaderTest, ItemsShowTheirImageAndTheSortMark) {
    KelSetBitmapResource(hModule, IDB_STRIP, TestStrip());
    EXPECT_FALSE(header.SetBitmap(hModule, 999, 16, 16, RGB(255, 0, 255)));
    EXPECT_FALSE(header.IsBitmapSet());
    ASSERT_TRUE(header.SetBitmap(hModule, IDB_STRIP, 16, 16, RGB(255, 0, 255)));
    EXPECT_TRUE(header.IsBitmapSet());
    AddItems({100, 80, 120, 60}); // images 0, 1, 2 and 3 (none: past the strip)

    // Item 0's image stands 5 pixels in, centred; its fuchsia ground is not drawn.
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    EXPECT_EQ(RGB(255, 0, 0), Pixel(&header, 13, 10));
    EXPECT_EQ(face, Pixel(&header, 6, 3));
    EXPECT_EQ(RGB(0, 255, 0), Pixel(&header, 113, 10));
    EXPECT_EQ(RGB(0, 0, 255), Pixel(&header, 193, 10));
    for (int x = 305; x < 325; ++x) {
        const COLORREF c = Pixel(&header, x, 10);
        EXPECT_TRUE(c != RGB(255, 0, 0) && c != RGB(0, 255, 0) && c != RGB(0, 0, 255)) << x;
    }

    // The sort mark: a triangle at the item's right, its point up when ascending.
    const COLORREF mark = ::GetSysColor(COLOR_3DDKSHADOW);
    header.SetSortCol(1, FALSE);
    EXPECT_EQ(1, header.GetSortCol());
    EXPECT_EQ(mark, Pixel(&header, 170, 8)); // the point
    EXPECT_NE(mark, Pixel(&header, 166, 8));
    EXPECT_EQ(mark, Pixel(&header, 166, 12)); // the base
    SavePicture(&host, "header-ascending");
    header.SetSortCol(1, TRUE);
    EXPECT_TRUE(header.IsSortDescending());
    EXPECT_EQ(mark, Pixel(&header, 166, 8));
    EXPECT_NE(mark, Pixel(&header, 166, 12));
    EXPECT_EQ(mark, Pixel(&header, 170, 12));
    header.SetSortCol(-1, FALSE);
    EXPECT_EQ(-1, header.GetSortCol());
    for (int y = 8; y <= 12; ++y)
        EXPECT_NE(mark, Pixel(&header, 170, y)) << y;
}

} // namespace
