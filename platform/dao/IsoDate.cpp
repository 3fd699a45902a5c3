#include "platform/dao/IsoDate.h"

#include "platform/core/OleDateTime.h"

#include <cctype>
#include <cmath>
#include <vector>

namespace kel::dao {

namespace {

struct Parts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

bool Make(const Parts& p, DATE& date) {
    COleDateTime dt(p.year, p.month, p.day, p.hour, p.minute, p.second);
    if (dt.GetStatus() != COleDateTime::valid)
        return false;
    date = dt.m_dt;
    return true;
}

// Cursor over text with small helpers for digits and separators.
struct Reader {
    std::string_view s;
    size_t i = 0;

    void SkipBlanks() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
    }
    bool AtEnd() const { return i >= s.size(); }
    // 1..maxDigits digits; the count read goes to *count.
    bool Number(int& value, int maxDigits, int* count = nullptr) {
        size_t start = i;
        value = 0;
        while (i < s.size() && i - start < static_cast<size_t>(maxDigits) &&
               std::isdigit(static_cast<unsigned char>(s[i])))
            value = value * 10 + (s[i++] - '0');
        if (count)
            *count = static_cast<int>(i - start);
        return i > start;
    }
    bool Char(char c) {
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool Word(std::string_view w) {
        if (s.size() - i < w.size())
            return false;
        for (size_t k = 0; k < w.size(); ++k) {
            if (std::toupper(static_cast<unsigned char>(s[i + k])) != w[k])
                return false;
        }
        i += w.size();
        return true;
    }
};

// HH:MM[:SS[.fff]] with an optional AM/PM when ampm is allowed.
bool ReadTime(Reader& r, Parts& p, bool ampm) {
    if (!r.Number(p.hour, 2) || !r.Char(':') || !r.Number(p.minute, 2))
        return false;
    if (r.Char(':')) {
        if (!r.Number(p.second, 2))
            return false;
        if (r.Char('.')) {
            int fraction = 0;
            if (!r.Number(fraction, 9))
                return false;
        }
    }
    if (ampm) {
        r.SkipBlanks();
        bool pm = false;
        if (r.Word("PM"))
            pm = true;
        else if (!r.Word("AM"))
            return true;
        if (p.hour < 1 || p.hour > 12)
            return false;
        p.hour = p.hour % 12 + (pm ? 12 : 0);
    }
    return true;
}

} // namespace

std::string FormatIsoDate(DATE date) {
    COleDateTime dt(date);
    if (dt.GetYear() == AFX_OLE_DATETIME_ERROR)
        return std::string();
    bool hasTime = dt.GetHour() != 0 || dt.GetMinute() != 0 || dt.GetSecond() != 0;
    return dt.Format(hasTime ? "%Y-%m-%d %H:%M:%S" : "%Y-%m-%d").str();
}

bool ParseIsoDate(std::string_view text, DATE& date) {
    Reader r{text};
    r.SkipBlanks();
    Parts p;
    size_t start = r.i;
    int digits = 0;
    if (r.Number(p.year, 4, &digits) && digits == 4 && r.Char('-')) {
        if (!r.Number(p.month, 2) || !r.Char('-') || !r.Number(p.day, 2))
            return false;
        if (r.Char('T') || r.Char(' ')) {
            r.SkipBlanks();
            if (!r.AtEnd() && !ReadTime(r, p, false))
                return false;
        }
    } else {
        r.i = start;
        p = Parts();
        if (!ReadTime(r, p, false))
            return false;
    }
    r.Char('Z');
    r.SkipBlanks();
    return r.AtEnd() && Make(p, date);
}

bool JetDateLiteralToIso(std::string_view body, std::string& iso) {
    Reader r{body};
    r.SkipBlanks();
    Parts p;
    size_t start = r.i;
    int first = 0, firstDigits = 0;
    bool haveDate = false;
    if (r.Number(first, 4, &firstDigits) && (r.Char('/') || r.Char('-'))) {
        char sep = body[r.i - 1];
        int second = 0, third = 0, thirdDigits = 0;
        if (!r.Number(second, 2))
            return false;
        if (r.Char(sep)) {
            if (!r.Number(third, 4, &thirdDigits))
                return false;
        } else if (firstDigits <= 2) { // month/day: this year
            third = COleDateTime::GetCurrentTime().GetYear();
            thirdDigits = 4;
        } else {
            return false;
        }
        if (firstDigits == 4) { // year-month-day
            p.year = first;
            p.month = second;
            p.day = third;
        } else { // month/day/year, two-digit years as the engine reads them
            p.month = first;
            p.day = second;
            p.year = third;
            if (thirdDigits <= 2)
                p.year += third < 30 ? 2000 : 1900;
        }
        haveDate = true;
    } else {
        r.i = start;
    }
    r.SkipBlanks();
    if (!r.AtEnd()) {
        if (!ReadTime(r, p, true))
            return false;
        r.SkipBlanks();
    } else if (!haveDate) {
        return false;
    }
    if (!r.AtEnd())
        return false;
    DATE date = 0;
    if (!Make(p, date))
        return false;
    iso = FormatIsoDate(date);
    return !iso.empty();
}

} // namespace kel::dao
