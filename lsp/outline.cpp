#include "outline.h"

#include "codes.h"
#include "diagnostics.h"
#include "protocol.h"
#include "reasonText.h"

#include <algorithm>
#include <vector>

namespace kavrin::lsp {

namespace {

    using nlohmann::json;
    using tagScan::tag;

    // Symbol kinds and the highlight kind of the protocol.
    constexpr int objectKind = 19;
    constexpr int arrayKind = 18;
    constexpr int textHighlight = 1;
    constexpr std::string_view regionFold = "region";

    constexpr const format::element& ticket = format::row("schein");

    constexpr std::string_view ticketName = "Schein ";
    constexpr std::string_view tipName = "Tipp ";
    constexpr std::string_view oneTip = "Tipp";
    constexpr std::string_view tips = "Tipps";
    constexpr std::string_view goalScoreTipName = "Torwette";
    constexpr std::string_view goalScoreTips = "Torwetten";
    constexpr std::string_view listSeparator = ", ";
    constexpr std::string_view valuesJoined = " + ";

    // The words of an element's help, joined with its numbers from the table.
    constexpr std::string_view holds = "Enthält ";
    constexpr std::string_view optional = "freiwillig ";
    constexpr std::string_view upTo = "bis zu ";
    constexpr std::string_view to = " bis ";
    constexpr std::string_view atGame = "bei Spielart ";
    constexpr std::string_view gamePartSeparator = "; ";
    constexpr std::string_view versionLead = "„Hauptversion.Unterversion“, die Hauptversion nach der Spielart: ";
    constexpr std::string_view versionMinor = ".x ";
    constexpr std::string_view numberFrom = "Eine Zahl von ";
    constexpr std::string_view gameTypeLead = "Zwei Ziffern: ";
    constexpr std::string_view durationLead = "Eine Zahl ab ";
    constexpr std::string_view durationUpTo = ", höchstens ";
    constexpr std::string_view filterLead = "Leer, oder 1 bis ";
    constexpr std::string_view filterCodes = " Codes aus je ";
    constexpr std::string_view filterCodeCharacters = " Ziffern oder Großbuchstaben, durch Kommas getrennt.";
    constexpr std::string_view listNumbers = " Zahlen von 01 bis ";
    constexpr std::string_view listRule = ", je zwei Ziffern, aufsteigend, durch Kommas getrennt.";
    constexpr std::string_view poolFields = " Felder, durch Kommas getrennt; die ersten ";
    constexpr std::string_view poolSure = " nicht -, genau ";
    constexpr std::string_view poolDashes = " - in allem.";
    constexpr std::string_view goalPairs = " Paare, durch Kommas getrennt.";
    constexpr std::string_view standsIn = "Steht in ";
    constexpr std::string_view once = ": genau einmal.";
    constexpr std::string_view atMostOnce = ": freiwillig, höchstens einmal.";
    constexpr std::string_view times = "-mal.";
    constexpr std::string_view sinceVersion = " Erst ab Version ";
    constexpr std::string_view example = "Beispiel: ";
    constexpr std::string_view fullStop = ".";

    constexpr std::string_view gameTypeThere = "Die Spielart, zu der die Version passen muss";
    constexpr std::string_view numberBefore = "Die Zahl davor";
    constexpr std::string_view unclosedElement = "Das Element, dessen End-Tag fehlt";

    std::string tagOf(std::string_view name) { return "`<" + std::string(name) + ">`"; }

    std::string counted(std::size_t n, std::string_view one, std::string_view many)
    {
        return reasons::number(n) + " " + std::string(n == 1 ? one : many);
    }

    // "freiwillig `<kundenNr>`", "1 bis 12 `<ziroTipp>`": a child as often
    // as it may stand.
    std::string childPart(const format::element& child)
    {
        std::string part;
        if (child.maxOccurs > 1)
            part = child.minOccurs == 0
                ? std::string(upTo) + reasons::number(child.maxOccurs) + " "
                : reasons::number(child.minOccurs) + std::string(to) + reasons::number(child.maxOccurs) + " ";
        else if (child.minOccurs == 0)
            part = optional;
        return part + tagOf(child.name);
    }

