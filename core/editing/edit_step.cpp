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

// Forward does the step again, backward undoes it.
void doStep(InfoFile& document, const EditStep& step, bool forward) {
    switch (step.kind) {
    case EditKind::Apply:
        writeValues(document, step, forward);
        break;
    case EditKind::NewItem:
    case EditKind::CopyItem:
        forward ? insertItem(document, step) : removeItem(document, step);
        break;
    case EditKind::DeleteItem:
        forward ? removeItem(document, step) : insertItem(document, step);
        break;
    }
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
    doStep(document, step, false);
}

void redoStep(InfoFile& document, const EditStep& step) {
    doStep(document, step, true);
}

std::size_t storedBytes(const EditStep& step) {
    // What the allocator takes for a block of `bytes`: a header word, rounded up to 16 bytes,
    // at least 32 (as glibc's malloc does on 64-bit systems).
    auto block = [](std::size_t bytes) -> std::size_t {
        return bytes == 0 ? 0 : std::max<std::size_t>(32, (bytes + 8 + 15) / 16 * 16);
    };
    std::size_t bytes = sizeof(EditStep) + block(step.itemBytes.capacity()) +
                        block(step.values.capacity() * sizeof(ValueChange));
    for (const ValueChange& change : step.values)
        bytes += block(change.before.capacity()) + block(change.after.capacity());
    return bytes;
}

} // namespace kestra
