#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kestra::tool {

// A UTF-8 string as a JSON string literal: quotes, backslashes and control characters escaped,
// everything else (already valid UTF-8) written as it is.
std::string jsonQuoted(std::string_view utf8);

// Streams JSON with a fixed layout, so the same document always gives the same text: a block
// container puts each member on its own line, indented by two blanks per level; an inline one
// keeps its members on one line, separated by ", ".
class JsonWriter {
public:
    enum class Layout { Block, Inline };

    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject(Layout layout = Layout::Block);
    void endObject();
    void beginArray(Layout layout = Layout::Block);
    void endArray();
    // The next value belongs to this member of the open object.
    void key(std::string_view name);
    void string(std::string_view utf8);
    void number(std::uint64_t number);
    void boolean(bool flag);
    // A value the caller writes itself to the returned stream (a long array, written in blocks),
    // indented as this writer's next value would be: `depth()` levels deep.
    std::ostream& valueStream();
    std::size_t depth() const { return levels_.size(); }
    // A member of the open object: key(name) and its value in one call.
    void member(std::string_view name, std::uint64_t number);
    void member(std::string_view name, std::string_view utf8);
    void memberBoolean(std::string_view name, bool flag);
    // Ends the output with a line feed once the outermost container is closed.
    void finish();

private:
    struct Level {
        Layout layout;
        bool empty = true;
    };

    void beginMember();
    void beginValue();
    void open(char bracket, Layout layout);
    void close(char bracket);

    std::ostream& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace kestra::tool