    // The children of an element in their order; those of one game alone
    // said per game.
    std::string childrenOf(const format::element& e)
    {
        std::string all;
        const auto append = [](std::string& to, std::string_view separator, std::string_view part) {
            to.append(to.empty() ? "" : separator).append(part);
        };
        for (const format::element& child : format::elements)
            if (child.parent == e.name && child.inGames == format::everyGame)
                append(all, listSeparator, childPart(child));
        for (const format::gameRules& game : format::gameTable) {
            std::string parts;
            for (const format::element& child : format::elements)
                if (child.parent == e.name && child.inGames == game.mask)
                    append(parts, listSeparator, childPart(child));
            if (!parts.empty())
                append(all, gamePartSeparator, std::string(atGame) + reasons::number(numberOf(game.id)) + ": " + parts);
        }
        return std::string(holds) + all + std::string(fullStop);
    }

    // What the text of an element must be.
    std::string valueRule(const format::element& e)
    {
        using format::valueKind;
        std::string rule;
        switch (e.value) {
        case valueKind::none:
            return childrenOf(e);
        case valueKind::version:
            rule = versionLead;
            for (const format::gameRules& game : format::gameTable)
                rule.append(&game == format::gameTable ? "" : listSeparator)
                    .append(reasons::number(game.majorVersion))
                    .append(versionMinor)
                    .append(atGame)
                    .append(reasons::number(numberOf(game.id)));
            return rule + std::string(fullStop);
        case valueKind::number:
            return std::string(numberFrom) + reasons::number(e.minimum) + std::string(to) + reasons::number(e.maximum)
                + std::string(fullStop);
        case valueKind::gameType:
            rule = gameTypeLead;
            for (const format::gameRules& game : format::gameTable)
                rule.append(&game == format::gameTable ? "" : listSeparator)
                    .append(reasons::number(numberOf(game.id)))
                    .append(" (")
                    .append(game.title)
                    .append(")");
            return rule + std::string(fullStop);
        case valueKind::duration:
            rule = std::string(durationLead) + reasons::number(e.minimum) + std::string(durationUpTo);
            for (const format::gameRules& game : format::gameTable)
                rule.append(&game == format::gameTable ? "" : listSeparator)
                    .append(reasons::number(game.durationLimit))
                    .append(" ")
                    .append(atGame)
                    .append(reasons::number(numberOf(game.id)));
            return rule + std::string(fullStop);
        case valueKind::filterCodes:
            return std::string(filterLead) + reasons::number(e.maximum) + std::string(filterCodes)
                + reasons::number(e.count) + std::string(filterCodeCharacters);
        case valueKind::numberList:
            return reasons::number(e.count) + std::string(listNumbers) + reasons::twoDigits(e.maximum)
                + std::string(listRule);
        case valueKind::poolRow:
            return reasons::number(e.count) + std::string(poolFields) + reasons::number(e.minimum)
                + std::string(poolSure) + reasons::number(e.maximum) + std::string(poolDashes);
        case valueKind::goalScoreTip:
            return reasons::number(e.count) + std::string(goalPairs);
        }
        return rule;
    }

    // Where the element stands and how often.
    std::string occurrence(const format::element& e)
    {
        if (e.parent.empty())
            return {};
        std::string said = std::string(standsIn) + tagOf(e.parent);
        if (e.maxOccurs == 1)
            said += e.minOccurs == 1 ? once : atMostOnce;
        else
            said += ": " + reasons::number(e.minOccurs) + std::string(to) + reasons::number(e.maxOccurs)
                + std::string(times);
        if (e.sinceVersion > 0)
            said += std::string(sinceVersion) + reasons::number(e.sinceVersion) + std::string(fullStop);
        return said;
    }

    bool isTip(std::string_view name)
    {
        const format::element* row = format::find(name);
        return row != nullptr && row->parent == ticket.name;
    }

    bool isGoalScoreTip(std::string_view name)
    {
        const format::element* row = format::find(name);
        return row != nullptr && row->counted == &fileSummary::goalScoreTips;
    }

    // The values inside a tip, joined: "01,02,03,04,05 + 01,02" for a <tipp>.
    std::string valuesBetween(std::string_view text, const std::vector<tag>& tags, std::size_t from, std::size_t to)
    {
        std::string values;
        for (std::size_t i = from; i + 1 <= to && i + 1 < tags.size(); ++i) {
            if (tags[i].closing || tags[i + 1].name != tags[i].name || !tags[i + 1].closing)
                continue;
            if (!values.empty())
                values += valuesJoined;
            values += text.substr(tags[i].end, tags[i + 1].start - tags[i].end);
        }
        return values;
    }

