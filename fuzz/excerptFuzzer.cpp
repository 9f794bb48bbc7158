#include "errorExcerpt.h"
#include "excerptDisplay.h"
#include "fuzzInput.h"
#include "tzvParser.h"

using kavrin::fuzzing::require;

// The excerpt of whatever place the check reports stays within its text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = kavrin::fuzzing::writeInput(data, size);
    tzvParser parser;
    parser.fileName = path;
    parser.check();
    if (parser.errorLine == 0)
        return 0;
    errorExcerpt excerpt(path);
    excerpt.extract(parser.errorLine, parser.errorColumn);
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
    require(display.highlightEnd.units <= display.text.size() || excerpt.marked.find('\0') != std::string::npos
        || excerpt.before.find('\0') != std::string::npos);
    require(!kavrin::lineStartBlocks(display.text).empty());
    return 0;
}
