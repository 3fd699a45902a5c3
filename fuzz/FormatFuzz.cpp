// CString::Format and AppendFormat with the format strings the library writes, given any
// arguments of the right types, including the string's own text.
//
// Rules: no crash; the text is what the C library's snprintf gives for the same call, however
// long; formatting a string's own text into it sees the text as it was before the call.
#include "fuzz/FuzzCheck.h"

#include <afx.h>

#include <cstdio>
#include <string>

namespace {

// The formats by their argument types: d int, u unsigned, x unsigned (hex), U unsigned long
// long, L long long, g double, s text.
struct Pattern {
    const char* format;
    const char* args;
};

const Pattern kPatterns[] = {
    {"%d", "d"},
    {"%u", "u"},
    {"%llu", "U"},
    {"%lld", "L"},
    {"%.15g", "g"},
    {"Please enter no more than %d characters.", "d"},
    {"Please enter an integer between %d and %d.", "dd"},
    {"Afx:%x:%x:%llx:%llx:%llx", "xxUUU"},
    {"filtered reload: %s", "s"},
    {"Save changes to %s?", "s"},
    {"%s was not found.", "s"},
    {"%s could not be accessed.", "s"},
    {"%s contains an invalid path.", "s"},
    {"An unexpected error occurred while accessing %s.", "s"},
    {"An attempt was made to read past the end of %s.", "s"},
    {"An attempt was made to access %s past its end.", "s"},
    {"There is not enough space on the disk for %s.", "s"},
    {"%s%s", "ss"},
};

std::string Reference(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Reference(const char* format, ...) {
    va_list args, copy;
    va_start(args, format);
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

// Both the string under test and the reference get the same call; the format text is not a
// literal here, which is the point of the target.
#pragma clang diagnostic ignored "-Wformat-nonliteral"
#pragma clang diagnostic ignored "-Wformat-security"

template <class... Args> void Check(const char* format, bool append, Args... args) {
    CString s(append ? "prefix " : "");
    const std::string before = s.str();
    if (append)
        s.AppendFormat(format, args...);
    else
        s.Format(format, args...);
    FUZZ_CHECK(s.str() == before + Reference(format, args...), "Format differs from snprintf");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    kelfuzz::Input in(data, size);
    const Pattern& p = kPatterns[in.Byte() % (sizeof kPatterns / sizeof kPatterns[0])];
    const bool append = in.Byte() & 1;
    const std::string sig = p.args;
    if (sig == "d") {
        Check(p.format, append, in.Integer<int>());
    } else if (sig == "u") {
        Check(p.format, append, in.Integer<unsigned>());
    } else if (sig == "U") {
        Check(p.format, append, in.Integer<unsigned long long>());
    } else if (sig == "L") {
        Check(p.format, append, in.Integer<long long>());
    } else if (sig == "g") {
        Check(p.format, append, in.Integer<double>());
    } else if (sig == "dd") {
        int a = in.Integer<int>();
        Check(p.format, append, a, in.Integer<int>());
    } else if (sig == "xxUUU") {
        unsigned a = in.Integer<unsigned>(), b = in.Integer<unsigned>();
        unsigned long long c = in.Integer<unsigned long long>();
        unsigned long long d = in.Integer<unsigned long long>();
        Check(p.format, append, a, b, c, d, in.Integer<unsigned long long>());
    } else {
        const std::string text(in.Rest());
        Check(p.format, append, text.c_str(), text.c_str());
        // The string's own text as the argument, short and long (one pass or two).
        CString self(text.c_str());
        const std::string was = self.str();
        self.Format(p.format, self.GetString(), self.GetString());
        FUZZ_CHECK(self.str() == Reference(p.format, was.c_str(), was.c_str()),
                   "Format of the string's own text");
        CString grow(text.c_str());
        grow.AppendFormat(p.format, grow.GetString(), grow.GetString());
        FUZZ_CHECK(grow.str() == was + Reference(p.format, was.c_str(), was.c_str()),
                   "AppendFormat of the string's own text");
    }
    return 0;
}
