#include "writing.h"

#include "diagnostics.h"
#include "format.h"
#include "formatter.h"
#include "kavrin.h"
#include "layout.h"
#include "outline.h"
#include "reasonText.h"
#include "utf8.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace kavrin::lsp {

namespace {

    using nlohmann::json;
    using tagScan::tag;

    // Completion item kinds and text formats of the protocol.
    constexpr int propertyItem = 10;
    constexpr int valueItem = 12;
    constexpr int plainText = 1;
    constexpr int snippetText = 2;

    using layout::commentClose;
    using layout::commentOpen;
    using layout::declarationStart;
    using layout::instructionOpen;
    using utf8::blanks;
    // A version written for a game: its major version, minor 0.
    constexpr std::string_view minorZero = ".0";
    constexpr std::string_view variantOpen = " (";
    constexpr std::string_view variantClose = ")";
    constexpr std::uint64_t nowhere = UINT64_MAX;

    constexpr const format::element& gameTypeRow = format::row("wsArt");
    constexpr const format::element& versionRow = format::row("versionsNr");

    // What the text says of its game and interface version, as far as it
    // says it.
    struct fileFacts {
        game id = game::none;
        std::optional<std::uint32_t> major;
    };

    std::optional<std::uint32_t> leadingNumber(std::string_view text)
    {
        std::uint32_t value = 0;
        const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || rest == text.data())
            return std::nullopt;
        return value;
    }

    fileFacts factsOf(std::string_view text, const std::vector<tag>& tags)
    {
        fileFacts facts;
        for (const tag& t : tags) {
            if (t.closing || (t.name != gameTypeRow.name && t.name != versionRow.name))
                continue;
            const std::size_t end = std::min(text.find('<', t.end), text.size());
            const std::optional<std::uint32_t> number = leadingNumber(utf8::trimmed(text.substr(t.end, end - t.end)));
            if (t.name == versionRow.name && !facts.major)
                facts.major = number;
            else if (t.name == gameTypeRow.name && facts.id == game::none && number
                && format::rulesOf(static_cast<game>(*number)) != nullptr)
                facts.id = static_cast<game>(*number);
        }
        return facts;
    }

    bool selfClosed(std::string_view text, const tag& t)
    {
        return t.end >= 2 && text[t.end - 1] == '>' && text[t.end - 2] == '/';
    }

    bool isNameCharacter(char c) { return utf8::isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    // Where a completion goes and what stands around it.
    struct place {
        enum class kind { none, elements, value } what = kind::none;
        // The edit replaces these bytes: a tag being typed, or a value.
        std::size_t from = 0;
        std::size_t to = 0;
        // The element the place is in (empty at the top of the file), and
        // the names of its children before and after the place.
        std::string_view parent;
        std::vector<std::string_view> before;
        std::vector<std::string_view> after;
    };

    place placeAt(std::string_view text, const std::vector<tag>& tags, std::size_t offset)
    {
        place found;
        const std::size_t next = static_cast<std::size_t>(std::lower_bound(tags.begin(), tags.end(), offset,
                                                              [](const tag& t, std::size_t at) { return t.start < at; })
            - tags.begin());
        std::size_t readUpTo = next; // the tags before the place
        found.from = found.to = offset;
        // A tag without its '>' ends where the next one begins, or at the
        // end of the text: the place at its end is still in it.
        const bool inTag
            = next > 0 && (offset < tags[next - 1].end || (offset == tags[next - 1].end && text[offset - 1] != '>'));
        if (inTag) {
            // A start tag being typed: its name so far, and nothing after
            // the place but blanks.
            const tag& typed = tags[next - 1];
            const std::string_view name = text.substr(typed.start + 1, offset - typed.start - 1);
            const std::string_view rest = text.substr(offset, typed.end - offset);
            if (typed.closing || !std::all_of(name.begin(), name.end(), isNameCharacter)
                || rest.find_first_not_of(blanks) != std::string_view::npos)
                return found;
            found.from = typed.start;
            readUpTo = next - 1;
        } else {
            // Not inside a comment or the declaration, which the tags pass over.
            const std::size_t since = next > 0 ? tags[next - 1].end : 0;
            const std::string_view between = text.substr(since, offset - since);
            const std::size_t comment = between.rfind(commentOpen);
            const std::size_t instruction = between.rfind(instructionOpen);
            if ((comment != std::string_view::npos
                    && between.find(commentClose, comment + commentOpen.size()) == std::string_view::npos)
                || (instruction != std::string_view::npos && between.find('>', instruction) == std::string_view::npos))
                return found;
        }

        struct openElement {
            std::string_view name;
            std::size_t contentStart = 0;
            std::vector<std::string_view> children;
        };
        std::vector<openElement> open = { {} };
        for (std::size_t i = 0; i < readUpTo; ++i) {
            const tag& t = tags[i];
            if (t.closing) {
                if (open.size() > 1 && open.back().name == t.name)
                    open.pop_back();
                continue;
            }
            open.back().children.push_back(t.name);
            if (!selfClosed(text, t))
                open.push_back({ t.name, t.end, {} });
        }
        const openElement& in = open.back();
        const format::element* row = format::find(in.name);
        if (row != nullptr && layout::onOneLine(*row)) {
            // In a value: the whole of it on the place's line is replaced.
            const std::size_t lineEnd = text.find_first_of("\r\n", in.contentStart);
            const std::size_t end = std::min({ text.find('<', in.contentStart), lineEnd, text.size() });
            if (offset > end || in.name != gameTypeRow.name)
                return found;
            found.what = place::kind::value;
            found.from = in.contentStart;
            found.to = end;
            return found;
        }
        std::size_t depth = 0;
        for (std::size_t i = next; i < tags.size(); ++i) {
            const tag& t = tags[i];
            if (t.closing) {
                if (depth == 0)
                    break;
                --depth;
                continue;
            }
            if (depth == 0)
                found.after.push_back(t.name);
            if (!selfClosed(text, t))
                ++depth;
        }
        found.what = place::kind::elements;
        found.parent = in.name;
        found.before = in.children;
        return found;
    }

    // The elements the format allows at a place, in its order: what may
    // follow the child before it, up to the first one required there, no
    // further than the child after it, each no more often than it may stand.
    std::vector<const format::element*> allowedAt(const place& at, const fileFacts& facts)
    {
        std::vector<const format::element*> allowed;
        const format::element* last = at.before.empty() ? nullptr : format::find(at.before.back());
        if (!at.before.empty() && last == nullptr)
            return allowed;
        std::uint32_t run = 0;
        for (auto name = at.before.rbegin(); name != at.before.rend() && *name == at.before.back(); ++name)
            ++run;
        const format::element* following = at.after.empty() ? nullptr : format::find(at.after.front());
        const auto total = [&](std::string_view name) {
            return std::count(at.before.begin(), at.before.end(), name)
                + std::count(at.after.begin(), at.after.end(), name);
        };
        bool reached = last == nullptr;
        for (const format::element& e : format::elements) {
            if (e.parent != at.parent || !format::belongsTo(e, facts.id))
                continue;
            const bool isLast = &e == last;
            if (!reached && !isLast)
                continue;
            reached = true;
            if (following != nullptr && &e > following)
                break;
            if (total(e.name) < e.maxOccurs && (!facts.major || e.sinceVersion <= *facts.major))
                allowed.push_back(&e);
            if ((isLast ? run : 0) < e.minOccurs || &e == following)
                break;
        }
        return allowed;
    }

    // Whether what an element holds when written depends on the game: a
    // version, a game type, or a required child of one game.
    constexpr bool dependsOnGame(const format::element& e)
    {
        if (e.value == format::valueKind::version || e.value == format::valueKind::gameType)
            return true;
        for (const format::element& child : format::elements)
            if (child.parent == e.name && child.minOccurs > 0
                && (child.inGames != format::everyGame || dependsOnGame(child)))
                return true;
        return false;
    }

    // An element written in the layout, with what it must hold, as a
    // snippet with a placeholder for each value and as the text its
    // placeholders give.
    class elementWriter {
    public:
        elementWriter(bool snippets, std::string_view lineEnd)
            : snippets(snippets)
            , lineEnd(lineEnd)
        {
        }

        void add(std::string_view text)
        {
            snippet.append(snippets ? escaped(text) : std::string(text));
            plain.append(text);
        }

        void element(const format::element& e, game g, bool first)
        {
            if (!first)
                newLine(layout::depthOf(e));
            add("<" + std::string(e.name) + ">");
            if (layout::onOneLine(e)) {
                placeholder(valueOf(e, g));
            } else {
                for (const format::element& child : format::elements)
                    if (child.parent == e.name && child.minOccurs > 0 && format::belongsTo(child, g))
                        element(child, g, false);
                newLine(layout::depthOf(e));
            }
            add("</" + std::string(e.name) + ">");
        }

        void newLine(std::size_t depth)
        {
            add(lineEnd);
            for (std::size_t level = 0; level < depth; ++level)
                add(layout::indentUnit);
        }

        std::string snippet;
        std::string plain;

    private:
        static std::string escaped(std::string_view text)
        {
            std::string out;
            for (const char c : text) {
                if (c == '$' || c == '}' || c == '\\')
                    out.push_back('\\');
                out.push_back(c);
            }
            return out;
        }

        static std::string valueOf(const format::element& e, game g)
        {
            const format::gameRules* rules = format::rulesOf(g);
            if (rules != nullptr && e.value == format::valueKind::version)
                return reasons::number(rules->majorVersion) + std::string(minorZero);
            if (rules != nullptr && e.value == format::valueKind::gameType)
                return reasons::number(numberOf(g));
            return std::string(e.example);
        }

        void placeholder(const std::string& value)
        {
            if (snippets)
                snippet.append("${" + std::to_string(++placeholders) + ":" + escaped(value) + "}");
            else
                snippet.append(value);
            plain.append(value);
        }

        bool snippets;
        std::string_view lineEnd;
        int placeholders = 0;
    };

    // The first place the check fails at; nowhere for a correct text.
    std::uint64_t firstFault(std::string_view bytes)
    {
        const result checked = check(source::bytes(bytes));
        if (checked.valid())
            return nowhere;
        return checked.violations.front().line == 0 ? 0 : checked.violations.front().offset;
    }

    // Whether replacing the bytes from..to with an item lets the check fail
    // no earlier than before: than in the text, and than in the text without
    // what the item replaces (a tag half typed).
    class faultFloor {
    public:
        faultFloor(std::string_view text, std::size_t from, std::size_t to)
            : text(text)
            , from(from)
            , to(to)
        {
            floor = firstFault(text);
            if (from == to)
                return;
            const std::uint64_t without = firstFault(std::string(text.substr(0, from)).append(text.substr(to)));
            floor = std::max(floor, without == nowhere || without < from ? without : without + (to - from));
        }

        bool keeps(std::string_view inserted) const
        {
            const std::uint64_t fault
                = firstFault(std::string(text.substr(0, from)).append(inserted).append(text.substr(to)));
            const std::uint64_t moved = fault == nowhere || fault < from ? fault
                : fault >= from + inserted.size()                        ? fault - inserted.size() + (to - from)
                                                                         : from;
            return moved >= floor;
        }

    private:
        std::string_view text;
        std::size_t from;
        std::size_t to;
        std::uint64_t floor = nowhere;
    };

    json item(std::string label, std::string_view detail, std::string_view filter, int kind, std::size_t order,
        const json& range, const elementWriter& text, bool snippets)
    {
        return { { "label", std::move(label) }, { "kind", kind }, { "detail", detail },
            { "sortText", reasons::twoDigits(static_cast<std::uint32_t>(order)) }, { "filterText", filter },
            { "insertTextFormat", snippets ? snippetText : plainText },
            { "textEdit", { { "range", range }, { "newText", text.snippet } } } };
    }

} // namespace

