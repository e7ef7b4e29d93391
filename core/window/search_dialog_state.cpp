#include "window/search_dialog_state.h"

#include <array>
#include <string>

#include "values/value_text.h"

namespace kestra {

namespace {

struct TypeEntry {
    std::u16string_view text;
    TypeCode typeCode;
};

constexpr std::array<TypeEntry, 4> typeEntries = {{
    {u"1: String (32 Bytes)", TypeCode::S32},
    {u"2: String (16 Bytes)", TypeCode::S16},
    {u"3: Float (4 Bytes)", TypeCode::F4},
    {u"4: Integer (4 Bytes)", TypeCode::I4},
}};

std::u16string ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

// "%03d: %u (%hs)"; the name ends where the property rows end it.
std::u16string propertyEntry(std::size_t index, std::uint32_t id, std::string_view name) {
    std::string number = std::to_string(index);
    if (number.size() < 3)
        number.insert(0, 3 - number.size(), '0');
    return ascii(number + ": " + std::to_string(id) + " (") + widenText(nameBytes(name)) + u")";
}

} // namespace

std::vector<std::u16string> modeChoiceEntries(SearchMode mode, const InfoFile& document,
                                              const DocumentationTable& documentation) {
    std::vector<std::u16string> entries;
    switch (mode) {
    case SearchMode::AllProperties:
        break;
    case SearchMode::CertainType:
        for (const TypeEntry& entry : typeEntries)
            entries.emplace_back(entry.text);
        break;
    case SearchMode::SingleProperty:
        entries.reserve(document.descriptors.size());
        for (std::size_t k = 0; k < document.descriptors.size(); ++k) {
            if (!document.items.empty() && k < document.items.front().values.size()) {
                const ConstValueRef value = document.items.front().values[k];
                entries.push_back(propertyEntry(k, value.descriptor.id, *value.name));
            } else {
                const std::uint32_t id = document.descriptors[k].id;
                entries.push_back(propertyEntry(k, id, propertyNameFor(documentation, id)));
            }
        }
        break;
    }
    return entries;
}

std::optional<TypeCode> typeCodeForEntry(std::u16string_view entry) {
    for (const TypeEntry& type : typeEntries) {
        if (!entry.empty() && entry.front() == type.text.front())
            return type.typeCode;
    }
    return std::nullopt;
}

std::optional<std::size_t> propertyIndexForEntry(std::u16string_view entry) {
    std::size_t index = 0;
    std::size_t digits = 0;
    for (; digits < entry.size() && entry[digits] >= u'0' && entry[digits] <= u'9'; ++digits) {
        if (digits == 9) // more digits than any property count can need
            return std::nullopt;
        index = index * 10 + std::size_t(entry[digits] - u'0');
    }
    if (digits == 0)
        return std::nullopt;
    return index;
}

bool runSearch(SearchDialogState& state, const InfoFile& document, std::u16string_view text,
               std::optional<SearchMode> mode, std::u16string_view entry) {
    state.results.clear();
    const std::string narrowed = narrowText(text.substr(0, searchTextLimit));
    bool found = false;
    if (mode == SearchMode::AllProperties) {
        found = searchAllProperties(narrowed, document, state.results);
    } else if (mode == SearchMode::CertainType) {
        const std::optional<TypeCode> code = typeCodeForEntry(entry);
        found = code && searchCertainType(narrowed, *code, document, state.results);
    } else if (mode == SearchMode::SingleProperty) {
        const std::optional<std::size_t> property = propertyIndexForEntry(entry);
        if (property && *property < document.descriptors.size()) {
            found = searchSingleProperty(narrowed, document.descriptors[*property].id, document,
                                         state.results);
        }
    }
    if (found)
        state.foundItemRows.showItems(document, state.results);
    return found;
}

std::optional<std::int32_t> openFoundItem(SearchDialogState& state, const InfoFile& document,
                                          std::size_t row) {
    if (row >= state.results.size())
        return std::nullopt;
    const std::int32_t item = state.results[row];
    if (item < 0 || std::size_t(item) >= document.items.size())
        return std::nullopt;
    state.foundPropertyRows.show(document, std::size_t(item));
    return item;
}

} // namespace kestra
