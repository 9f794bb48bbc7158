#include "checker.h"
#include "codes.h"
#include "format.h"
#include "messages.h"
#include "number.h"
#include "reasons.h"

// The document walk: the elements in the order the format table gives them,
// each read as its row says.
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

void checker::readHeader()
{
    const bool startsWithMarkup = input.peek() == '<';
    readMarkup();
    documentStarted = true;
    if ((startsWithMarkup && checkXmlDeclaration()) || isComment())
        nextTag();
    expectMatchingTag("uvra");
    enter(format::row("uvra"));
    nextTag();
    readChildren("schein");
    summary.gameType = numberOf(gameType);
}

// Reads the children of the element the walk is in, in the format's order,
// up to the first that is stopAt; each as readElement leaves it.
void checker::readChildren(std::string_view stopAt)
{
    const std::string_view parent = open[depth - 1].row->name;
    for (const format::element& e : format::elements) {
        if (e.parent != parent || !format::belongsTo(e, gameType))
            continue;
        if (e.name == stopAt)
            return;
        if (e.minOccurs == 0 && currentTag != e.name)
            continue;
        expectTag(e.name);
        readElement(e);
    }
}

// Reads the element whose start tag is the current tag, up to its end tag,
// and the tag after it.
void checker::readElement(const format::element& e)
{
    enter(e);
    if (e.value == format::valueKind::none) {
        nextTag();
        readChildren({});
        expectMatchingEnd();
    } else {
        if (e.sinceVersion > majorVersion)
            keep(Error(messages::leadIn, tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn),
                messages::elementDetail, codes::ziroPlusNeedsVersion4,
                reasons::ziroPlusNeedsVersion4(versionText, numberOf(gameType))));
        readValueOf(e);
        nextTag();
        expectEnd();
    }
    leave();
    nextTag();
}

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
inline void checker::readTip(const format::element& tip)
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

inline void checker::readValueOf(const format::element& e)
{
    using format::valueKind;
    switch (e.value) {
    case valueKind::version:
        readVersion();
        break;
    case valueKind::number:
        readNumber(e.minimum, e.maximum);
        break;
    case valueKind::gameType:
        readValue([this](std::string_view text) { return rules::gameType(text, gameType); });
        if (!rules::versionFitsGame(majorVersion, gameType))
            raiseAt(versionPlace.line, versionPlace.column, versionPlace.offset,
                { 0, codes::versionMismatch, reasons::versionMismatch(versionText, numberOf(gameType)) });
        break;
    case valueKind::duration:
        readValue([this](std::string_view text) { return rules::duration(text, gameType); });
        break;
    case valueKind::filterCodes:
        readValue(rules::filter);
        break;
    case valueKind::numberList:
        readValue([&](std::string_view text) { return rules::numberList(currentTag, text, e.count, e.maximum); });
        break;
    case valueKind::poolRow:
        readValue(rules::fenuRow);
        break;
    case valueKind::goalScoreTip:
        readValue(rules::brakelTip);
        break;
    case valueKind::none:
        break;
    }
    if (collected != nullptr) [[unlikely]]
        collect(e);
}

void checker::readNumber(std::uint32_t minimum, std::uint32_t maximum)
{
    readValue([&](std::string_view text) { return rules::numberIn(currentTag, text, minimum, maximum); });
}

// The version is held to the game once the game is read.
void checker::readVersion()
{
    readText();
    versionText = currentText;
    // Neither conversion of the version leaves an overflow behind for later
    // value checks: a major version too large saturates and fails the version
    // rule, an overlong minor part is never used.
    const unsignedConversion major = toUnsigned32(versionText);
    majorVersion = major.value;
    minorVersion
        = major.end < versionText.size() ? toUnsigned32(std::string_view(versionText).substr(major.end + 1)).value : 0;
    versionPlace = { tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn) };
    summary.version = versionText;
}

} // namespace kavrin::detail
