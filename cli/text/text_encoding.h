#pragma once

#include <string>
#include <string_view>

namespace kestra::tool {

// The tool talks UTF-8 on its command line and in its output, while the document holds 8-bit
// texts. It converts with the editor's own rules: bytes are widened one to one (ISO-8859-1) for
// display, and typed text is narrowed by the core's narrowText.

std::string utf16ToUtf8(std::u16string_view text);
// 8-bit document text (names, string values) as UTF-8, each byte its own code point.
std::string bytesToUtf8(std::string_view bytes);
// `text` itself when it is valid UTF-8, else its bytes widened one to one (for file paths).
std::string asUtf8(std::string_view text);
// UTF-8 from the command line or a batch file, narrowed as the edit field's text would be.
// False when `utf8` is not valid UTF-8.
bool narrowUtf8(std::string_view utf8, std::string& narrowed);
// The same for text that must arrive unchanged: false also when narrowing would change it (a
// character outside ISO-8859-1, or a zero, where narrowed text ends).
bool narrowUtf8Exactly(std::string_view utf8, std::string& narrowed);

} // namespace kestra::tool
