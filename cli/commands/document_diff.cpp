#include "commands/document_diff.h"

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

void compareItems(Differences& differences, const InfoFile& a, const InfoFile& b,
                  const std::vector<PropertyKey>& keysA, const KeyPositions& inB) {
    const std::size_t common = std::min(a.items.size(), b.items.size());
    for (std::size_t i = 0; i < common; ++i) {
        for (std::size_t k = 0; k < keysA.size(); ++k) {
            const auto found = inB.find(keysA[k]);
            if (found == inB.end())
                continue;
            const PropertyValue& va = a.items[i].values[k];
            const PropertyValue& vb = b.items[i].values[found->second];
            const std::string what = "item " + std::to_string(i) + " " + label(keysA[k]);
            const std::string textA = displayText(va);
            const std::string textB = displayText(vb);
            if (textA != textB)
                differences.line(what + ": " + jsonQuoted(textA) + " | " + jsonQuoted(textB));
            else
                differences.compare(what + " bytes", hexText(savedValue(va.descriptor, va).view()),
                                    hexText(savedValue(vb.descriptor, vb).view()));
        }
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
