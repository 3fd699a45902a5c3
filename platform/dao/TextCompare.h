// Text compared as the Jet engine compares it: without regard to case, for the Latin letters
// of ASCII, Latin-1 Supplement and Latin Extended-A (é equals É; ß stays itself). SQLite's own
// NOCASE folds ASCII only, so every connection gets a collation of these rules; LIKE patterns
// with accented letters are matched through GLOB classes of their cases (JetSql).
// Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>

namespace kel::dao {

// The collation's name, as the translated SQL writes it after text comparisons and orders.
inline constexpr std::string_view kTextCollation = "JETTEXT";

// The code point with its case folded (simple folding; outside the covered blocks unchanged).
char32_t FoldCase(char32_t c);

// The character with every character that folds alike (é -> éÉ), as UTF-8; the character
// alone when it has no other case.
std::string CaseVariants(char32_t c);

// <0, 0, >0: UTF-8 texts compared code point by code point after folding. A byte that is not
// part of a valid UTF-8 sequence stands for itself, after every character.
int CompareText(std::string_view a, std::string_view b);

// The code point of UTF-8 text at text[i], i moved past it; a byte that starts no valid
// sequence reads as a code point past Unicode's last.
char32_t NextCodePoint(std::string_view text, size_t& i);

// Appends the UTF-8 of a code point; one NextCodePoint read from a stray byte, that byte.
void AppendUtf8(std::string& out, char32_t c);

} // namespace kel::dao
