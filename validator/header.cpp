#include "codes.h"
#include "messages.h"
#include "number.h"
#include "reasons.h"
#include "tzvParser.h"

namespace {

constexpr std::uint32_t maximumCustomerNumber = 999999;
constexpr std::uint32_t maximumWimbelPerTicket = 10;
constexpr std::uint32_t maximumWimbelCount = 10000;
constexpr std::uint32_t maximumDurationValue = 28;
constexpr std::size_t filterCodeLength = 4;
constexpr std::uint32_t maximumFilterCodes = 20;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool isCodeCharacter(char c) { return isDigit(c) || (c >= 'A' && c <= 'Z'); }

bool gameTypeFitsVersion(std::uint32_t majorVersion, std::uint32_t gameType)
{
    if (majorVersion == 3)
        return gameType == 28;
    if (majorVersion == 4)
        return gameType == 34 || gameType == 47;
    return false;
}

} // namespace

void tzvParser::closeElement(std::string_view endTag)
{
    nextTag();
    expectTag(endTag);
    nextTag();
}

void tzvParser::readHeader()
{
    const bool startsWithMarkup = input.peek() == '<';
    readMarkup();
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
    closeElement("/versionsNr");

    if (currentTag == "kundenNr") {
        readText();
        checkNumber(maximumCustomerNumber);
        closeElement("/kundenNr");
    }
    if (currentTag == "spielID") {
        readText();
        checkNumber(maximumCustomerNumber);
        closeElement("/spielID");
    }

    expectTag("wsArt");
    readText();
    gameType = checkGameType();
    if (!gameTypeFitsVersion(majorVersion, gameType))
        throw Error(kavrin::messages::leadIn, versionLine, versionColumn, kavrin::messages::contentDetail,
            kavrin::codes::versionMismatch, kavrin::reasons::versionMismatch(versionText, gameType));
    closeElement("/wsArt");

    if (currentTag == "tnDauer") {
        readText();
        checkDuration();
        closeElement("/tnDauer");
    }
    if (currentTag == "filter") {
        readText();
        checkFilter();
        closeElement("/filter");
    }
}

void tzvParser::readWimbelBlock()
{
    nextTag();
    expectTag("anzahlWimbelProSchein");
    readText();
    checkNumber(maximumWimbelPerTicket);
    closeElement("/anzahlWimbelProSchein");
    if (currentTag == "maximaleWimbelAnzahl") {
        readText();
        checkNumber(maximumWimbelCount);
        closeElement("/maximaleWimbelAnzahl");
    }
}

// Plain digits only, with leading zeros allowed; the value in minimum..limit.
bool tzvParser::isNumberIn(std::uint32_t minimum, std::uint32_t limit, std::uint32_t& value) const
{
    if (currentText.empty() || !isDigit(currentText.front()))
        return false;
    const kavrin::unsignedConversion number = kavrin::toUnsigned32(currentText);
    value = number.value;
    return !number.overflow && number.end == currentText.size() && number.value >= minimum && number.value <= limit;
}

// A value is reported at its first byte, whichever test failed.
void tzvParser::failNumber(std::uint32_t minimum, std::uint32_t limit) const
{
    namespace reasons = kavrin::reasons;
    if (!allDigits(currentText))
        failInText(
            0, kavrin::codes::notANumber, [&] { return reasons::notANumber(currentTag, currentText, minimum, limit); });
    const kavrin::unsignedConversion number = kavrin::toUnsigned32(currentText);
    const bool tooLarge = number.overflow || number.value > limit;
    failInText(0, kavrin::codes::valueOutOfRange,
        [&] { return reasons::valueOutOfRange(currentTag, currentText, minimum, limit, tooLarge); });
}

std::uint32_t tzvParser::checkNumberIn(std::uint32_t minimum, std::uint32_t limit) const
{
    std::uint32_t value = 0;
    if (!isNumberIn(minimum, limit, value))
        failNumber(minimum, limit);
    return value;
}

std::uint32_t tzvParser::checkNumber(std::uint32_t limit) const { return checkNumberIn(1, limit); }

std::uint32_t tzvParser::checkFlag() const { return checkNumberIn(0, 1); }

std::uint32_t tzvParser::checkGameType() const
{
    const bool twoDigits = currentText.size() == 2 && isDigit(currentText[0]) && isDigit(currentText[1]);
    const auto value = twoDigits ? static_cast<std::uint32_t>((currentText[0] - '0') * 10 + (currentText[1] - '0')) : 0;
    if (value != 17 && value != 28 && value != 34 && value != 47)
        failInText(0, kavrin::codes::unknownGameType, [&] { return kavrin::reasons::unknownGameType(currentText); });
    return value;
}

// Read against the widest limit first, as the format's value type allows,
// then against the game's own.
std::uint32_t tzvParser::checkDuration() const
{
    const std::uint32_t limit = gameType == 28 ? 4u : 10u;
    std::uint32_t value = 0;
    if (!isNumberIn(1, maximumDurationValue, value) || value > limit) {
        if (!allDigits(currentText))
            failNumber(1, limit);
        failInText(0, kavrin::codes::valueOutOfRange,
            [&] { return kavrin::reasons::durationOutOfRange(currentText, gameType, limit); });
    }
    return value;
}

// Empty, or 1 to 20 codes of four digits or capitals, separated by commas.
// A bad code is reported at its start, not at the offending byte.
void tzvParser::checkFilter() const
{
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    const std::string& text = currentText;
    std::size_t pos = 0;
    std::uint32_t count = 0;
    while (pos < text.size()) {
        if (count > 0) {
            if (text[pos] != ',')
                failInText(pos, codes::badFilter, [&] { return reasons::filterSeparator(characterAt(pos)); });
            ++pos;
        }
        if (pos == text.size())
            failInText(pos, codes::badFilter, [&] { return reasons::filterTrailingComma(); });
        std::size_t codeEnd = pos;
        while (codeEnd < text.size() && text[codeEnd] != ',') {
            if (!isCodeCharacter(text[codeEnd]))
                failInText(pos, codes::badFilter,
                    [&] { return reasons::filterCodeCharacters(textFrom(pos, text.find(',', pos) - pos)); });
            ++codeEnd;
        }
        if (codeEnd - pos != filterCodeLength)
            failInText(pos, codes::badFilter,
                [&] { return reasons::filterCodeLength(textFrom(pos, codeEnd - pos), codeEnd - pos); });
        ++count;
        pos += filterCodeLength;
        if (count == maximumFilterCodes) {
            if (pos < text.size())
                failInText(pos, codes::tooManyFilterCodes,
                    [&] { return reasons::tooManyFilterCodes(maximumFilterCodes, textFrom(pos)); });
            return;
        }
    }
}
