#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "commands/document_access.h"
#include "commands/item_source.h"
#include "document/info_file.h"
#include "names/documentation_table.h"

namespace kestra::tool {

// The whole document as one JSON object, one descriptor and one value per line.
void writeJson(std::ostream& out, const InfoSource& source, const InfoFile& document,
               const DocumentationTable& names);

// One JSON object per item per line, keyed by the properties' names (recordKeys); with `raw`,
// a "bytes" object of each value's saved bytes in hex follows, keyed the same way.
void writeJsonLines(std::ostream& out, ItemSource& items, const DocumentationTable& names,
                    bool raw);
// The key of each property in a JSON line: its name, or "#ID" where the name is empty, shared
// with another property, or one of the line's own keys ("item", "bytes"); a key that is still
// taken gets "#2", "#3", ... appended.
std::vector<std::string> recordKeys(const std::vector<PropertyDescriptor>& descriptors,
                                    const DocumentationTable& names);

// The table `import` reads: the lists' texts, or with `exact` floats that read back exactly.
void writeCsv(std::ostream& out, const InfoFile& document, const DocumentationTable& names,
              bool exact);

} // namespace kestra::tool
