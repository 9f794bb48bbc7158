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

// What each code is, in one place: the part of the file it is about, whether
// the check goes on after it when every violation is asked for, and whether
// it is about how the bytes encode the text.
enum class part { file, markup, header, tips };

struct codeInfo {
    std::string_view code;
    part about;
    // The check skips to the end of the element that holds the violation
    // and reads on. After any other it stops, as an XML parser stops at a
    // well-formedness error: what follows would be read on a guess.
    bool continues;
    // An editor that shows the text decoded cannot see such a fault.
    bool encoding;
};

inline constexpr codeInfo all[] = {
    { noFileName, part::file, false, false },
    { wrongFileName, part::file, false, false },
    { cannotOpen, part::file, false, false },
    { fileTooLarge, part::file, false, false },
    { tooManyTickets, part::file, false, false },
    { wrongFirstBytes, part::file, false, true },
    { invalidUtf8, part::file, false, true },
    { nulByte, part::file, false, true },
    { badDeclaration, part::markup, false, false },
    { unsupportedEncoding, part::markup, false, true },
    { unexpectedEnd, part::markup, false, false },
    { unclosedTag, part::markup, false, false },
    { textOutsideElement, part::markup, false, false },
    { unexpectedElement, part::markup, false, false },
    { missingEndTag, part::markup, false, false },
    { contentAfterRoot, part::markup, false, false },
    { versionMismatch, part::header, true, false },
    { notANumber, part::header, true, false },
    { valueOutOfRange, part::header, true, false },
    { unknownGameType, part::header, false, false },
    { badFilter, part::header, true, false },
    { tooManyFilterCodes, part::header, true, false },
    { ziroPlusNeedsVersion4, part::header, true, false },
    { noTips, part::tips, false, false },
    { tooManyTips, part::tips, true, false },
    { badNumberList, part::tips, true, false },
    { numberOutOfRange, part::tips, true, false },
    { numbersNotAscending, part::tips, true, false },
    { badPoolRow, part::tips, true, false },
    { badPoolSymbol, part::tips, true, false },
    { wrongDashCount, part::tips, true, false },
    { badBrakelTip, part::tips, true, false },
};

constexpr const codeInfo* infoOf(std::string_view code)
{
    for (const codeInfo& each : all)
        if (each.code == code)
            return &each;
    return nullptr;
}

constexpr bool continuesAfter(std::string_view code)
{
    const codeInfo* info = infoOf(code);
    return info != nullptr && info->continues;
}

constexpr bool isAboutEncoding(std::string_view code)
{
    const codeInfo* info = infoOf(code);
    return info != nullptr && info->encoding;
}

} // namespace kavrin::codes
