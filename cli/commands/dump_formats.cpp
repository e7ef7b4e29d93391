#include "commands/dump_formats.h"

#include <map>
#include <set>

#include "commands/value_fields.h"
#include "text/csv_table.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"

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

void writeValue(JsonWriter& json, const PropertyValue& value) {
    json.beginObject(JsonWriter::Layout::Inline);
    json.member("id", value.id);
    json.member("name", bytesToUtf8(*value.name));
    json.member("typeCode", typeCodeText(value.typeCode));
    json.memberBoolean("linked", value.linked);
    json.member("text", displayText(value));
    json.member("bytes", savedBytesText(value));
    json.endObject();
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
    json.beginArray();
    for (std::size_t i = 0; i < document.items.size(); ++i) {
        json.beginObject();
        json.member("index", i);
        json.key("values");
        json.beginArray();
        for (const PropertyValue& value : document.items[i].values)
            writeValue(json, value);
        json.endArray();
        json.endObject();
    }
    json.endArray();
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

void writeJsonLines(std::ostream& out, ItemSource& items, const DocumentationTable& names,
                    bool raw) {
    const std::vector<std::string> keys = recordKeys(items.shape().descriptors, names);
    items.forEachItem(0, items.itemCount(), [&](std::size_t index, const ItemRecord& item) {
        JsonWriter json(out);
        json.beginObject(JsonWriter::Layout::Inline);
        json.member(itemKey, index);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            json.key(keys[k]);
            json.literal(jsonValue(item.values[k]));
        }
        if (raw) {
            json.key(bytesKey);
            json.beginObject(JsonWriter::Layout::Inline);
            for (std::size_t k = 0; k < keys.size(); ++k)
                json.member(keys[k], savedBytesText(item.values[k]));
            json.endObject();
        }
        json.endObject();
        json.finish();
    });
}

void writeCsv(std::ostream& out, const InfoFile& document, const DocumentationTable& names,
              bool exact) {
    out << itemHeading;
    for (const PropertyDescriptor& descriptor : document.descriptors)
        out << ',' << csvField(propertyHeading(nameOf(names, descriptor.id), descriptor.id));
    out << csvRecordEnd;
    for (std::size_t i = 0; i < document.items.size(); ++i) {
        out << i;
        for (const PropertyValue& value : document.items[i].values) {
            const std::string text = exact ? exactText(value) : displayText(value);
            out << ',' << (isStringType(value.typeCode) ? csvQuotedField(text) : csvField(text));
        }
        out << csvRecordEnd;
    }
}

} // namespace kestra::tool
