#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "document/info_file.h"

// How text the user puts into the value edit field is held to its type's rules, whichever way it
// comes in: typed characters pass the type's character rules, and no edit leaves the field with
// more characters than the type's limit beside those it kept. Text the program puts in is never
// judged, so a value shown longer than the limit keeps all of its characters.
namespace kestra {

// The characters of `typed`, typed at once (as an input method commits them), that a field of
// this type holding `currentText` takes: each is judged like a typed key, with the characters
// taken before it counted as part of the text. Control characters are never taken: a commit
// carries characters, not editing keys.
std::u16string typedCharactersTaken(TypeCode code, std::u16string_view currentText,
                                    std::u16string_view typed);

struct FieldEdit {
    std::u16string text;
    std::size_t cursor = 0;

    bool operator==(const FieldEdit&) const = default;
};

// An edit turned `before` into `after` and left the cursor at `cursor`, where typing, pasting,
// dropping and input methods all leave it: at the end of the text they inserted. The inserted
// text may hold one line (a single-line field) and at most `limit` less the characters the edit
// kept. Returns the field cut to that, or nothing when the edit stands as it is.
std::optional<FieldEdit> limitInsertion(std::u16string_view before, std::u16string_view after,
                                        std::size_t cursor, std::size_t limit);

} // namespace kestra
