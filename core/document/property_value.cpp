#include "document/info_file.h"

#include <bit>
#include <cstring>

namespace kestra {

std::uint32_t PropertyValue::intValue() const {
    std::uint32_t value;
    std::memcpy(&value, store.data(), sizeof value);
    return value;
}

void PropertyValue::setIntValue(std::uint32_t value) {
    std::memcpy(store.data(), &value, sizeof value);
}

std::uint32_t PropertyValue::floatBits() const {
    return intValue();
}

void PropertyValue::setFloatBits(std::uint32_t bits) {
    setIntValue(bits);
}

float PropertyValue::floatValue() const {
    return std::bit_cast<float>(floatBits());
}

void PropertyValue::setFloatValue(float value) {
    setFloatBits(std::bit_cast<std::uint32_t>(value));
}

const std::string& PropertyValue::emptyName() {
    static const std::string empty;
    return empty;
}

PropertyValue makeValue(const PropertyDescriptor& descriptor, bool thirtyTwoByteStrings,
                        const PropertyNames& names) {
    PropertyValue value;
    value.descriptor = descriptor;
    value.id = descriptor.id;
    value.typeCode = typeCodeFor(descriptor.type, thirtyTwoByteStrings);
    value.linked = isLinked(descriptor.linkWord1, descriptor.linkWord2);
    value.name = &names(descriptor.id);
    return value;
}

} // namespace kestra
