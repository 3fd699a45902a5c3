#include <afx.h>
#include <afxdisp.h>

#include <gtest/gtest.h>

#include <cmath>

TEST(COleDateTimeParse, UserLocaleIsMonthDayYear) {
    COleDateTime d;
    ASSERT_TRUE(d.ParseDateTime("3/1/2000", VAR_DATEVALUEONLY, LANG_USER_DEFAULT));
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(d.GetYear(), 2000);
    EXPECT_EQ(d.GetMonth(), 3);
    EXPECT_EQ(d.GetDay(), 1);
    EXPECT_EQ(d.Format("%m/%d/%Y"), "03/01/2000");
    ASSERT_TRUE(d.ParseDateTime("2001-12-25"));
    EXPECT_EQ(d.Format("%m/%d/%Y"), "12/25/2001");
    ASSERT_TRUE(d.ParseDateTime("12-31-1999"));
    EXPECT_EQ(d.GetDay(), 31);
    ASSERT_TRUE(d.ParseDateTime("Jan 5, 2001"));
    EXPECT_EQ(d.Format("%Y-%m-%d"), "2001-01-05");
    ASSERT_TRUE(d.ParseDateTime("5 February 2004"));
    EXPECT_EQ(d.Format("%Y-%m-%d"), "2004-02-05");
    ASSERT_TRUE(d.ParseDateTime("Fri, 5 Sept 2003")); // weekday ignored, names abbreviated
    EXPECT_EQ(d.Format("%Y-%m-%d"), "2003-09-05");
}

TEST(COleDateTimeParse, TwoDigitYears) {
    COleDateTime d;
    ASSERT_TRUE(d.ParseDateTime("1/2/29"));
    EXPECT_EQ(d.GetYear(), 2029);
    ASSERT_TRUE(d.ParseDateTime("1/2/30"));
    EXPECT_EQ(d.GetYear(), 1930);
    ASSERT_TRUE(d.ParseDateTime("1/2/00"));
    EXPECT_EQ(d.GetYear(), 2000);
    ASSERT_TRUE(d.ParseDateTime("1/2/99"));
    EXPECT_EQ(d.GetYear(), 1999);
}

TEST(COleDateTimeParse, RejectsWhatIsNotADate) {
    COleDateTime d(2000, 1, 1, 0, 0, 0);
    for (const char* bad : {"2/30/2001", "13/1/2000", "0/1/2000", "abc", "", "1/2/3/4", "2/29/2001",
                            "12:61", "3/1/2000 garbage", "9/9/99999"}) {
        EXPECT_FALSE(d.ParseDateTime(bad)) << bad;
        EXPECT_EQ(d.GetStatus(), COleDateTime::invalid) << bad;
    }
    EXPECT_TRUE(d.ParseDateTime("2/29/2000")); // leap year
    EXPECT_EQ(d.Format(), "02/29/2000");
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_EQ(invalid.Format("%m/%d/%Y"), "Invalid DateTime");
    EXPECT_EQ(invalid.GetYear(), AFX_OLE_DATETIME_ERROR);
}

TEST(COleDateTimeParse, TimesAndFlags) {
    COleDateTime d;
    ASSERT_TRUE(d.ParseDateTime("3/1/2000 13:45:10"));
    EXPECT_EQ(d.Format(), "03/01/2000 13:45:10");
    ASSERT_TRUE(d.ParseDateTime("3/1/2000 1:05 PM"));
    EXPECT_EQ(d.GetHour(), 13);
    EXPECT_EQ(d.GetMinute(), 5);
    ASSERT_TRUE(d.ParseDateTime("2000-03-01T08:00:00"));
    EXPECT_EQ(d.GetHour(), 8);
    ASSERT_TRUE(d.ParseDateTime("3/1/2000 13:45:10", VAR_DATEVALUEONLY));
    EXPECT_EQ(d.Format(), "03/01/2000"); // midnight writes no time
    ASSERT_TRUE(d.ParseDateTime("3/1/2000 13:45:10", VAR_TIMEVALUEONLY));
    EXPECT_EQ(d.Format(), "13:45:10"); // day 0 writes only the time
    EXPECT_FALSE(d.ParseDateTime("10:30", VAR_DATEVALUEONLY));
    ASSERT_TRUE(d.ParseDateTime("12:00 AM"));
    EXPECT_EQ(d.GetHour(), 0);
}

