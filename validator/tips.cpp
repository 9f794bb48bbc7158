#include "checker.h"
#include "codes.h"
#include "format.h"
#include "messages.h"
#include "reasons.h"

namespace kavrin::detail {

// The tips of a ticket, the game's tip element as often as it may stand,
// then what may follow them (a goal-score tip).
void checker::readTips()
{
    const format::element& tip = format::row(format::rulesOf(gameType)->tip);
    std::uint32_t count = 0;
    for (; count < tip.maxOccurs; ++count) {
        nextTag();
        if (currentTag != tip.name)
            break;
        readTip(tip);
    }
    if (count == 0)
        failAtItem(messages::elementDetail, codes::noTips,
            [&] { return reasons::noTips(numberOf(gameType), tip.name, currentTag); });
    if (count == tip.maxOccurs) {
        nextTag();
        checkTipCount(tip);
    }
    bool afterTip = false;
    for (const format::element& e : format::elements) {
        if (&e == &tip)
            afterTip = true;
        else if (afterTip && e.parent == tip.parent && format::belongsTo(e, gameType) && currentTag == e.name)
            readElement(e);
    }
}

// One tip, from its start tag to its end tag: a value, or a group of values.
void checker::readTip(const format::element& tip)
{
    enter(tip);
    if (tip.value == format::valueKind::none) {
        nextTag();
        readChildren({});
        expectMatchingEnd();
    } else {
        readValueOf(tip);
        nextTag();
        expectEnd();
    }
    leave();
}

// After the most tips a ticket may hold, only its end may follow; a further
// tip is named as such.
void checker::checkTipCount(const format::element& tip)
{
    if (currentTag != tip.name)
        return;
    keep(Error(messages::leadIn, tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn), messages::elementDetail,
        codes::tooManyTips, reasons::tooManyTips(numberOf(gameType), tip.maxOccurs, tip.name)));
    skipToEndOfTicket();
}

// The tips after the most a ticket holds are passed over up to its end tag;
// the markup of what is passed over is still read.
void checker::skipToEndOfTicket()
{
    while (currentTag != "/schein" && currentTag != "/uvra") {
        readText();
        nextTag();
    }
}

} // namespace kavrin::detail
