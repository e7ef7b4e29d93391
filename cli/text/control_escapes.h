#pragma once

#include <string>
#include <string_view>

namespace kestra::tool {

// Shows control characters in the notation of `cat -v`, so that bytes from a file cannot drive
// the user's terminal (retitle it, recolour it, ring it, move its cursor): a C0 control becomes
// ^@ to ^_, DEL ^?, and the UTF-8 form of a C1 control (U+0080 to U+009F, which some terminals
// obey too) M-^@ to M-^_. Tab and line feed pass, and so does a carriage return that ends a line
// (CSV's CR LF); a lone one, which could overwrite what the line shows, becomes ^M.
// The text may arrive in pieces cut anywhere: a CR or a UTF-8 lead byte at the end of a piece
// waits for the next one.
class ControlEscaper {
public:
    // `keepLines` false: tab, line feed and CR LF are shown as ^I, ^J and ^M^J too.
    explicit ControlEscaper(bool keepLines = true) : keepLines_(keepLines) {}

    void escape(std::string_view text, std::string& out);
    // Writes what still waits, at the end of the text.
    void finish(std::string& out);

private:
    void escapeOne(unsigned char byte, std::string& out);

    bool keepLines_;
    char waiting_ = 0; // '\r' or the UTF-8 lead byte 0xC2, or 0 for none
};

// `text` as one line of a message, whatever control characters a file name or a cell brought.
std::string oneLine(std::string_view text);

} // namespace kestra::tool
