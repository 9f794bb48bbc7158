#include "checker.h"
#include "codes.h"
#include "format.h"
#include "messages.h"
#include "number.h"
#include "reasons.h"

namespace kavrin::detail {

void checker::readNumber(std::uint32_t minimum, std::uint32_t maximum)
{
    readValue([&](std::string_view text) { return rules::numberIn(currentTag, text, minimum, maximum); });
}

void checker::enter(const format::element& e)
{
    if (depth > 0) {
        openElement& parent = open[depth - 1];
        parent.lastChildCount = parent.lastChild == &e ? parent.lastChildCount + 1 : 1;
        parent.lastChild = &e;
    }
    open[depth++] = { &e, nullptr, 0 };
    if (e.noted != nullptr)
        summary.*e.noted = true;
}

void checker::leave()
{
    const format::element& e = *open[--depth].row;
    if (e.counted != nullptr)
        ++(summary.*e.counted);
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
                messages::elementDetail, codes::ziroPlusNeedsVersion4, reasons::ziroPlusNeedsVersion4(versionText)));
        readValueOf(e);
        nextTag();
        expectEnd();
    }
    leave();
    nextTag();
}

void checker::readValueOf(const format::element& e)
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

} // namespace kavrin::detail
