#include <afx.h>
#include <afxtempl.h>

#include <gtest/gtest.h>

namespace {

// Counts live objects and the copies made, to see that the array really constructs,
// copies and destroys its elements.
struct Tracked {
    static int live;
    static int copies;
    int value = 0;
    Tracked() { ++live; }
    Tracked(int v) : value(v) { ++live; }
    Tracked(const Tracked& o) : value(o.value) {
        ++live;
        ++copies;
    }
    Tracked& operator=(const Tracked& o) {
        value = o.value;
        ++copies;
        return *this;
    }
    // A move leaves -1 behind, so a caller's element that was moved from shows.
    Tracked(Tracked&& o) noexcept : value(o.value) {
        ++live;
        o.value = -1;
    }
    Tracked& operator=(Tracked&& o) noexcept {
        value = o.value;
        o.value = -1;
        return *this;
    }
    ~Tracked() { --live; }
};
int Tracked::live = 0;
int Tracked::copies = 0;

class CArrayLifetime : public ::testing::Test {
protected:
    void SetUp() override { Tracked::live = Tracked::copies = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::live, 0); }
};

template <class ARG_TYPE> std::vector<int> Values(const CArray<Tracked, ARG_TYPE>& a) {
    std::vector<int> v;
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        v.push_back(a[i].value);
    return v;
}

} // namespace

TEST_F(CArrayLifetime, SetSizeConstructsAndDestroys) {
    {
        CArray<Tracked, const Tracked&> a;
        a.SetSize(5);
        EXPECT_EQ(Tracked::live, 5);
        EXPECT_EQ(a.GetSize(), 5);
        EXPECT_EQ(a.GetUpperBound(), 4);
        a[4].value = 44;
        a.SetSize(2);
        EXPECT_EQ(Tracked::live, 2);
        a.SetSize(3, 16);
        EXPECT_EQ(Tracked::live, 3);
        EXPECT_EQ(a[2].value, 0); // re-grown element is new, not the old 44
        a.RemoveAll();
        EXPECT_EQ(Tracked::live, 0);
        EXPECT_TRUE(a.IsEmpty());
    }
}

TEST_F(CArrayLifetime, AddInsertRemoveShift) {
    CArray<Tracked, const Tracked&> a;
    EXPECT_EQ(a.Add(Tracked(1)), 0);
    EXPECT_EQ(a.Add(Tracked(2)), 1);
    EXPECT_EQ(a.Add(Tracked(3)), 2);
    a.InsertAt(1, Tracked(9), 2);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 9, 9, 2, 3}));
    a.RemoveAt(0, 3);
    EXPECT_EQ(Values(a), (std::vector<int>{2, 3}));
    a.InsertAt(4, Tracked(7)); // past the end: the gap is filled with new elements
    EXPECT_EQ(Values(a), (std::vector<int>{2, 3, 0, 0, 7}));
    CArray<Tracked, const Tracked&> b;
    b.Add(Tracked(5));
    b.Add(Tracked(6));
    a.InsertAt(1, &b);
    EXPECT_EQ(Values(a), (std::vector<int>{2, 5, 6, 3, 0, 0, 7}));
    a.InsertAt(0, &a); // inserting an array into itself copies it first
    EXPECT_EQ(a.GetSize(), 14);
    EXPECT_EQ(Tracked::live, 14 + 2);
}

TEST_F(CArrayLifetime, AddOfOwnElementSurvivesGrowth) {
    CArray<Tracked, const Tracked&> a;
    a.Add(Tracked(42));
    for (int i = 0; i < 100; ++i)
        a.Add(a[0]); // the argument lives in the storage that grows
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        ASSERT_EQ(a[i].value, 42);
    a.SetAtGrow(150, a[3]);
    EXPECT_EQ(a.GetSize(), 151);
    EXPECT_EQ(a[150].value, 42);
    EXPECT_EQ(a[120].value, 0);
}

TEST_F(CArrayLifetime, CopiesUseElementCopy) {
    CArray<Tracked, const Tracked&> a;
    a.SetSize(3);
    Tracked::copies = 0;
    CArray<Tracked, const Tracked&> b(a);
    EXPECT_EQ(Tracked::copies, 3);
    b.Append(a);
    EXPECT_EQ(b.GetSize(), 6);
    b.Copy(a);
    EXPECT_EQ(b.GetSize(), 3);
}

TEST_F(CArrayLifetime, ArgumentsAreCopiedOnceAndCallersKeepTheirs) {
    // By value (the row window's rows): the argument is the one copy; it is moved into place.
    CArray<Tracked, Tracked> a;
    a.SetSize(4);
    Tracked row(7);
    Tracked::copies = 0;
    a.RemoveAt(3);
    a.InsertAt(0, row);
    a.Add(row);
    a.SetAt(1, row);
    a.SetAtGrow(9, row);
    EXPECT_EQ(Tracked::copies, 4);
    EXPECT_EQ(Values(a), (std::vector<int>{7, 7, 0, 0, 7, 0, 0, 0, 0, 7}));
    // By non-const reference: the caller's object is copied, never moved from.
    CArray<Tracked, Tracked&> b;
    b.Add(row);
    b.InsertAt(0, row, 2);
    b.SetAtGrow(5, row);
    EXPECT_EQ(row.value, 7);
    EXPECT_EQ(Values(b), (std::vector<int>{7, 7, 7, 0, 0, 7}));
}

TEST(CStringArrayTest, RowWindowOfStringArraysIsDeeplyCopied) {
    CArray<CStringArray, CStringArray> rows;
    rows.SetSize(3);
    for (INT_PTR r = 0; r < rows.GetSize(); ++r) {
        rows[r].SetSize(2);
        rows[r][0].Format("r%d", static_cast<int>(r));
    }
    CArray<CStringArray, CStringArray> copy = rows;
    copy[1][0] = "changed";
    EXPECT_EQ(rows[1][0], "r1");
    // A one-row shift as the row window does it: drop the first row, append a new one.
    rows.RemoveAt(0);
    CStringArray fresh;
    fresh.SetSize(2);
    rows.Add(fresh);
    EXPECT_EQ(rows[0][0], "r1");
    EXPECT_EQ(rows[2][0], "");
    EXPECT_EQ(rows[2].GetSize(), 2);
    CStringArray names;
    EXPECT_EQ(names.Add("a"), 0);
    EXPECT_EQ(names.Add(CString("b")), 1);
    EXPECT_EQ(names[1], "b");
}

TEST(TypedArrays, ScalarsAndData) {
    CUIntArray u;
    u.SetSize(4);
    EXPECT_EQ(u[3], 0u); // new scalar elements are zeroed
    u[0] = 7;
    EXPECT_EQ(*u.GetData(), 7u);
    CArray<short, short> shorts;
    shorts.Add(-3);
    EXPECT_EQ(shorts.GetAt(0), -3);
    CByteArray empty;
    EXPECT_EQ(empty.GetData(), nullptr);
}
