// kelrs_sampledb <file> <rows> [seed]: writes a sample database.
// kelrs_sampledb --server <conninfo> <schema> <rows> [seed] [--cache <folder>]: puts the
// sample into a schema on a PostgreSQL server (unless it is there already), the SQLite file
// it copies cached in the folder (by default $TMPDIR/kelsampledb).
#include "tools/sampledb/SampleDatabase.h"
#include "tools/sampledb/ServerSample.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kelrs_sampledb <file> <rows> [seed]\n"
                         "       kelrs_sampledb --server <conninfo> <schema> <rows> [seed] "
                         "[--cache <folder>]\n");
    return 2;
}

bool ParseRows(const char* text, long long& rows) {
    char* end = nullptr;
    rows = std::strtoll(text, &end, 10);
    if (!*text || !end || *end || rows < 0) {
        std::fprintf(stderr, "kelrs_sampledb: '%s' is not a row count\n", text);
        return false;
    }
    return true;
}

bool ParseSeed(const char* text, std::uint32_t& seed) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (!*text || !end || *end || value > 0xFFFFFFFFull) {
        std::fprintf(stderr, "kelrs_sampledb: '%s' is not a seed\n", text);
        return false;
    }
    seed = static_cast<std::uint32_t>(value);
    return true;
}

int Server(std::vector<std::string> args) {
    std::string cache;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--cache") {
            if (i + 1 >= args.size())
                return Usage();
            cache = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            break;
        }
    }
    if (args.size() < 3 || args.size() > 4)
        return Usage();
    if (cache.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        cache = std::string(tmp && *tmp ? tmp : "/tmp") + "/kelsampledb";
    }
    long long rows = 0;
    std::uint32_t seed = 1;
    if (!ParseRows(args[2].c_str(), rows) ||
        (args.size() == 4 && !ParseSeed(args[3].c_str(), seed)))
        return 2;
    const auto start = std::chrono::steady_clock::now();
    const bool loaded = kelsampledb::LoadServer(args[0], args[1], cache, rows, seed);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (loaded)
        std::printf("loaded %lld orders into schema %s in %.1f s\n", rows, args[1].c_str(),
                    seconds);
    else
        std::printf("schema %s already holds the sample of %lld orders\n", args[1].c_str(), rows);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc >= 2 && std::string(argv[1]) == "--server")
            return Server(std::vector<std::string>(argv + 2, argv + argc));
        if (argc < 3 || argc > 4)
            return Usage();
        long long rows = 0;
        std::uint32_t seed = 1;
        if (!ParseRows(argv[2], rows) || (argc == 4 && !ParseSeed(argv[3], seed)))
            return 2;
        kelsampledb::Build(argv[1], rows, seed);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelrs_sampledb: %s\n", e.what());
        return 1;
    }
    return 0;
}
