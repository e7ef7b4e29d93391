#include "commands/document_diff.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "commands/value_fields.h"
#include "document/saved_values.h"
#include "text/json_writer.h"

namespace kestra::tool {

namespace {

// A property is known by its ID and, among properties sharing that ID, by its rank.
using PropertyKey = std::pair<std::uint32_t, std::size_t>;
using KeyPositions = std::map<PropertyKey, std::size_t>;

std::vector<PropertyKey> propertyKeys(const InfoFile& document) {
    std::vector<PropertyKey> keys;
    std::map<std::uint32_t, std::size_t> seen;
    for (const PropertyDescriptor& descriptor : document.descriptors)
        keys.emplace_back(descriptor.id, seen[descriptor.id]++);
    return keys;
}

KeyPositions positionsOf(const std::vector<PropertyKey>& keys) {
    KeyPositions positions;
    for (std::size_t k = 0; k < keys.size(); ++k)
        positions.emplace(keys[k], k);
    return positions;
}

std::string label(const PropertyKey& key) {
    return "property ID " + std::to_string(key.first) +
           (key.second ? "#" + std::to_string(key.second + 1) : "");
}

class Differences {
public:
    explicit Differences(std::ostream& out) : out_(out) {}

    template <typename T> void compare(const std::string& what, const T& a, const T& b) {
        if (a != b)
            line(what + ": " + text(a) + " | " + text(b));
    }
    void line(const std::string& difference) {
        out_ << difference << '\n';
        found_ = true;
    }
    bool found() const { return found_; }

private:
    static std::string text(const std::string& value) { return value; }
    template <typename T> static std::string text(const T& number) {
        return std::to_string(number);
    }

    std::ostream& out_;
    bool found_ = false;
};

void compareDescriptors(Differences& differences, const InfoFile& a, const InfoFile& b,
                        const std::vector<PropertyKey>& keysA, const KeyPositions& inB) {
    for (std::size_t k = 0; k < keysA.size(); ++k) {
        const auto found = inB.find(keysA[k]);
        const std::string what = label(keysA[k]);
        if (found == inB.end()) {
            differences.line(what + ": only in A");
            continue;
        }
        const PropertyDescriptor& da = a.descriptors[k];
        const PropertyDescriptor& db = b.descriptors[found->second];
        differences.compare(what + " position", k, found->second);
        differences.compare(what + " linkWord1", da.linkWord1, db.linkWord1);
        differences.compare(what + " linkWord2", da.linkWord2, db.linkWord2);
        differences.compare(what + " offset", da.offset, db.offset);
        differences.compare(what + " type", da.type, db.type);
    }
}

// A property of A that B has too: its place in each document.
struct SharedProperty {
    std::size_t inA;
    std::size_t inB;
};

std::vector<SharedProperty> sharedProperties(const std::vector<PropertyKey>& keysA,
                                             const KeyPositions& inB) {
    std::vector<SharedProperty> shared;
    for (std::size_t k = 0; k < keysA.size(); ++k) {
        if (const auto found = inB.find(keysA[k]); found != inB.end())
            shared.push_back({k, found->second});
    }
    return shared;
}

// Whether an item of A and one of B hold their values alike: each property in the same place of
// the packed item, of the same type. Such items are equal exactly where their bytes are.
bool sameItemLayout(const InfoFile& a, const InfoFile& b,
                    const std::vector<SharedProperty>& shared) {
    const std::span<const PropertySlot> slotsA = a.items.properties();
    const std::span<const PropertySlot> slotsB = b.items.properties();
    return slotsA.size() == slotsB.size() && shared.size() == slotsA.size() &&
           std::all_of(shared.begin(), shared.end(), [&](const SharedProperty& property) {
               return property.inA == property.inB &&
                      slotsA[property.inA].facts.typeCode == slotsB[property.inB].facts.typeCode;
           });
}

// Values of one type with the same bytes show the same text and are saved as the same bytes, so
// only values whose bytes differ are rendered.
void compareValue(Differences& differences, const PropertyKey& key, std::size_t item,
                  ConstValueRef va, ConstValueRef vb) {
    if (va.typeCode == vb.typeCode &&
        std::equal(va.bytes, va.bytes + valueWidth(va.typeCode), vb.bytes))
        return;
    const std::string what = "item " + std::to_string(item) + " " + label(key);
    const std::string textA = displayText(va);
    const std::string textB = displayText(vb);
    if (textA != textB)
        differences.line(what + ": " + jsonQuoted(textA) + " | " + jsonQuoted(textB));
    else
        differences.compare(what + " bytes", hexText(savedValue(va.descriptor, va).view()),
                            hexText(savedValue(vb.descriptor, vb).view()));
}

void compareItems(Differences& differences, const InfoFile& a, const InfoFile& b,
                  const std::vector<PropertyKey>& keysA, const KeyPositions& inB) {
    const std::size_t common = std::min(a.items.size(), b.items.size());
    const std::vector<SharedProperty> shared = sharedProperties(keysA, inB);
    const bool wholeItems = sameItemLayout(a, b, shared);
    const std::size_t stride = a.items.stride();
    for (std::size_t i = 0; i < common; ++i) {
        if (wholeItems &&
            std::memcmp(a.items.data() + i * stride, b.items.data() + i * stride, stride) == 0)
            continue;
        const ConstValueList valuesA = a.items[i].values;
        const ConstValueList valuesB = b.items[i].values;
        for (const SharedProperty& property : shared)
            compareValue(differences, keysA[property.inA], i, valuesA[property.inA],
                         valuesB[property.inB]);
    }
    for (std::size_t i = common; i < a.items.size(); ++i)
        differences.line("item " + std::to_string(i) + ": only in A");
    for (std::size_t i = common; i < b.items.size(); ++i)
        differences.line("item " + std::to_string(i) + ": only in B");
}

} // namespace

bool writeDifferences(std::ostream& out, const InfoFile& a, const InfoFile& b) {
    Differences differences(out);
    differences.compare("string width", int(a.stringWidth), int(b.stringWidth));
    differences.compare("header itemCount", a.header.itemCount, b.header.itemCount);
    differences.compare("header propertyCount", a.header.propertyCount, b.header.propertyCount);
    differences.compare("header firstItemOffset", a.header.firstItemOffset,
                        b.header.firstItemOffset);
    differences.compare("header itemLength", a.header.itemLength, b.header.itemLength);

    const std::vector<PropertyKey> keysA = propertyKeys(a);
    const std::vector<PropertyKey> keysB = propertyKeys(b);
    const KeyPositions inA = positionsOf(keysA);
    const KeyPositions inB = positionsOf(keysB);
    compareDescriptors(differences, a, b, keysA, inB);
    for (const PropertyKey& key : keysB) {
        if (inA.find(key) == inA.end())
            differences.line(label(key) + ": only in B");
    }
    compareItems(differences, a, b, keysA, inB);
    return differences.found();
}

} // namespace kestra::tool
