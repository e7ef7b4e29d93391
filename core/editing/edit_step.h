#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "document/info_file.h"

namespace kestra {

enum class EditKind : std::uint8_t { Apply, NewItem, CopyItem, DeleteItem };

// One value an Apply changed: its property's position and the field's bytes before and after,
// as the document packs them (a number's four bytes big-endian, a string's whole field).
struct ValueChange {
    std::uint32_t property = 0;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// One change to a document, recorded as plain data (what changed, not how), so that it can be
// undone, done again, or written elsewhere and replayed:
//   Apply:      `item` and the values whose bytes changed.
//   NewItem,
//   CopyItem:   `item`, the index of the appended item, and its packed bytes.
//   DeleteItem: `item`, the index of the removed item, and its packed bytes.
struct EditStep {
    EditKind kind = EditKind::Apply;
    std::size_t item = 0;
    std::vector<ValueChange> values;
    std::vector<std::uint8_t> itemBytes;
};

// The bytes of item `item`, to compare with after an Apply.
std::vector<std::uint8_t> packedItem(const InfoFile& document, std::size_t item);
// The step of an Apply to item `item` whose packed bytes were `before`; nothing when no byte
// changed.
std::optional<EditStep> valuesChangedStep(const InfoFile& document, std::size_t item,
                                          std::span<const std::uint8_t> before);
// The step of a New or Copy Item that has just appended the document's last item.
EditStep itemAddedStep(const InfoFile& document, EditKind kind);
// The step of deleting item `item`, taken before it goes.
EditStep itemRemovedStep(const InfoFile& document, std::size_t item);

// Takes the document back to before `step`, or forward to after it again. The document must be
// as the step left it, or as it found it, respectively.
void undoStep(InfoFile& document, const EditStep& step);
void redoStep(InfoFile& document, const EditStep& step);

// The memory a step takes, for the history's bound.
std::size_t storedBytes(const EditStep& step);

} // namespace kestra
