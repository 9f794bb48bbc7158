#include "formatter.h"

#include "format.h"
#include "kavrin.h"
#include "layout.h"
#include "repairSteps.h"
#include "utf8.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace kavrin {

namespace {

    using layout::commentClose;
    using layout::commentOpen;
    using layout::declarationStart;
    using layout::instructionClose;
    using utf8::blanks;

    // One item of markup: where it stands, and for a tag its element's name.
    struct item {
        std::size_t start = 0;
        std::size_t end = 0;
        std::string_view name; // empty for a comment or an instruction
        bool closing = false;
        bool empty = false; // <x/>
    };

    // The item of markup at a '<', or none where it is cut off or a '<'
    // stands inside it.
    std::optional<item> itemAt(std::string_view text, std::size_t at)
    {
        const auto through = [&](std::string_view close) -> std::optional<item> {
            const std::size_t end = text.find(close, at);
            if (end == std::string_view::npos)
                return std::nullopt;
            item found;
            found.start = at;
            found.end = end + close.size();
            return found;
        };
        if (utf8::holdsAt(text, at, commentOpen))
            return through(commentClose);
        if (utf8::holdsAt(text, at, "<?"))
            return through(instructionClose);
        const std::size_t end = text.find_first_of("<>", at + 1);
        if (end == std::string_view::npos || text[end] != '>')
            return std::nullopt;
        item found;
        found.start = at;
        found.end = end + 1;
        found.closing = text[at + 1] == '/';
        found.empty = !found.closing && text[end - 1] == '/';
        const std::size_t nameStart = at + (found.closing ? 2 : 1);
        found.name = text.substr(nameStart, std::min(text.find_first_of(" \t\r\n/>", nameStart), end) - nameStart);
        return found;
    }

    bool holdsValue(std::string_view name)
    {
        const format::element* row = format::find(name);
        return row != nullptr && layout::onOneLine(*row);
    }

    // The layout of the text the check reads: every blank between items of
    // markup outside a value becomes a line end and the indentation of the
    // item after it. At the first thing it cannot place, the rest is kept.
    class layoutWriter {
    public:
        layoutWriter(std::string_view text, std::string_view lineEnd)
            : text(text)
            , lineEnd(lineEnd)
        {
        }

        std::string written() &&
        {
            if (!text.empty() && text.front() == '<' && !utf8::holdsAt(text, 0, declarationStart))
                out.append(layout::declaration);
            for (std::size_t at = 0;;) {
                const std::size_t next = text.find_first_not_of(blanks, at);
                if (next == std::string_view::npos)
                    break;
                const std::optional<item> found = text[next] == '<' ? itemAt(text, next) : std::nullopt;
                if (!found || (found->closing && (open.empty() || open.back() != found->name)))
                    return kept(at);
                if (found->closing)
                    open.pop_back();
                std::size_t end = found->end;
                if (!found->closing && !found->empty && !found->name.empty() && holdsValue(found->name)) {
                    // A value stands with its tags on one line, as it is.
                    const std::string endTag = "</" + std::string(found->name) + ">";
                    const std::size_t close = text.find(endTag, end);
                    if (close == std::string_view::npos)
                        return kept(at);
                    end = close + endTag.size();
                }
                if (!out.empty())
                    out.append(lineEnd);
                for (std::size_t level = 0; level < open.size(); ++level)
                    out.append(layout::indentUnit);
                out.append(text.substr(next, end - next));
                if (!found->closing && !found->empty && !found->name.empty() && end == found->end)
                    open.push_back(found->name);
                at = end;
            }
            // Every line ends with the line end, the last one too.
            if (!out.empty())
                out.append(lineEnd);
            return std::move(out);
        }

    private:
        std::string kept(std::size_t from)
        {
            out.append(text.substr(from));
            return std::move(out);
        }

        std::string_view text;
        std::string_view lineEnd;
        std::string out;
        std::vector<std::string_view> open;
    };

    // The codes of every violation, in order: what formatting keeps.
    std::vector<std::string_view> codesOf(std::string_view bytes)
    {
        std::vector<std::string_view> codes;
        for (const violation& found : check(source::bytes(bytes), { defaultMaxViolations }).violations)
            codes.push_back(found.code);
        return codes;
    }

} // namespace

formatResult formatBytes(std::string_view bytes)
{
    const std::size_t mark = utf8::holdsAt(bytes, 0, utf8::byteOrderMark) ? utf8::byteOrderMark.size() : 0;
    const std::string_view read = bytes.substr(mark, bytes.find(repairSteps::endOfText, mark) - mark);
    const std::string_view tail = bytes.substr(mark + read.size());
    std::string copy(bytes.substr(0, mark));
    copy += layoutWriter(read, layout::textOf(layout::lineEndOf(bytes))).written();
    copy += tail;
    if (codesOf(copy) != codesOf(bytes))
        return { std::string(bytes), false };
    return { std::move(copy), true };
}

} // namespace kavrin
