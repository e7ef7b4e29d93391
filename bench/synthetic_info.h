#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestra {

// The synthetic files the benchmarks run on. Every item holds the same properties, twenty unless
// asked otherwise, in a shuffled order: 60 % integers, 25 % floats and 15 % strings, about a
// quarter of them linked. The documentation file names every other property ID.
inline constexpr std::uint32_t syntheticPropertyCount = 20;

// Texts the searches look for: a number that integers, floats and strings all hold now and then,
// and a word that only strings hold.
inline constexpr std::string_view syntheticNumberText = "42";
inline constexpr std::string_view syntheticWordText = "Ember";
// A number no value holds (a string holds at most five digits, a float lies within 10000 of 0,
// and an integer this large is one of 2^32 that a random one could be), so that a search for it
// compares every value of every type and finds nothing.
inline constexpr std::string_view syntheticAbsentText = "4294967295";

// Writes an info file of at least `values` values (whole items of `properties` values) to
// `path`, deterministic from `seed`; strings are 32 bytes wide when the path ends in "info",
// else 16. The file ends with '@' bytes up to a multiple of 32, as the editor saves it. False
// when the file cannot be written or an item would not fit the 16-bit value offsets.
bool writeSyntheticInfo(const std::string& path, std::uint64_t values, std::uint64_t seed,
                        std::uint32_t properties = syntheticPropertyCount);
// Writes the documentation file naming every other property of the files made with `seed`.
bool writeSyntheticDocumentation(const std::string& path, std::uint64_t seed,
                                 std::uint32_t properties = syntheticPropertyCount);

} // namespace kestra
