#include "document/property_value.h"

namespace kestra {

const std::string& PropertyFacts::emptyName() {
    static const std::string empty;
    return empty;
}

PropertyFacts propertyFacts(const PropertyDescriptor& descriptor, StringWidth stringWidth,
                            const std::string& name) {
    PropertyFacts facts;
    facts.descriptor = descriptor;
    facts.id = descriptor.id;
    facts.typeCode = typeCodeFor(descriptor.type, stringWidth);
    facts.linked = isLinked(descriptor.linkWord1, descriptor.linkWord2);
    facts.name = &name;
    return facts;
}

PropertyValue makeValue(const PropertyDescriptor& descriptor, StringWidth stringWidth,
                        const PropertyNames& names) {
    PropertyValue value;
    static_cast<PropertyFacts&>(value) =
        propertyFacts(descriptor, stringWidth, names(descriptor.id));
    return value;
}

} // namespace kestra
