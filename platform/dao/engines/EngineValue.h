// One value as an engine stores it, copied out of the engine so that no read stays open.
// Engine-neutral: the storage conventions above the seam (ISO date text, booleans -1/0,
// currency as a number) are what every engine reads and writes through it.
// Private to the data-access classes.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace kel::dao {

struct EngineValue {
    enum class Kind { Null, Integer, Real, Text, Blob };

    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string bytes; // Text (UTF-8) or Blob

    static EngineValue Null() { return {}; }
    static EngineValue Integer(std::int64_t v) {
        EngineValue e;
        e.kind = Kind::Integer;
        e.integer = v;
        return e;
    }
    static EngineValue Real(double v) {
        EngineValue e;
        e.kind = Kind::Real;
        e.real = v;
        return e;
    }
    static EngineValue Text(std::string_view v) {
        EngineValue e;
        e.kind = Kind::Text;
        e.bytes = std::string(v);
        return e;
    }
    static EngineValue Blob(std::string_view v) {
        EngineValue e;
        e.kind = Kind::Blob;
        e.bytes = std::string(v);
        return e;
    }

    bool IsNull() const { return kind == Kind::Null; }

    bool operator==(const EngineValue& other) const {
        if (kind != other.kind)
            return false;
        switch (kind) {
        case Kind::Null:
            return true;
        case Kind::Integer:
            return integer == other.integer;
        case Kind::Real:
            return real == other.real || (std::isnan(real) && std::isnan(other.real));
        default:
            return bytes == other.bytes;
        }
    }
};

} // namespace kel::dao
