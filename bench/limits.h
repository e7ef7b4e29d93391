#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/info_file.h"

// What the machine itself needs for the work an operation cannot avoid: the floor each
// operation's time is held against.
namespace kestra {

// Reads the whole file into a newly allocated buffer (the page cache is hot by then).
double readFileSeconds(const std::string& path, std::size_t size);
// Writes the bytes to a new file at `path`, flushes it to disk and closes it; removes it after.
double writeAndFlushSeconds(const std::string& path, std::span<const std::uint8_t> bytes);
// Writes every byte of a newly allocated buffer of this size once.
double touchSeconds(std::size_t bytes);
// Writes every byte of one buffer of `bytes` bytes, `times` times over.
double rewriteSeconds(std::size_t bytes, std::size_t times);
// Reads every byte the document's values occupy once, where they lie.
double scanSeconds(const InfoFile& document);

// The bytes the loaded document's items and values occupy at the least.
std::size_t documentBytes(const InfoFile& document);
std::size_t valueCount(const InfoFile& document);

} // namespace kestra
