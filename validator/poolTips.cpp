#include "codes.h"
#include "messages.h"
#include "reasons.h"
#include "tzvParser.h"

#include <string_view>

namespace {

constexpr std::uint32_t maximumFenuTips = 13;
constexpr std::size_t fenuSymbols = 18;
constexpr std::size_t fenuLength = 2 * fenuSymbols - 1;
constexpr std::size_t fenuSureSymbols = 5; // the first five may not be '-'
constexpr std::uint32_t fenuDashes = 5;
constexpr std::size_t brakelPairs = 5;
constexpr std::size_t brakelLength = 3 * brakelPairs - 1;

bool isOneOf(char c, std::string_view alphabet) { return alphabet.find(c) != std::string_view::npos; }

} // namespace

void tzvParser::readPoolTips()
{
    std::uint32_t count = 0;
    for (; count < maximumFenuTips; ++count) {
        nextTag();
        if (currentTag != "fenuTipp")
            break;
        readText();
        checkFenuRow();
        nextTag();
        expectTag("/fenuTipp");
    }
    if (count == 0)
        failAtItem(kavrin::messages::elementDetail, kavrin::codes::noTips,
            [&] { return kavrin::reasons::noTips(gameType, "fenuTipp", currentTag); });
    if (count == maximumFenuTips) {
        nextTag();
        checkTipCount("fenuTipp", maximumFenuTips);
    }
    if (currentTag == "brakelTipp")
        checkBrakelTip();
}

// 18 symbols of "12X-" with single commas, the first five not '-', exactly
// five '-' in all.
void tzvParser::checkFenuRow() const
{
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    const std::string& text = currentText;
    const std::size_t length = text.size();
    std::uint32_t dashes = 0;
    for (std::size_t i = 0; i < fenuSymbols; ++i) {
        if (length < (i + 1 < fenuSymbols ? 2 * i + 2 : fenuLength))
            failInText(length, codes::badPoolRow, [&] { return reasons::poolRowTooShort(length); });
        const char symbol = text[2 * i];
        if (symbol == '-')
            ++dashes;
        const bool dashAllowed = i >= fenuSureSymbols && dashes <= fenuDashes;
        if (!isOneOf(symbol, dashAllowed ? "12X-" : "12X")) {
            if (symbol != '-')
                failInText(2 * i, codes::badPoolSymbol, [&] { return reasons::poolSymbol(i + 1, characterAt(2 * i)); });
            if (i < fenuSureSymbols)
                failInText(2 * i, codes::badPoolSymbol, [&] { return reasons::poolDashInFirstFive(i + 1); });
            failInText(2 * i, codes::wrongDashCount, [&] { return reasons::poolSixthDash(i + 1); });
        }
        if (i + 1 < fenuSymbols && text[2 * i + 1] != ',')
            failInText(
                2 * i + 1, codes::badPoolRow, [&] { return reasons::poolSeparator(i + 1, characterAt(2 * i + 1)); });
    }
    if (dashes != fenuDashes)
        failInText(0, codes::wrongDashCount, [&] { return reasons::poolDashCount(dashes); });
    if (length > fenuLength)
        failInText(fenuLength, codes::badPoolRow, [&] { return reasons::poolRowTooLong(textFrom(fenuLength)); });
}

void tzvParser::checkBrakelTip()
{
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    readText();
    const std::string& text = currentText;
    const std::size_t length = text.size();
    for (std::size_t i = 0; i < brakelPairs; ++i) {
        const std::size_t p = 3 * i;
        if (length < (i + 1 < brakelPairs ? p + 3 : brakelLength))
            failInText(length, codes::badBrakelTip, [&] { return reasons::brakelTooShort(length); });
        if (!isOneOf(text[p], "012+"))
            failInText(p, codes::badBrakelTip, [&] { return reasons::brakelSymbol(i + 1, characterAt(p)); });
        if (!isOneOf(text[p + 1], "012+"))
            failInText(p + 1, codes::badBrakelTip, [&] { return reasons::brakelSymbol(i + 1, characterAt(p + 1)); });
        if (i + 1 < brakelPairs && text[p + 2] != ',')
            failInText(p + 2, codes::badBrakelTip, [&] { return reasons::brakelSeparator(i + 1, characterAt(p + 2)); });
    }
    if (length > brakelLength)
        failInText(brakelLength, codes::badBrakelTip, [&] { return reasons::brakelTooLong(textFrom(brakelLength)); });
    closeElement("/brakelTipp");
}
