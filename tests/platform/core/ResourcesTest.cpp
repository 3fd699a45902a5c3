#include <afx.h>

#include <gtest/gtest.h>

namespace {

struct FakeMenu {
    int items;
};

} // namespace

TEST(ResourceChain, StringsAreFoundHostFirstThenExtensions) {
    HINSTANCE app = AfxGetInstanceHandle();
    HINSTANCE ext = AfxRegisterModule("Ext1.dll");
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(AfxRegisterModule("EXT1.DLL"), ext); // same file, any case
    EXPECT_EQ(GetModuleHandle("ext1.dll"), ext);
    EXPECT_EQ(GetModuleHandle(nullptr), app);
    EXPECT_EQ(GetModuleHandle("missing.dll"), nullptr);

    AfxSetStringResource(ext, 700, "from extension");
    AfxSetStringResource(ext, 701, "only in extension");
    AfxSetStringResource(app, 700, "from host");

    CString s;
    EXPECT_TRUE(s.LoadString(700));
    EXPECT_EQ(s, "from host");
    EXPECT_TRUE(s.LoadString(701));
    EXPECT_EQ(s, "only in extension");
    EXPECT_TRUE(s.LoadString(ext, 700));
    EXPECT_EQ(s, "from extension");
    EXPECT_FALSE(s.LoadString(702));
    EXPECT_TRUE(s.IsEmpty());

    char buf[8];
    EXPECT_EQ(LoadString(ext, 701, buf, sizeof buf), 7); // truncated to the buffer
    EXPECT_STREQ(buf, "only in");
    AfxUnregisterModule(ext);
    EXPECT_EQ(GetModuleHandle("Ext1.dll"), nullptr);
    EXPECT_FALSE(s.LoadString(701));
}

TEST(ResourceChain, TypedSlotsAndFindResourceHandle) {
    HINSTANCE app = AfxGetInstanceHandle();
    HINSTANCE ext = AfxRegisterModule("Ext2.dll");
    AfxSetResource(ext, RT_MENU, MAKEINTRESOURCE(2050), FakeMenu{3});
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(2050), RT_MENU), ext);
    const FakeMenu* menu = AfxGetResourceData<FakeMenu>(ext, RT_MENU, MAKEINTRESOURCE(2050));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->items, 3);
    // The wrong type or kind of slot is simply absent.
    EXPECT_EQ(AfxGetResourceData<int>(ext, RT_MENU, MAKEINTRESOURCE(2050)), nullptr);
    EXPECT_EQ(AfxGetResource(ext, RT_DIALOG, MAKEINTRESOURCE(2050)), nullptr);
    // The host overrides an extension's resource of the same ID.
    AfxSetResource(app, RT_MENU, MAKEINTRESOURCE(2050), FakeMenu{9});
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(2050), RT_MENU), app);
    EXPECT_EQ(FindResource(ext, MAKEINTRESOURCE(2050), RT_MENU), ext);
    EXPECT_EQ(FindResource(ext, MAKEINTRESOURCE(2051), RT_MENU), nullptr);
    // Named resources compare without case.
    AfxSetResource(ext, RT_BITMAP, "Logo", 5);
    EXPECT_NE(AfxGetResource(ext, RT_BITMAP, "LOGO"), nullptr);
    // Nothing anywhere: the resource handle is the answer, as the framework gives.
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(4242), RT_MENU), AfxGetResourceHandle());
    AfxUnregisterModule(ext);
}
