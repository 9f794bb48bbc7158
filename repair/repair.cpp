#include "repair.h"

#include "codes.h"
#include "reasonText.h"
#include "reasons.h"
#include "repairSteps.h"
#include "repairTexts.h"
#include "tagScan.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>

namespace kavrin {

namespace {

    // What the repair does at each code it acts on; it leaves every other.
    enum class fixKind { encoding, declaration, value, tag };
    struct repairableCode {
        std::string_view code;
        fixKind kind;
    };
    constexpr repairableCode repairableCodes[] = {
        { codes::wrongFirstBytes, fixKind::encoding },
        { codes::nulByte, fixKind::encoding },
        { codes::invalidUtf8, fixKind::encoding },
        { codes::unsupportedEncoding, fixKind::declaration },
        { codes::notANumber, fixKind::value },
        { codes::valueOutOfRange, fixKind::value },
        { codes::unknownGameType, fixKind::value },
        { codes::badFilter, fixKind::value },
        { codes::tooManyFilterCodes, fixKind::value },
        { codes::badNumberList, fixKind::value },
        { codes::numberOutOfRange, fixKind::value },
        { codes::numbersNotAscending, fixKind::value },
        { codes::badPoolRow, fixKind::value },
        { codes::badPoolSymbol, fixKind::value },
        { codes::wrongDashCount, fixKind::value },
        { codes::badBrakelTip, fixKind::value },
        { codes::unexpectedElement, fixKind::tag },
        { codes::missingEndTag, fixKind::tag },
        { codes::noTips, fixKind::tag },
    };

    bool fixedAs(std::string_view code, fixKind kind)
    {
        return std::any_of(std::begin(repairableCodes), std::end(repairableCodes),
            [&](const repairableCode& known) { return known.code == code && known.kind == kind; });
    }

    // After a violation in a value, of the number of tips or of ziroPlus the
    // check goes on; any other ends it, and what follows was never read.
    constexpr std::string_view goesOnCodes[]
        = { codes::versionMismatch, codes::tooManyTips, codes::ziroPlusNeedsVersion4 };

    bool checkGoesOnAfter(std::string_view code)
    {
        return fixedAs(code, fixKind::value)
            || std::find(std::begin(goesOnCodes), std::end(goesOnCodes), code) != std::end(goesOnCodes);
    }

    // Each round repairs something or ends the repair; this only bounds a
    // fault of the repair itself.
    constexpr int mostRounds = 64;
    constexpr std::string_view rootEndTag = "</uvra>";
    constexpr std::string_view ticketElement = "schein";
    constexpr std::string_view rootElement = "uvra";
    constexpr std::size_t nowhere = std::numeric_limits<std::size_t>::max();

    bool isAscii(std::string_view bytes)
    {
        return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }

    // The text of an element with value rules, between its tags.
    struct valueSpan {
        std::size_t start = 0;
        std::size_t end = 0;
        std::string_view element;
    };

    // The value a place the check named lies in, when it is <name>text</name>
    // with nothing else between the tags; the text holds no '<'.
    std::optional<valueSpan> valueSpanAt(std::string_view text, std::size_t offset)
    {
        const std::size_t end = text.find('<', offset);
        if (end == std::string_view::npos || end == 0)
            return std::nullopt;
        const std::size_t open = text.rfind('<', end - 1);
        const std::size_t openEnd = open == std::string_view::npos ? open : text.find('>', open);
        if (openEnd == std::string_view::npos || openEnd >= end || openEnd >= offset)
            return std::nullopt;
        const std::string_view element = text.substr(open + 1, openEnd - open - 1);
        if (!repairSteps::hasValueRules(element) || text.substr(end, 2) != "</"
            || text.substr(end + 2, element.size()) != element || text.substr(end + 2 + element.size(), 1) != ">")
            return std::nullopt;
        return valueSpan { openEnd + 1, end, element };
    }

    // "Zweites Dokument hinter 0x1A entfernt (171 Bytes, 1 <schein>)": how
    // much goes with a tail, and the tickets in it.
    std::string tailWhat(std::string_view tail)
    {
        bool document = false;
        std::size_t tickets = 0;
        for (const tagScan::tag& t : tagScan::tagsOf(tail)) {
            document = document || (!t.closing && t.name == rootElement);
            tickets += !t.closing && t.name == ticketElement ? 1 : 0;
        }
        std::string what = std::string(document ? repairTexts::secondDocumentRemoved : repairTexts::tailRemoved) + " ("
            + reasons::grouped(tail.size()) + std::string(tail.size() == 1 ? repairTexts::oneByte : repairTexts::bytes);
        if (tickets > 0)
            what += std::string(repairTexts::stepSeparator) + reasons::number(tickets)
                + std::string(repairTexts::tickets);
        return what + ")";
    }

