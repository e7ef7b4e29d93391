// make_info VALUES SEED INFO_PATH DOCUMENTATION_PATH
// Writes a synthetic info file of VALUES values and the documentation file that names half of
// its properties, both deterministic from SEED.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/synthetic_info.h"

namespace {

constexpr const char* usage = "usage: make_info VALUES SEED INFO_PATH DOCUMENTATION_PATH\n";

bool readCount(const char* text, std::uint64_t& count) {
    char* end = nullptr;
    count = std::strtoull(text, &end, 10);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t values = 0;
    std::uint64_t seed = 0;
    if (argc != 5 || !readCount(argv[1], values) || !readCount(argv[2], seed)) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (!kestra::writeSyntheticInfo(argv[3], values, seed)) {
        std::fprintf(stderr, "make_info: cannot write %s\n", argv[3]);
        return 1;
    }
    if (!kestra::writeSyntheticDocumentation(argv[4], seed)) {
        std::fprintf(stderr, "make_info: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
