#include "commands/dump_formats.h"

#include <map>
#include <set>

#include "commands/value_fields.h"
#include "text/csv_table.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "text/value_output.h"

namespace kestra::tool {

namespace {

constexpr std::string_view itemKey = "item";
constexpr std::string_view bytesKey = "bytes";

std::string nameOf(const DocumentationTable& names, std::uint32_t id) {
    return bytesToUtf8(propertyNameFor(names, id));
}

void writeDescriptor(JsonWriter& json, const PropertyDescriptor& descriptor,
                     StringWidth stringWidth, const DocumentationTable& names) {
    json.beginObject(JsonWriter::Layout::Inline);
    json.member("id", descriptor.id);
    json.member("linkWord1", descriptor.linkWord1);
    json.member("linkWord2", descriptor.linkWord2);
    json.member("offset", descriptor.offset);
    json.member("type", descriptor.type);
    json.member("typeCode", typeCodeText(typeCodeFor(descriptor.type, stringWidth)));
    json.memberBoolean("linked", isLinked(descriptor.linkWord1, descriptor.linkWord2));
    json.member("name", nameOf(names, descriptor.id));
    json.endObject();
}

// What every value of a property shows before its text in the JSON dump:
// {"id": 1001, "name": "Species", "typeCode": "s32", "linked": false, "text":
std::vector<std::string> valuePrefixes(const ItemList& items) {
    std::vector<std::string> prefixes;
    for (const PropertySlot& slot : items.properties()) {
        std::string prefix = "{\"id\": ";
        appendNumber(prefix, slot.facts.descriptor.id);
        prefix += ", \"name\": ";
        appendJsonString(prefix, bytesToUtf8(*slot.facts.name));
        prefix += ", \"typeCode\": \"";
        prefix += typeCodeText(slot.facts.typeCode);
        prefix += slot.facts.linked ? "\", \"linked\": true" : "\", \"linked\": false";
        prefix += ", \"text\": ";
        prefixes.push_back(std::move(prefix));
    }
    return prefixes;
}

// The items array, laid out as JsonWriter lays out blocks `depth` levels deep: an item object per
// block, its values one per line.
void writeJsonItems(std::ostream& stream, const ItemList& items, std::size_t depth) {
    if (items.empty()) {
        stream << "[]";
        return;
    }
    const std::string item = "\n" + std::string(2 * (depth + 1), ' ');
    const std::string member = "\n" + std::string(2 * (depth + 2), ' ');
    const std::string value = "\n" + std::string(2 * (depth + 3), ' ');
    // Each value's line up to its text, the first without the comma that parts it from the last.
    std::vector<std::string> prefixes = valuePrefixes(items);
    for (std::size_t k = 0; k < prefixes.size(); ++k)
        prefixes[k] = (k > 0 ? "," : "") + value + prefixes[k];
    OutputBuffer out(stream);
    out.text += '[';
    constexpr std::string_view bytesMember = ", \"bytes\": \"";
    char text[longestValueText];
    // The rest of a value's line: its text as a JSON string, then its field in hex.
    char rest[jsonStringBound(longestValueText) + bytesMember.size() + 2 * widestValue + 2];
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out.text += ',';
        out.text += item + "{" + member + "\"index\": ";
        appendNumber(out.text, i);
        out.text += "," + member + "\"values\": [";
        const ConstValueList values = items[i].values;
        for (std::size_t k = 0; k < values.size(); ++k) {
            out.text += prefixes[k];
            const ConstValueRef valueRef = values[k];
            char* end = jsonStringInto({text, displayTextInto(valueRef, text)}, rest);
            end = hexInto(valueRef, std::copy(bytesMember.begin(), bytesMember.end(), end));
            *end++ = '"';
            *end++ = '}';
            out.text.append(rest, end);
        }
        if (!values.empty())
            out.text += member;
        out.text += "]" + item + "}";
        out.flushIfFull();
    }
    out.text += "\n" + std::string(2 * depth, ' ') + "]";
    out.flush();
}

} // namespace

