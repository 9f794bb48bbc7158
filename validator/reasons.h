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
// bytes that are not UTF-8 escaped.
std::string quoted(std::string_view value);
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
std::string wrongFirstBytes(int first, int second, int third, std::uint64_t size);
std::string invalidUtf8(int byte, std::uint32_t line, std::uint32_t column, bool atEnd);
std::string nulByte(std::string_view element, std::uint32_t line, std::uint32_t column, bool everySecondByte);

std::string badDeclaration(std::string_view expected, std::string_view found);
// A declaration after blank lines or a comment, in capitals, or without the
// blank after "xml".
std::string misplacedDeclaration(std::string_view foundInner);
std::string unsupportedEncoding(std::string_view found);
// nothingYet: the file held no tag before it ended.
// stillOpen: the elements not yet closed, the innermost first.
std::string unexpectedEnd(std::uint32_t line, bool nothingYet, const std::vector<std::string_view>& stillOpen);
std::string unclosedTag(std::string_view inner);
// afterComment: the text follows a comment inside an element.
std::string textOutsideElement(std::string_view found, bool afterComment);
// allowed: every element that may stand at the place, expected among them.
// Where a found element stands among the elements of the element the check
// is in, as the format orders them.
struct elementOrder {
    std::string_view in; // the element the check is in
    std::vector<std::string_view> siblings; // its children in order, when found is one of them
    std::string_view previous; // the child read last, or in when none was
    bool duplicate = false; // found is the child read last, which may stand no more
    bool skipsRequired = false; // found belongs after the expected element
    bool closesIn = false; // found belongs after in: in's end tag is missing
};
std::string unexpectedElement(std::string_view expected, const std::vector<std::string_view>& allowed,
    std::string_view foundInner, const elementOrder& order);
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
std::string filterSeparator(std::string_view found);
std::string tooManyFilterCodes(std::uint32_t limit, std::string_view rest);
std::string ziroPlusNeedsVersion4(std::string_view version);

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
std::string brakelSymbol(std::size_t pair, std::string_view found);
std::string brakelSeparator(std::size_t pair, std::string_view found);
std::string brakelTooLong(std::string_view rest);

// Said after a reason when the input ended where the check failed: the file
// ends there, or a byte 0x1A ends it though more bytes follow.
std::string endsEarly(std::uint32_t line, std::uint32_t column);
std::string endedByEndOfText(std::uint32_t line, std::uint32_t column, std::uint64_t bytesAfter);

} // namespace kavrin::reasons
