#include "text/json_writer.h"

#include <cstdio>

namespace kestra::tool {

namespace {
constexpr std::size_t indentWidth = 2;
} // namespace

std::string jsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (std::uint8_t(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(std::uint8_t(c)));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + '"';
}

void JsonWriter::beginMember() {
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (!level.empty)
        out_ << ',';
    if (level.layout == Layout::Block)
        out_ << '\n' << std::string(levels_.size() * indentWidth, ' ');
    else if (!level.empty)
        out_ << ' ';
    level.empty = false;
}

void JsonWriter::beginValue() {
    if (afterKey_)
        afterKey_ = false;
    else
        beginMember();
}

void JsonWriter::open(char bracket, Layout layout) {
    beginValue();
    out_ << bracket;
    levels_.push_back({layout});
}

void JsonWriter::close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.layout == Layout::Block && !level.empty)
        out_ << '\n' << std::string(levels_.size() * indentWidth, ' ');
    out_ << bracket;
}

void JsonWriter::beginObject(Layout layout) {
    open('{', layout);
}
void JsonWriter::endObject() {
    close('}');
}
void JsonWriter::beginArray(Layout layout) {
    open('[', layout);
}
void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::key(std::string_view name) {
    beginMember();
    out_ << jsonQuoted(name) << ": ";
    afterKey_ = true;
}

void JsonWriter::string(std::string_view utf8) {
    beginValue();
    out_ << jsonQuoted(utf8);
}

void JsonWriter::number(std::uint64_t number) {
    beginValue();
    out_ << number;
}

void JsonWriter::boolean(bool flag) {
    beginValue();
    out_ << (flag ? "true" : "false");
}

std::ostream& JsonWriter::valueStream() {
    beginValue();
    return out_;
}

void JsonWriter::member(std::string_view name, std::uint64_t number) {
    key(name);
    this->number(number);
}

void JsonWriter::member(std::string_view name, std::string_view utf8) {
    key(name);
    string(utf8);
}

void JsonWriter::memberBoolean(std::string_view name, bool flag) {
    key(name);
    boolean(flag);
}

void JsonWriter::finish() {
    out_ << '\n';
}

} // namespace kestra::tool
