#include "values/text_insertion.h"

#include <algorithm>

#include "values/value_text.h"

namespace kestra {

namespace {

bool isControlCharacter(char16_t c) {
    return c < u' ' || c == 0x7F;
}

// Length of the longest common start of `a` and `b`.
std::size_t commonStart(std::u16string_view a, std::u16string_view b) {
    return std::size_t(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

// Length of the longest common end of `a` and `b`.
std::size_t commonEnd(std::u16string_view a, std::u16string_view b) {
    return std::size_t(std::mismatch(a.rbegin(), a.rend(), b.rbegin(), b.rend()).first -
                       a.rbegin());
}

} // namespace

std::u16string typedCharactersTaken(TypeCode code, std::u16string_view currentText,
                                    std::u16string_view typed) {
    std::u16string text(currentText);
    std::u16string taken;
    for (const char16_t c : typed) {
        if (isControlCharacter(c) || !mayTypeCharacter(code, text, c))
            continue;
        text.push_back(c);
        taken.push_back(c);
    }
    return taken;
}

std::optional<FieldEdit> limitInsertion(std::u16string_view before, std::u16string_view after,
                                        std::size_t cursor, std::size_t limit) {
    cursor = std::min(cursor, after.size());
    // What follows the cursor was kept from the end of `before`; what precedes the inserted text
    // was kept from its start. Anchoring at the cursor places an insertion into a run of equal
    // characters where it was made.
    const std::size_t keptEnd = std::min(commonEnd(before, after), after.size() - cursor);
    const std::size_t keptStart = commonStart(before.substr(0, before.size() - keptEnd),
                                              after.substr(0, after.size() - keptEnd));
    const std::size_t kept = keptStart + keptEnd;
    const std::u16string_view inserted =
        after.substr(keptStart, after.size() - keptEnd - keptStart);

    std::u16string_view allowed = inserted.substr(0, inserted.find_first_of(u"\r\n"));
    allowed = allowed.substr(0, limit > kept ? limit - kept : 0);
    if (allowed.size() == inserted.size())
        return std::nullopt;
    FieldEdit edit;
    edit.text.append(after.substr(0, keptStart))
        .append(allowed)
        .append(after.substr(after.size() - keptEnd));
    edit.cursor = keptStart + allowed.size();
    return edit;
}

} // namespace kestra
