#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/document_access.h"
#include "document/info_file.h"

namespace kestra::tool {

// A property named on the command line or in a batch, in any of the three ways the tool writes
// one: its position in the item ("4"), "#ID" as JSON lines and CSV headings write it ("#1002",
// "#1002#2" for the second property with that ID), or its name from the documentation, exactly
// ("Wingspan (cm)"). A name that several properties share, or none has, is an error listing the
// candidates. The names are read only when a text is neither a position nor an ID.
class PropertyReferences {
public:
    PropertyReferences(const Arguments& arguments, std::string infoFile,
                       const std::vector<PropertyDescriptor>& descriptors);

    // The property's position. Throws ToolError "WHERE: why" when `text` names none or several.
    std::size_t position(std::string_view text, const std::string& where);
    // "#ID" and names as `position` reads them, the property's ID.
    std::uint32_t id(std::string_view text, const std::string& where);

private:
    std::size_t byId(std::string_view text, const std::string& where) const;
    std::size_t byName(std::string_view text, const std::string& where);
    std::string candidate(std::size_t position) const;

    const Arguments& arguments_;
    std::string infoFile_;
    const std::vector<PropertyDescriptor>& descriptors_;
    std::optional<Names> names_;
};

// Whether `text` reads as "#ID" or "#ID#N".
bool namesPropertyId(std::string_view text);
// Whether `text` starts as a number does ("12", "-1", "+1"): such a text is a position (or for
// search an ID), and a bad one is refused as such, never taken for a name.
bool meantAsNumber(std::string_view text);

} // namespace kestra::tool