TEST(COleDateTimeValue, DaysSince1899AndFormatCodes) {
    COleDateTime epoch(1899, 12, 30, 0, 0, 0);
    EXPECT_DOUBLE_EQ(epoch.m_dt, 0.0);
    COleDateTime d(2000, 1, 1, 6, 0, 0);
    EXPECT_DOUBLE_EQ(d.m_dt, 36526.25);
    EXPECT_EQ(d.GetDayOfWeek(), 7); // Saturday
    EXPECT_EQ(d.Format("%a %A %b %B %j %y %I%p %%"), "Sat Saturday Jan January 001 00 06AM %");
    EXPECT_EQ(COleDateTime(100, 3, 4, 5, 6, 7).Format("%Y %#m/%#d %H:%M:%S %#H"),
              "0100 3/4 05:06:07 5");
    EXPECT_EQ(COleDateTime(9999, 12, 31, 23, 59, 59).Format(), "12/31/9999 23:59:59");
    // Before day 0 the time still counts forward from midnight.
    COleDateTime before(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(before.m_dt, -1.25);
    EXPECT_EQ(before.GetHour(), 6);
    EXPECT_EQ(before.GetDay(), 29);
    EXPECT_LT(before, epoch);
    COleDateTime bad(2001, 2, 30, 0, 0, 0);
    EXPECT_EQ(bad.GetStatus(), COleDateTime::invalid);
    // A time that rounds up to midnight writes the next day, before day 0 too.
    EXPECT_EQ(COleDateTime(1.9999999999).Format(), "01/01/1900");
    EXPECT_EQ(COleDateTime(-1.9999999999).Format(), "12/30/1899");
}

TEST(COleDateTimeValue, RoundTripsThroughText) {
    for (int y : {100, 1899, 1900, 1999, 2000, 2024, 9999}) {
        for (int m : {1, 2, 12}) {
            COleDateTime d(y, m, m == 2 ? 28 : 31, 23, 59, 59);
            ASSERT_EQ(d.GetStatus(), COleDateTime::valid);
            COleDateTime back;
            ASSERT_TRUE(back.ParseDateTime(d.Format()));
            EXPECT_EQ(back.Format(), d.Format());
            EXPECT_EQ(back.GetSecond(), 59);
        }
    }
}

TEST(COleDateTimeValue, Arithmetic) {
    COleDateTime d(2000, 2, 28, 12, 0, 0);
    d += COleDateTimeSpan(1, 12, 0, 0);
    EXPECT_EQ(d.Format("%Y-%m-%d %H"), "2000-03-01 00");
    COleDateTimeSpan span = COleDateTime(2000, 3, 2, 0, 0, 0) - COleDateTime(2000, 2, 28, 0, 0, 0);
    EXPECT_EQ(span.GetDays(), 3);
}

// A value outside the range of dates (NaN included) has no parts and no text, whichever way
// it was made.
TEST(COleDateTimeValue, OutOfRangeHasNoParts) {
    for (double d : {std::nan(""), 1e300, -1e300, 2958466.0, -657435.0}) {
        COleDateTime dt(d);
        EXPECT_EQ(dt.GetYear(), AFX_OLE_DATETIME_ERROR) << d;
        EXPECT_EQ(dt.GetSecond(), AFX_OLE_DATETIME_ERROR) << d;
        EXPECT_EQ(dt.Format("%Y"), dt.Format()) << d;
        COleDateTime assigned;
        assigned = d;
        EXPECT_EQ(assigned.GetStatus(), COleDateTime::invalid) << d;
    }
    // The first day of year 100 holds its whole day: its times lie below -657434.
    COleDateTime first;
    ASSERT_TRUE(first.ParseDateTime("01/01/0100 14:05:05"));
    EXPECT_LT(first.m_dt, -657434.0);
    EXPECT_EQ(first.Format(), "01/01/0100 14:05:05");
    EXPECT_EQ(first.GetHour(), 14);
}
