#include "commands/property_reference.h"

#include <algorithm>

#include "text/json_writer.h"
#include "text/suggestion.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

// "#1002#2" as 1002 and 2; "#1002" as 1002 and 1.
bool splitIdReference(std::string_view text, std::uint32_t& id, std::uint32_t& repeat) {
    if (!text.starts_with('#'))
        return false;
    text.remove_prefix(1);
    const std::size_t second = text.find('#');
    repeat = 1;
    if (second != std::string_view::npos &&
        (!parseUnsigned32(text.substr(second + 1), repeat) || repeat == 0))
        return false;
    return parseUnsigned32(text.substr(0, second), id);
}

std::string listed(const std::vector<std::string>& items, std::string_view conjunction) {
    std::string text;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (k > 0)
            text += k + 1 == items.size() ? conjunction : ", ";
        text += items[k];
    }
    return text;
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return !part.empty() &&
           std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

} // namespace

bool meantAsNumber(std::string_view text) {
    return !text.empty() &&
           ((text[0] >= '0' && text[0] <= '9') || text[0] == '+' || text[0] == '-');
}

bool namesPropertyId(std::string_view text) {
    std::uint32_t id = 0;
    std::uint32_t repeat = 0;
    return splitIdReference(text, id, repeat);
}

PropertyReferences::PropertyReferences(const Arguments& arguments, std::string infoFile,
                                       const std::vector<PropertyDescriptor>& descriptors)
    : arguments_(arguments), infoFile_(std::move(infoFile)), descriptors_(descriptors) {}

std::size_t PropertyReferences::position(std::string_view text, const std::string& where) {
    if (meantAsNumber(text))
        return parsePosition(text, "property", descriptors_.size(), where);
    if (namesPropertyId(text))
        return byId(text, where);
    return byName(text, where);
}

std::uint32_t PropertyReferences::id(std::string_view text, const std::string& where) {
    std::uint32_t id = 0;
    std::uint32_t repeat = 0;
    if (splitIdReference(text, id, repeat) && repeat == 1)
        return id; // a search may name an ID that the file lacks, and finds nothing
    return descriptors_[position(text, where)].id;
}

std::size_t PropertyReferences::byId(std::string_view text, const std::string& where) const {
    std::uint32_t id = 0;
    std::uint32_t repeat = 0;
    splitIdReference(text, id, repeat);
    for (std::size_t k = 0; k < descriptors_.size(); ++k) {
        if (descriptors_[k].id == id && --repeat == 0)
            return k;
    }
    throw ToolError(where + ": no property is " + std::string(text));
}

std::string PropertyReferences::candidate(std::size_t position) const {
    return std::to_string(position) + " (#" + std::to_string(descriptors_[position].id) + ")";
}

std::size_t PropertyReferences::byName(std::string_view text, const std::string& where) {
    if (!names_)
        names_ = loadNames(arguments_, infoFile_);
    const std::string quoted = jsonQuoted(std::string(text));
    if (!names_->table.loaded)
        throw ToolError(where + ": no property is named " + quoted + ": no names were read (" +
                        names_->path + ": " + names_->reason + ")");
    std::vector<std::string> names;
    std::vector<std::string> matches;
    for (std::size_t k = 0; k < descriptors_.size(); ++k) {
        names.push_back(bytesToUtf8(propertyNameFor(names_->table, descriptors_[k].id)));
        if (names.back() == text)
            matches.push_back(candidate(k));
    }
    if (matches.size() == 1)
        return std::size_t(std::find(names.begin(), names.end(), text) - names.begin());
    if (matches.size() > 1)
        throw ToolError(where + ": the name " + quoted + " is shared by the properties " +
                        listed(matches, " and ") + "; give the position or #ID of one");
    const std::vector<std::string_view> all(names.begin(), names.end());
    std::vector<std::string> close;
    const std::vector<std::string_view> closest = closestCandidates(text, all);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const bool near = std::find(closest.begin(), closest.end(), names[k]) != closest.end();
        if (near || containsIgnoringCase(names[k], text))
            close.push_back(candidate(k) + " " + jsonQuoted(names[k]));
    }
    throw ToolError(
        where + ": no property is named " + quoted +
        (close.empty() ? " in " + names_->path : "; did you mean " + listed(close, " or ") + "?"));
}

} // namespace kestra::tool
