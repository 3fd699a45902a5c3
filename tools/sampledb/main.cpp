// kelrs_sampledb <file> <rows> [seed]: writes a sample database.
#include "tools/sampledb/SampleDatabase.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: kelrs_sampledb <file> <rows> [seed]\n");
        return 2;
    }
    char* end = nullptr;
    long long rows = std::strtoll(argv[2], &end, 10);
    if (!end || *end || rows < 0) {
        std::fprintf(stderr, "kelrs_sampledb: '%s' is not a row count\n", argv[2]);
        return 2;
    }
    unsigned long seed = 1;
    if (argc == 4) {
        seed = std::strtoul(argv[3], &end, 10);
        if (!end || *end) {
            std::fprintf(stderr, "kelrs_sampledb: '%s' is not a seed\n", argv[3]);
            return 2;
        }
    }
    try {
        kelsampledb::Build(argv[1], rows, static_cast<std::uint32_t>(seed));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelrs_sampledb: %s\n", e.what());
        return 1;
    }
    return 0;
}