    // The steps of a change as one sentence: the first opens it.
    std::string sentence(repairSteps::steps done, std::string_view tailText)
    {
        std::string what;
        for (unsigned each = 0; each < std::size(repairTexts::stepTexts); ++each) {
            const auto step = static_cast<repairSteps::step>(each);
            if ((done & repairSteps::bit(step)) == 0)
                continue;
            if (!what.empty())
                what += repairTexts::stepSeparator;
            what += step == repairSteps::step::tail ? tailText : repairTexts::stepTexts[each];
        }
        if (!what.empty() && what[0] >= 'a' && what[0] <= 'z')
            what[0] = static_cast<char>(what[0] - 'a' + 'A');
        return what;
    }

    // Line and column as the check counts them: a line ends at LF, a column
    // counts bytes.
    class placeCounter {
    public:
        explicit placeCounter(std::string_view text)
            : text(text)
        {
        }
        void placeOf(std::size_t offset, repairChange& change)
        {
            for (std::size_t next; (next = text.find('\n', at)) < offset; at = next + 1) {
                ++line;
                lineStart = next + 1;
            }
            at = offset;
            change.line = line;
            change.column = static_cast<std::uint32_t>(offset - lineStart + 1);
        }

    private:
        std::string_view text;
        std::size_t at = 0;
        std::size_t lineStart = 0;
        std::uint32_t line = 1;
    };

    // One fix to make, in the places of the copy as it is.
    struct edit {
        std::size_t offset = 0;
        std::size_t length = 0;
        std::string replacement;
        std::string_view code; // one of codes::
        repairSteps::steps done = 0;
        // Where the replacement stands in the copy once made; nowhere when
        // it was not made.
        std::size_t placedAt = nowhere;
        std::string renamedFrom; // the spelling a rename replaces
        // Of a value whose rule depends on nothing else: whether the new
        // text keeps it, and the violations the check found in the old.
        enum class settles { unknown, rule, notRule } after = settles::unknown;
        std::size_t violations = 0;
    };

    edit fixAt(
        std::size_t offset, std::size_t length, std::string replacement, std::string_view code, repairSteps::steps done)
    {
        edit made;
        made.offset = offset;
        made.length = length;
        made.replacement = std::move(replacement);
        made.code = code;
        made.done = done;
        return made;
    }

    // A place the copy differs from base: the bytes from baseStart to
    // baseEnd of base are now those from currentStart to currentEnd.
    struct region {
        std::size_t currentStart = 0;
        std::size_t currentEnd = 0;
        std::size_t baseStart = 0;
        std::size_t baseEnd = 0;
        std::string_view code;
        repairSteps::steps done = 0;
    };

    class repairRun {
    public:
        explicit repairRun(std::string_view input)
            : input(input)
            , base(input)
        {
            // Every violation, so that one round reaches every value.
            parser.maxViolations = std::numeric_limits<std::size_t>::max();
            check();
        }

        bool correct() const { return left == 0; }

        void convertEncoding()
        {
            if (!fixedAs(parser.code, fixKind::encoding))
                return;
            std::optional<repairSteps::converted> text = repairSteps::toUtf8(input);
            if (!text)
                return;
            if (text->text.size() > tzvParser::maximumFileSize) {
                ++leftOutWhole;
                return;
            }
            conversion = repairChange { 0, 0, 0, 0, parser.code, std::string(repairTexts::savedAsUtf8),
                std::string(text->from), std::string(repairTexts::utf8), changeKind::conversion };
            convertedText = std::move(text->text);
            base = convertedText;
            check();
        }

        // Makes every fix the last check allows at once, and checks again;
        // false when there was none.
        bool repairRound()
        {
            if (settled)
                return false;
            std::vector<edit> edits = valueEdits();
            const std::size_t renamesFrom = edits.size();
            appendRenames(edits);
            if (edits.empty())
                return false;
            apply(edits);
            // Tips and filters changed alone change nothing else the check
            // finds: where a new value keeps its rule, its violations go;
            // where not, one stays. The check need not run again.
            if (std::all_of(
                    edits.begin(), edits.end(), [](const edit& e) { return e.after != edit::settles::unknown; })) {
                for (const edit& e : edits)
                    if (e.placedAt != nowhere && e.after == edit::settles::rule)
                        left -= e.violations;
                settled = true;
                return true;
            }
            check();
            return keepRenamesPassed(edits, renamesFrom)
                || std::any_of(edits.begin(), edits.begin() + static_cast<std::ptrdiff_t>(renamesFrom),
                    [](const edit& e) { return e.placedAt != nowhere; });
        }

