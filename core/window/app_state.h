#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/info_file.h"
#include "names/documentation_table.h"
#include "window/display_rows.h"

namespace kestra {

// Everything the main window works on, kept apart from the widgets so that the editing rules can
// run without a display. Paths are UTF-8.
struct AppState {
    // Declared before `document`: loaded values point at the names the table holds.
    DocumentationTable documentation;
    InfoFile document;
    std::string currentFilePath; // where Save writes
    std::string openedFilePath;  // what the document was loaded from; the title shows it
    std::vector<ItemRow> itemRows;
    std::vector<PropertyRow> propertyRows;
    std::int32_t selectedItem = -1;     // the item whose properties the property list shows
    std::int32_t selectedProperty = -1; // the property loaded into the edit panel
};

} // namespace kestra
