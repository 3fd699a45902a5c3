#include "platform/dao/engines/postgresql/PgDialect.h"

#include "platform/dao/IsoDate.h"
#include "platform/dao/JetPattern.h"
#include "platform/dao/TextCompare.h"
#include "platform/dao/engines/EngineError.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kel::dao {

namespace {

constexpr size_t kMaxNameBytes = 63; // NAMEDATALEN - 1 of a standard build

bool IsAsciiAlnum(char32_t c) {
    return c < 0x80 && std::isalnum(static_cast<int>(c));
}

// One character inside a bracket expression: letters and digits as they are, anything else
// as a \u or \U escape, so that ] ^ - \ and [ never act.
void AppendClassChar(std::string& out, char32_t c) {
    if (IsAsciiAlnum(c)) {
        out += static_cast<char>(c);
        return;
    }
    char buffer[16];
    if (c <= 0xFFFF)
        std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
    else
        std::snprintf(buffer, sizeof buffer, "\\U%08X", static_cast<unsigned>(c));
    out += buffer;
}

} // namespace

PgDialect::PgDialect() {
    for (char32_t c = 0; c < 0x180; ++c) {
        const char32_t folded = FoldCase(c);
        if (folded != c) {
            AppendUtf8(m_foldFrom, c);
            AppendUtf8(m_foldTo, folded);
        }
    }
}

std::string PgDialect::QuoteName(std::string_view name) const {
    if (name.size() > kMaxNameBytes)
        throw EngineError(EngineFailure::InvalidArgument, {},
                          "The name '" + std::string(name) + "' is longer than " +
                              std::to_string(kMaxNameBytes) + " bytes.");
    return Dialect::QuoteName(name);
}

std::string PgDialect::DateLiteral(DATE date) const {
    const std::string iso = FormatIsoDate(date);
    return iso.empty() ? iso : "TIMESTAMP " + QuoteText(iso);
}

std::string PgDialect::BooleanLiteral(bool value) const {
    return value ? "TRUE" : "FALSE";
}

std::optional<std::string> PgDialect::JetPatternToRegex(std::string_view jetPattern) {
    std::vector<JetPatternItem> items;
    if (jetPattern.find('\0') != std::string_view::npos || !ParseJetPattern(jetPattern, items))
        return std::nullopt;
    std::string re = "^";
    for (const JetPatternItem& item : items) {
        switch (item.kind) {
        case JetPatternItem::Any:
            re += ".*";
            break;
        case JetPatternItem::One:
            re += '.';
            break;
        case JetPatternItem::Digit:
            re += "[0-9]";
            break;
        case JetPatternItem::Class: {
            const auto ranges = WithCaseVariants(item.ranges);
            re += item.negated ? "[^" : "[";
            for (auto [lo, hi] : ranges) {
                if (hi > 0x10FFFF)
                    return std::nullopt; // a byte that is no UTF-8
                AppendClassChar(re, lo);
                if (hi != lo) {
                    re += '-';
                    AppendClassChar(re, hi);
                }
            }
            re += ']';
            break;
        }
        case JetPatternItem::Literal: {
            char32_t c = item.ch;
            if (!item.utf8.empty()) {
                size_t at = 0;
                c = NextCodePoint(item.utf8, at);
            } else if (item.ch >= 0x80) {
                return std::nullopt;
            }
            const std::string variants = CaseVariants(c);
            size_t at = 0;
            NextCodePoint(variants, at);
            if (at < variants.size()) { // other cases: a class of them all
                re += '[';
                for (size_t k = 0; k < variants.size();)
                    AppendClassChar(re, NextCodePoint(variants, k));
                re += ']';
            } else if (IsAsciiAlnum(c) || c >= 0x80) {
                AppendUtf8(re, c);
            } else {
                re += '\\'; // a backslash before anything but a letter or digit is that
                re += static_cast<char>(c);
            }
            break;
        }
        }
    }
    return re + "$";
}

std::optional<std::string> PgDialect::Like(std::string_view operand,
                                           std::string_view jetPattern) const {
    const std::optional<std::string> re = JetPatternToRegex(jetPattern);
    if (!re)
        return std::nullopt;
    // A number or a date is matched by its text, as Jet matches it.
    return "CAST(" + std::string(operand) + " AS text) ~ " + QuoteText(*re);
}

// translate() folds exactly the letters JETTEXT folds, and the C collation then orders by
// code point as JETTEXT does, whatever the database's locale.
std::string PgDialect::TextKey(std::string_view operand) const {
    return "translate(" + std::string(operand) + ", " + QuoteText(m_foldFrom) + ", " +
           QuoteText(m_foldTo) + ") COLLATE \"C\"";
}

// true::integer is 1: negated, Jet's -1.
std::string PgDialect::YesNoNumber(std::string_view operand) const {
    return "(-CAST(" + std::string(operand) + " AS integer))";
}

std::string PgDialect::OrderTerm(std::string_view operand, bool descending) const {
    return std::string(operand) + (descending ? " DESC NULLS LAST" : " ASC NULLS FIRST");
}

std::string PgDialect::KeyInList(std::string_view key, int param) const {
    return std::string(key) + " = ANY(?" + std::to_string(param) + "::bigint[])";
}

// An array literal: {1,2,3}.
EngineValue PgDialect::KeyList(const std::vector<std::int64_t>& keys) const {
    std::string text = "{";
    for (size_t i = 0; i < keys.size(); ++i)
        text += (i ? "," : "") + std::to_string(keys[i]);
    return EngineValue::Text(text + "}");
}

std::vector<std::string> PgDialect::RowIdentity(const SchemaDescription& schema) const {
    if (schema.view)
        return {};
    if (!schema.primaryKey.empty())
        return schema.primaryKey;
    // A unique index over required fields names a row as well as a key does.
    for (const IndexDescription& index : schema.indexes) {
        if (!index.unique || index.partial || index.expression || index.fields.empty())
            continue;
        const bool required =
            std::all_of(index.fields.begin(), index.fields.end(), [&](const std::string& f) {
                const FieldDescription* field = schema.Find(f);
                return field && field->required;
            });
        if (required)
            return index.fields;
    }
    return {};
}

} // namespace kel::dao