    // An element of the text by its tags: the index of its start tag, and
    // of its end tag or of the tag it is cut off at.
    struct elementTags {
        std::size_t start = 0;
        std::size_t end = 0;
        bool closed = false;
    };

    // Each tip of each <schein> in the text, then the <schein> itself.
    template <class Ticket, class Tip> void forEachTicket(const std::vector<tag>& tags, Ticket onTicket, Tip onTip)
    {
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (tags[i].closing || tags[i].name != ticket.name)
                continue;
            std::size_t j = i + 1;
            for (; j < tags.size() && tags[j].name != ticket.name; ++j) {
                if (tags[j].closing || !isTip(tags[j].name))
                    continue;
                std::size_t k = j + 1;
                while (k < tags.size() && !(tags[k].closing && tags[k].name == tags[j].name) && !isTip(tags[k].name)
                    && tags[k].name != ticket.name)
                    ++k;
                const bool closed = k < tags.size() && tags[k].closing && tags[k].name == tags[j].name;
                onTip(elementTags { j, k, closed });
                if (closed)
                    j = k;
            }
            const bool closed = j < tags.size() && tags[j].closing;
            onTicket(elementTags { i, j, closed });
            i = closed ? j : j - 1;
        }
    }

    // Where the part of tags from start ends: after the closing tag, or
    // where the tag it is cut off at begins.
    std::size_t endOf(const std::vector<tag>& tags, const elementTags& part, std::size_t textSize)
    {
        return part.closed ? tags[part.end].end : part.end < tags.size() ? tags[part.end].start : textSize;
    }

    // The tag at a place: on it, or in the text right after a start tag.
    const tag* tagAt(const std::vector<tag>& tags, std::size_t offset)
    {
        const auto after = std::upper_bound(
            tags.begin(), tags.end(), offset, [](std::size_t at, const tag& t) { return at < t.start; });
        if (after == tags.begin())
            return nullptr;
        const tag& found = *(after - 1);
        return offset < found.end || !found.closing ? &found : nullptr;
    }

} // namespace

std::string elementHelp(const format::element& e)
{
    std::string help = "**" + tagOf(e.name) + "** " + std::string(e.description) + "\n\n" + valueRule(e);
    if (const std::string where = occurrence(e); !where.empty())
        help += "\n\n" + where;
    if (!e.example.empty())
        help += "\n\n" + std::string(example) + "`" + std::string(e.example) + "`";
    return help;
}

std::string documentSymbols(const textVersion& text)
{
    const std::vector<tag>& tags = text.tags();
    const std::size_t size = text.text().size();
    protocol::jsonText symbols;
    protocol::jsonText tipSymbols;
    std::size_t ticketCount = 0;
    std::size_t tipCount = 0;
    std::size_t goalCount = 0;
    // A symbol's kind, its range and the range of its start tag.
    const auto place = [&](protocol::jsonText& out, int kind, const elementTags& element) {
        const lineIndex& lines = text.lines();
        const editorPosition start = lines.positionOf(tags[element.start].start);
        out.raw(",\"kind\":")
            .number(static_cast<std::uint64_t>(kind))
            .raw(",\"range\":")
            .range(start, lines.positionOf(characterEnd(text.text(), endOf(tags, element, size))))
            .raw(",\"selectionRange\":")
            .range(start, lines.positionOf(characterEnd(text.text(), tags[element.start].end)));
    };
    forEachTicket(
        tags,
        [&](const elementTags& t) {
            std::string detail = counted(tipCount, oneTip, tips);
            if (goalCount > 0)
                detail += std::string(listSeparator) + counted(goalCount, goalScoreTipName, goalScoreTips);
            ++ticketCount;
            symbols.raw(ticketCount == 1 ? "{\"name\":" : ",{\"name\":")
                .string(std::string(ticketName) + reasons::number(ticketCount))
                .raw(",\"detail\":")
                .string(detail);
            place(symbols, objectKind, t);
            symbols.raw(",\"children\":[").raw(tipSymbols.text).raw("]}");
            tipSymbols.text.clear();
            tipCount = goalCount = 0;
        },
        [&](const elementTags& tip) {
            const bool goals = isGoalScoreTip(tags[tip.start].name);
            const bool first = tipCount + goalCount == 0;
            (goals ? goalCount : tipCount) += 1;
            tipSymbols.raw(first ? "{\"name\":" : ",{\"name\":")
                .string(goals ? std::string(goalScoreTipName) : std::string(tipName) + reasons::number(tipCount))
                .raw(",\"detail\":")
                .string(valuesBetween(text.text(), tags, tip.start, tip.end));
            place(tipSymbols, arrayKind, tip);
            tipSymbols.raw("}");
        });
    return "[" + symbols.text + "]";
}

