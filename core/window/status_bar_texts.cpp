#include "window/display_rows.h"

#include "window/number_digits.h"

namespace kestra {

namespace {

constexpr std::u16string_view propertiesLabel = u"Properties: ";
constexpr std::u16string_view itemsLabel = u"Items: ";
constexpr std::u16string_view itemLengthLabel = u"Item Length: ";
constexpr std::u16string_view firstItemOffsetLabel = u"First Item Offset: ";

std::u16string labelled(std::u16string_view label, const NumberDigits& digits) {
    std::u16string text(label);
    text.append(digits.view().begin(), digits.view().end());
    return text;
}

} // namespace

std::array<std::u16string, 4> statusBarTexts(const InfoHeader& header) {
    return {
        labelled(propertiesLabel, decimalDigits(header.propertyCount)),
        labelled(itemsLabel, decimalDigits(header.itemCount)),
        labelled(itemLengthLabel, hexDigits(header.itemLength)),
        labelled(firstItemOffsetLabel, hexDigits(header.firstItemOffset)),
    };
}

} // namespace kestra
