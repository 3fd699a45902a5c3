#include <afx.h>
#include <afxdisp.h>

#include <gtest/gtest.h>

TEST(COleCurrencyTest, ParseAndFormat) {
    COleCurrency c;
    ASSERT_TRUE(c.ParseCurrency("1234.5"));
    EXPECT_EQ(c.m_cur.int64, 12345000);
    EXPECT_EQ(c.Format(), "1234.5");
    ASSERT_TRUE(c.ParseCurrency("$1,234.56"));
    EXPECT_EQ(c.Format(), "1234.56");
    ASSERT_TRUE(c.ParseCurrency("(12.50)"));
    EXPECT_EQ(c.Format(), "-12.5");
    ASSERT_TRUE(c.ParseCurrency("-0.00005"));
    EXPECT_EQ(c.m_cur.int64, -1); // rounds the fifth decimal
    ASSERT_TRUE(c.ParseCurrency(" 7 "));
    EXPECT_EQ(c.Format(), "7");
    EXPECT_FALSE(c.ParseCurrency("12a"));
    EXPECT_EQ(c.GetStatus(), COleCurrency::invalid);
    EXPECT_FALSE(c.ParseCurrency(""));
    EXPECT_FALSE(c.ParseCurrency("."));
}

TEST(COleCurrencyTest, ArithmeticAndVariants) {
    COleCurrency a(10, 5000), b(-2, 2500);
    EXPECT_EQ(b.m_cur.int64, -22500);
    EXPECT_EQ((a + b).Format(), "8.25");
    EXPECT_EQ((a * 3).Format(), "31.5");
    EXPECT_EQ((a / 0).GetStatus(), COleCurrency::invalid);
    COleCurrency huge;
    huge.m_cur.int64 = INT64_MAX;
    EXPECT_EQ((huge + a).GetStatus(), COleCurrency::invalid);
    COleCurrency lowest;
    lowest.m_cur.int64 = INT64_MIN;
    EXPECT_EQ((lowest / -1).GetStatus(), COleCurrency::invalid); // not a trap
    EXPECT_EQ((-lowest).GetStatus(), COleCurrency::invalid);
    COleVariant v(a);
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_TRUE(COleCurrency(v) == a);
}
