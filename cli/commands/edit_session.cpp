#include "commands/edit_session.h"

#include "commands/document_diff.h"
#include "tool_error.h"

namespace kestra::tool {

EditSession::EditSession(const Invocation& invocation, const std::string& path)
    : invocation_(invocation), source_(infoSource(invocation.arguments, path)), lock_(lockTarget()),
      document_(loadInfoFile(source_, DocumentationTable())) {
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

int EditSession::finish() {
    if (original_) {
        const bool changes = writeDifferences(invocation_.out, *original_, document_);
        return changes ? exitNegative : exitDone;
    }
    const std::string& target = targetPath();
    saveInfoFile(document_, target, invocation_.out);
    if (target == streamPath) {
        // Only a file that reached standard output whole is told of.
        invocation_.out.flush();
        invocation_.err << report_.str();
    } else {
        invocation_.out << report_.str();
    }
    return exitDone;
}

} // namespace kestra::tool
