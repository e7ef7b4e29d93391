#pragma once

#include <optional>
#include <sstream>
#include <string>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "document/info_file.h"
#include "io/writer_lock.h"

namespace kestra::tool {

// What every writing command shares: FILE is loaded (without names), edited in memory, and saved
// once at the end to -o OUT or over FILE; "-" as either writes the file to standard output.
// With --dry-run nothing is saved: the command writes instead what `diff` would say between
// FILE and the result. The file to be replaced is locked for writing (WriterLock) before FILE is
// loaded and stays locked until the session ends, after the save.
class EditSession {
public:
    EditSession(const Invocation& invocation, const std::string& path);

    InfoFile& document() { return document_; }
    // Where the command tells what it stored. The text is held back until the file is saved,
    // so that nothing is told of a save that failed; it goes to standard error when the file
    // itself goes to standard output, and nowhere on a dry run.
    std::ostream& report() { return report_; }

    // Saves, or on a dry run writes the differences, and gives the exit status: on a dry run 1
    // when the file would change and 0 when it would not.
    int finish();

private:
    const std::string& targetPath() const;
    WriterLock lockTarget() const;

    const Invocation& invocation_;
    InfoSource source_;
    WriterLock lock_; // taken before the document is loaded
    InfoFile document_;
    std::optional<InfoFile> original_; // kept on a dry run only
    std::ostringstream report_;
};

} // namespace kestra::tool
