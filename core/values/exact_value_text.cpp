#include "values/exact_value_text.h"

#include <charconv>
#include <cmath>

#include "values/value_text.h"

namespace kestra {

std::string exactValueText(ConstValueRef value) {
    if (value.typeCode != TypeCode::F4 || !std::isfinite(value.floatValue()))
        return narrowText(formatValueText(value));
    // Without a precision, std::to_chars of a float writes the fewest digits that read back to the
    // same float, in the "C" locale's form whatever the process locale is.
    char buffer[32];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value.floatValue()).ptr;
    return std::string(static_cast<const char*>(buffer), end);
}

} // namespace kestra
