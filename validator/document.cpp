#include "checker.h"
#include "codes.h"
#include "format.h"
#include "messages.h"
#include "reasons.h"

namespace kavrin::detail {

void checker::readDocument(std::uint64_t start)
{
    checkEncoding(start);
    readHeader();
    // A game without rules has no tips to read: what follows would be read
    // on a guess. Its version already said so.
    if (format::rulesOf(gameType) == nullptr)
        throw stopChecking {};

    const format::element& ticket = format::row("schein");
    expectMatchingTag(ticket.name);
    do {
        if (summary.tickets == ticket.maxOccurs)
            throw Error(
                messages::sizeOrCount, codes::tooManyTickets, reasons::tooManyTickets(ticket.maxOccurs, tokenLine));
        enter(ticket);
        readTips();
        expectMatchingEnd();
        leave();
        nextTag();
    } while (currentTag == ticket.name);

    expectMatchingEnd();
    skipWhitespace();
    const int next = input.peek();
    if (next == textReader::endOfInput)
        return;
    const std::string found = foundRun(input.get(), false);
    failAtItem(next == '<' ? messages::elementDetail : messages::unclosedDetail, codes::contentAfterRoot,
        [&] { return reasons::contentAfterRoot(found); });
}

} // namespace kavrin::detail
