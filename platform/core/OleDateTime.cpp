#include "platform/core/OleDateTime.h"

#include <cctype>
#include <cmath>
#include <charconv>
#include <string>
#include <vector>

namespace {

// Range the framework accepts: 1 January 100 to 31 December 9999. A day before day 0 keeps
// its time as a fraction going down, so 1 January 100 runs from -657434 to -657434.99999.
constexpr double kMinDate = -657434.9999999;
constexpr double kMaxDate = 2958465.9999999;

const char* const kMonthNames[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
const char* const kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

// The user locale's texts.
const char* const kDateFormat = "%m/%d/%Y";
const char* const kTimeFormat = "%H:%M:%S";
const char* const kDateTimeFormat = "%m/%d/%Y %H:%M:%S";

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const long kEpochOffset = DaysFromCivil(1899, 12, 30); // day 0 of DATE

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool MakeDate(int y, int mo, int d, int h, int mi, int s, double& out) {
    if (y < 100 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo))
        return false;
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return false;
    long days =
        DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - kEpochOffset;
    double frac = (h * 3600.0 + mi * 60.0 + s) / 86400.0;
    // Before day 0 the fraction still counts forward from midnight: -1.25 is 29/12/1899 06:00.
    out = days >= 0 ? days + frac : days - frac;
    return true;
}

struct Parts {
    int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
};

bool SplitDate(double dt, Parts& p) {
    if (!(dt >= kMinDate && dt <= kMaxDate)) // NaN too
        return false;
    long days = static_cast<long>(dt); // toward zero
    double frac = std::fabs(dt - static_cast<double>(days));
    long secs = std::lround(frac * 86400.0);
    if (secs >= 86400) {
        secs = 0;
        ++days; // the next calendar day, before day 0 too
    }
    long abs = days + kEpochOffset;
    CivilFromDays(abs, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs % 3600 / 60);
    p.second = static_cast<int>(secs % 60);
    long w = (abs + 4) % 7; // 1970-01-01 was a Thursday
    p.dayOfWeek = static_cast<int>(w < 0 ? w + 7 : w) + 1;
    p.dayOfYear = static_cast<int>(abs - DaysFromCivil(p.year, 1, 1)) + 1;
    return true;
}

// The parts of a valid value; false when it is null, invalid or out of range.
bool SplitValid(const COleDateTime& dt, Parts& p) {
    return dt.GetStatus() == COleDateTime::valid && SplitDate(dt.m_dt, p);
}

// ---------------------------------------------------------------------------
// Parsing: the text is split into numbers, words and separators.

struct Token {
    enum Kind { Number, Word, Sep } kind;
    std::string text;
    int value = 0;
};

std::vector<Token> Tokenize(const char* s) {
    std::vector<Token> out;
    while (*s) {
        unsigned char c = static_cast<unsigned char>(*s);
        if (std::isspace(c)) {
            ++s;
            continue;
        }
        Token t;
        if (std::isdigit(c)) {
            t.kind = Token::Number;
            while (std::isdigit(static_cast<unsigned char>(*s)))
                t.text += *s++;
            t.value = t.text.size() > 9 ? -1 : std::atoi(t.text.c_str());
        } else if (std::isalpha(c)) {
            t.kind = Token::Word;
            while (std::isalpha(static_cast<unsigned char>(*s)))
                t.text += static_cast<char>(std::tolower(static_cast<unsigned char>(*s++)));
        } else {
            t.kind = Token::Sep;
            t.text = std::string(1, *s++);
        }
        out.push_back(t);
    }
    return out;
}

// 1 + the index of the first name that the word abbreviates (three letters or more), else 0.
int NameIndex(const std::string& w, const char* const* names, int count) {
    if (w.size() < 3)
        return 0;
    for (int i = 0; i < count; ++i) {
        if (_tcsnicmp(names[i], w.c_str(), w.size()) == 0)
            return i + 1;
    }
    return 0;
}

int MonthFromWord(const std::string& w) {
    return NameIndex(w, kMonthNames, 12);
}

bool IsDayWord(const std::string& w) {
    return NameIndex(w, kDayNames, 7) != 0;
}

bool IsMeridian(const std::string& w) {
    return w == "am" || w == "pm" || w == "a" || w == "p";
}

// Two-digit years as the framework reads them: 00-29 are 2000s, 30-99 are 1900s.
int ExpandYear(const Token& t) {
    if (t.text.size() <= 2)
        return t.value < 30 ? 2000 + t.value : 1900 + t.value;
    return t.value;
}

struct Parsed {
    bool hasDate = false, hasTime = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads a time starting at tokens[i]: H:MM[:SS][.fff] [AM|PM] or H AM|PM.
bool ParseTime(const std::vector<Token>& tk, size_t& i, Parsed& p) {
    if (i >= tk.size() || tk[i].kind != Token::Number || tk[i].text.size() > 2)
        return false;
    int h = tk[i].value, m = 0, s = 0;
    size_t j = i + 1;
    bool colon = false;
    if (j + 1 < tk.size() && tk[j].kind == Token::Sep && tk[j].text == ":" &&
        tk[j + 1].kind == Token::Number && tk[j + 1].text.size() <= 2) {
        m = tk[j + 1].value;
        j += 2;
        colon = true;
        if (j + 1 < tk.size() && tk[j].kind == Token::Sep && tk[j].text == ":" &&
            tk[j + 1].kind == Token::Number && tk[j + 1].text.size() <= 2) {
            s = tk[j + 1].value;
            j += 2;
            // Fractions of a second are read and dropped.
            if (j + 1 < tk.size() && tk[j].kind == Token::Sep && tk[j].text == "." &&
                tk[j + 1].kind == Token::Number)
                j += 2;
        }
    }
    bool meridian = false;
    if (j < tk.size() && tk[j].kind == Token::Word) {
        const std::string& w = tk[j].text;
        if (IsMeridian(w)) {
            if (h < 1 || h > 12)
                return false;
            bool pm = w[0] == 'p';
            h = h % 12 + (pm ? 12 : 0);
            meridian = true;
            ++j;
        }
    }
    if (!colon && !meridian)
        return false;
    if (h > 23 || m > 59 || s > 59)
        return false;
    p.hasTime = true;
    p.hour = h;
    p.minute = m;
    p.second = s;
    i = j;
    return true;
}

bool IsDateSep(const Token& t) {
    return t.kind == Token::Sep && (t.text == "/" || t.text == "-" || t.text == ".");
}

// Reads a date starting at tokens[i]. Numeric dates are month/day/year, or year-month-day
// when the first number has four digits; month names are read in either order.
bool ParseDate(const std::vector<Token>& tk, size_t& i, Parsed& p) {
    size_t j = i;
    if (j < tk.size() && tk[j].kind == Token::Word && IsDayWord(tk[j].text)) {
        ++j; // a leading weekday name is allowed and ignored
        if (j < tk.size() && tk[j].kind == Token::Sep && tk[j].text == ",")
            ++j;
    }
    if (j >= tk.size())
        return false;

    std::vector<Token> nums; // numbers and month words in order, separators checked
    std::vector<bool> isMonthWord;
    size_t k = j;
    while (k < tk.size() && nums.size() < 3) {
        const Token& t = tk[k];
        if (t.kind == Token::Number) {
            // A number followed by ':' or am/pm starts the time part.
            if (k + 1 < tk.size() &&
                ((tk[k + 1].kind == Token::Sep && tk[k + 1].text == ":") ||
                 (tk[k + 1].kind == Token::Word && IsMeridian(tk[k + 1].text))))
                break;
            nums.push_back(t);
            isMonthWord.push_back(false);
        } else if (int month = t.kind == Token::Word ? MonthFromWord(t.text) : 0) {
            Token m = t;
            m.value = month;
            nums.push_back(m);
            isMonthWord.push_back(true);
        } else {
            break;
        }
        ++k;
        if (nums.size() < 3 && k < tk.size() &&
            (IsDateSep(tk[k]) || (tk[k].kind == Token::Sep && tk[k].text == ","))) {
            // Only consume a separator when a date part follows it.
            if (k + 1 < tk.size() &&
                (tk[k + 1].kind == Token::Number ||
                 (tk[k + 1].kind == Token::Word && MonthFromWord(tk[k + 1].text))))
                ++k;
        }
    }
    if (nums.size() < 2)
        return false;

    int y = 0, m = 0, d = 0;
    int words = 0;
    for (bool b : isMonthWord)
        words += b ? 1 : 0;
    if (words > 1)
        return false;
    if (words == 1) {
        if (isMonthWord[0]) { // Jan 5 2001 / Jan 2001
            m = nums[0].value;
            if (nums.size() == 3) {
                d = nums[1].value;
                y = ExpandYear(nums[2]);
            } else if (nums[1].text.size() >= 3) {
                d = 1;
                y = ExpandYear(nums[1]);
            } else {
                d = nums[1].value;
                y = COleDateTime::GetCurrentTime().GetYear();
            }
        } else if (isMonthWord[1]) { // 5 Jan 2001 / 2001 Jan 5
            m = nums[1].value;
            if (nums.size() == 3) {
                if (nums[0].text.size() >= 3) {
                    y = nums[0].value;
                    d = nums[2].value;
                } else {
                    d = nums[0].value;
                    y = ExpandYear(nums[2]);
                }
            } else {
                d = nums[0].value;
                y = COleDateTime::GetCurrentTime().GetYear();
            }
        } else {
            return false;
        }
    } else if (nums.size() == 3) {
        if (nums[0].text.size() >= 3) { // year first (ISO)
            y = nums[0].value;
            m = nums[1].value;
            d = nums[2].value;
        } else {
            m = nums[0].value;
            d = nums[1].value;
            y = ExpandYear(nums[2]);
        }
    } else { // two numbers: month/day of this year, or month/year when the second is a year
        m = nums[0].value;
        if (nums[1].text.size() >= 3) {
            d = 1;
            y = nums[1].value;
        } else {
            d = nums[1].value;
            y = COleDateTime::GetCurrentTime().GetYear();
        }
    }
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
        return false;
    p.hasDate = true;
    p.year = y;
    p.month = m;
    p.day = d;
    i = k;
    return true;
}

// value as "%d", or as "%0*d" with width: zeros after a sign up to width. Written with
// to_chars: the grid writes a date in every row it shows, and printf took some 700
// instructions a number.
void AppendNumber(std::string& out, int value, int width, bool noPad) {
    char buf[16];
    const char* const end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    const size_t n = static_cast<size_t>(end - buf);
    const char* digits = buf;
    if (!noPad && n < static_cast<size_t>(width)) {
        if (value < 0) {
            out += '-';
            ++digits;
        }
        out.append(static_cast<size_t>(width) - n, '0');
    }
    out.append(digits, end);
}

// Writes the parts by the strftime-style codes of f.
void AppendFormatted(std::string& out, const Parts& p, const char* f) {
    for (; *f; ++f) {
        if (*f != '%') {
            out += *f;
            continue;
        }
        ++f;
        bool noPad = false;
        if (*f == '#') {
            noPad = true;
            ++f;
        }
        switch (*f) {
        case 'a':
            out.append(kDayNames[p.dayOfWeek - 1], 3);
            break;
        case 'A':
            out += kDayNames[p.dayOfWeek - 1];
            break;
        case 'b':
            out.append(kMonthNames[p.month - 1], 3);
            break;
        case 'B':
            out += kMonthNames[p.month - 1];
            break;
        case 'c':
            AppendFormatted(out, p, kDateTimeFormat);
            break;
        case 'd':
            AppendNumber(out, p.day, 2, noPad);
            break;
        case 'H':
            AppendNumber(out, p.hour, 2, noPad);
            break;
        case 'I':
            AppendNumber(out, p.hour % 12 == 0 ? 12 : p.hour % 12, 2, noPad);
            break;
        case 'j':
            AppendNumber(out, p.dayOfYear, 3, noPad);
            break;
        case 'm':
            AppendNumber(out, p.month, 2, noPad);
            break;
        case 'M':
            AppendNumber(out, p.minute, 2, noPad);
            break;
        case 'p':
            out += p.hour < 12 ? "AM" : "PM";
            break;
        case 'S':
            AppendNumber(out, p.second, 2, noPad);
            break;
        case 'w':
            AppendNumber(out, p.dayOfWeek - 1, 1, true);
            break;
        case 'x':
            AppendFormatted(out, p, kDateFormat);
            break;
        case 'X':
            AppendFormatted(out, p, kTimeFormat);
            break;
        case 'y':
            AppendNumber(out, p.year % 100, 2, noPad);
            break;
        case 'Y':
            AppendNumber(out, p.year, 4, noPad);
            break;
        case '%':
            out += '%';
            break;
        case '\0':
            --f; // a lone '%' at the end is dropped
            break;
        default:
            out += '%';
            out += *f;
            break;
        }
    }
}

CString Formatted(const Parts& p, const char* format) {
    std::string out;
    AppendFormatted(out, p, format);
    return CString(std::move(out));
}

// The text of a value that has no parts to write.
CString NoDateText(const COleDateTime& dt) {
    return dt.GetStatus() == COleDateTime::null ? CString() : CString("Invalid DateTime");
}

} // namespace

// ---------------------------------------------------------------------------

COleDateTime::COleDateTime(const VARIANT& varSrc) : m_dt(0), m_status(valid) {
    *this = varSrc;
}

COleDateTime::COleDateTime(time_t timeSrc) : m_dt(0), m_status(valid) {
    *this = timeSrc;
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
    : m_dt(0), m_status(valid) {
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

COleDateTime::COleDateTime(WORD wDosDate, WORD wDosTime) : m_dt(0), m_status(valid) {
    SetDateTime((wDosDate >> 9) + 1980, (wDosDate >> 5) & 0x0F, wDosDate & 0x1F, wDosTime >> 11,
                (wDosTime >> 5) & 0x3F, (wDosTime & 0x1F) * 2);
}

COleDateTime COleDateTime::GetCurrentTime() {
    return COleDateTime(std::time(nullptr));
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) {
    double dt = 0;
    if (!MakeDate(nYear, nMonth, nDay, nHour, nMin, nSec, dt)) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    m_dt = dt;
    m_status = valid;
    return 0;
}

#define KEL_DATE_PART(name, field)                                                                 \
    int COleDateTime::name() const {                                                               \
        Parts p;                                                                                   \
        if (!SplitValid(*this, p))                                                                 \
            return AFX_OLE_DATETIME_ERROR;                                                         \
        return p.field;                                                                            \
    }
KEL_DATE_PART(GetYear, year)
KEL_DATE_PART(GetMonth, month)
KEL_DATE_PART(GetDay, day)
KEL_DATE_PART(GetHour, hour)
KEL_DATE_PART(GetMinute, minute)
KEL_DATE_PART(GetSecond, second)
KEL_DATE_PART(GetDayOfWeek, dayOfWeek)
KEL_DATE_PART(GetDayOfYear, dayOfYear)
#undef KEL_DATE_PART

BOOL COleDateTime::ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags, LCID /*lcid*/) {
    m_dt = 0;
    m_status = invalid;
    if (!lpszDate)
        return FALSE;
    std::vector<Token> tk = Tokenize(lpszDate);
    if (tk.empty())
        return FALSE;

    Parsed p;
    size_t i = 0;
    // Date first, then an optional time ("T" may join ISO parts); or a time alone.
    if (ParseDate(tk, i, p)) {
        if (i < tk.size() && tk[i].kind == Token::Word && tk[i].text == "t")
            ++i;
        else if (i < tk.size() && tk[i].kind == Token::Sep && tk[i].text == ",")
            ++i;
        if (i < tk.size() && !ParseTime(tk, i, p))
            return FALSE;
    } else {
        i = 0;
        if (!ParseTime(tk, i, p))
            return FALSE;
        if (i < tk.size() && !ParseDate(tk, i, p))
            return FALSE;
    }
    if (i != tk.size())
        return FALSE;

    if (dwFlags & VAR_DATEVALUEONLY) {
        if (!p.hasDate)
            return FALSE;
        p.hour = p.minute = p.second = 0;
    }
    if ((dwFlags & VAR_TIMEVALUEONLY) || !p.hasDate) {
        p.year = 1899;
        p.month = 12;
        p.day = 30;
    }
    double dt = 0;
    if (!MakeDate(p.year, p.month, p.day, p.hour, p.minute, p.second, dt))
        return FALSE;
    m_dt = dt;
    m_status = valid;
    return TRUE;
}

CString COleDateTime::Format(DWORD dwFlags, LCID /*lcid*/) const {
    Parts p;
    if (!SplitValid(*this, p))
        return NoDateText(*this);
    const bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
    const char* format;
    if (dwFlags & VAR_DATEVALUEONLY)
        format = kDateFormat;
    else if (dwFlags & VAR_TIMEVALUEONLY)
        format = kTimeFormat;
    else if (!hasTime)
        format = kDateFormat;
    else // a time on day 0 is written alone
        format = static_cast<long>(m_dt) == 0 ? kTimeFormat : kDateTimeFormat;
    return Formatted(p, format);
}

CString COleDateTime::Format(LPCTSTR lpszFormat) const {
    Parts p;
    if (!SplitValid(*this, p))
        return NoDateText(*this);
    return Formatted(p, lpszFormat ? lpszFormat : "");
}

CString COleDateTime::Format(UINT nFormatID) const {
    CString fmt;
    if (!fmt.LoadString(nFormatID))
        return CString();
    return Format(static_cast<LPCTSTR>(fmt));
}

COleDateTime& COleDateTime::operator=(const VARIANT& varSrc) {
    if (varSrc.vt == VT_NULL) {
        m_dt = 0;
        m_status = null;
        return *this;
    }
    VARIANT date; // VT_DATE, or left empty: nothing to free
    VariantInit(&date);
    const bool ok = SUCCEEDED(VariantChangeType(&date, &varSrc, 0, VT_DATE));
    m_dt = ok ? date.date : 0;
    m_status = ok ? valid : invalid;
    return *this;
}

COleDateTime& COleDateTime::operator=(DATE dtSrc) {
    m_dt = dtSrc;
    m_status = (dtSrc >= kMinDate && dtSrc <= kMaxDate) ? valid : invalid;
    return *this;
}

COleDateTime& COleDateTime::operator=(time_t timeSrc) {
    std::tm tmv{};
    if (!localtime_r(&timeSrc, &tmv)) {
        m_status = invalid;
        return *this;
    }
    SetDateTime(tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min,
                tmv.tm_sec);
    return *this;
}

namespace {
// Compares as a continuous time line: before day 0 the fraction is stored negated.
double TimeLine(double dt) {
    double days = std::trunc(dt);
    double frac = std::fabs(dt - days);
    return days + frac;
}
double FromTimeLine(double t) {
    double days = std::floor(t);
    double frac = t - days;
    return days >= 0 ? days + frac : days - frac;
}
} // namespace

bool COleDateTime::operator==(const COleDateTime& date) const {
    return m_status == date.m_status && m_dt == date.m_dt;
}

bool COleDateTime::operator<(const COleDateTime& date) const {
    return TimeLine(m_dt) < TimeLine(date.m_dt);
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& dateSpan) const {
    COleDateTime r;
    if (m_status != valid || dateSpan.m_status != COleDateTimeSpan::valid) {
        r.m_status = invalid;
        return r;
    }
    r = FromTimeLine(TimeLine(m_dt) + dateSpan.m_span);
    return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& dateSpan) const {
    return *this + COleDateTimeSpan(-dateSpan.m_span);
}

COleDateTime& COleDateTime::operator+=(const COleDateTimeSpan& dateSpan) {
    return *this = *this + dateSpan;
}

COleDateTime& COleDateTime::operator-=(const COleDateTimeSpan& dateSpan) {
    return *this = *this - dateSpan;
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const {
    COleDateTimeSpan s(TimeLine(m_dt) - TimeLine(date.m_dt));
    if (m_status != valid || date.m_status != valid)
        s.m_status = COleDateTimeSpan::invalid;
    return s;
}

COleDateTimeSpan::COleDateTimeSpan(long lDays, int nHours, int nMins, int nSecs)
    : m_span(0), m_status(valid) {
    SetDateTimeSpan(lDays, nHours, nMins, nSecs);
}

void COleDateTimeSpan::SetDateTimeSpan(long lDays, int nHours, int nMins, int nSecs) {
    m_span = lDays + ((nHours * 60.0 + nMins) * 60.0 + nSecs) / 86400.0;
    m_status = valid;
}

long COleDateTimeSpan::GetDays() const {
    return static_cast<long>(m_span);
}
long COleDateTimeSpan::GetHours() const {
    return static_cast<long>(std::llround(GetTotalSeconds()) / 3600 % 24);
}
long COleDateTimeSpan::GetMinutes() const {
    return static_cast<long>(std::llround(GetTotalSeconds()) / 60 % 60);
}
long COleDateTimeSpan::GetSeconds() const {
    return static_cast<long>(std::llround(GetTotalSeconds()) % 60);
}
