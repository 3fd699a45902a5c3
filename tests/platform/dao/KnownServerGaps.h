// The one list of server cases that cannot pass yet, each with its reason. A name is
// "Fixture.Test" or "Fixture.*" for every test of a fixture; a SQLite case is never listed.
#pragma once

#include <cstring>
#include <string>

struct KnownServerGapEntry {
    const char* test;
    const char* reason;
};

inline constexpr KnownServerGapEntry kKnownServerGaps[] = {
    {"", ""}, // keeps the array non-empty
};

// The reason the server instance of a test is skipped, or null when it runs. The suite and
// test names are gtest's ("Engines/Fixture", "Test/PostgreSQL").
inline const char* KnownServerGap(const char* suite, const char* test) {
    std::string fixture = suite;
    fixture = fixture.substr(fixture.find('/') + 1);
    std::string name = test;
    name = name.substr(0, name.find('/'));
    for (const KnownServerGapEntry& gap : kKnownServerGaps) {
        const std::string entry = gap.test;
        if (entry == fixture + "." + name || entry == fixture + ".*")
            return gap.reason;
    }
    return nullptr;
}
