#pragma once

#include <QString>

#include <cstddef>
#include <string_view>

// The core hands UTF-16 texts to the window as std::u16string_view, Qt holds them as QString: the
// same code units, so both directions are a copy or a view, never a conversion.
namespace kestra {

inline QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// Valid while `text` lives unchanged.
inline std::u16string_view toU16View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

} // namespace kestra
