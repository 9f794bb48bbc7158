#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// The one text toolkit every layer uses: how UTF-8 is read (by the check's
// byte-structure rules and by Unicode's strict rules), UTF-16, the
// Windows-1252 code page, and how text is escaped for a reader.
namespace kavrin::utf8 {

inline constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// The check's scan rules: the length of the sequence a lead byte begins, 0
// for a byte that cannot begin one (a continuation byte, 0xF8 to 0xFF).
// Overlong forms, surrogates and values above U+10FFFF pass.
constexpr std::size_t scanLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
}

constexpr bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Past the ASCII bytes that start [from, end), eight at a time: most of a
// ticket file is ASCII.
template <class Byte> const Byte* pastAscii(const Byte* from, const Byte* end)
{
    static_assert(sizeof(Byte) == 1);
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    std::uint64_t word;
    while (end - from >= 8 && (std::memcpy(&word, from, 8), (word & highBits) == 0))
        from += 8;
    while (from < end && static_cast<unsigned char>(*from) < 0x80)
        ++from;
    return from;
}
constexpr bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
// The code point of a high and a low surrogate.
constexpr char32_t joinedSurrogates(char32_t high, char32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

constexpr bool isDigit(int c) { return c >= '0' && c <= '9'; }

// What a ticket file takes for white space: blanks, tabs and line breaks.
inline constexpr std::string_view blanks = " \t\r\n";

// expected stands in text at offset.
constexpr bool holdsAt(std::string_view text, std::size_t offset, std::string_view expected)
{
    return text.size() >= offset && text.substr(offset).starts_with(expected);
}

// The text without the blanks, tabs and line breaks around it, or without
// the bytes of another set.
constexpr std::string_view trimmed(std::string_view text, std::string_view set = blanks)
{
    const std::size_t first = text.find_first_not_of(set);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(set) - first + 1);
}

// One step of strict decoding at text[i], by Unicode's rules (no overlong
// form, no surrogate, nothing above U+10FFFF). A broken sequence gives its
// maximal ill-formed subpart as length, and valid false.
struct step {
    char32_t value = 0;
    std::size_t length = 0;
    bool valid = false;
};
step next(std::string_view text, std::size_t i);

// Length of the well-formed sequence at text[i], 0 when none starts there.
inline std::size_t wellFormedLength(std::string_view text, std::size_t i)
{
    const step s = next(text, i);
    return s.valid ? s.length : 0;
}

// The code point of the well-formed sequence of that length at text[i].
char32_t decode(std::string_view text, std::size_t i, std::size_t length);

void appendUtf8(std::string& out, char32_t c);

// Windows-1252; its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 controls of the same value, as the system's converter does.
char16_t windows1252(unsigned char byte);

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

// "[U+00A0 (geschütztes Leerzeichen)]": a hidden character named where it
// stands among other text.
std::string describe(char32_t c);

// value as digits hexadecimal digits, upper case unless asked otherwise.
std::string hex(std::uint32_t value, int digits, bool lowerCase = false);

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);
// Where lowered (in lower case) first stands in text from `from` on, ASCII
// letters compared without case; npos when nowhere.
std::size_t findIgnoringAsciiCase(std::string_view text, std::string_view lowered, std::size_t from = 0);

// Code points in well-formed text; a stray byte counts as one.
std::size_t characters(std::string_view text);

// The part of text from offset on, length bytes long, widened to whole
// characters: a reason never shows half of one.
std::string_view wholeCharacters(
    std::string_view text, std::size_t offset, std::size_t length = std::string_view::npos);

// The multi-byte sequences of a text by the scan's rules: how many are
// complete and how many broken.
struct sequenceCount {
    std::size_t complete = 0;
    std::size_t broken = 0;
};
sequenceCount countSequences(std::string_view text);

// The part of a path after its last '/'.
std::string_view baseName(std::string_view path);

} // namespace kavrin::utf8

namespace kavrin {

// True when the text holds at least one complete multi-byte sequence and no
// broken one by the scan's rules; pure ASCII is false.
bool isUtf8Text(std::string_view text);

// UTF-8 to UTF-16, each maximal ill-formed subpart becoming one U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

// The UTF-16 units utf8ToUtf16 would give for the text.
std::size_t utf16Length(std::string_view text);

std::u16string windows1252ToUtf16(std::string_view text);

std::string utf16ToUtf8(std::u16string_view text);

} // namespace kavrin
