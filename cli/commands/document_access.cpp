#include "commands/document_access.h"

#include <charconv>

#include "commands/save_signals.h"
#include "io/file_reader.h"
#include "tool_error.h"

namespace kestra::tool {

Names loadNames(const Arguments& arguments) {
    Names names;
    const std::string* given = arguments.value(docOption);
    names.path = given ? *given : std::string(documentationFileName);
    loadDocumentationFile(names.table, names.path);
    return names;
}

void warnIfUnnamed(const Names& names, std::ostream& err) {
    if (!names.table.loaded)
        err << "kestra-tool: warning: " << names.path
            << ": cannot be read; property names stay empty\n";
}

InfoFile loadInfoFile(const std::string& path, const DocumentationTable& names) {
    InfoFile document;
    FileError error;
    if (!document.load(path, names, &error))
        throw ToolError(path + ": " + (error.message.empty() ? "cannot be read" : error.text()));
    return document;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    FileError error;
    if (!readFile(path, addressableBytes, bytes, error))
        throw ToolError(
            path + ": cannot be read: " + (error.reason.empty() ? error.message : error.reason));
    return bytes;
}

void saveInfoFile(const InfoFile& document, const Arguments& arguments,
                  const std::string& inputPath) {
    const std::string* given = arguments.value(outputOption);
    const std::string& path = given ? *given : inputPath;
    FileError error;
    bool saved = false;
    {
        const SaveSignalHandlers interruptible;
        saved = document.save(path, &error);
    }
    if (saved)
        return;
    if (error.targetReplaced)
        throw ToolError(path + ": " + error.message);
    throw ToolError(path + ": cannot be saved" +
                    (error.message.empty() ? "" : ": " + error.message));
}

bool parseUnsigned32(std::string_view text, std::uint32_t& number) {
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return false;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    return problem == std::errc() && end == text.data() + text.size();
}

std::size_t parsePosition(std::string_view text, std::string_view what, std::size_t count,
                          const std::string& path) {
    std::uint32_t position = 0;
    if (!parseUnsigned32(text, position))
        throw ToolError(path + ": \"" + std::string(text) + "\" is no " + std::string(what) +
                        " position (a decimal number counting from 0)");
    if (position >= count)
        throw ToolError(path + ": there is no " + std::string(what) + " " + std::string(text) +
                        " (the file has " + std::to_string(count) + ")");
    return position;
}

} // namespace kestra::tool
