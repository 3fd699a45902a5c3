// The value of one hexadecimal digit, shared by the settings store and the server's binary
// values.
#pragma once

namespace kel::core {

// 0..15, or -1 when c is no hexadecimal digit.
inline int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace kel::core
