#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/info_file.h"

namespace kestra {

// The value as the lists show it: strings widened byte for byte up to their first zero byte,
// floats as "%f" (or "%.9g" where "%f" would pass 31 characters; inf/nan as "inf", "-inf", "nan",
// "-nan"), integers as "%u". Never depends on the process locale.
std::u16string formatValueText(ConstValueRef value);

// "String (size 32)", "String (size 16)", "Float (size 4)", "Integer/Other (size 4)".
std::u16string typeDisplayName(TypeCode code);

// UTF-16 to 8-bit text: ISO-8859-1, with '?' for characters outside it; ends at the first zero.
std::string narrowText(std::u16string_view text);
// 8-bit text to UTF-16, each byte becoming the code unit of the same number.
std::u16string widenText(std::string_view text);

// Stores 8-bit text into the value by its type code. Floats are read as strtof reads them in the
// "C" locale, integers as a 32-bit strtoul (a leading minus negates modulo 2^32). Returns false,
// leaving the value unchanged, when no number begins or it is out of range. Strings: shorter than
// the field, the bytes and one zero byte (the rest of the field kept); exactly the field's width,
// stored whole; longer, cut to the field's width.
bool parseValueText(ValueRef value, std::string_view text);

// Why a number type refused a text.
enum class ValueTextProblem { None, Empty, NotANumber, OutOfRange };
// parseValueText, saying why a text was refused.
ValueTextProblem storeValueText(ValueRef value, std::string_view text);

// Why a text read whole was refused.
enum class TextRefusal { None, NoNumber, MoreThanANumber, OutOfRange, LongerThanField };
struct WholeTextReading {
    TextRefusal refusal = TextRefusal::None;
    std::size_t numberLength = 0; // for MoreThanANumber: how much of the text the number is
};
// Stores 8-bit text as parseValueText does, but only what the text says whole: a number and
// nothing else, in decimal (no blanks around it, no hexadecimal), or a string that fits its
// field. A table read back must not keep the "1" of "1,000" or the 25 of "25.9".
WholeTextReading parseWholeValueText(ValueRef value, std::string_view text);

// Input rules of the value edit field.
// The longest text that may be typed: 31 for "s32", 15 for "s16" and "f4", 10 for "i4".
std::size_t typedTextLimit(TypeCode code);
// Whether `typed` may be typed into a field of this type that currently holds `currentText`.
// Backspace (8) and Enter (13) are always accepted; "f4" takes digits, and "." and "-" only while
// the current text holds none; "i4" takes digits; the string types take everything.
bool mayTypeCharacter(TypeCode code, std::u16string_view currentText, char16_t typed);

} // namespace kestra
