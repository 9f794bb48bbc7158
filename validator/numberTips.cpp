#include "checker.h"
#include "codes.h"
#include "messages.h"
#include "reasons.h"

namespace {

constexpr std::uint32_t maximumZiroTips = 12;
constexpr std::uint32_t maximumVexTips = 10;

} // namespace

void kavrin::detail::checker::readZiroTips()
{
    for (std::uint32_t count = 0; count < maximumZiroTips; ++count) {
        nextTag();
        if (currentTag != "ziroTipp") {
            if (count == 0)
                failAtItem(kavrin::messages::elementDetail, kavrin::codes::noTips,
                    [&] { return kavrin::reasons::noTips(kavrin::numberOf(gameType), "ziroTipp", currentTag); });
            return;
        }
        readValue([this](std::string_view text) { return kavrin::rules::numberList(currentTag, text, 6, 45); });
        nextTag();
        expectTag("/ziroTipp");
        ++summary.tips;
    }
    nextTag();
    checkTipCount("ziroTipp", maximumZiroTips);
}

void kavrin::detail::checker::readVexTips()
{
    for (std::uint32_t count = 0; count < maximumVexTips; ++count) {
        nextTag();
        if (currentTag != "tipp") {
            if (count == 0)
                failAtItem(kavrin::messages::elementDetail, kavrin::codes::noTips,
                    [&] { return kavrin::reasons::noTips(kavrin::numberOf(gameType), "tipp", currentTag); });
            return;
        }
        nextTag();
        expectTag("vexTippZahl");
        readValue([this](std::string_view text) { return kavrin::rules::numberList(currentTag, text, 5, 50); });
        nextTag();
        expectTag("/vexTippZahl");
        nextTag();
        expectTag("vexTippStern");
        readValue([this](std::string_view text) { return kavrin::rules::numberList(currentTag, text, 2, 12); });
        nextTag();
        expectTag("/vexTippStern");
        nextTag();
        expectMatchingTag("/tipp");
        ++summary.tips;
    }
    nextTag();
    checkTipCount("tipp", maximumVexTips);
}

// After the most tips a ticket may hold, only its end may follow; a further
// tip is named as such.
void kavrin::detail::checker::checkTipCount(std::string_view tipElement, std::uint32_t limit)
{
    if (currentTag != tipElement)
        return;
    keep(Error(kavrin::messages::leadIn, tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn),
        kavrin::messages::elementDetail, kavrin::codes::tooManyTips,
        kavrin::reasons::tooManyTips(kavrin::numberOf(gameType), limit, tipElement)));
    skipToEndOfTicket();
}

// The tips after the most a ticket holds are passed over up to its end tag;
// the markup of what is passed over is still read.
void kavrin::detail::checker::skipToEndOfTicket()
{
    while (currentTag != "/schein" && currentTag != "/uvra") {
        readText();
        nextTag();
    }
}
