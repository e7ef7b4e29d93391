// make_info VALUES SEED INFO_PATH DOCUMENTATION_PATH [PROPERTIES]
// Writes a synthetic info file of VALUES values in items of PROPERTIES properties (20 unless
// given) and the documentation file that names half of them, both deterministic from SEED.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "synthetic_info.h"

namespace {

constexpr const char* usage =
    "usage: make_info VALUES SEED INFO_PATH DOCUMENTATION_PATH [PROPERTIES]\n";

bool readCount(const char* text, std::uint64_t& count) {
    char* end = nullptr;
    count = std::strtoull(text, &end, 10);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t values = 0;
    std::uint64_t seed = 0;
    std::uint64_t properties = kestra::syntheticPropertyCount;
    if ((argc != 5 && argc != 6) || !readCount(argv[1], values) || !readCount(argv[2], seed) ||
        (argc == 6 &&
         (!readCount(argv[5], properties) || properties == 0 || properties > UINT32_MAX))) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (!kestra::writeSyntheticInfo(argv[3], values, seed, std::uint32_t(properties))) {
        std::fprintf(stderr, "make_info: cannot write %s\n", argv[3]);
        return 1;
    }
    if (!kestra::writeSyntheticDocumentation(argv[4], seed, std::uint32_t(properties))) {
        std::fprintf(stderr, "make_info: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
