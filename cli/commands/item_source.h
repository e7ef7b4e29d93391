#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "commands/document_access.h"
#include "document/info_file.h"
#include "document/item_reader.h"
#include "io/file_reader.h"

namespace kestra::tool {

// The items of an info file, read a batch at a time by the core's item reader, so that memory
// follows the batch rather than the file (dump --format jsonl, get). Each value is read where the
// header and its descriptor place it, as a whole load reads it. A regular file is read as each
// batch needs it; standard input or a FIFO is read to its end first.
//
// Unlike a whole load, a batch is not bound by the limit on how many items a header may claim
// for the file's size: reading item by item needs no memory per item.
class ItemSource {
public:
    // Throws ToolError "PATH: why" when the file cannot be read or its header and property table
    // cannot be loaded.
    ItemSource(const InfoSource& source, const DocumentationTable& names);
    ItemSource(const ItemSource&) = delete;
    ItemSource& operator=(const ItemSource&) = delete;

    // The header and the descriptors, with no items.
    const InfoFile& shape() const { return shape_; }
    std::size_t itemCount() const { return shape_.header.itemCount; }

    // Calls `visit` with the index and a view of each item in [first, last), in order; the view
    // lasts for the call.
    void forEachItem(std::size_t first, std::size_t last,
                     const std::function<void(std::size_t, ConstItemRef)>& visit);

private:
    std::string path_;
    ByteSource file_;
    InfoFile shape_;
    std::unique_ptr<ItemReader> reader_;
    ItemList batch_;
    std::size_t batchItems_ = 1;
};

} // namespace kestra::tool
