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
// Reads every byte of the document's packed values once.
double scanSeconds(const InfoFile& document);

std::size_t valueCount(const InfoFile& document);

} // namespace kestra
