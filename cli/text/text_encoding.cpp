#include "text/text_encoding.h"

#include "values/characters.h"
#include "values/value_text.h"

namespace kestra::tool {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out += char16_t(code);
        return;
    }
    code -= 0x10000;
    out += char16_t(0xD800 + (code >> 10));
    out += char16_t(0xDC00 + (code & 0x3FF));
}

// One code point from `text` at `position`, which moves past it; false for a malformed,
// overlong or surrogate sequence.
bool readUtf8(std::string_view text, std::size_t& position, char32_t& code) {
    const auto lead = std::uint8_t(text[position++]);
    std::size_t followers = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        code = lead;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        code = lead & 0x1F;
        followers = 1;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        code = lead & 0x0F;
        followers = 2;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        code = lead & 0x07;
        followers = 3;
        smallest = 0x10000;
    } else {
        return false;
    }
    for (std::size_t k = 0; k < followers; ++k) {
        if (position == text.size() || (std::uint8_t(text[position]) & 0xC0) != 0x80)
            return false;
        code = code << 6 | (std::uint8_t(text[position++]) & 0x3F);
    }
    return code >= smallest && code <= 0x10FFFF && !isHighSurrogate(code) && !isLowSurrogate(code);
}

} // namespace

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (isHighSurrogate(code) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (isHighSurrogate(code) || isLowSurrogate(code))
            code = replacementCharacter;
        appendUtf8(out, code);
    }
    return out;
}

std::string bytesToUtf8(std::string_view bytes) {
    return utf16ToUtf8(widenText(bytes));
}

std::string asUtf8(std::string_view text) {
    for (std::size_t position = 0; position < text.size();) {
        char32_t code = 0;
        if (!readUtf8(text, position, code))
            return bytesToUtf8(text);
    }
    return std::string(text);
}

bool narrowUtf8(std::string_view utf8, std::string& narrowed) {
    std::u16string wide;
    for (std::size_t position = 0; position < utf8.size();) {
        char32_t code = 0;
        if (!readUtf8(utf8, position, code))
            return false;
        appendUtf16(wide, code);
    }
    narrowed = narrowText(wide);
    return true;
}

bool narrowUtf8Exactly(std::string_view utf8, std::string& narrowed) {
    return narrowUtf8(utf8, narrowed) && bytesToUtf8(narrowed) == utf8;
}

} // namespace kestra::tool
