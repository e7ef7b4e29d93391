#pragma once

#include <cstdint>
#include <string>

#include "document/info_file.h"
#include "editing/edit_history.h"
#include "io/file_identity.h"
#include "names/documentation_table.h"
#include "window/row_lists.h"

namespace kestra {

// Everything the main window works on, kept apart from the widgets so that the editing rules can
// run without a display. Paths are UTF-8. It stays where it was made: its rows point at its
// document.
struct WindowState {
    WindowState() = default;
    WindowState(const WindowState&) = delete;
    WindowState& operator=(const WindowState&) = delete;

    // Declared before `document`: loaded values point at the names the table holds.
    DocumentationTable documentation;
    InfoFile document;
    std::string currentFilePath;        // where Save writes
    std::string openedFilePath;         // what the document was loaded from; the title shows it
    ItemRows itemRows;                  // rendered from `document` when the item list asks
    PropertyRows propertyRows;          // the properties of `selectedItem`
    std::int32_t selectedItem = -1;     // the item whose properties the property list shows
    std::int32_t selectedProperty = -1; // the property loaded into the edit panel
    EditHistory history;                // the edits since the document was loaded
    KnownFile knownFile;                // as it was when last loaded or saved here
};

} // namespace kestra
