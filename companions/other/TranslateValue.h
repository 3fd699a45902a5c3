// TranslateValue: the display text of a field value.
//
// Null and empty values give "". Format 0 (TVF_DEFAULT) writes each type in the user
// locale's plain form: dates "%m/%d/%Y", followed by " %H:%M:%S" only when the time is not
// midnight (a time with no date part gives the time alone); booleans "Yes"/"No"; currency
// with two decimals; floating-point numbers without trailing zeros; integers plain; text
// as it is; binary values as "(binary N bytes)".
//
// The other codes change only the types they are about; any other type, and any unknown
// code, is written as with format 0.
#pragma once

#include "afx.h"
#include "afxdisp.h"

inline constexpr WORD TVF_DEFAULT = 0;
inline constexpr WORD TVF_LONGDATE = 1;  // dates: "Monday, January 15, 2024" (time dropped)
inline constexpr WORD TVF_TIME = 2;      // dates: "14:05:09" (date dropped)
inline constexpr WORD TVF_DATETIME = 3;  // dates: "01/15/2024 00:00:00", time always shown
inline constexpr WORD TVF_THOUSANDS = 4; // numbers and currency: "1,234,567.5"
inline constexpr WORD TVF_CURRENCY = 5;  // numbers and currency: "$1,234.50", "-$3.00"
inline constexpr WORD TVF_PERCENT = 6;   // numbers: 0.125 gives "12.5%"
inline constexpr WORD TVF_TRUEFALSE = 7; // booleans: "True"/"False"
inline constexpr WORD TVF_ONOFF = 8;     // booleans: "On"/"Off"

void TranslateValue(const COleVariant& var, CString& text, WORD wFormat);
