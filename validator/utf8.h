#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The UTF-8 rules every layer shares when it shows text: which sequences are
// well formed, and which characters must never reach a reader unmarked.
namespace kavrin::utf8 {

// Length of the well-formed sequence at text[i] by Unicode's rules (no
// overlong form, no surrogate, nothing above U+10FFFF), 0 when none starts
// there.
std::size_t wellFormedLength(std::string_view text, std::size_t i);

// The code point of the well-formed sequence of that length at text[i].
char32_t decode(std::string_view text, std::size_t i, std::size_t length);

// Characters that change how the text around them is shown (C1 controls,
// bidirectional controls, line and paragraph separators) or that cannot be
// told apart by eye from others (blanks of other widths, invisible
// characters, full-width digits): their German name; empty for the rest.
std::string_view hiddenCharacterName(char32_t c);

// True for the characters that reorder or break the lines they stand in:
// bidirectional controls and the line and paragraph separators.
bool reordersText(char32_t c);

// A one-unit symbol that shows such a character where it stands in a line,
// so that no line can be shown reordered or broken.
char16_t reorderingSymbol(char32_t c);

// "U+00A0 (geschütztes Leerzeichen)", in brackets where it stands among
// other text.
std::string describe(char32_t c);

} // namespace kavrin::utf8
