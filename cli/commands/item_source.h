#pragma once

#include <cstddef>
#include <functional>

#include "commands/document_access.h"
#include "document/info_file.h"
#include "io/file_reader.h"

namespace kestra::tool {

// The items of an info file, loaded a batch at a time by the core's own loader, so that memory
// follows the batch rather than the file (dump --format jsonl, get). A batch is loaded from the
// bytes its values cover, placed after the header and property table under a header that names
// only the batch's items; that reads every value as a whole load would as long as no value lies
// in the header or the property table and no position wraps around 4 GiB. A file where one
// might is loaded whole instead. A regular file is read as each batch needs it; standard input
// or a FIFO is read to its end first.
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
    bool valuesStayClearOfTheHeader() const;
    [[noreturn]] void fail(const FileError& error) const;
    // Puts the file's bytes [begin, begin + count), as far as the file reaches, at `at` in
    // `bytes`, which ends where they end.
    void copyFromFile(std::uint64_t begin, std::uint64_t count, std::vector<std::uint8_t>& bytes,
                      std::size_t at = 0) const;

    std::string path_;
    StringWidth stringWidth_;
    const DocumentationTable& names_;
    ByteSource file_;
    std::vector<std::uint8_t> batch_; // the bytes a batch is loaded from
    InfoFile shape_;
    InfoFile whole_; // the loaded file, when it is not read in batches
    bool loadedWhole_ = false;
    std::uint64_t lowestOffset_ = 0;
    std::uint64_t highestOffset_ = 0;
    std::size_t batchItems_ = 1;
};

} // namespace kestra::tool
