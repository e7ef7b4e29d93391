#include "document/value_placement.h"

#include <algorithm>

namespace kestra {

ValuePlacement::ValuePlacement(std::span<const PropertySlot> properties) {
    if (properties.empty())
        return;
    first = properties.front().facts.descriptor.offset;
    for (const PropertySlot& slot : properties) {
        const std::uint64_t offset = slot.facts.descriptor.offset;
        first = std::min(first, offset);
        lastStart = std::max(lastStart, offset);
        end = std::max(end, offset + valueWidth(slot.facts.typeCode));
    }
    for (const PropertySlot& slot : properties) {
        const std::uint64_t fileOffset = slot.facts.descriptor.offset - first;
        moves.push_back({fileOffset, slot.offset, valueWidth(slot.facts.typeCode)});
        packed = packed && fileOffset == slot.offset;
    }
}

} // namespace kestra
