#pragma once

#include <ostream>

#include "document/info_file.h"

namespace kestra::tool {

// Writes the differences between two documents, one per line, as `diff` shows them: the string
// width, the header's figures, the descriptors (matched by property ID, the second of two equal
// IDs as "ID N#2") and, item by item, the values of every property both have. True when there
// is any.
bool writeDifferences(std::ostream& out, const InfoFile& a, const InfoFile& b);

} // namespace kestra::tool
