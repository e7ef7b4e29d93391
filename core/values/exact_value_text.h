#pragma once

#include <string>

#include "document/info_file.h"

namespace kestra {

// The value as 8-bit text that parseValueText reads back to the same value: floats in the shortest
// decimal form that reads back to the same float ("1e-07" where the lists show 0.000000, "74"
// where they show 74.000000); everything else as formatValueText shows it (integers "%u", strings
// up to their first zero byte, a float that is not finite as "inf", "-inf", "nan" or "-nan", whose
// payload no text keeps).
std::string exactValueText(ConstValueRef value);

} // namespace kestra