json completionAt(const textVersion& text, editorPosition at, bool snippets)
{
    const std::string_view bytes = text.text();
    const std::vector<tag>& tags = text.tags();
    const place where = placeAt(bytes, tags, text.lines().offsetOf(at));
    json items = json::array();
    if (where.what == place::kind::none)
        return items;
    const fileFacts facts = factsOf(bytes, tags);
    const faultFloor floor(bytes, where.from, where.to);
    const json range = rangeOfBytes(text.lines(), where.from, where.to);
    const std::string_view lineEnd = layout::textOf(layout::lineEndOf(bytes));

    if (where.what == place::kind::value) {
        for (const format::gameRules& game : format::gameTable) {
            elementWriter value(false, lineEnd);
            value.add(reasons::number(numberOf(game.id)));
            if (floor.keeps(value.plain))
                items.push_back(
                    item(value.plain, game.title, value.plain, valueItem, items.size(), range, value, false));
        }
        return items;
    }

    // The line of the place: the blanks before it, and whether more follows
    // it there.
    const std::size_t lineStart = bytes.find_last_of("\r\n", where.from == 0 ? std::string_view::npos : where.from - 1);
    const std::size_t indentFrom = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    const std::string_view indent = bytes.substr(indentFrom, where.from - indentFrom);
    const std::size_t restEnd = std::min(bytes.find_first_of("\r\n", where.to), bytes.size());
    const bool onItsOwnLine = indent.find_first_not_of(" \t") == std::string_view::npos;
    const bool moreOnLine = utf8::trimmed(bytes.substr(where.to, restEnd - where.to)).size() > 0;
    const bool declared = utf8::holdsAt(bytes, 0, declarationStart);

    for (const format::element* allowed : allowedAt(where, facts)) {
        const format::element& e = *allowed;
        std::vector<game> variants;
        if (facts.id == game::none && dependsOnGame(e)) {
            for (const format::gameRules& game : format::gameTable)
                if (format::belongsTo(e, game.id))
                    variants.push_back(game.id);
        } else {
            variants.push_back(facts.id);
        }
        // On a line of its own, the element starts at its depth's
        // indentation: what the blanks before it lack is added.
        std::string canonical;
        for (std::size_t level = 0; level < layout::depthOf(e); ++level)
            canonical += layout::indentUnit;
        const bool lacking = onItsOwnLine && canonical.size() > indent.size() && canonical.starts_with(indent);
        for (const game g : variants) {
            elementWriter written(snippets, lineEnd);
            if (lacking)
                written.add(std::string_view(canonical).substr(indent.size()));
            if (e.parent.empty() && where.from == 0 && !declared) {
                written.add(layout::declaration);
                written.add(lineEnd);
            }
            written.element(e, g, true);
            if (where.to == bytes.size())
                written.add(lineEnd);
            else if (moreOnLine && onItsOwnLine) {
                written.add(lineEnd);
                written.add(indent);
            }
            if (!floor.keeps(written.plain))
                continue;
            std::string label = "<" + std::string(e.name) + ">";
            std::string detail(e.description);
            if (variants.size() > 1) {
                const std::string title(format::rulesOf(g)->title);
                label += std::string(variantOpen) + title + std::string(variantClose);
                detail += std::string(variantOpen) + title + std::string(variantClose);
            }
            json entry = item(std::move(label), detail, "<" + std::string(e.name), propertyItem, items.size(), range,
                written, snippets);
            entry["documentation"] = { { "kind", "markdown" }, { "value", elementHelp(e) } };
            items.push_back(std::move(entry));
        }
    }
    return items;
}

std::optional<json> formattingEdits(const textVersion& text)
{
    const std::string_view bytes = text.text();
    const formatResult formatted = formatBytes(bytes);
    if (!formatted.formatted)
        return std::nullopt;
    json edits = json::array();
    const std::string_view after = formatted.bytes;
    if (after == bytes)
        return edits;
    // One edit of what lies between the part both begin with and the part
    // both end with, in whole characters.
    std::size_t start = 0;
    while (start < bytes.size() && start < after.size() && bytes[start] == after[start])
        ++start;
    start = characterStart(bytes, start);
    std::size_t common = 0;
    while (common < bytes.size() - start && common < after.size() - start
        && bytes[bytes.size() - 1 - common] == after[after.size() - 1 - common])
        ++common;
    const std::size_t end = characterEnd(bytes, bytes.size() - common);
    const std::size_t afterEnd = after.size() - (bytes.size() - end);
    edits.push_back({ { "range", rangeOfBytes(text.lines(), start, end) },
        { "newText", std::string(after.substr(start, afterEnd - start)) } });
    return edits;
}

} // namespace kavrin::lsp
