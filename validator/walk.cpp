#include "checker.h"
#include "codes.h"
#include "format.h"
#include "messages.h"
#include "number.h"
#include "reasons.h"

#include <utility>

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
    readChildrenOf<format::indexOf(format::row("uvra")), format::indexOf(format::row("schein"))>();
    summary.gameType = numberOf(gameType);
}

// The walk is written once over the table and unrolled over its rows when it
// is compiled: an element's children, kind and limits are constants there,
// and no row is looked up while a file is read.

namespace {

    // each(k) for the constants k = 0, 1, … N - 1 in order, while it gives
    // true.
    template <std::size_t N, class Each> void whileEach(Each&& each)
    {
        [&]<std::size_t... K>(std::index_sequence<K...>)
        {
            static_cast<void>((each(std::integral_constant<std::size_t, K>()) && ...));
        }
        (std::make_index_sequence<N>());
    }

} // namespace

// Reads the children of element Parent in the format's order, each as
// readChild leaves it, up to element Stop.
template <std::size_t Parent, std::size_t Stop> void checker::readChildrenOf()
{
    static constexpr auto children = format::childrenOf<Parent>();
    whileEach<children.size()>([&](auto k) { return readChild<children[k], Stop>(); });
}

// Reads element I where it may stand, and the tag after it; false at Stop.
template <std::size_t I, std::size_t Stop> bool checker::readChild()
{
    if constexpr (I == Stop) {
        return false;
    } else {
        static constexpr const format::element& e = format::elements[I];
        if constexpr (e.inGames != format::everyGame)
            if ((e.inGames & format::maskOf(gameType)) == 0)
                return true;
        if constexpr (e.minOccurs == 0)
            if (currentTag != e.name)
                return true;
        expectTag(e.name);
        readBody<I>();
        nextTag();
        return true;
    }
}

// The tips of a ticket, the game's tip element as often as it may stand,
// then what may follow them (a goal-score tip).
void checker::readTips()
{
    whileEach<std::size(format::gameTable)>([&](auto g) {
        if (gameType != format::gameTable[g].id)
            return true;
        readTipsOf<format::indexOf(format::row(format::gameTable[g].tip))>();
        return false;
    });
}

template <std::size_t Tip> void checker::readTipsOf()
{
    static constexpr const format::element& tip = format::elements[Tip];
    std::uint32_t count = 0;
    for (; count < tip.maxOccurs; ++count) {
        nextTag();
        if (currentTag != tip.name)
            break;
        readBody<Tip>();
    }
    if (count == 0)
        failAtItem(messages::elementDetail, codes::noTips,
            [&] { return reasons::noTips(numberOf(gameType), tip.name, currentTag); });
    if (count == tip.maxOccurs) {
        nextTag();
        checkTipCount(tip);
    }
    // What may follow the tips in a ticket of the game.
    static constexpr auto after = format::childrenOf<format::parentIndex[Tip]>();
    whileEach<after.size()>([&](auto k) {
        static constexpr std::size_t next = after[k];
        if constexpr (next > Tip && (format::elements[next].inGames & tip.inGames) != 0)
            if (currentTag == format::elements[next].name) {
                readBody<next>();
                nextTag();
            }
        return true;
    });
}

// An element from its start tag to its end tag: its value, or the elements
// it holds.
template <std::size_t I> void checker::readBody()
{
    static constexpr const format::element& e = format::elements[I];
    if constexpr (e.value == format::valueKind::none) {
        enter(e);
        nextTag();
        readChildrenOf<I, std::size(format::elements)>();
        expectMatchingEnd();
        leave();
    } else {
        noteChild(e);
        openValue = &e;
        if constexpr (e.sinceVersion > 0)
            if (e.sinceVersion > majorVersion)
                keep(Error(messages::leadIn, tokenLine, tokenColumn, offsetInToken({}, 0, tokenColumn),
                    messages::elementDetail, codes::ziroPlusNeedsVersion4,
                    reasons::ziroPlusNeedsVersion4(versionText, numberOf(gameType))));
        readValueOf<I>();
        nextTag();
        expectEnd();
        openValue = nullptr;
        count(e);
    }
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

template <std::size_t I> void checker::readValueOf()
{
    using format::valueKind;
    static constexpr const format::element& e = format::elements[I];
    if constexpr (e.value == valueKind::version) {
        readVersion();
    } else if constexpr (e.value == valueKind::number) {
        readNumber(e.minimum, e.maximum);
    } else if constexpr (e.value == valueKind::gameType) {
        readValue([this](std::string_view text) { return rules::gameType(text, gameType); });
        if (!rules::versionFitsGame(majorVersion, gameType))
            raiseAt(versionPlace.line, versionPlace.column, versionPlace.offset,
                { 0, codes::versionMismatch, reasons::versionMismatch(versionText, numberOf(gameType)) });
    } else if constexpr (e.value == valueKind::duration) {
        readValue([this](std::string_view text) { return rules::duration(text, gameType); });
    } else if constexpr (e.value == valueKind::filterCodes) {
        readValue(rules::filter);
    } else if constexpr (e.value == valueKind::numberList) {
        readValue([this](std::string_view text) { return rules::numberList(currentTag, text, e.count, e.maximum); });
    } else if constexpr (e.value == valueKind::poolRow) {
        readValue(rules::fenuRow);
    } else if constexpr (e.value == valueKind::goalScoreTip) {
        readValue(rules::brakelTip);
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