        // A 0x1A after the document ends the input: what follows it is never
        // read. In a copy that is written anyway it goes.
        void removeTail()
        {
            const std::string_view t = text();
            const std::size_t tail = t.find(repairSteps::endOfText);
            if ((regions.empty() && !conversion) || tail == std::string_view::npos)
                return;
            const std::string_view before = t.substr(0, tail);
            const std::size_t lastText = before.find_last_not_of(utf8::blanks);
            if (lastText == std::string_view::npos || !before.substr(0, lastText + 1).ends_with(rootEndTag))
                return;
            tailDescription = tailWhat(t.substr(tail));
            std::vector<edit> removal
                = { fixAt(tail, t.size() - tail, {}, {}, repairSteps::bit(repairSteps::step::tail)) };
            apply(removal);
        }

        repairResult result() &&
        {
            repairResult done;
            if (conversion)
                done.changes.push_back(*conversion);
            const std::string_view now = text();
            placeCounter places(base);
            for (const region& r : regions) {
                repairChange change { 0, 0, r.baseStart, r.baseEnd - r.baseStart, std::string(r.code),
                    sentence(r.done, tailDescription), std::string(base.substr(r.baseStart, r.baseEnd - r.baseStart)),
                    std::string(now.substr(r.currentStart, r.currentEnd - r.currentStart)),
                    r.done == repairSteps::bit(repairSteps::step::name) ? changeKind::rename : changeKind::fix };
                if (change.before == change.after)
                    continue;
                places.placeOf(r.baseStart, change);
                done.changes.push_back(std::move(change));
            }
            done.bytes = done.changes.empty() ? std::string(input)
                : edited                      ? std::move(bytes)
                                              : std::move(convertedText);
            done.violationsLeft = std::min(left, tzvParser::defaultMaxViolations);
            done.moreLeft = left > tzvParser::defaultMaxViolations;
            done.leftOut = leftOutWhole + leftOutPlaces.size();
            return done;
        }

    private:
        tzvParser parser;
        std::string_view input;
        // The text the places of the changes refer to: the input, or the
        // input converted to UTF-8.
        std::string convertedText;
        std::string_view base;
        std::optional<repairChange> conversion;
        // The copy once anything in base was changed, and where.
        std::string bytes;
        std::vector<region> regions;
        bool edited = false;
        std::set<std::string, std::less<>> unrenamable;
        std::size_t leftOutWhole = 0;
        std::string tailDescription;
        // The violations of the copy: of its last check, less those a
        // settled round took away.
        std::size_t left = 0;
        bool settled = false;
        std::set<std::size_t> leftOutPlaces; // in base

        std::string_view text() const { return edited ? std::string_view(bytes) : base; }

        void check()
        {
            parser.checkBytes(text());
            left = parser.violations.size();
        }

        // Where the check stopped before the end: the violation it ended at.
        std::uint64_t leftOffAt() const
        {
            for (const violation& found : parser.violations)
                if (!checkGoesOnAfter(found.code))
                    return found.line == 0 ? 0 : found.offset;
            return std::numeric_limits<std::uint64_t>::max();
        }

        // The bytes the check reads: up to a 0x1A.
        std::string_view readPart() const
        {
            const std::string_view t = text();
            return t.substr(0, t.find(repairSteps::endOfText));
        }

        std::vector<edit> valueEdits()
        {
            std::vector<edit> edits;
            std::unordered_map<std::size_t, std::size_t> editAt; // a value's start, its edit
            const std::string_view read = readPart();
            for (const violation& found : parser.violations) {
                if (fixedAs(found.code, fixKind::declaration)) {
                    if (auto declaration = declarationEdit(found))
                        edits.push_back(std::move(*declaration));
                    continue;
                }
                if (!fixedAs(found.code, fixKind::value) || found.line == 0)
                    continue;
                const std::optional<valueSpan> span = valueSpanAt(read, static_cast<std::size_t>(found.offset));
                if (!span)
                    continue;
                if (const auto known = editAt.find(span->start); known != editAt.end()) {
                    ++edits[known->second].violations;
                    continue;
                }
                const std::string_view value = read.substr(span->start, span->end - span->start);
                std::optional<repairSteps::valueFix> fix = repairSteps::repairedValue(span->element, value);
                if (!fix)
                    continue;
                editAt.emplace(span->start, edits.size());
                const std::optional<bool> keeps = repairSteps::keepsOwnRule(span->element, fix->text);
                edits.push_back(fixAt(span->start, value.size(), std::move(fix->text), found.code, fix->done));
                edits.back().after
                    = keeps ? (*keeps ? edit::settles::rule : edit::settles::notRule) : edit::settles::unknown;
                edits.back().violations = 1;
            }
            return edits;
        }

