#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestra {

// The synthetic files the benchmarks run on. Every item holds the same twenty properties, in a
// shuffled order: twelve integers, five floats and three strings (60 %, 25 %, 15 %), about a
// quarter of them linked. The documentation file names every other property ID.
inline constexpr std::uint32_t syntheticPropertyCount = 20;

// Texts the searches look for: a number that integers, floats and strings all hold now and then,
// and a word that only strings hold.
inline constexpr std::string_view syntheticNumberText = "42";
inline constexpr std::string_view syntheticWordText = "Ember";

// Writes an info file of at least `values` values (whole items of syntheticPropertyCount
// values) to `path`, deterministic from `seed`; strings are 32 bytes wide when the path ends in
// "info", else 16. The file ends with '@' bytes up to a multiple of 32, as the editor saves it.
bool writeSyntheticInfo(const std::string& path, std::uint64_t values, std::uint64_t seed);
// Writes the documentation file naming every other property of the files made with `seed`.
bool writeSyntheticDocumentation(const std::string& path, std::uint64_t seed);

} // namespace kestra
