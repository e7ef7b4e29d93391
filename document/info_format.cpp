#include "document/info_file.h"

#include <bit>
#include <cstring>

#include "documentation/documentation_table.h"

namespace kestra {

namespace {
constexpr std::string_view typeCodeTexts[] = {"s32", "s16", "f4", "i4"};
} // namespace

std::string_view typeCodeText(TypeCode code) {
    return typeCodeTexts[std::size_t(code)];
}

bool typeCodeFromText(std::string_view text, TypeCode& code) {
    for (std::size_t i = 0; i < std::size(typeCodeTexts); ++i) {
        if (typeCodeTexts[i] == text) {
            code = TypeCode(i);
            return true;
        }
    }
    return false;
}

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

bool isLinked(std::uint16_t linkWord1, std::uint16_t linkWord2) {
    const bool bothZero = linkWord1 == 0 && linkWord2 == 0;
    const bool bothFull = linkWord1 == 0xFFFF && linkWord2 == 0xFFFF;
    return !bothZero && !bothFull;
}

bool pathEndsInInfo(std::string_view path) {
    return path.ends_with("info");
}

TypeCode typeCodeFor(std::uint16_t descriptorType, bool thirtyTwoByteStrings) {
    switch (descriptorType) {
    case stringDescriptorType:
        return thirtyTwoByteStrings ? TypeCode::S32 : TypeCode::S16;
    case floatDescriptorType:
        return TypeCode::F4;
    default:
        return TypeCode::I4;
    }
}

std::uint32_t valueWidth(TypeCode code) {
    switch (code) {
    case TypeCode::S32:
        return 32;
    case TypeCode::S16:
        return 16;
    case TypeCode::F4:
    case TypeCode::I4:
        return 4;
    }
    return 4;
}

std::uint32_t valuePosition(const InfoHeader& header, std::uint32_t item,
                            const PropertyDescriptor& descriptor) {
    return header.firstItemOffset + item * header.itemLength + descriptor.offset;
}

PropertyValue makeValue(const PropertyDescriptor& descriptor, bool thirtyTwoByteStrings,
                        const DocumentationTable& documentation) {
    PropertyValue value;
    value.descriptor = descriptor;
    value.id = descriptor.id;
    value.typeCode = typeCodeFor(descriptor.type, thirtyTwoByteStrings);
    value.linked = isLinked(descriptor.linkWord1, descriptor.linkWord2);
    value.name = &propertyNameFor(documentation, descriptor.id);
    return value;
}

} // namespace kestra
