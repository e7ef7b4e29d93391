#include "commands/document_access.h"

#include <charconv>
#include <limits>

#include "commands/file_write_buffer.h"
#include "commands/save_signals.h"
#include "io/atomic_file.h"
#include "io/file_reader.h"
#include "names/documentation_search.h"
#include "text/control_escapes.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr const char* standardInput = "/dev/stdin";

} // namespace

std::string openablePath(const std::string& path) {
    return path == streamPath ? standardInput : path;
}

std::string shownPath(const std::string& path) {
    return path == streamPath ? "standard input" : path;
}

void failOn(const std::string& path, const FileError& error) {
    throw ToolError(shownPath(path) + ": " + error.text());
}

namespace {

[[noreturn]] void failSave(const std::string& path, const FileError& error) {
    throw ToolError(shownPath(path) + ": " + saveFailureText(error));
}

} // namespace

void readStandardInputOnce(std::initializer_list<const std::string*> paths) {
    int streams = 0;
    for (const std::string* path : paths)
        streams += path && *path == streamPath;
    if (streams > 1)
        throw ToolError("standard input (\"-\") can be read only once");
}

Names loadNames(const Arguments& arguments, const std::string& infoFile) {
    DocumentationSources sources = environmentDocumentationSources();
    if (const std::string* given = arguments.value(docOption))
        sources.given = *given;
    sources.infoFile = infoFile;
    DocumentationSearch search = searchDocumentation(documentationPlaces(sources));
    const DocumentationAttempt& shown =
        search.table.loaded ? search.tried.back() : search.tried.front();
    return {shown.path, shown.error.text(), std::move(search.table)};
}

void warnIfUnnamed(const Names& names, std::ostream& err) {
    if (!names.table.loaded)
        err << "kestra-tool: warning: " << oneLine(names.path) << ": " << names.reason
            << "; property names stay empty\n";
}

InfoSource infoSource(const Arguments& arguments, const std::string& path) {
    InfoSource source{path, stringWidthForPath(path)};
    if (const std::string* width = arguments.value(stringsOption)) {
        if (*width != "16" && *width != "32")
            throw ToolError("--strings takes 16 or 32 (the string width in bytes), not \"" +
                            *width + "\"");
        source.stringWidth = *width == "32" ? StringWidth::Bytes32 : StringWidth::Bytes16;
    } else if (path == streamPath) {
        throw ToolError("standard input: give its string width with --strings 16 or --strings 32 "
                        "(a stream has no name that ends in \"info\")");
    }
    return source;
}

InfoFile loadInfoFile(const InfoSource& source, const DocumentationTable& names) {
    FileError error;
    InfoFile document;
    if (!document.load(openablePath(source.path), source.stringWidth, names, &error))
        failOn(source.path, error);
    return document;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    FileError error;
    if (!readFile(openablePath(path), addressableBytes, bytes, error))
        throw ToolError(shownPath(path) + ": " + readFailureText(error));
    return bytes;
}

std::string readFailureText(FileError error) {
    error.message = error.code ? "cannot be read" : "cannot be read: " + error.message;
    return error.text();
}

void saveInfoFile(const InfoFile& document, const std::string& path, std::ostream& out) {
    if (path == streamPath) {
        const std::vector<std::uint8_t> bytes =
            document.serialize(std::numeric_limits<std::uint64_t>::max());
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return;
    }
    FileError error;
    bool saved = false;
    {
        const SaveSignalHandlers interruptible;
        saved = document.save(path, &error);
    }
    if (saved)
        return;
    failSave(path, error);
}

void saveStreamedText(const std::string& path, const std::function<void(std::ostream&)>& write) {
    std::error_code writeFailure;
    // The new file starts empty and grows with each write, so its size need not be known first.
    const auto contents = [&](const WriteAt& writeAt) {
        FileWriteBuffer buffer(writeAt);
        std::ostream file(&buffer);
        file.exceptions(std::ios::badbit);
        try {
            write(file);
            file.flush();
            return true;
        } catch (const std::ios_base::failure&) {
            writeFailure = buffer.failure();
            return false;
        }
    };
    FileError error;
    bool saved = false;
    {
        const SaveSignalHandlers interruptible;
        saved = replaceFile(path, 0, contents, error);
    }
    if (saved)
        return;
    // The reason of the write itself, not of whatever ran while the stream unwound.
    if (writeFailure)
        error.code = writeFailure;
    failSave(path, error);
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
