#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "document/info_file.h"
#include "io/writer_lock.h"

namespace kestra::tool {

// What every writing command shares: FILE is loaded (without names), edited in memory, and saved
// once at the end to -o OUT or over FILE; "-" as either writes the file to standard output.
// An edit that changes no value leaves FILE unwritten. With --dry-run nothing is saved: the
// command writes instead what `diff` would say between FILE and the result, and what else the
// save would change in FILE's bytes.
// The file to be replaced is locked for writing (WriterLock) before FILE is loaded and stays
// locked until the session ends, after the save.
class EditSession {
public:
    EditSession(const Invocation& invocation, const std::string& path);

    InfoFile& document() { return document_; }
    // Where the command tells what it did. The text is held back until the file is saved, so
    // that nothing is told of a save that failed; it goes to standard error when the file
    // itself goes to standard output, and nowhere on a dry run.
    std::ostream& report() { return report_; }
    // Tells, in its place among the report's lines, the value of property `property` of item
    // `item` as the saved file holds it (a later overlapping value may have overwritten it).
    // `changed`: whether storing it changed the value's bytes.
    void stored(std::size_t item, std::size_t property, bool changed);
    // The document has changed otherwise (an item added or removed).
    void markChanged() { changed_ = true; }

    // Saves, or on a dry run writes the differences, and gives the exit status: on a dry run 1
    // when the file would change and 0 when it would not.
    int finish();

private:
    struct StoredValue {
        std::string before; // the report's text before its line
        std::size_t item;
        std::size_t property;
    };

    int finishDryRun(const std::string& target);
    void writeReport(std::ostream& out, std::ostream& err);
    const std::string& targetPath() const;
    WriterLock lockTarget() const;

    const Invocation& invocation_;
    InfoSource source_;
    WriterLock lock_;                     // taken before the document is loaded
    std::vector<std::uint8_t> fileBytes_; // kept on a dry run only
    InfoFile document_;
    std::optional<InfoFile> original_; // kept on a dry run only
    std::ostringstream report_;
    std::vector<StoredValue> stored_;
    bool changed_ = false;
};

} // namespace kestra::tool
