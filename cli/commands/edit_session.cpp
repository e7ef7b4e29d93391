#include "commands/edit_session.h"

#include "commands/document_diff.h"
#include "commands/save_effects.h"
#include "commands/value_fields.h"
#include "document/saved_values.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

// On a dry run the file's bytes are kept, to tell what a save would rewrite in them.
InfoFile loadKeepingBytes(const InfoSource& source, std::vector<std::uint8_t>& bytes) {
    bytes = readWholeFile(source.path);
    FileError error;
    InfoFile document;
    if (!document.loadFromBytes(bytes, source.stringWidth, DocumentationTable(), &error))
        failOn(source.path, error);
    return document;
}

} // namespace

EditSession::EditSession(const Invocation& invocation, const std::string& path)
    : invocation_(invocation), source_(infoSource(invocation.arguments, path)), lock_(lockTarget()),
      document_(invocation.arguments.has(dryRunOption)
                    ? loadKeepingBytes(source_, fileBytes_)
                    : loadInfoFile(source_, DocumentationTable())) {
    if (invocation.arguments.has(dryRunOption))
        original_ = document_;
}

const std::string& EditSession::targetPath() const {
    const std::string* given = invocation_.arguments.value(outputOption);
    return given ? *given : source_.path;
}

WriterLock EditSession::lockTarget() const {
    WriterLock lock;
    const std::string& target = targetPath();
    if (invocation_.arguments.has(dryRunOption) || target == streamPath)
        return lock;
    if (!lock.lock(target, WriterLock::defaultPatience))
        throw ToolError(target + ": " + writerLockBusy + "; nothing was saved");
    return lock;
}

void EditSession::stored(std::size_t item, std::size_t property, bool changed) {
    stored_.push_back({report_.str(), item, property});
    report_.str("");
    changed_ = changed_ || changed;
}

int EditSession::finish() {
    const std::string& target = targetPath();
    if (original_)
        return finishDryRun(target);
    const bool inPlace = target == source_.path && target != streamPath;
    if (inPlace && !changed_) {
        writeReport(invocation_.out, invocation_.err);
        invocation_.out << shownPath(target) << ": no value changed; the file was not written\n";
        return exitDone;
    }
    saveInfoFile(document_, target, invocation_.out);
    if (target == streamPath) {
        // Only a file that reached standard output whole is told of.
        invocation_.out.flush();
        writeReport(invocation_.err, invocation_.err);
    } else {
        writeReport(invocation_.out, invocation_.err);
    }
    return exitDone;
}

int EditSession::finishDryRun(const std::string& target) {
    if (target == source_.path && !changed_)
        return exitDone;
    const bool differences = writeDifferences(invocation_.out, *original_, document_);
    const bool effects = writeSaveEffects(invocation_.out, fileBytes_, *original_, document_);
    return differences || effects ? exitNegative : exitDone;
}

void EditSession::writeReport(std::ostream& out, std::ostream& err) {
    const SavedFileValues saved(document_);
    for (const StoredValue& line : stored_) {
        const FileValue held = fileValue(document_, saved, line.item, line.property);
        const std::string label = propertyLabel(line.item, line.property, held.value);
        out << line.before << label << ": " << displayText(held.value) << '\n';
        if (held.overwritten)
            err << "kestra-tool: warning: " << label
                << ": a later value that overlaps it was written over it\n";
    }
    out << report_.str();
}

} // namespace kestra::tool
