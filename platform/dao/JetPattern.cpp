#include "platform/dao/JetPattern.h"

#include "platform/dao/TextCompare.h"

#include <algorithm>
#include <cctype>

namespace kel::dao {

bool ParseJetPattern(std::string_view p, std::vector<JetPatternItem>& items) {
    for (size_t i = 0; i < p.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        JetPatternItem item;
        if (c == '*') {
            item.kind = JetPatternItem::Any;
        } else if (c == '?') {
            item.kind = JetPatternItem::One;
        } else if (c == '#') {
            item.kind = JetPatternItem::Digit;
        } else if (c == '[') {
            size_t close = p.find(']', i + 1);
            if (close == i + 1) { // "[]" stands for nothing
                i = close;
                continue;
            }
            if (close == std::string_view::npos)
                return false;
            std::string_view body = p.substr(i + 1, close - i - 1);
            i = close;
            std::vector<char32_t> cps; // the class by characters
            for (size_t k = 0; k < body.size();)
                cps.push_back(NextCodePoint(body, k));
            if (cps.size() > 1 && cps[0] == '!') {
                item.negated = true;
                cps.erase(cps.begin());
            }
            for (size_t k = 0; k < cps.size(); ++k) {
                if (k + 2 < cps.size() && cps[k + 1] == '-') {
                    item.ranges.emplace_back(std::min(cps[k], cps[k + 2]),
                                             std::max(cps[k], cps[k + 2]));
                    k += 2;
                } else {
                    item.ranges.emplace_back(cps[k], cps[k]);
                }
            }
            if (!item.negated && item.ranges.size() == 1 &&
                item.ranges[0].first == item.ranges[0].second) {
                item.kind = JetPatternItem::Literal; // [*], [?], [#], [[], [é] and the like
                const char32_t c = item.ranges[0].first;
                if (c < 0x80) {
                    item.ch = static_cast<unsigned char>(c);
                } else {
                    AppendUtf8(item.utf8, c);
                    item.ch = static_cast<unsigned char>(item.utf8[0]);
                    if (c > 0x10FFFF)
                        item.utf8.clear(); // a stray byte: a byte literal
                }
            } else {
                item.kind = JetPatternItem::Class;
            }
        } else {
            item.ch = c;
            size_t next = i;
            const char32_t cp = NextCodePoint(p, next);
            if (c >= 0x80 && cp <= 0x10FFFF) {
                item.utf8 = std::string(p.substr(i, next - i));
                i = next - 1;
            }
        }
        items.push_back(std::move(item));
    }
    return true;
}

std::vector<std::pair<char32_t, char32_t>>
WithCaseVariants(const std::vector<std::pair<char32_t, char32_t>>& classRanges) {
    std::vector<std::pair<char32_t, char32_t>> ranges = classRanges;
    for (auto [lo, hi] : classRanges) {
        if (hi < 0x80 && std::islower(static_cast<int>(lo)) && std::islower(static_cast<int>(hi)))
            ranges.emplace_back(std::toupper(static_cast<int>(lo)),
                                std::toupper(static_cast<int>(hi)));
        else if (hi < 0x80 && std::isupper(static_cast<int>(lo)) &&
                 std::isupper(static_cast<int>(hi)))
            ranges.emplace_back(std::tolower(static_cast<int>(lo)),
                                std::tolower(static_cast<int>(hi)));
        else if (hi >= 0x80 && lo < 0x180) {
            // Beyond ASCII: the other cases of each letter of the range, one by one.
            for (char32_t c = lo; c <= std::min<char32_t>(hi, 0x17F); ++c) {
                const std::string variants = CaseVariants(c);
                for (size_t k = 0; k < variants.size();) {
                    const char32_t v = NextCodePoint(variants, k);
                    if (v < lo || v > hi)
                        ranges.emplace_back(v, v);
                }
            }
        }
    }
    return ranges;
}

} // namespace kel::dao
