#include "checker.h"
#include "codes.h"
#include "messages.h"
#include "reasons.h"

#include <string_view>

namespace {

constexpr std::uint32_t maximumFenuTips = 13;

} // namespace

void kavrin::detail::checker::readPoolTips()
{
    std::uint32_t count = 0;
    for (; count < maximumFenuTips; ++count) {
        nextTag();
        if (currentTag != "fenuTipp")
            break;
        readValue(kavrin::rules::fenuRow);
        nextTag();
        expectTag("/fenuTipp");
        ++summary.tips;
    }
    if (count == 0)
        failAtItem(kavrin::messages::elementDetail, kavrin::codes::noTips,
            [&] { return kavrin::reasons::noTips(kavrin::numberOf(gameType), "fenuTipp", currentTag); });
    if (count == maximumFenuTips) {
        nextTag();
        checkTipCount("fenuTipp", maximumFenuTips);
    }
    if (currentTag == "brakelTipp")
        readBrakelTip();
}

void kavrin::detail::checker::readBrakelTip()
{
    readValue(kavrin::rules::brakelTip);
    closeElement("/brakelTipp");
    ++summary.goalScoreTips;
}
