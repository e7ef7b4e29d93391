#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/property_names.h"
#include "io/file_error.h"

namespace kestra {

struct DocumentationEntry {
    std::uint32_t id = 0;
    std::string name; // the bytes of the file, untouched; may be empty
};

// Property names from InfoFileDocumentation.dat. Built once at start-up and read-only after that:
// loaded documents point at the names it holds.
struct DocumentationTable {
    bool loaded = false;
    std::vector<DocumentationEntry> entries; // in file order; an ID may appear more than once
    std::unordered_map<std::uint32_t, std::size_t> firstEntryById;

    // Names a loaded document's values by `propertyNameFor` of this table, which must outlive
    // the document.
    operator PropertyNames() const;
};

inline constexpr const char* documentationFileName = "InfoFileDocumentation.dat";

// Reads InfoFileDocumentation.dat from the current directory. False, table unchanged, when the file
// cannot be opened or is no regular file (a FIFO there must not hold up start-up).
bool loadDocumentation(DocumentationTable& table);
// The same for a given path; `error`, when given, says why it could not be read.
bool loadDocumentationFile(DocumentationTable& table, const std::string& path,
                           FileError* error = nullptr);
// Parses the bytes of a documentation file (text-mode rules: CR LF reads as LF, 0x1A ends it) into
// a loaded table.
DocumentationTable parseDocumentation(std::span<const std::uint8_t> bytes);

// Position of the first entry with this ID, or -1.
long findDocumentationEntry(const DocumentationTable& table, std::uint32_t id);
// The name a value with this ID gets: empty when no file was loaded, the first entry's name, or
// "(Undocumented)". The reference stays valid as long as the table.
const std::string& propertyNameFor(const DocumentationTable& table, std::uint32_t id);

} // namespace kestra
