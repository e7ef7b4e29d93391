#include "names/documentation_table.h"

#include <optional>

#include "io/file_reader.h"

namespace kestra {

namespace {

constexpr int endOfFile = -1;
constexpr std::uint8_t lineFeed = '\n';
constexpr std::uint8_t carriageReturn = '\r';
constexpr std::uint8_t controlZ = 0x1A;
constexpr std::uint64_t largestId = 0xFFFFFFFF;
// A documentation file is a few kilobytes of text; anything beyond this is not one.
constexpr std::uint64_t largestDocumentationFile = std::uint64_t(1) << 30;

// The file's bytes as the C runtime reads them in text mode: CR LF comes out as LF, a lone CR
// stays, and Ctrl-Z ends the file.
class TextReader {
public:
    explicit TextReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    int get() {
        if (position_ >= bytes_.size() || bytes_[position_] == controlZ)
            return endOfFile;
        const std::uint8_t c = bytes_[position_++];
        if (c == carriageReturn && position_ < bytes_.size() && bytes_[position_] == lineFeed) {
            ++position_;
            return lineFeed;
        }
        return c;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// What one line gave: no ID part at all, or an ID part (its number when it is one) and a name.
struct ParsedLine {
    bool hasIdPart = false;
    std::optional<std::uint32_t> id;
    std::string name;
};

// Reads the characters inside the parentheses, keeping only the digits. A part with no digit
// or with a number above 32 bits has no ID. Returns the character that ended the part.
int readIdPart(TextReader& reader, std::optional<std::uint32_t>& id) {
    std::uint64_t number = 0;
    bool anyDigit = false;
    bool tooLarge = false;
    int c = reader.get();
    for (; c != ')' && c != lineFeed && c != endOfFile; c = reader.get()) {
        if (c < '0' || c > '9')
            continue;
        anyDigit = true;
        number = number * 10 + std::uint64_t(c - '0');
        if (number > largestId) {
            tooLarge = true;
            number = largestId; // keeps the arithmetic bounded on long runs of digits
        }
    }
    if (anyDigit && !tooLarge)
        id = std::uint32_t(number);
    return c;
}

// Reads the name that starts right after an opening quote. Its first character is taken
// whatever it is; after that it ends at a quote (consumed), a line feed or the end of the file.
// Returns the character that ended it.
int readName(TextReader& reader, std::string& name) {
    int c = reader.get();
    if (c == endOfFile)
        return c;
    name.push_back(char(c));
    for (c = reader.get(); c != '"' && c != lineFeed && c != endOfFile; c = reader.get())
        name.push_back(char(c));
    return c;
}

int skipUntil(TextReader& reader, int wanted) {
    int c = reader.get();
    while (c != wanted && c != lineFeed && c != endOfFile)
        c = reader.get();
    return c;
}

// Reads one line; returns the character that ended it (a line feed or the end of the file).
int readLine(TextReader& reader, ParsedLine& line) {
    int c = skipUntil(reader, '(');
    if (c != '(')
        return c;
    line.hasIdPart = true;
    c = readIdPart(reader, line.id);
    if (c != ')')
        return c;
    c = skipUntil(reader, '"');
    if (c != '"')
        return c;
    c = readName(reader, line.name);
    if (c != '"')
        return c;
    return skipUntil(reader, lineFeed);
}

const std::string undocumentedName = "(Undocumented)";
const std::string noName;

} // namespace

DocumentationTable parseDocumentation(std::span<const std::uint8_t> bytes) {
    DocumentationTable table;
    table.loaded = true;
    TextReader reader(bytes);
    for (int end = lineFeed; end != endOfFile;) {
        ParsedLine line;
        end = readLine(reader, line);
        // A malformed ID drops its line and nothing else.
        if (!line.hasIdPart || !line.id)
            continue;
        table.firstEntryById.emplace(*line.id, table.entries.size());
        table.entries.push_back({*line.id, std::move(line.name)});
    }
    return table;
}

bool loadDocumentationFile(DocumentationTable& table, const std::string& path, FileError* error) {
    std::vector<std::uint8_t> bytes;
    FileError failed;
    if (!readFile(path, largestDocumentationFile, bytes, error ? *error : failed,
                  FileKinds::RegularOnly))
        return false;
    table = parseDocumentation(bytes);
    return true;
}

bool loadDocumentation(DocumentationTable& table) {
    return loadDocumentationFile(table, documentationFileName);
}

long findDocumentationEntry(const DocumentationTable& table, std::uint32_t id) {
    const auto found = table.firstEntryById.find(id);
    return found == table.firstEntryById.end() ? -1 : long(found->second);
}

DocumentationTable::operator PropertyNames() const {
    return [this](std::uint32_t id) -> const std::string& { return propertyNameFor(*this, id); };
}

const std::string& propertyNameFor(const DocumentationTable& table, std::uint32_t id) {
    if (!table.loaded)
        return noName;
    const long index = findDocumentationEntry(table, id);
    return index < 0 ? undocumentedName : table.entries[std::size_t(index)].name;
}

} // namespace kestra
