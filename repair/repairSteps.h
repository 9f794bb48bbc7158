#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The single fixes a repair is made of, each a plain function of bytes.
namespace kavrin::repairSteps {

// The text as UTF-8 when it was certainly written in UTF-16 or Windows-1252,
// with the name of the encoding it was in; nothing when the reading is not
// certain. Certain means: the bytes decode strictly, the text begins (after
// blanks) with the '<' a ticket file begins with, and, without a byte-order
// mark to say so, nearly every character is ASCII, as markup is. Of bytes
// that are not UTF-16, those after a 0x1A, which the check never reads, are
// neither judged nor converted.
struct converted {
    std::string text;
    std::string_view from;
};
std::optional<converted> toUtf8(std::string_view bytes);

// The copy with the XML declaration's encoding set to UTF-8, the place of the
// value and what it said; nothing when the declaration has not the fixed form.
struct declarationFix {
    std::size_t offset = 0;
    std::string found;
};
std::optional<declarationFix> declarationEncoding(std::string_view bytes);

// The repaired text of a value of the element and each step that made it,
// in German; nothing when nothing certain can be done. A value that changed
// has at least one step.
struct valueFix {
    std::string text;
    std::vector<std::string_view> steps;
};
std::optional<valueFix> repairedValue(std::string_view element, std::string_view text);
bool hasValueRules(std::string_view element);

// The format's element name that equals name but for the letter case; empty
// when none does or name is already one.
std::string_view elementSpelled(std::string_view name);

} // namespace kavrin::repairSteps
