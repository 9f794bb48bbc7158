#include "repair.h"

#include "codes.h"
#include "reasons.h"
#include "repairSteps.h"
#include "repairTexts.h"
#include "tagScan.h"
#include "tzvParser.h"
#include "utf8.h"

#include <algorithm>
#include <set>

namespace kavrin {

namespace {

    constexpr std::string_view encodingCodes[] = { codes::wrongFirstBytes, codes::nulByte, codes::invalidUtf8 };
    constexpr std::string_view valueCodes[] = {
        codes::notANumber,
        codes::valueOutOfRange,
        codes::unknownGameType,
        codes::badFilter,
        codes::tooManyFilterCodes,
        codes::badNumberList,
        codes::numberOutOfRange,
        codes::numbersNotAscending,
        codes::badPoolRow,
        codes::badPoolSymbol,
        codes::wrongDashCount,
        codes::badBrakelTip,
    };
    constexpr std::string_view tagCodes[] = { codes::unexpectedElement, codes::missingEndTag, codes::noTips };
    // Each round repairs something or ends the repair; this only bounds a
    // fault of the repair itself.
    constexpr int mostRounds = 64;
    constexpr std::string_view rootEndTag = "</uvra>";

    template <std::size_t n> bool isOneOf(std::string_view code, const std::string_view (&among)[n])
    {
        return std::find(std::begin(among), std::end(among), code) != std::end(among);
    }

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

    // Only <name>text</name> with nothing else between the tags.
    std::vector<valueSpan> valueSpans(std::string_view text)
    {
        std::vector<valueSpan> spans;
        const std::vector<tagScan::tag> tags = tagScan::tagsOf(text);
        for (std::size_t i = 0; i + 1 < tags.size(); ++i) {
            const tagScan::tag& open = tags[i];
            const tagScan::tag& close = tags[i + 1];
            if (open.closing || !close.closing || close.name != open.name || !repairSteps::hasValueRules(open.name)
                || !tagScan::isPlain(text, open) || !tagScan::isPlain(text, close)
                || text.substr(open.end, close.start - open.end).find('<') != std::string_view::npos)
                continue;
            spans.push_back({ open.end, close.start, open.name });
        }
        return spans;
    }

    const valueSpan* spanAt(const std::vector<valueSpan>& spans, std::uint64_t offset)
    {
        auto after = std::upper_bound(
            spans.begin(), spans.end(), offset, [](std::uint64_t at, const valueSpan& s) { return at < s.start; });
        if (after == spans.begin() || offset > std::prev(after)->end)
            return nullptr;
        return &*std::prev(after);
    }

    struct edit {
        std::size_t offset = 0;
        std::size_t length = 0;
        std::string replacement;
        repairChange change;
    };

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
            for (; at < offset && at < text.size(); ++at)
                if (text[at] == '\n') {
                    ++line;
                    lineStart = at + 1;
                }
            change.line = line;
            change.column = static_cast<std::uint32_t>(offset - lineStart + 1);
        }

