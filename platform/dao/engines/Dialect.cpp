#include "platform/dao/engines/Dialect.h"

#include "platform/dao/engines/EngineError.h"

namespace kel::dao {

std::string Dialect::QuoteName(std::string_view name) const {
    if (name.empty())
        throw EngineError(EngineFailure::InvalidArgument, {}, "A name cannot be empty.");
    if (name.find('\0') != std::string_view::npos)
        throw EngineError(EngineFailure::InvalidArgument, {},
                          "A name cannot contain a NUL character.");
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string Dialect::QuoteText(std::string_view text) const {
    if (text.find('\0') != std::string_view::npos)
        throw EngineError(EngineFailure::InvalidArgument, {},
                          "Text in a statement cannot contain a NUL character.");
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + '\'';
}

std::string Dialect::BoundedRead(std::int64_t rows) const {
    return " LIMIT " + std::to_string(rows < 0 ? 0 : rows);
}

std::vector<std::string> Dialect::RowIdentity(const SchemaDescription& schema) const {
    return schema.view ? std::vector<std::string>() : schema.primaryKey;
}

std::string Dialect::KeyInList(std::string_view, int) const {
    return {};
}

EngineValue Dialect::KeyList(const std::vector<std::int64_t>&) const {
    return EngineValue::Null();
}

std::string Dialect::RowIdName(const std::vector<std::string>&) const {
    return {};
}

} // namespace kel::dao
