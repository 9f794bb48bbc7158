#include "errorExcerpt.h"
#include "excerptDisplay.h"
#include "fuzzInput.h"
#include "terminalReport.h"
#include "tzvParser.h"

using kavrin::fuzzing::require;

// The excerpt of whatever place the check reports stays within its text,
// and the terminal form shows it in any window.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static tzvParser parser;
    parser.checkBytes(bytes);
    if (parser.errorLine == 0)
        return 0;
    errorExcerpt excerpt(bytes);
    excerpt.extract(parser.errorLine, parser.errorColumn);
    require(excerpt.markedInputBytes <= size);
    require(!excerpt.marked.empty());
    // A place the reader never reaches (a declaration broken over lines is
    // checked at fixed columns of its first line) shows the end of the file
    // with the end mark instead.
    const bool reached = excerpt.marked != std::string(1, errorExcerpt::endMark);
    require(excerpt.firstLine <= excerpt.endLine);
    require(!reached || (excerpt.firstLine <= parser.errorLine && parser.errorLine < excerpt.endLine));
    require(excerpt.endLine - excerpt.firstLine <= 2 * excerpt.contextLines + 2);

    const kavrin::excerptDisplay display = kavrin::displayOf(excerpt);
    require(display.highlightStart <= display.highlightEnd);
    // Each part is counted by itself (where the place splits a character the
    // count may run past the joined text; the view clamps it), never in more
    // units than it has bytes.
    require(display.highlightStart.units <= excerpt.before.size());
    require(display.highlightEnd.units - display.highlightStart.units <= excerpt.marked.size());
    require(!kavrin::lineStartBlocks(display.text).empty());

    const kavrin::fileReport report = kavrin::reportOf("f.tzv", kavrin::source::bytes(bytes), 3);
    const std::string shown = kavrin::humanReport(report, size % 2 == 0, 20 + size % 80);
    require(shown.find("f.tzv:" + std::to_string(parser.errorLine) + ":") != std::string::npos);
    return 0;
}
