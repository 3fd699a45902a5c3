#include <KelOther.h>
#include <afxdisp.h>

#include <gtest/gtest.h>

namespace {

CString Text(const COleVariant& var, WORD wFormat = TVF_DEFAULT) {
    CString text = "previous";
    TranslateValue(var, text, wFormat);
    return text;
}

COleVariant Bool(bool b) {
    return COleVariant(static_cast<short>(b ? -1 : 0), VT_BOOL);
}

} // namespace

TEST(TranslateValue, NullAndEmptyGiveNothingWhateverTheFormat) {
    COleVariant empty;
    COleVariant null;
    null.vt = VT_NULL;
    for (WORD f : {TVF_DEFAULT, TVF_LONGDATE, TVF_CURRENCY, TVF_ONOFF, WORD(999)}) {
        EXPECT_EQ(Text(empty, f), "");
        EXPECT_EQ(Text(null, f), "");
    }
}

TEST(TranslateValue, PlainFormOfEachType) {
    EXPECT_EQ(Text(COleVariant("O'Brien \"Bob\"")), "O'Brien \"Bob\"");
    EXPECT_EQ(Text(COleVariant(BYTE(200))), "200");
    EXPECT_EQ(Text(COleVariant(short(-32768))), "-32768");
    EXPECT_EQ(Text(COleVariant(LONG(2147483647))), "2147483647");
    EXPECT_EQ(Text(COleVariant(2.5)), "2.5");
    EXPECT_EQ(Text(COleVariant(3.0)), "3");
    EXPECT_EQ(Text(COleVariant(0.1 + 0.2)), "0.3");
    EXPECT_EQ(Text(COleVariant(-0.0)), "0");
    EXPECT_EQ(Text(COleVariant(1e20)), "1e+20");
    EXPECT_EQ(Text(COleVariant(-1.5e-7)), "-1.5e-07");
    EXPECT_EQ(Text(COleVariant(123456789012345678.0)), "1.23456789012346e+17");
    EXPECT_EQ(Text(COleVariant(1.25f)), "1.25");
    EXPECT_EQ(Text(COleVariant(0.1f)), "0.1");
    EXPECT_EQ(Text(Bool(true)), "Yes");
    EXPECT_EQ(Text(Bool(false)), "No");
}

TEST(TranslateValue, CurrencyHasTwoDecimalsRoundedHalfAwayFromZero) {
    EXPECT_EQ(Text(COleVariant(COleCurrency(1234, 5000))), "1234.50");
    EXPECT_EQ(Text(COleVariant(COleCurrency(7, 0))), "7.00");
    EXPECT_EQ(Text(COleVariant(COleCurrency(0, 50))), "0.01"); // 0.0050
    EXPECT_EQ(Text(COleVariant(COleCurrency(0, 49))), "0.00"); // 0.0049
    EXPECT_EQ(Text(COleVariant(COleCurrency(-2, -5050))), "-2.51");
    EXPECT_EQ(Text(COleVariant(COleCurrency(0, -40))), "0.00"); // no "-0.00"
}

TEST(TranslateValue, DatesShowTheTimeOnlyWhenItIsNotMidnight) {
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 1, 5, 0, 0, 0))), "01/05/2024");
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 1, 5, 14, 5, 9))), "01/05/2024 14:05:09");
    EXPECT_EQ(Text(COleVariant(COleDateTime(1899, 12, 30, 8, 30, 0))), "08:30:00");
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 1, 5, 0, 0, 0)), TVF_DATETIME),
              "01/05/2024 00:00:00");
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 1, 15, 14, 5, 9)), TVF_LONGDATE),
              "Monday, January 15, 2024");
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 3, 1, 0, 0, 0)), TVF_LONGDATE),
              "Friday, March 1, 2024");
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 1, 15, 14, 5, 9)), TVF_TIME), "14:05:09");
}

TEST(TranslateValue, NumberCodesGroupAddSymbolOrScale) {
    EXPECT_EQ(Text(COleVariant(LONG(1234567)), TVF_THOUSANDS), "1,234,567");
    EXPECT_EQ(Text(COleVariant(LONG(-123456)), TVF_THOUSANDS), "-123,456");
    EXPECT_EQ(Text(COleVariant(LONG(999)), TVF_THOUSANDS), "999");
    EXPECT_EQ(Text(COleVariant(1234567.25), TVF_THOUSANDS), "1,234,567.25");
    EXPECT_EQ(Text(COleVariant(COleCurrency(1234567, 5000)), TVF_THOUSANDS), "1,234,567.50");
    EXPECT_EQ(Text(COleVariant(COleCurrency(1234, 5000)), TVF_CURRENCY), "$1,234.50");
    EXPECT_EQ(Text(COleVariant(COleCurrency(-3, 0)), TVF_CURRENCY), "-$3.00");
    EXPECT_EQ(Text(COleVariant(LONG(1500)), TVF_CURRENCY), "$1,500.00");
    EXPECT_EQ(Text(COleVariant(0.125), TVF_PERCENT), "12.5%");
    EXPECT_EQ(Text(COleVariant(short(2)), TVF_PERCENT), "200%");
    EXPECT_EQ(Text(COleVariant(COleCurrency(0, 2500)), TVF_PERCENT), "25%");
}

TEST(TranslateValue, BooleanCodesAndCodesForOtherTypesFallBackToThePlainForm) {
    EXPECT_EQ(Text(Bool(true), TVF_TRUEFALSE), "True");
    EXPECT_EQ(Text(Bool(false), TVF_TRUEFALSE), "False");
    EXPECT_EQ(Text(Bool(true), TVF_ONOFF), "On");
    EXPECT_EQ(Text(Bool(false), TVF_ONOFF), "Off");
    // A code meant for another type, or an unknown one, changes nothing.
    EXPECT_EQ(Text(Bool(true), TVF_CURRENCY), "Yes");
    EXPECT_EQ(Text(COleVariant(LONG(1234)), TVF_ONOFF), "1234");
    EXPECT_EQ(Text(COleVariant("1234"), TVF_THOUSANDS), "1234");
    EXPECT_EQ(Text(COleVariant(COleDateTime(2024, 1, 5, 0, 0, 0)), TVF_PERCENT), "01/05/2024");
    EXPECT_EQ(Text(COleVariant(2.5), WORD(0xFFFF)), "2.5");
}

TEST(TranslateValue, BinaryBecomesAShortMarker) {
    CByteArray bytes;
    bytes.SetSize(12);
    EXPECT_EQ(Text(COleVariant(bytes)), "(binary 12 bytes)");
    bytes.SetSize(1);
    EXPECT_EQ(Text(COleVariant(bytes)), "(binary 1 byte)");
}
