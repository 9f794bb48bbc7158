#include "checker.h"
#include "codes.h"
#include "messages.h"
#include "reasons.h"

namespace {

constexpr unsigned maximumTickets = 1000;

} // namespace

void kavrin::detail::checker::readDocument(std::uint64_t start)
{
    namespace text = kavrin::messages;
    checkEncoding(start);
    readHeader();

    summary.gameType = kavrin::numberOf(gameType);
    summary.version = versionText;
    if (currentTag == "wimbel") {
        seenOptional |= seenWimbel;
        summary.wimbel = true;
        readWimbelBlock();
        expectMatchingTag("/wimbel");
        nextTag();
    }
    if (currentTag == "ziroPlus") {
        seenOptional |= seenZiroPlus;
        summary.ziroPlus = true;
        if (majorVersion < 4)
            keep(Error(text::leadIn, tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn), text::elementDetail,
                kavrin::codes::ziroPlusNeedsVersion4,
                kavrin::reasons::ziroPlusNeedsVersion4(versionText, kavrin::numberOf(gameType))));
        readNumber(0, 1);
        closeElement("/ziroPlus");
    }

    expectMatchingTag("schein");
    unsigned tickets = 0;
    do {
        if (tickets == maximumTickets)
            throw Error(text::sizeOrCount, kavrin::codes::tooManyTickets,
                kavrin::reasons::tooManyTickets(maximumTickets, tokenLine));
        if (gameType == kavrin::game::sixOf45)
            readZiroTips();
        else if (gameType == kavrin::game::fivePlusTwo)
            readVexTips();
        else
            readPoolTips();
        expectMatchingTag("/schein");
        nextTag();
        ++tickets;
    } while (currentTag == "schein");
    summary.tickets = tickets;

    expectMatchingTag("/uvra");
    skipWhitespace();
    const int next = input.peek();
    if (next == kavrin::textReader::endOfInput)
        return;
    const std::string found = foundRun(input.get(), false);
    failAtItem(next == '<' ? text::elementDetail : text::unclosedDetail, kavrin::codes::contentAfterRoot,
        [&] { return kavrin::reasons::contentAfterRoot(found); });
}