    private:
        std::string_view text;
        std::size_t at = 0;
        std::size_t lineStart = 0;
        std::uint32_t line = 1;
    };

    class repairRun {
    public:
        explicit repairRun(std::string_view input)
            : bytes(input)
            , base(input)
        {
            parser.maxViolations = tzvParser::defaultMaxViolations;
            check();
        }

        bool correct() const { return parser.violations.empty(); }
        // The tail removed last is never read, so the last check holds.
        std::size_t violationsLeft() const { return parser.violations.size(); }

        void convertEncoding()
        {
            const std::string_view code = parser.code;
            if (!isOneOf(code, encodingCodes))
                return;
            std::optional<repairSteps::converted> text = repairSteps::toUtf8(bytes);
            if (!text || text->text.size() > tzvParser::maximumFileSize)
                return;
            changes.push_back({ 0, 0, 0, 0, std::string(code), std::string(repairTexts::savedAsUtf8),
                std::string(text->from), std::string(repairTexts::utf8) });
            bytes = std::move(text->text);
            base = bytes;
            converted = true;
            check();
        }

        bool repairRound()
        {
            std::vector<edit> edits = valueEdits();
            if (!edits.empty()) {
                apply(std::move(edits));
                check();
                return true;
            }
            return renameAtTagFault();
        }

        // A 0x1A after the document ends the input: what follows it is never
        // read. In a copy that is written anyway it goes.
        void removeTail()
        {
            const std::size_t tail = bytes.find('\x1A');
            if (changes.empty() || tail == std::string::npos)
                return;
            const std::size_t lastText = bytes.find_last_not_of(" \t\r\n", tail == 0 ? 0 : tail - 1);
            if (tail == 0 || lastText == std::string::npos || lastText + 1 < rootEndTag.size()
                || bytes.compare(lastText + 1 - rootEndTag.size(), rootEndTag.size(), rootEndTag) != 0)
                return;
            apply({ { tail, bytes.size() - tail, {},
                { 0, 0, 0, 0, {}, std::string(repairTexts::tailRemoved), bytes.substr(tail), {} } } });
        }

        std::string bytes;
        std::vector<repairChange> changes;

    private:
        // Where an applied edit stands now and where it stood in base.
        struct applied {
            std::size_t currentStart = 0;
            std::size_t currentEnd = 0;
            std::size_t baseStart = 0;
            std::size_t baseEnd = 0;
        };

        tzvParser parser;
        // The text the places of the changes refer to: the input, or the
        // input converted to UTF-8.
        std::string base;
        std::vector<applied> edited;
        bool converted = false;
        std::set<std::string> unrenamable;

        void check() { parser.checkBytes(bytes); }

        std::vector<edit> valueEdits()
        {
            std::vector<edit> edits;
            std::vector<valueSpan> spans;
            bool spansRead = false;
            for (const violation& found : parser.violations) {
                if (found.code == codes::unsupportedEncoding) {
                    if (auto declaration = declarationEdit(found))
                        edits.push_back(std::move(*declaration));
                    continue;
                }
                if (!isOneOf(found.code, valueCodes) || found.line == 0)
                    continue;
                if (!spansRead) {
                    spans = valueSpans(bytes);
                    spansRead = true;
                }
                const valueSpan* span = spanAt(spans, found.offset);
                if (span == nullptr || (!edits.empty() && edits.back().offset == span->start))
                    continue;
                const std::string_view text = std::string_view(bytes).substr(span->start, span->end - span->start);
                if (auto fix = repairSteps::repairedValue(span->element, text))
                    edits.push_back({ span->start, text.size(), fix->text,
                        { 0, 0, 0, 0, std::string(found.code), std::move(fix->what), std::string(text), fix->text } });
            }
            return edits;
        }

        // The declaration names another encoding: it is set to UTF-8 when the
        // bytes are UTF-8 for certain, converted here or plain ASCII.
        std::optional<edit> declarationEdit(const violation& found)
        {
            if (!converted && !isAscii(bytes))
                return std::nullopt;
            const std::optional<repairSteps::declarationFix> fix = repairSteps::declarationEncoding(bytes);
            if (!fix || fix->found == repairTexts::utf8)
                return std::nullopt;
            return edit { fix->offset, fix->found.size(), std::string(repairTexts::utf8),
                { 0, 0, 0, 0, std::string(found.code), std::string(repairTexts::declaredUtf8), fix->found,
                    std::string(repairTexts::utf8) } };
        }

        // The place in base of an offset in the current bytes; inside an
        // earlier edit, that edit's start or end.
        std::size_t baseOf(std::size_t current, bool isEnd) const
        {
            const auto after = std::upper_bound(edited.begin(), edited.end(), current,
                [](std::size_t at, const applied& a) { return at < a.currentStart; });
            if (after == edited.begin())
                return current;
            const applied& before = *std::prev(after);
            if (current < before.currentEnd || (current == before.currentStart && !isEnd))
                return isEnd ? before.baseEnd : before.baseStart;
            return current - before.currentEnd + before.baseEnd;
        }

        void apply(std::vector<edit> edits)
        {
            std::sort(edits.begin(), edits.end(), [](const edit& a, const edit& b) { return a.offset < b.offset; });
            placeCounter places(base);
            std::string out;
            out.reserve(bytes.size());
            std::vector<applied> now;
            std::size_t copied = 0;
            auto earlier = edited.begin();
            const auto keepEarlierBefore = [&](std::size_t offset) {
                for (; earlier != edited.end() && earlier->currentStart < offset; ++earlier) {
                    const std::ptrdiff_t shift
                        = static_cast<std::ptrdiff_t>(out.size()) - static_cast<std::ptrdiff_t>(copied);
                    now.push_back({ earlier->currentStart + shift, earlier->currentEnd + shift, earlier->baseStart,
                        earlier->baseEnd });
                }
            };
            for (edit& e : edits) {
                if (e.offset < copied)
                    continue;
                keepEarlierBefore(e.offset + 1);
                const std::size_t baseStart = baseOf(e.offset, false);
                const std::size_t baseEnd = std::max(baseStart, baseOf(e.offset + e.length, true));
                places.placeOf(baseStart, e.change);
                e.change.offset = baseStart;
                e.change.length = baseEnd - baseStart;
                out.append(bytes, copied, e.offset - copied);
                now.push_back({ out.size(), out.size() + e.replacement.size(), baseStart, baseEnd });
                out += e.replacement;
                copied = e.offset + e.length;
                changes.push_back(std::move(e.change));
            }
            out.append(bytes, copied);
            keepEarlierBefore(std::string::npos);
            std::sort(now.begin(), now.end(),
                [](const applied& a, const applied& b) { return a.currentStart < b.currentStart; });
            edited = std::move(now);
            bytes = std::move(out);
        }

        // An element name in the wrong letter case is spelled right wherever
        // it stands, when that takes the check past the place.
        bool renameAtTagFault()
        {
            const auto fault = std::find_if(parser.violations.begin(), parser.violations.end(),
                [](const violation& v) { return isOneOf(v.code, tagCodes); });
            if (fault == parser.violations.end() || fault->offset >= bytes.size() || bytes[fault->offset] != '<')
                return false;
            const std::size_t nameStart = fault->offset + (bytes.compare(fault->offset, 2, "</") == 0 ? 2 : 1);
            const std::size_t nameEnd = std::min(bytes.find_first_of(" \t\r\n/>", nameStart), bytes.size());
            const std::string name = bytes.substr(nameStart, nameEnd - nameStart);
            const std::string_view right = repairSteps::elementSpelled(name);
            if (right.empty() || unrenamable.count(name) != 0)
                return false;
            std::vector<edit> edits;
            const std::string_view code = fault->code;
            for (const tagScan::tag& t : tagScan::tagsOf(bytes))
                if (t.name == name)
                    edits.push_back({ t.start + (t.closing ? 2 : 1), name.size(), std::string(right),
                        { 0, 0, 0, 0, std::string(code), std::string(repairTexts::elementCase), name,
                            std::string(right) } });
            const std::uint64_t place = fault->offset;
            const std::string before = bytes;
            const std::size_t changesBefore = changes.size();
            const std::vector<applied> editedBefore = edited;
            apply(std::move(edits));
            check();
            const bool stillThere = std::any_of(parser.violations.begin(), parser.violations.end(),
                [place](const violation& v) { return v.offset == place && isOneOf(v.code, tagCodes); });
            if (!stillThere)
                return true;
            bytes = before;
            edited = editedBefore;
            changes.resize(changesBefore);
            unrenamable.insert(name);
            check();
            return false;
        }
    };

} // namespace

