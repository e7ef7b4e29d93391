#include "commands/typed_text_checks.h"

#include <cstdlib>

#include "text/csv_table.h"
#include "text/text_encoding.h"
#include "values/exact_value_text.h"

namespace kestra::tool {

std::string wholeTextRefusal(const WholeTextReading& reading, std::string_view text,
                             TypeCode code) {
    switch (reading.refusal) {
    case TextRefusal::None:
        break;
    case TextRefusal::NoNumber:
        return "it is no decimal number";
    case TextRefusal::MoreThanANumber:
        return "only " + quotedCell(text.substr(0, reading.numberLength)) + " of it is a number";
    case TextRefusal::OutOfRange:
        return code == TypeCode::F4 ? "it is beyond a float's range"
                                    : "it is beyond 32 bits (0 to 4294967295)";
    case TextRefusal::LongerThanField:
        return "it is longer than the field's " + std::to_string(valueWidth(code)) + " bytes";
    }
    return {};
}

namespace {

double decimalValue(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

std::string lossOfTypedText(const PropertyValue& stored, std::string_view typed,
                            std::string_view narrowed) {
    std::string exact;
    if (isStringType(stored.typeCode)) {
        if (!narrowUtf8Exactly(typed, exact))
            return "characters outside ISO-8859-1 were stored as \"?\"";
        if (narrowed.size() > valueWidth(stored.typeCode))
            return "the text was cut to the field's " +
                   std::to_string(valueWidth(stored.typeCode)) + " bytes";
        return {};
    }
    PropertyValue whole = stored;
    if (parseWholeValueText(whole, narrowed).refusal != TextRefusal::None)
        return {}; // a linked number that reads the start of the text, as Apply means it to
    if (stored.typeCode == TypeCode::I4)
        return narrowed.starts_with('-') && stored.intValue() != 0
                   ? "a negative integer is stored modulo 2^32"
                   : "";
    const std::string typedNumber(narrowed);
    return decimalValue(typedNumber) == decimalValue(exactValueText(stored))
               ? ""
               : "the float nearest to the number typed is " + exactValueText(stored);
}

} // namespace kestra::tool
