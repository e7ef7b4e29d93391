#pragma once

#include <string>
#include <string_view>

#include "document/property_value.h"
#include "values/value_text.h"

namespace kestra::tool {

// Why a text read whole was refused, after "cannot take the text ...: ". import and set --strict
// read texts by this one rule.
std::string wholeTextRefusal(const WholeTextReading& reading, std::string_view text, TypeCode code);

// What `stored` does not say of the text that was typed for it (`typed` as given, in UTF-8;
// `narrowed` as it was stored), in words, or "" when it says it: characters outside ISO-8859-1
// replaced, a text cut to its field, a negative integer taken modulo 2^32, or a float rounded
// past what was typed.
std::string lossOfTypedText(const PropertyValue& stored, std::string_view typed,
                            std::string_view narrowed);

} // namespace kestra::tool