        // The declaration names another encoding: it is set to UTF-8 when the
        // bytes the check reads are UTF-8 for certain: converted here, ASCII,
        // or behind a UTF-8 byte-order mark (the check found them well-formed
        // before it read the declaration).
        std::optional<edit> declarationEdit(const violation& found) const
        {
            const std::string_view t = text();
            const bool marked = t.starts_with(utf8::byteOrderMark);
            if (!conversion && !marked && !isAscii(t.substr(0, t.find(repairSteps::endOfText))))
                return std::nullopt;
            const std::optional<repairSteps::declarationFix> fix = repairSteps::declarationEncoding(t);
            if (!fix || fix->found == repairTexts::utf8)
                return std::nullopt;
            return fixAt(fix->offset, fix->found.size(), std::string(repairTexts::utf8), found.code,
                repairSteps::bit(repairSteps::step::declaration));
        }

        // Where the check stopped at a tag whose name is a name of the format
        // in another letter case, every such spelling in the file is spelled
        // right at once. A spelling takes the code of the fault where the
        // check stopped at it, and otherwise the one it would give there.
        void appendRenames(std::vector<edit>& edits) const
        {
            const std::string_view t = readPart();
            const auto fault = std::find_if(parser.violations.begin(), parser.violations.end(),
                [](const violation& v) { return !checkGoesOnAfter(v.code); });
            if (fault == parser.violations.end() || !fixedAs(fault->code, fixKind::tag) || fault->offset >= t.size()
                || t[fault->offset] != '<')
                return;
            const std::size_t nameStart = fault->offset + (t.compare(fault->offset, 2, "</") == 0 ? 2 : 1);
            const std::string_view faultName
                = t.substr(nameStart, std::min(t.find_first_of(" \t\r\n/><", nameStart), t.size()) - nameStart);
            if (repairSteps::elementSpelled(faultName).empty() || unrenamable.count(faultName) != 0)
                return;
            std::unordered_map<std::string_view, std::string_view> codeOf;
            // A file has few names in many tags: each is looked up once.
            std::unordered_map<std::string_view, std::string_view> spelledAs;
            for (const tagScan::tag& tag : tagScan::tagsOf(t)) {
                const auto known = spelledAs.find(tag.name);
                const std::string_view right = known != spelledAs.end()
                    ? known->second
                    : spelledAs.emplace(tag.name, repairSteps::elementSpelled(tag.name)).first->second;
                if (right.empty() || unrenamable.count(tag.name) != 0)
                    continue;
                const std::string_view code = tag.name == faultName ? fault->code
                    : tag.closing                                   ? codes::missingEndTag
                                                                    : codes::unexpectedElement;
                edits.push_back(fixAt(tag.start + (tag.closing ? 2 : 1), tag.name.size(), std::string(right),
                    codeOf.try_emplace(tag.name, code).first->second, repairSteps::bit(repairSteps::step::name)));
                edits.back().renamedFrom = std::string(tag.name);
            }
        }

        // A spelling stays spelled right where the check now gets past its
        // first place; any other is spelled as it was again. Renames keep
        // the length of a name, so nothing else moves.
        bool keepRenamesPassed(const std::vector<edit>& edits, std::size_t renamesFrom)
        {
            const std::uint64_t stop = leftOffAt();
            std::unordered_map<std::string_view, std::size_t> firstAt;
            for (std::size_t i = renamesFrom; i < edits.size(); ++i)
                if (edits[i].placedAt != nowhere) {
                    const auto at = firstAt.try_emplace(edits[i].renamedFrom, edits[i].placedAt).first;
                    at->second = std::min(at->second, edits[i].placedAt);
                }
            std::set<std::size_t> reverted;
            for (std::size_t i = renamesFrom; i < edits.size(); ++i) {
                const edit& rename = edits[i];
                if (rename.placedAt == nowhere || firstAt.at(rename.renamedFrom) < stop)
                    continue;
                bytes.replace(rename.placedAt, rename.renamedFrom.size(), rename.renamedFrom);
                reverted.insert(rename.placedAt);
                unrenamable.insert(rename.renamedFrom);
            }
            if (reverted.empty())
                return !firstAt.empty();
            // Each rename is a region of its own: a name touches no value.
            std::erase_if(regions, [&](const region& r) { return reverted.count(r.currentStart) != 0; });
            check();
            return std::any_of(
                firstAt.begin(), firstAt.end(), [&](const auto& spelling) { return spelling.second < stop; });
        }

