#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/info_file.h"

// What the machine itself needs for the work an operation cannot avoid: the floor each
// operation's time is held against.
namespace kestra {

// Reads the whole file into newly allocated memory, the kind a load fills (mapped with huge pages
// where the machine has them); the page cache is hot by then.
double readFileSeconds(const std::string& path, std::size_t size);
// Writes the bytes to a new file at `path`, flushes it to disk and closes it; removes it after.
double writeAndFlushSeconds(const std::string& path, std::span<const std::uint8_t> bytes);
// Reads the table `dump --format csv` wrote of the document (packed, as the synthetic files are)
// from `csvPath` into fresh memory, reads each cell by its property's type with std::from_chars
// (a string's bytes copied) into a fresh image of the file, which `fileBytes` must then equal,
// and writes and flushes that image as a new file at `path`; removes it after.
double parseAndWriteSeconds(const InfoFile& document, std::span<const std::uint8_t> fileBytes,
                            const std::string& csvPath, const std::string& path);
// Reads every byte of the document's packed values once.
double scanSeconds(const InfoFile& document);

std::size_t valueCount(const InfoFile& document);

} // namespace kestra
