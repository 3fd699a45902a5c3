// COleDateTime: days since 30 December 1899 as a double, with a status.
//
// The user locale of this platform writes and reads dates month/day/year; ISO dates
// (YYYY-MM-DD) are read too.
#pragma once

#include "platform/core/String.h"
#include "platform/core/Variant.h"

#include <ctime>

#define VAR_TIMEVALUEONLY ((DWORD)0x00000001)
#define VAR_DATEVALUEONLY ((DWORD)0x00000002)
#define LOCALE_NOUSEROVERRIDE 0x80000000
#define LANG_USER_DEFAULT ((LCID)0x0400)
#define LANG_SYSTEM_DEFAULT ((LCID)0x0800)
#define LOCALE_USER_DEFAULT LANG_USER_DEFAULT
#define LOCALE_SYSTEM_DEFAULT LANG_SYSTEM_DEFAULT

class COleDateTimeSpan;

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() : m_dt(0), m_status(valid) {}
    COleDateTime(const VARIANT& varSrc);
    COleDateTime(DATE dtSrc) : m_dt(dtSrc), m_status(valid) {}
    COleDateTime(time_t timeSrc);
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    COleDateTime(WORD wDosDate, WORD wDosTime);

    static COleDateTime GetCurrentTime();

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }

    // Parts; -1 (AFX_OLE_DATETIME_ERROR) when the value is not valid.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday
    int GetDayOfYear() const; // 1 = 1 January

    // 0 on success; an impossible date leaves the value invalid and returns 1.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay) {
        return SetDateTime(nYear, nMonth, nDay, 0, 0, 0);
    }
    int SetTime(int nHour, int nMin, int nSec) {
        return SetDateTime(1899, 12, 30, nHour, nMin, nSec);
    }

    // Reads a date and/or time in the user locale. Flags: 0, VAR_DATEVALUEONLY (the time part
    // is dropped) or VAR_TIMEVALUEONLY (the date part is dropped). FALSE and status invalid
    // when the text is not a date.
    BOOL ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

    // Default text of the user locale: "%m/%d/%Y", then " %H:%M:%S" when the time is not
    // midnight; a value with no date part (day 0) writes the time only.
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
    // strftime-style codes: %m %d %Y %y %H %M %S %I %p %b %B %a %A %j %w %x %X %c %%.
    CString Format(LPCTSTR lpszFormat) const;
    CString Format(UINT nFormatID) const;

    COleDateTime& operator=(const VARIANT& varSrc);
    COleDateTime& operator=(DATE dtSrc);
    COleDateTime& operator=(time_t timeSrc);

    bool operator==(const COleDateTime& date) const;
    bool operator!=(const COleDateTime& date) const { return !(*this == date); }
    bool operator<(const COleDateTime& date) const;
    bool operator>(const COleDateTime& date) const { return date < *this; }
    bool operator<=(const COleDateTime& date) const { return !(date < *this); }
    bool operator>=(const COleDateTime& date) const { return !(*this < date); }

    COleDateTime operator+(const COleDateTimeSpan& dateSpan) const;
    COleDateTime operator-(const COleDateTimeSpan& dateSpan) const;
    COleDateTime& operator+=(const COleDateTimeSpan& dateSpan);
    COleDateTime& operator-=(const COleDateTimeSpan& dateSpan);
    COleDateTimeSpan operator-(const COleDateTime& date) const;

    operator DATE() const { return m_dt; }

    DATE m_dt;
    DateTimeStatus m_status;
};

class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() : m_span(0), m_status(valid) {}
    COleDateTimeSpan(double dblSpanSrc) : m_span(dblSpanSrc), m_status(valid) {}
    COleDateTimeSpan(long lDays, int nHours, int nMins, int nSecs);

    void SetDateTimeSpan(long lDays, int nHours, int nMins, int nSecs);
    DateTimeSpanStatus GetStatus() const { return m_status; }
    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const { return m_span * 24; }
    double GetTotalMinutes() const { return m_span * 24 * 60; }
    double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
    long GetDays() const;
    long GetHours() const;
    long GetMinutes() const;
    long GetSeconds() const;

    bool operator==(const COleDateTimeSpan& s) const { return m_span == s.m_span; }
    bool operator<(const COleDateTimeSpan& s) const { return m_span < s.m_span; }

    double m_span;
    DateTimeSpanStatus m_status;
};

#define AFX_OLE_DATETIME_ERROR (-1)