        // The place in base of a place in the copy; inside a change, its start.
        std::size_t baseAt(std::size_t current) const
        {
            const auto after = std::upper_bound(regions.begin(), regions.end(), current,
                [](std::size_t at, const region& r) { return at < r.currentStart; });
            if (after == regions.begin())
                return current;
            const region& before = *std::prev(after);
            return current < before.currentEnd ? before.baseStart : current - before.currentEnd + before.baseEnd;
        }

        // The edits that keep the copy within the size limit: those that do
        // not make it longer, then the others in file order while they fit.
        std::vector<edit*> withinLimit(const std::vector<edit*>& edits)
        {
            const auto grows = [](const edit* e) {
                return static_cast<std::ptrdiff_t>(e->replacement.size()) - static_cast<std::ptrdiff_t>(e->length);
            };
            std::ptrdiff_t size = static_cast<std::ptrdiff_t>(text().size());
            for (const edit* e : edits)
                size += std::min<std::ptrdiff_t>(grows(e), 0);
            std::vector<edit*> kept;
            for (edit* e : edits) {
                if (grows(e) > 0) {
                    if (size + grows(e) > static_cast<std::ptrdiff_t>(tzvParser::maximumFileSize)) {
                        leftOutPlaces.insert(baseAt(e->offset));
                        continue;
                    }
                    size += grows(e);
                }
                kept.push_back(e);
            }
            return kept;
        }

        // Makes the edits that fit, in one pass over the copy. An edit that
        // meets an earlier change, or another edit, becomes one change with
        // them: from the bytes of base to the bytes now written.
        void apply(std::vector<edit>& edits)
        {
            std::vector<edit*> order;
            for (edit& e : edits)
                order.push_back(&e);
            std::stable_sort(
                order.begin(), order.end(), [](const edit* a, const edit* b) { return a->offset < b->offset; });
            std::vector<edit*> made;
            for (edit* e : order)
                if (made.empty() || e->offset >= made.back()->offset + made.back()->length)
                    made.push_back(e);
            made = withinLimit(made);
            if (made.empty())
                return;

            const std::string_view old = text();
            std::string out;
            out.reserve(old.size() + old.size() / 64);
            std::vector<region> next;
            next.reserve(regions.size() + made.size());
            std::size_t copied = 0;
            std::size_t r = 0;
            // How far the copy's places stand from base's after the regions passed.
            std::ptrdiff_t shift = 0;
            const auto pass = [&](const region& g) {
                shift += static_cast<std::ptrdiff_t>(g.currentEnd - g.currentStart)
                    - static_cast<std::ptrdiff_t>(g.baseEnd - g.baseStart);
            };
            const auto moveRegionsBefore = [&](std::size_t limit) {
                for (; r < regions.size() && regions[r].currentEnd < limit; ++r) {
                    pass(regions[r]);
                    region moved = std::move(regions[r]);
                    const std::size_t length = moved.currentEnd - moved.currentStart;
                    moved.currentStart = out.size() + (moved.currentStart - copied);
                    moved.currentEnd = moved.currentStart + length;
                    next.push_back(std::move(moved));
                }
            };
            for (std::size_t i = 0; i < made.size(); ++i) {
                moveRegionsBefore(made[i]->offset);
                // The edit with every region and edit it meets, and those they meet.
                std::size_t start = made[i]->offset;
                std::size_t end = start + made[i]->length;
                const std::size_t firstRegion = r;
                const std::size_t firstEdit = i;
                for (bool grew = true; grew;) {
                    grew = false;
                    for (; r < regions.size() && regions[r].currentStart <= end; ++r, grew = true) {
                        start = std::min(start, regions[r].currentStart);
                        end = std::max(end, regions[r].currentEnd);
                    }
                    for (; i + 1 < made.size() && made[i + 1]->offset <= end; ++i, grew = true)
                        end = std::max(end, made[i + 1]->offset + made[i + 1]->length);
                }
                region merged;
                merged.baseStart = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(start) - shift);
                for (std::size_t k = firstRegion; k < r; ++k)
                    pass(regions[k]);
                merged.baseEnd = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(end) - shift);

