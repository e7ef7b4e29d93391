#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kestra {

// Gives a property ID its name. The text must outlive every document that holds it: loaded
// values point at it rather than each carrying a copy.
using PropertyNames = std::function<const std::string&(std::uint32_t id)>;

} // namespace kestra