json hoverAt(const textVersion& text, editorPosition at)
{
    const tag* found = tagAt(text.tags(), text.lines().offsetOf(at));
    const format::element* row = found != nullptr ? format::find(found->name) : nullptr;
    if (row == nullptr)
        return nullptr;
    return { { "contents", { { "kind", "markdown" }, { "value", elementHelp(*row) } } },
        { "range", rangeOfBytes(text.lines(), found->start, found->end) } };
}

json foldingRanges(const textVersion& text)
{
    const std::vector<tag>& tags = text.tags();
    json ranges = json::array();
    forEachTicket(
        tags,
        [&](const elementTags& t) {
            if (!t.closed)
                return;
            const std::uint32_t first = text.lines().positionOf(tags[t.start].start).line;
            const std::uint32_t last = text.lines().positionOf(tags[t.end].start).line;
            if (last > first)
                ranges.push_back({ { "startLine", first }, { "endLine", last }, { "kind", regionFold } });
        },
        [](const elementTags&) {});
    return ranges;
}

json highlightsAt(const textVersion& text, editorPosition at)
{
    const std::vector<tag>& tags = text.tags();
    const std::size_t offset = text.lines().offsetOf(at);
    const tag* found = tagAt(tags, offset);
    json highlights = json::array();
    if (found == nullptr || offset >= found->end)
        return highlights;
    const auto add = [&](const tag& t) {
        highlights.push_back({ { "range", rangeOfBytes(text.lines(), t.start, t.end) }, { "kind", textHighlight } });
    };
    add(*found);
    // The partner at the same depth of tags of its name.
    const std::ptrdiff_t step = found->closing ? -1 : 1;
    std::size_t depth = 0;
    for (std::ptrdiff_t i = (found - tags.data()) + step; i >= 0 && i < static_cast<std::ptrdiff_t>(tags.size());
         i += step) {
        const tag& t = tags[static_cast<std::size_t>(i)];
        if (t.name != found->name)
            continue;
        if (t.closing == found->closing)
            ++depth;
        else if (depth == 0) {
            add(t);
            break;
        } else
            --depth;
    }
    return highlights;
}

json relatedPlaces(const std::string& uri, const textVersion& text, std::string_view code, std::uint64_t offset)
{
    const std::string_view bytes = text.text();
    json related = json::array();
    const auto add = [&](std::size_t start, std::size_t end, std::string_view message) {
        related.push_back({ { "location", { { "uri", uri }, { "range", rangeOfBytes(text.lines(), start, end) } } },
            { "message", std::move(message) } });
    };
    if (offset > bytes.size())
        return related;
    if (code == codes::versionMismatch) {
        for (const tag& t : text.tags())
            if (!t.closing && t.name == format::row("wsArt").name) {
                const std::size_t valueEnd = std::min(bytes.find('<', t.end), bytes.size());
                add(t.end, valueEnd, gameTypeThere);
                break;
            }
    } else if (code == codes::numbersNotAscending) {
        const std::size_t comma = offset > 0 ? bytes.rfind(',', offset - 1) : std::string_view::npos;
        if (comma != std::string_view::npos && comma > 0) {
            const std::size_t start = bytes.find_last_of(",>", comma - 1);
            add(start == std::string_view::npos ? 0 : start + 1, comma, numberBefore);
        }
    } else if (code == codes::missingEndTag) {
        std::vector<const tag*> open;
        for (const tag& t : text.tags()) {
            if (t.start >= offset)
                break;
            if (!t.closing)
                open.push_back(&t);
            else if (!open.empty() && open.back()->name == t.name)
                open.pop_back();
        }
        if (!open.empty())
            add(open.back()->start, open.back()->end, unclosedElement);
    }
    return related;
}

} // namespace kavrin::lsp
