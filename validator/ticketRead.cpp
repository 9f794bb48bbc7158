#include "checker.h"
#include "dataFields.h"
#include "number.h"

namespace kavrin {

reading read(const source& what, const options& how)
{
    reading out;
    ticketFile data;
    out.checked = detail::checkCollecting(what, how, &data);
    if (out.checked.valid())
        out.data = std::move(data);
    return out;
}

reading read(std::string_view bytes) { return read(source::bytes(bytes)); }

} // namespace kavrin

namespace kavrin::detail {

// A value that kept its rule, into the data: a tip into the ticket the walk
// is in, which is the one after those it has left.
void checker::collect(const format::element& e)
{
    if (!violations.empty())
        return;
    ticketFile& data = *collected;
    const std::string_view text = currentText;
    const auto thisTicket = [&]() -> ticket& {
        if (data.tickets.size() <= summary.tickets)
            data.tickets.resize(summary.tickets + 1);
        return data.tickets[summary.tickets];
    };
    using format::valueKind;
    switch (e.value) {
    case valueKind::version:
        data.version = text;
        break;
    case valueKind::gameType:
        data.gameType = numberOf(gameType);
        break;
    case valueKind::number:
    case valueKind::duration:
        kavrin::data::setNumber(data, e, toUnsigned32(text).value);
        break;
    case valueKind::filterCodes:
        data.filter = kavrin::data::split(text, e.count);
        break;
    case valueKind::numberList: {
        std::vector<numberTip>& tips = thisTicket().numberTips;
        if (&e == &kavrin::data::starsRow)
            tips.back().stars = kavrin::data::listValues(text);
        else
            tips.push_back({ kavrin::data::listValues(text), {} });
        break;
    }
    case valueKind::poolRow:
        thisTicket().poolRows.push_back(kavrin::data::rowSymbols(text));
        break;
    case valueKind::goalScoreTip:
        thisTicket().goalScoreTip = kavrin::data::split(text, kavrin::data::pairWidth);
        break;
    case valueKind::none:
        break;
    }
}

} // namespace kavrin::detail
