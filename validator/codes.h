#pragma once

#include <string_view>

// The stable identifier of each rule a file can break. Scripts match on these,
// not on the German texts, so a code never changes once released.
namespace kavrin::codes {

// The file as a whole.
inline constexpr std::string_view noFileName = "no-file-name";
inline constexpr std::string_view wrongFileName = "wrong-file-name";
inline constexpr std::string_view cannotOpen = "cannot-open";
inline constexpr std::string_view fileTooLarge = "file-too-large";
inline constexpr std::string_view tooManyTickets = "too-many-tickets";
inline constexpr std::string_view wrongFirstBytes = "wrong-first-bytes";
inline constexpr std::string_view invalidUtf8 = "invalid-utf8";
inline constexpr std::string_view nulByte = "nul-byte";

// Declaration and markup.
inline constexpr std::string_view badDeclaration = "bad-declaration";
inline constexpr std::string_view unsupportedEncoding = "unsupported-encoding";
inline constexpr std::string_view unexpectedEnd = "unexpected-end";
inline constexpr std::string_view unclosedTag = "unclosed-tag";
inline constexpr std::string_view textOutsideElement = "text-outside-element";
inline constexpr std::string_view unexpectedElement = "unexpected-element";
inline constexpr std::string_view missingEndTag = "missing-end-tag";
inline constexpr std::string_view contentAfterRoot = "content-after-root";

// Header and add-on elements.
inline constexpr std::string_view versionMismatch = "version-mismatch";
inline constexpr std::string_view notANumber = "not-a-number";
inline constexpr std::string_view valueOutOfRange = "value-out-of-range";
inline constexpr std::string_view unknownGameType = "unknown-game-type";
inline constexpr std::string_view badFilter = "bad-filter";
inline constexpr std::string_view tooManyFilterCodes = "too-many-filter-codes";
inline constexpr std::string_view ziroPlusNeedsVersion4 = "ziroplus-needs-version-4";

// Tickets and tips.
inline constexpr std::string_view noTips = "no-tips";
inline constexpr std::string_view tooManyTips = "too-many-tips";
inline constexpr std::string_view badNumberList = "bad-number-list";
inline constexpr std::string_view numberOutOfRange = "number-out-of-range";
inline constexpr std::string_view numbersNotAscending = "numbers-not-ascending";
inline constexpr std::string_view badPoolRow = "bad-pool-row";
inline constexpr std::string_view badPoolSymbol = "bad-pool-symbol";
inline constexpr std::string_view wrongDashCount = "wrong-dash-count";
inline constexpr std::string_view badBrakelTip = "bad-brakel-tip";

// What each code is, in one place.

// After a violation of these the check goes on, when every violation is asked
// for: it skips to the end of the element that holds it. After any other it
// stops, as an XML parser stops at a well-formedness error: what follows
// would be read on a guess.
inline constexpr std::string_view continuing[] = { versionMismatch, notANumber, valueOutOfRange, badFilter,
    tooManyFilterCodes, ziroPlusNeedsVersion4, tooManyTips, badNumberList, numberOutOfRange, numbersNotAscending,
    badPoolRow, badPoolSymbol, wrongDashCount, badBrakelTip };

// About how the bytes encode the text, not about the text: an editor that
// shows the text decoded cannot see them.
inline constexpr std::string_view encoding[] = { wrongFirstBytes, invalidUtf8, nulByte, unsupportedEncoding };

constexpr bool continuesAfter(std::string_view code)
{
    for (std::string_view each : continuing)
        if (each == code)
            return true;
    return false;
}

constexpr bool isAboutEncoding(std::string_view code)
{
    for (std::string_view each : encoding)
        if (each == code)
            return true;
    return false;
}

} // namespace kavrin::codes