                out.append(old.substr(copied, start - copied));
                merged.currentStart = out.size();
                std::size_t at = start;
                for (std::size_t k = firstEdit; k <= i; ++k) {
                    edit& e = *made[k];
                    out.append(old.substr(at, e.offset - at));
                    e.placedAt = out.size();
                    out += e.replacement;
                    at = e.offset + e.length;
                }
                out.append(old.substr(at, end - at));
                merged.currentEnd = out.size();
                copied = end;

                // The code of what it holds first in the file, and all steps.
                std::size_t firstAt = nowhere;
                const auto take = [&](std::size_t at, std::string_view code, repairSteps::steps done) {
                    if (!code.empty() && at < firstAt) {
                        firstAt = at;
                        merged.code = code;
                    }
                    merged.done |= done;
                };
                for (std::size_t k = firstRegion; k < r; ++k)
                    take(regions[k].currentStart, regions[k].code, regions[k].done);
                for (std::size_t k = firstEdit; k <= i; ++k)
                    take(made[k]->offset, made[k]->code, made[k]->done);
                next.push_back(std::move(merged));
            }
            moveRegionsBefore(nowhere);
            out.append(old.substr(copied));
            regions = std::move(next);
            bytes = std::move(out);
            edited = true;
        }
    };

} // namespace

repairResult repairBytes(std::string_view bytes)
{
    repairRun run(bytes);
    if (run.correct())
        return { std::string(bytes), {}, 0, 0 };
    run.convertEncoding();
    for (int round = 0; round < mostRounds && !run.correct() && run.repairRound(); ++round) { }
    run.removeTail();
    return std::move(run).result();
}

bool mayBeRepairable(std::string_view code)
{
    return std::any_of(std::begin(repairableCodes), std::end(repairableCodes),
        [&](const repairableCode& known) { return known.code == code; });
}

std::string repairedName(std::string_view name)
{
    constexpr std::string_view extension = ".tzv";
    const bool hasExtension = name.size() >= extension.size()
        && utf8::equalIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
    const std::string_view stem = hasExtension ? name.substr(0, name.size() - extension.size()) : name;
    return std::string(stem) + std::string(repairTexts::copySuffix) + std::string(extension);
}

std::string changeWhat(const repairChange& change)
{
    std::string text = change.what;
    text.append(": ").append(reasons::quoted(change.before)).append(repairTexts::arrow);
    return change.after.empty() ? text.append(repairTexts::nothing) : text.append(reasons::quoted(change.after));
}

std::string changeText(const repairChange& change)
{
    std::string text = change.line == 0 ? std::string(repairTexts::wholeFile)
                                        : std::string(repairTexts::line) + std::to_string(change.line)
            + std::string(repairTexts::column) + std::to_string(change.column);
    text += ": " + changeWhat(change);
    if (!change.code.empty())
        text += " [" + change.code + "]";
    return text;
}

std::string repairSummaryText(std::size_t changes, std::size_t violationsLeft, std::size_t leftOut, bool moreLeft)
{
    std::string omitted;
    if (leftOut > 0)
        omitted = (leftOut == 1 ? std::string(repairTexts::oneLeftOut)
                                : std::string(repairTexts::leftOutBeforeCount) + std::to_string(leftOut)
                              + std::string(repairTexts::leftOutAfterCount))
            + std::string(repairTexts::leftOutWhy);
    if (changes == 0 && leftOut > 0)
        return std::string(repairTexts::nothingRepaired) + omitted + std::string(repairTexts::fullStop);
    if (changes == 0)
        return std::string(violationsLeft == 0 ? repairTexts::nothingToRepair : repairTexts::nothingRepairedLeft);
    std::string text = (changes == 1 ? std::string(repairTexts::oneChange)
                                     : std::to_string(changes) + std::string(repairTexts::changesAfterCount))
        + omitted;
    if (violationsLeft == 0)
        return text + std::string(repairTexts::copyCorrect);
    if (violationsLeft == 1 && !moreLeft)
        return text + std::string(repairTexts::oneLeft);
    return text + std::string(repairTexts::leftBeforeCount) + std::string(moreLeft ? repairTexts::atLeast : "")
        + std::to_string(violationsLeft) + std::string(repairTexts::leftAfterCount);
}

} // namespace kavrin
