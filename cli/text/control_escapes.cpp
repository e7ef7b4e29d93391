#include "text/control_escapes.h"

namespace kestra::tool {

namespace {

constexpr char carriageReturn = '\r';
// U+0080 to U+009F are 0xC2 followed by 0x80 to 0x9F in UTF-8.
constexpr char c1Lead = '\xC2';
constexpr unsigned char c1First = 0x80;
constexpr unsigned char c1Last = 0x9F;
constexpr unsigned char deleteCharacter = 0x7F;

void caret(unsigned char control, std::string& out) {
    out += '^';
    out += control == deleteCharacter ? '?' : char(control + '@');
}

} // namespace

void ControlEscaper::escape(std::string_view text, std::string& out) {
    for (const char c : text)
        escapeOne(static_cast<unsigned char>(c), out);
}

void ControlEscaper::escapeOne(unsigned char byte, std::string& out) {
    if (waiting_ == carriageReturn) {
        waiting_ = 0;
        if (byte == '\n') {
            out += "\r\n";
            return;
        }
        caret(carriageReturn, out);
    } else if (waiting_ == c1Lead) {
        waiting_ = 0;
        if (byte >= c1First && byte <= c1Last) {
            out += "M-";
            caret(byte - c1First, out);
            return;
        }
        out += c1Lead;
    }
    const bool lineControl = byte == '\t' || byte == '\n';
    if ((byte == carriageReturn && keepLines_) || byte == static_cast<unsigned char>(c1Lead))
        waiting_ = char(byte);
    else if ((byte < 0x20 && !(keepLines_ && lineControl)) || byte == deleteCharacter)
        caret(byte, out);
    else
        out += char(byte);
}

void ControlEscaper::finish(std::string& out) {
    if (waiting_ == carriageReturn)
        caret(carriageReturn, out);
    else if (waiting_ == c1Lead)
        out += c1Lead;
    waiting_ = 0;
}

std::string oneLine(std::string_view text) {
    std::string line;
    ControlEscaper escaper(false);
    escaper.escape(text, line);
    escaper.finish(line);
    return line;
}

} // namespace kestra::tool
