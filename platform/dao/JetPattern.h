// A Jet LIKE pattern read into its parts: * (any run), ? (one character), # (a digit),
// [a-c] and [!a-c] classes, and literal characters ([*], [?], [#] and [[] among them).
// Each engine's dialect writes the parts in its own matching syntax.
// Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel::dao {

struct JetPatternItem {
    enum Kind { Literal, Any, One, Digit, Class } kind = Literal;
    unsigned char ch = 0; // Literal: the byte (the first one of a longer character)
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges; // Class: inclusive code point ranges
    std::string utf8; // Literal: a whole character of more than one byte
};

// False when a [ class is not closed. "[]" stands for nothing.
bool ParseJetPattern(std::string_view pattern, std::vector<JetPatternItem>& items);

// A class's ranges with the other cases of its letters added (a-c gains A-C, é gains É), by
// the folding rules of Jet's text comparison.
std::vector<std::pair<char32_t, char32_t>>
WithCaseVariants(const std::vector<std::pair<char32_t, char32_t>>& ranges);

} // namespace kel::dao
