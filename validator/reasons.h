#pragma once

#include "fileSource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The German reason beside each message: which rule, which value was found,
// what was expected. Composed only when a violation is raised.
namespace kavrin::reasons {

// A found value in German quotes, shortened, with control characters and
// bytes that are not UTF-8 escaped. What a reader cannot see in quotes is
// said in words outside them, in the nominative: the blanks at either end
// and every line break („4“, dann ein Zeilenumbruch); an empty value is
// "nichts".
std::string quoted(std::string_view value, std::size_t budget = 32);
// The content of a tag as it stood in the file: <name>, </name>, <!-- … -->.
std::string tag(std::string_view inner);

// What the operating system says, in German, for an error met while opening
// or reading the input, and for one met while writing the output.
std::string openCause(int errorNumber);
std::string writeCause(int errorNumber);

std::string noFileName();
std::string wrongFileName(std::string_view name);
std::string cannotOpen(fileSource::failure failure, int errorNumber);
std::string fileTooLarge(std::uint64_t size, std::uint64_t limit, bool sizeKnown);
std::string tooManyTickets(unsigned limit, std::uint32_t line);
// The first four bytes, each -1 where the input ends.
std::string wrongFirstBytes(int first, int second, int third, int fourth, std::uint64_t size);

// A byte sequence that is not UTF-8, and what the rest of the text tells
// about how it came there.
struct brokenSequence {
    std::string_view bytes; // its lead byte and the continuation bytes after it
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    bool atEnd = false; // the input ends inside it
    bool endOfTextAfter = false; // a byte 0x1A right after it ends the input
    std::uint64_t bytesAfterEndOfText = 0;
    bool utf8Elsewhere = false; // a byte-order mark or a well-formed multi-byte character
    bool alone = false; // no other sequence of the text is broken
};
std::string invalidUtf8(const brokenSequence& broken);

// NUL bytes from the place of the first.
struct nulRun {
    std::uint64_t length = 1;
    bool everySecondByte = false; // 00 xx 00, as text saved as UTF-16 has it
};
std::string nulByte(std::string_view element, std::uint32_t line, std::uint32_t column, const nulRun& run);

// item: the whole declaration, from '?' to '?'; found: its part at the
// place that differs from expected, a view into item (empty where the item
// ends before that place).
std::string badDeclaration(std::string_view item, std::string_view expected, std::string_view found);
// A declaration after blank lines or a comment, in capitals, or without the
// blank after "xml".
std::string misplacedDeclaration(std::string_view foundInner);
// found: the declaration's encoding value up to the next blank or '?'.
std::string unsupportedEncoding(std::string_view found);
// nothingYet: the file held no tag before it ended.
// stillOpen: the elements not yet closed, the innermost first.
std::string unexpectedEnd(std::uint32_t line, bool nothingYet, const std::vector<std::string_view>& stillOpen);
std::string unclosedTag(std::string_view inner);
// commentIn: the element a comment stands in before the text, if any.
std::string textOutsideElement(std::string_view found, std::string_view commentIn);
// A comment where an element's value stands: in it, or between its parts.
std::string commentInValue(std::string_view element);
// A CDATA section where an element's value stands.
std::string cdataInValue(std::string_view element);
// A value that keeps its rule once the blanks and line breaks around it are
// gone.
std::string blanksAroundValue(std::string_view element, std::string_view text);
// allowed: every element that may stand at the place, expected among them.
// Where a found element stands among the elements of the element the check
// is in, as the format orders them.
struct elementOrder {
    std::string_view in; // the element the check is in
    std::string_view belongsBefore; // the first child read that comes after found in the order
    std::string_view previous; // the child read last, or in when none was
    bool duplicate = false; // found is the child read last, which may stand no more
    bool skipsRequired = false; // found belongs after the expected element
    bool closesIn = false; // found belongs after in: in's end tag is missing
};
std::string unexpectedElement(std::string_view expected, const std::vector<std::string_view>& allowed,
    std::string_view foundInner, const elementOrder& order);
// A tag whose name is the wanted one but with blanks or line breaks in it.
std::string brokenTag(std::string_view name, std::string_view foundInner);
std::string contentAfterRoot(std::string_view found);

std::string versionMismatch(std::string_view version, std::uint32_t gameType);
std::string notANumber(std::string_view element, std::string_view found, std::uint32_t minimum, std::uint32_t maximum);
std::string valueOutOfRange(
    std::string_view element, std::string_view found, std::uint32_t minimum, std::uint32_t maximum, bool tooLarge);
std::string unknownGameType(std::string_view found);
std::string durationOutOfRange(std::string_view found, std::uint32_t gameType, std::uint32_t maximum);
std::string filterCodeLength(std::string_view code, std::size_t length);
std::string filterCodeCharacters(std::string_view code);
std::string filterTrailingComma();
// atStart: the comma stands first, else right after another.
std::string filterEmptyCode(bool atStart);
// A separator that is not a comma, found after a code.
std::string filterSeparator(std::string_view separator, std::string_view code);
std::string tooManyFilterCodes(std::uint32_t limit, std::string_view rest);
std::string ziroPlusNeedsVersion4(std::string_view version, std::uint32_t gameType);

std::string noTips(std::uint32_t gameType, std::string_view tipElement, std::string_view foundInner);
std::string tooManyTips(std::uint32_t gameType, std::uint32_t limit, std::string_view tipElement);

std::string emptyList(std::string_view element, std::uint32_t count, std::uint32_t maximum);
std::string notTwoDigits(std::string_view element, std::string_view found, std::uint32_t count, std::uint32_t maximum);
std::string tooFewNumbers(std::string_view element, std::uint32_t found, std::uint32_t count);
std::string listSeparator(std::string_view previous, std::string_view found);
std::string listNumberOutOfRange(std::string_view element, std::string_view number, std::uint32_t maximum);
std::string listNotAscending(std::string_view number, std::string_view previous);
std::string listTooLong(std::string_view element, std::uint32_t count, std::string_view rest);

std::string poolRowTooShort(std::size_t length);
std::string poolSymbol(std::size_t field, std::string_view found, std::uint32_t dashesBefore);
std::string poolDashInFirstFive(std::size_t field);
std::string poolSeparator(std::size_t field, std::string_view found);
std::string poolDashCount(std::uint32_t found);
std::string poolSixthDash(std::size_t field);
std::string poolRowTooLong(std::string_view rest);

std::string brakelTooShort(std::size_t length);
// second: the pair's second character.
std::string brakelSymbol(std::size_t pair, std::string_view found, bool second);
std::string brakelSeparator(std::size_t pair, std::string_view found);
std::string brakelTooLong(std::string_view rest);

// Said after a reason when the input ended where the check failed: the file
// ends there, or a byte 0x1A ends it though more bytes follow.
std::string endsEarly(std::uint32_t line, std::uint32_t column);
std::string endedByEndOfText(std::uint32_t line, std::uint32_t column, std::uint64_t bytesAfter);

} // namespace kavrin::reasons
