#include "checker.h"
#include "codes.h"
#include "messages.h"
#include "number.h"
#include "reasons.h"

namespace {

constexpr std::uint32_t maximumCustomerNumber = 999999;
constexpr std::uint32_t maximumWimbelPerTicket = 10;
constexpr std::uint32_t maximumWimbelCount = 10000;

} // namespace

void kavrin::detail::checker::closeElement(std::string_view endTag)
{
    nextTag();
    expectTag(endTag);
    nextTag();
}

void kavrin::detail::checker::readNumber(std::uint32_t minimum, std::uint32_t maximum)
{
    readValue([&](std::string_view text) { return kavrin::rules::numberIn(currentTag, text, minimum, maximum); });
}

void kavrin::detail::checker::readHeader()
{
    namespace rules = kavrin::rules;
    const bool startsWithMarkup = input.peek() == '<';
    readMarkup();
    documentStarted = true;
    if ((startsWithMarkup && checkXmlDeclaration()) || isComment())
        nextTag();
    expectMatchingTag("uvra");

    nextTag();
    expectTag("versionsNr");
    readText();
    versionText = currentText;
    // Neither conversion of the version leaves an overflow behind for later
    // value checks: a major version too large saturates and fails the version
    // rule below, an overlong minor part is never used.
    const kavrin::unsignedConversion major = kavrin::toUnsigned32(versionText);
    majorVersion = major.value;
    minorVersion = major.end < versionText.size()
        ? kavrin::toUnsigned32(std::string_view(versionText).substr(major.end + 1)).value
        : 0;
    const std::uint32_t versionLine = tokenLine;
    const std::uint32_t versionColumn = tokenColumn;
    const std::uint64_t versionOffset = offsetInToken({}, 0, tokenColumn);
    closeElement("/versionsNr");

    if (currentTag == "kundenNr") {
        seenOptional |= seenCustomer;
        summary.customerNumber = true;
        readNumber(1, maximumCustomerNumber);
        closeElement("/kundenNr");
    }
    if (currentTag == "spielID") {
        seenOptional |= seenGameId;
        summary.gameId = true;
        readNumber(1, maximumCustomerNumber);
        closeElement("/spielID");
    }

    expectTag("wsArt");
    readValue([this](std::string_view text) { return rules::gameType(text, gameType); });
    if (!rules::versionFitsGame(majorVersion, gameType))
        raiseAt(versionLine, versionColumn, versionOffset,
            { 0, kavrin::codes::versionMismatch,
                kavrin::reasons::versionMismatch(versionText, kavrin::numberOf(gameType)) });
    closeElement("/wsArt");

    if (currentTag == "tnDauer") {
        seenOptional |= seenDuration;
        summary.duration = true;
        readValue([this](std::string_view text) { return rules::duration(text, gameType); });
        closeElement("/tnDauer");
    }
    if (currentTag == "filter") {
        seenOptional |= seenFilter;
        summary.filter = true;
        readValue(rules::filter);
        closeElement("/filter");
    }
}

void kavrin::detail::checker::readWimbelBlock()
{
    nextTag();
    expectTag("anzahlWimbelProSchein");
    readNumber(1, maximumWimbelPerTicket);
    closeElement("/anzahlWimbelProSchein");
    if (currentTag == "maximaleWimbelAnzahl") {
        readNumber(1, maximumWimbelCount);
        closeElement("/maximaleWimbelAnzahl");
    }
}
