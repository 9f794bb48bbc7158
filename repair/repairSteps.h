#pragma once

#include <optional>
#include <string>
#include <string_view>

// The single fixes a repair is made of, each a plain function of bytes.
namespace kavrin::repairSteps {

// The byte that ends the input as the check reads it (text mode): what
// follows it is never read.
inline constexpr char endOfText = '\x1A';

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

// The steps a change can be made of, in the order its description names
// them (repairTexts::stepTexts), and a set of them, one bit each.
enum class step : unsigned {
    blanks,
    lines,
    leadingComma,
    trailingComma,
    leadingZero,
    sorted,
    capitals,
    name,
    declaration,
    tail
};
using steps = unsigned;
constexpr steps bit(step s) { return 1u << static_cast<unsigned>(s); }

// The repaired text of a value of the element and each step that made it;
// nothing when nothing certain can be done. A value that changed has at
// least one step.
struct valueFix {
    std::string text;
    steps done = 0;
};
std::optional<valueFix> repairedValue(std::string_view element, std::string_view text);
bool hasValueRules(std::string_view element);

// Whether the text keeps its element's rule, by the check's own rule, for
// the values whose rule and whose effect on the check depend on nothing
// else in the file: the tips and the filter. Nothing for the others.
std::optional<bool> keepsOwnRule(std::string_view element, std::string_view text);

// The format's element name that equals name but for the letter case; empty
// when none does or name is already one.
std::string_view elementSpelled(std::string_view name);

} // namespace kavrin::repairSteps
