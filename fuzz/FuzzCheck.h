// What a fuzz target does when an input breaks a rule: print why, then abort so that
// libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(cond, what)                                                                     \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace kelfuzz {

// Reads the input front to back: small integers first, the rest as text.
class Input {
public:
    Input(const unsigned char* data, size_t size) : m_p(data), m_end(data + size) {}
    unsigned Byte() { return m_p < m_end ? *m_p++ : 0u; }
    template <class T> T Integer() {
        T v{};
        unsigned char* out = reinterpret_cast<unsigned char*>(&v);
        for (size_t i = 0; i < sizeof(T); ++i)
            out[i] = static_cast<unsigned char>(Byte());
        return v;
    }
    // Up to n bytes (all that is left when n is larger).
    std::string_view Text(size_t n) {
        size_t left = static_cast<size_t>(m_end - m_p);
        if (n > left)
            n = left;
        std::string_view s(reinterpret_cast<const char*>(m_p), n);
        m_p += n;
        return s;
    }
    std::string_view Rest() { return Text(static_cast<size_t>(m_end - m_p)); }

private:
    const unsigned char* m_p;
    const unsigned char* m_end;
};

} // namespace kelfuzz
