#include "platform/dao/TextCompare.h"

#include "platform/core/Utf8.h"

#include <array>
#include <string>

namespace kel::dao {

namespace {

// Unicode's simple case folding (status C and S) of U+0000..U+017F, as runs: every step-th code
// point from first to last folds to itself + delta. U+0130 (dotted capital I) folds only in
// full folding and U+00DF (sharp s) only to "ss": both stay themselves. U+017F (long s) is a
// form of s rather than a case of it, and stays itself too, as SQLite's LIKE keeps it.
struct FoldRun {
    char32_t first, last;
    int step, delta;
};
constexpr FoldRun kFoldRuns[] = {
    {0x0041, 0x005A, 1, 32},   // A-Z
    {0x00C0, 0x00D6, 1, 32},   // À-Ö
    {0x00D8, 0x00DE, 1, 32},   // Ø-Þ
    {0x0100, 0x012E, 2, 1},    // Ā-Į
    {0x0132, 0x0136, 2, 1},    // Ĳ-Ķ
    {0x0139, 0x0147, 2, 1},    // Ĺ-Ň
    {0x014A, 0x0176, 2, 1},    // Ŋ-Ŷ
    {0x0178, 0x0178, 1, -121}, // Ÿ -> ÿ
    {0x0179, 0x017D, 2, 1},    // Ź-Ž
};
constexpr char32_t kTableEnd = 0x180;

constexpr std::array<char32_t, kTableEnd> MakeFoldTable() {
    std::array<char32_t, kTableEnd> table{};
    for (char32_t c = 0; c < kTableEnd; ++c)
        table[c] = c;
    for (const FoldRun& run : kFoldRuns)
        for (char32_t c = run.first; c <= run.last; c += static_cast<char32_t>(run.step))
            table[c] = static_cast<char32_t>(static_cast<int>(c) + run.delta);
    return table;
}
constexpr std::array<char32_t, kTableEnd> kFold = MakeFoldTable();

// Bytes outside valid UTF-8 read as code points past Unicode's last, one per byte.
constexpr char32_t kStrayByte = 0x110000;

} // namespace

char32_t NextCodePoint(std::string_view text, size_t& i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    }
    if (length == 0 || i + static_cast<size_t>(length) > text.size()) {
        ++i;
        return kStrayByte + lead;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char b = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kStrayByte + lead;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++i;
        return kStrayByte + lead;
    }
    i += static_cast<size_t>(length);
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF) { // a stray byte stands for itself
        out += static_cast<char>(c - kStrayByte);
        return;
    }
    kel::core::AppendUtf8(out, c);
}

char32_t FoldCase(char32_t c) {
    return c < kTableEnd ? kFold[c] : c;
}

std::string CaseVariants(char32_t c) {
    std::string out;
    if (c > 0x10FFFF)
        return out;
    AppendUtf8(out, c);
    const char32_t folded = FoldCase(c);
    for (char32_t x = 0; x < kTableEnd; ++x)
        if (x != c && kFold[x] == folded)
            AppendUtf8(out, x);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        // ASCII, the common case, without decoding.
        if (ca < 0x80 && cb < 0x80) {
            if (kFold[ca] != kFold[cb])
                return kFold[ca] < kFold[cb] ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t x = FoldCase(NextCodePoint(a, i));
        const char32_t y = FoldCase(NextCodePoint(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace kel::dao
