#include <afx.h>
#include <afxdisp.h>

#include <gtest/gtest.h>

namespace {

// The status code that ChangeType throws, or S_OK.
SCODE ChangeTypeError(COleVariant& v, VARTYPE vt) {
    try {
        v.ChangeType(vt);
        return S_OK;
    } catch (COleException* e) {
        SCODE sc = e->m_sc;
        e->Delete();
        return sc;
    }
}

} // namespace

TEST(COleVariantEquality, SameTagAndValue) {
    EXPECT_TRUE(COleVariant(5L) == COleVariant(5L));
    EXPECT_FALSE(COleVariant(5L) == COleVariant(short(5))); // I4 is not I2
    EXPECT_FALSE(COleVariant(1.0) == COleVariant(1.0f));
    EXPECT_TRUE(COleVariant("abc") == COleVariant(CString("abc")));
    EXPECT_FALSE(COleVariant("abc") == COleVariant("abd"));
    EXPECT_TRUE(COleVariant() == COleVariant());
    COleVariant null;
    null.vt = VT_NULL;
    EXPECT_FALSE(null == COleVariant());
    EXPECT_TRUE(COleVariant(short(1), VT_BOOL) == COleVariant(short(-1), VT_BOOL));
}

TEST(COleVariantEquality, ByteArraysCompareByteForByte) {
    CByteArray a, b;
    for (BYTE x : {1, 0, 255}) {
        a.Add(x);
        b.Add(x);
    }
    COleVariant va(a), vb(b);
    EXPECT_EQ(va.vt, VT_ARRAY | VT_UI1);
    EXPECT_TRUE(va == vb);
    b[1] = 9;
    EXPECT_FALSE(va == COleVariant(b));
    b.SetSize(2);
    EXPECT_FALSE(va == COleVariant(b));
    CByteArray back;
    va.GetByteArray(back);
    EXPECT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back[2], 255);
}

TEST(COleVariantValue, CopiesOwnTheirMemory) {
    COleVariant a("text");
    COleVariant b(a);
    a = 3L;
    EXPECT_STREQ(V_BSTRT(&b), "text");
    COleVariant c(std::move(b));
    EXPECT_EQ(b.vt, VT_EMPTY);
    EXPECT_STREQ(V_BSTRT(&c), "text");
    c = c; // self-assignment keeps the value
    EXPECT_STREQ(V_BSTRT(&c), "text");
    c.Clear();
    EXPECT_EQ(c.vt, VT_EMPTY);
    COleVariant t("x", VT_BSTRT);
    EXPECT_EQ(t.vt, VT_BSTR);
}

TEST(COleVariantChangeType, BetweenTags) {
    COleVariant v("  42 ");
    v.ChangeType(VT_I4);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 42);
    v.ChangeType(VT_BSTR);
    EXPECT_STREQ(V_BSTRT(&v), "42");
    v = 2.5;
    v.ChangeType(VT_I2); // half to even
    EXPECT_EQ(v.iVal, 2);
    v = 3.5;
    v.ChangeType(VT_I2);
    EXPECT_EQ(v.iVal, 4);
    v = COleVariant("1234.5678");
    v.ChangeType(VT_CY);
    EXPECT_EQ(v.cyVal.int64, 12345678);
    v = COleVariant("3/1/2000");
    v.ChangeType(VT_DATE);
    EXPECT_EQ(COleDateTime(v.date).GetMonth(), 3);
    v = COleVariant(short(1), VT_BOOL);
    v.ChangeType(VT_BSTR);
    EXPECT_STREQ(V_BSTRT(&v), "-1");
    v = COleVariant("true");
    v.ChangeType(VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
}

TEST(COleVariantChangeType, FailuresThrowAndKeepTheValue) {
    COleVariant v("abc");
    EXPECT_EQ(ChangeTypeError(v, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_STREQ(V_BSTRT(&v), "abc");
    COleVariant big(70000L);
    EXPECT_EQ(ChangeTypeError(big, VT_I2), DISP_E_OVERFLOW);
    EXPECT_EQ(big.lVal, 70000);
    COleVariant null;
    null.vt = VT_NULL;
    EXPECT_EQ(ChangeTypeError(null, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(null.vt, VT_NULL);
}
