// Dates as the data-access classes store them in SQLite: ISO text "YYYY-MM-DD", with
// " HH:MM:SS" when there is a time of day. Private to the data-access classes.
#pragma once

#include "platform/core/Variant.h"

#include <string>
#include <string_view>

namespace kel::dao {

// "YYYY-MM-DD" for a date at midnight, "YYYY-MM-DD HH:MM:SS" otherwise; empty when the value
// is outside the range of dates.
std::string FormatIsoDate(DATE date);

// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]" (a "T" may join them) and "HH:MM[:SS]".
bool ParseIsoDate(std::string_view text, DATE& date);

// The body of a Jet #...# literal (month/day/year, month/day of this year, or year-month-day,
// with an optional time of day and AM/PM; or a time alone) as ISO text.
bool JetDateLiteralToIso(std::string_view body, std::string& iso);

} // namespace kel::dao
