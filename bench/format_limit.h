#pragma once

#include <string>

#include "document/info_file.h"

namespace kestra {

// The dump formats, as the least work each needs: every value formatted with std::to_chars (or
// its string bytes copied) in the format's own form and separators into a reused 1 MiB buffer,
// written to `path` (the tool's output, /dev/null here) in blocks.
enum class FormatStyle { Csv, CsvExact, Jsonl, Json };
double formatAndWriteSeconds(const InfoFile& document, FormatStyle style, const std::string& path);

} // namespace kestra
