#include "editing/edit_step.h"

#include <algorithm>

namespace kestra {

namespace {

void syncItemCount(InfoFile& document) {
    document.header.itemCount = std::uint32_t(document.items.size());
}

void writeValues(InfoFile& document, const EditStep& step, bool after) {
    std::uint8_t* const item = document.items.data() + step.item * document.items.stride();
    const std::span<const PropertySlot> properties = document.items.properties();
    for (const ValueChange& change : step.values) {
        const std::vector<std::uint8_t>& bytes = after ? change.after : change.before;
        std::copy(bytes.begin(), bytes.end(), item + properties[change.property].offset);
    }
}

void insertItem(InfoFile& document, const EditStep& step) {
    document.items.insertPacked(step.item, step.itemBytes);
    syncItemCount(document);
}

void removeItem(InfoFile& document, const EditStep& step) {
    document.items.erase(document.items.begin() + std::ptrdiff_t(step.item));
    syncItemCount(document);
}

} // namespace

std::vector<std::uint8_t> packedItem(const InfoFile& document, std::size_t item) {
    const std::span<const std::uint8_t> bytes = document.items.packed(item);
    return {bytes.begin(), bytes.end()};
}

std::optional<EditStep> valuesChangedStep(const InfoFile& document, std::size_t item,
                                          std::span<const std::uint8_t> before) {
    EditStep step{EditKind::Apply, item, {}, {}};
    const std::span<const std::uint8_t> now = document.items.packed(item);
    const std::span<const PropertySlot> properties = document.items.properties();
    for (std::size_t k = 0; k < properties.size(); ++k) {
        const std::size_t offset = properties[k].offset;
        const std::size_t width = valueWidth(properties[k].facts.typeCode);
        const auto old = before.subspan(offset, width);
        const auto changed = now.subspan(offset, width);
        if (!std::equal(old.begin(), old.end(), changed.begin()))
            step.values.push_back(
                {std::uint32_t(k), {old.begin(), old.end()}, {changed.begin(), changed.end()}});
    }
    if (step.values.empty())
        return std::nullopt;
    return step;
}

EditStep itemAddedStep(const InfoFile& document, EditKind kind) {
    const std::size_t item = document.items.size() - 1;
    return {kind, item, {}, packedItem(document, item)};
}

EditStep itemRemovedStep(const InfoFile& document, std::size_t item) {
    return {EditKind::DeleteItem, item, {}, packedItem(document, item)};
}

void undoStep(InfoFile& document, const EditStep& step) {
    switch (step.kind) {
    case EditKind::Apply:
        writeValues(document, step, false);
        break;
    case EditKind::NewItem:
    case EditKind::CopyItem:
        removeItem(document, step);
        break;
    case EditKind::DeleteItem:
        insertItem(document, step);
        break;
    }
}

void redoStep(InfoFile& document, const EditStep& step) {
    switch (step.kind) {
    case EditKind::Apply:
        writeValues(document, step, true);
        break;
    case EditKind::NewItem:
    case EditKind::CopyItem:
        insertItem(document, step);
        break;
    case EditKind::DeleteItem:
        removeItem(document, step);
        break;
    }
}

std::size_t storedBytes(const EditStep& step) {
    // Each vector's own allocation costs about a pointer pair more than its bytes.
    constexpr std::size_t allocationOverhead = 16;
    std::size_t bytes = sizeof(EditStep) + step.itemBytes.capacity() + allocationOverhead +
                        step.values.capacity() * sizeof(ValueChange) + allocationOverhead;
    for (const ValueChange& change : step.values)
        bytes += change.before.capacity() + change.after.capacity() + 2 * allocationOverhead;
    return bytes;
}

} // namespace kestra