void writeJson(std::ostream& out, const InfoSource& source, const InfoFile& document,
               const DocumentationTable& names) {
    JsonWriter json(out);
    json.beginObject();
    json.member("file", asUtf8(source.path));
    json.member("stringWidth", int(document.stringWidth));
    json.memberBoolean("documentationLoaded", names.loaded);
    json.key("header");
    json.beginObject(JsonWriter::Layout::Inline);
    const InfoHeader& header = document.header;
    json.member("itemCount", header.itemCount);
    json.member("propertyCount", header.propertyCount);
    json.member("firstItemOffset", header.firstItemOffset);
    json.member("itemLength", header.itemLength);
    json.endObject();
    json.key("descriptors");
    json.beginArray();
    for (const PropertyDescriptor& descriptor : document.descriptors)
        writeDescriptor(json, descriptor, document.stringWidth, names);
    json.endArray();
    json.key("items");
    writeJsonItems(json.valueStream(), document.items, json.depth());
    json.endObject();
    json.finish();
}

std::vector<std::string> recordKeys(const std::vector<PropertyDescriptor>& descriptors,
                                    const DocumentationTable& names) {
    std::map<std::string, std::size_t> uses;
    for (const PropertyDescriptor& descriptor : descriptors)
        ++uses[nameOf(names, descriptor.id)];
    std::set<std::string, std::less<>> taken = {std::string(itemKey), std::string(bytesKey)};
    std::vector<std::string> keys;
    for (const PropertyDescriptor& descriptor : descriptors) {
        const std::string name = nameOf(names, descriptor.id);
        const bool ownName = !name.empty() && uses[name] == 1 && !taken.contains(name);
        std::string key = ownName ? name : "#" + std::to_string(descriptor.id);
        for (std::size_t repeat = 2; taken.contains(key); ++repeat)
            key = "#" + std::to_string(descriptor.id) + "#" + std::to_string(repeat);
        taken.insert(key);
        keys.push_back(std::move(key));
    }
    return keys;
}

void writeJsonLines(std::ostream& stream, ItemSource& items, const DocumentationTable& names,
                    bool raw) {
    // Each value's key with what comes before it: ", \"Species\": ".
    std::vector<std::string> keys;
    for (const std::string& key : recordKeys(items.shape().descriptors, names)) {
        std::string quoted = ", ";
        appendJsonString(quoted, key);
        keys.push_back(quoted + ": ");
    }
    OutputBuffer out(stream);
    items.forEachItem(0, items.itemCount(), [&](std::size_t index, ConstItemRef item) {
        out.text += "{\"item\": ";
        appendNumber(out.text, index);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            out.text += keys[k];
            appendJsonValue(out.text, item.values[k]);
        }
        if (raw) {
            out.text += ", \"bytes\": {";
            for (std::size_t k = 0; k < keys.size(); ++k) {
                out.text.append(keys[k], k == 0 ? 2 : 0); // the first without its ", "
                out.text += '"';
                appendHex(out.text, item.values[k]);
                out.text += '"';
            }
            out.text += '}';
        }
        out.text += "}\n";
        out.flushIfFull();
    });
    out.flush();
}

void writeCsv(std::ostream& stream, const InfoFile& document, const DocumentationTable& names,
              bool exact) {
    stream << itemHeading;
    for (const PropertyDescriptor& descriptor : document.descriptors)
        stream << ',' << csvField(propertyHeading(nameOf(names, descriptor.id), descriptor.id));
    stream << csvRecordEnd;
    OutputBuffer out(stream);
    const auto textInto = exact ? exactTextInto : displayTextInto;
    char text[longestValueText];
    for (std::size_t i = 0; i < document.items.size(); ++i) {
        appendNumber(out.text, i);
        for (const ConstValueRef value : document.items[i].values) {
            out.text += ',';
            const std::string_view shown(text, textInto(value, text));
            if (isStringType(value.typeCode))
                appendQuotedCsvField(out.text, shown);
            else
                out.text += shown; // digits, a point, a sign, "e", "inf" or "nan": never quoted
        }
        out.text += csvRecordEnd;
        out.flushIfFull();
    }
    out.flush();
}

} // namespace kestra::tool