repairResult repairBytes(std::string_view bytes)
{
    repairRun run(bytes);
    if (run.correct())
        return { std::string(bytes), {}, 0 };
    run.convertEncoding();
    for (int round = 0; round < mostRounds && !run.correct() && run.repairRound(); ++round) { }
    run.removeTail();
    // In the order of the file, whatever round made them; the whole file first.
    std::stable_sort(run.changes.begin(), run.changes.end(), [](const repairChange& a, const repairChange& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return { std::move(run.bytes), std::move(run.changes), run.violationsLeft() };
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
    return change.what + ": " + reasons::quoted(change.before) + std::string(repairTexts::arrow)
        + (change.after.empty() ? std::string(repairTexts::nothing) : reasons::quoted(change.after));
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

std::string repairSummaryText(std::size_t changes, std::size_t violationsLeft)
{
    if (changes == 0)
        return std::string(violationsLeft == 0 ? repairTexts::nothingToRepair : repairTexts::nothingRepairedLeft);
    std::string text = changes == 1 ? std::string(repairTexts::oneChange)
                                    : std::to_string(changes) + std::string(repairTexts::changesAfterCount);
    if (violationsLeft == 0)
        return text + std::string(repairTexts::copyCorrect);
    if (violationsLeft == 1)
        return text + std::string(repairTexts::oneLeft);
    return text + std::string(repairTexts::leftBeforeCount) + std::to_string(violationsLeft)
        + std::string(repairTexts::leftAfterCount);
}

} // namespace kavrin
