#include "checkFiles.h"
#include "errorExcerpt.h"
#include "excerptDisplay.h"
#include "resultText.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

struct excerptCase {
    const char* what;
    std::string file;
    std::uint32_t line, column;
    std::string before, marked, after;
    std::uint32_t firstLine, endLine;
};

TEST(ErrorExcerpt, PartsAndLineRange)
{
    const std::string tenLines = "L1\nL2\nL3\nL4\nL5\nL6\nL7\nL8\nL9\n<x>10\nL11\nL12\nL13\nL14\n";
    const std::vector<excerptCase> table = {
        { "first byte", "<uvrx>\n<l2>\n<l3>\n<l4>\n<l5>\n", 1, 1, "", "<uvrx>", "\n<l2>\r\n<l3>\r\n<l4>\r", 1, 5 },
        { "byte-order mark", "\xEF\xBB\xBF<uvrx>", 1, 4, "   ", "<uvrx>", "", 1, 2 },
        { "line 2 column 5", "ab\ncdef<g>\n", 2, 5, "ab\r\ncdef", "<g>", "\n", 1, 3 },
        { "line 10", tenLines, 10, 1, "L7\r\nL8\r\nL9\r\n", "<x>", "10\r\nL11\r\nL12\r\nL13\r", 7, 14 },
        { "tag ending its line", "<uvra>\n<wsArt>\n47</wsArt>\nL4\nL5\nL6\n", 2, 1, "<uvra>\r\n", "<wsArt>",
            "\n47</wsArt>\r\nL4\r\nL5\r", 1, 6 },
        { "inside a text", "<a>hello</a>", 1, 5, "<a>h", "ello", "</a>", 1, 2 },
        { "cut at the third break", "<a>\nxx\nyy\nzz\nww", 1, 4, "<a>", "\nxx\r\nyy\r...", "", 1, 5 },
        { "just past the end", "<a>\n<b>", 2, 4, "<a>\r\n<b>", "\xB7", "", 1, 3 },
        { "past the end after a break", "<a>\n", 2, 1, "<a>\r\n", "\xB7", "", 1, 3 },
        { "never reached", "<a>\n<b>\n", 2, 99, "<a>\r\n<b>\r\n", "\xB7", "", 1, 4 },
        { "CR LF file", "a\r\nb\r\n<c>\r\nd\r\n", 3, 1, "a\r\nb\r\n", "<c>", "\nd\r\n", 1, 5 },
        { "'>' first does not end", "<a>>>x<b>", 1, 4, "<a>", ">>", "x<b>", 1, 2 },
        { "file ends in a lone CR", "<a>\r<b>\r", 1, 5, "<a>\r", "<b>", "\r", 1, 2 },
        { "mark ends in a lone CR", "<a>x\r", 1, 4, "<a>", "x\r", "", 1, 2 },
        { "lone CR in the mark", "<a>x\ry\rz\rw<b>", 1, 4, "<a>", "x\ry\rz\r...", "", 1, 5 },
    };
    for (const excerptCase& c : table) {
        SCOPED_TRACE(c.what);
        errorExcerpt excerpt(c.file);
        excerpt.extract(c.line, c.column);
        EXPECT_EQ(excerpt.before, c.before);
        EXPECT_EQ(excerpt.marked, c.marked);
        EXPECT_EQ(excerpt.after, c.after);
        EXPECT_EQ(excerpt.firstLine, c.firstLine);
        EXPECT_EQ(excerpt.endLine, c.endLine);
    }
}

// An excerpt near a place reads no further than its reach around it, so
// that many violations on one long line each cost the same; lines within
// that reach come out as the excerpt from the start gives them.
TEST(ErrorExcerpt, NearAPlaceItReachesSoFarAndNoFurther)
{
    const std::string shortLines = "L1\nL2\nL3\nL4\nL5\n<x>6\nL7\nL8\nL9\nL10\n";
    const std::string longLine = std::string(10000, 'a') + "<x>" + std::string(10000, 'b') + "\nL2\n";
    const std::string umlauts = std::string(4999, 'a') + "\xC3\xA4" + std::string(4095, 'c') + "<x>yz";
    struct nearCase {
        const char* what;
        const std::string& file;
        std::uint32_t line, column;
        std::uint64_t offset;
        std::string beforeStart, marked, afterEnd;
        std::uint32_t firstLine, endLine;
    };
    const std::vector<nearCase> table = {
        { "short lines: as from the start", shortLines, 6, 1, 15, "L3\r\n", "<x>", "\nL9\r", 3, 10 },
        { "a long line cut before and after", longLine, 1, 10001, 10000, "...aaa", "<x>", "bb...", 1, 2 },
        { "never inside a character", umlauts, 1, 9097, 9096, "...cc", "<x>", "yz", 1, 2 },
    };
    for (const nearCase& c : table) {
        SCOPED_TRACE(c.what);
        errorExcerpt near(c.file);
        near.extractNear(c.line, c.column, c.offset);
        EXPECT_EQ(near.before.substr(0, c.beforeStart.size()), c.beforeStart);
        EXPECT_EQ(near.marked, c.marked);
        EXPECT_EQ(near.after.substr(near.after.size() - std::min(near.after.size(), c.afterEnd.size())), c.afterEnd);
        EXPECT_EQ(near.firstLine, c.firstLine);
        EXPECT_EQ(near.endLine, c.endLine);
        EXPECT_LE(near.before.size(), errorExcerpt::nearReach + 3);
        EXPECT_LE(near.after.size(), errorExcerpt::nearReach + 3);
        errorExcerpt whole(c.file);
        whole.extract(c.line, c.column);
        if (c.file.size() < errorExcerpt::nearReach) {
            EXPECT_EQ(near.before + near.marked + near.after, whole.before + whole.marked + whole.after);
        }
    }
}

TEST(ErrorExcerpt, LongFilesKeepOnlyTheShownLines)
{
    std::string file;
    for (int i = 1; i <= 60000; ++i)
        file += "<line" + std::to_string(i) + ">\n";
    errorExcerpt excerpt(file);
    excerpt.extract(59990, 1);
    EXPECT_EQ(excerpt.firstLine, 59987u);
    EXPECT_EQ(excerpt.before, "<line59987>\r\n<line59988>\r\n<line59989>\r\n");
    EXPECT_EQ(excerpt.marked, "<line59990>");
    EXPECT_EQ(excerpt.endLine, 59994u);
}

kavrin::excerptDisplay displayFor(const std::string& file, std::uint32_t line, std::uint32_t column)
{
    errorExcerpt excerpt(file);
    excerpt.extract(line, column);
    return kavrin::displayOf(excerpt);
}

TEST(ExcerptDisplay, PathAndHighlightUnits)
{
    const auto ascii = displayFor("<a>x\n<b>y</b>\n", 2, 1);
    EXPECT_FALSE(ascii.utf8);
    EXPECT_EQ(ascii.text, u"<a>x\r\n<b>y</b>\r\n");
    EXPECT_EQ(ascii.highlightStart.units, 6u);
    EXPECT_EQ(ascii.highlightEnd.units, 9u);

    const auto umlauts = displayFor("<a>ä</a>\n<b>öü<c>\n", 2, 8);
    EXPECT_TRUE(umlauts.utf8);
    EXPECT_EQ(umlauts.text, u"<a>ä</a>\r\n<b>öü<c>\n");
    EXPECT_EQ(umlauts.highlightStart.units, 15u) << "each two-byte letter counts one unit";
    EXPECT_EQ(umlauts.highlightEnd.units, 18u);

    const auto astral = displayFor("<a>\xF0\x9F\x8E\xB2<b>", 1, 8);
    EXPECT_EQ(astral.highlightStart.units, 5u) << "a surrogate pair counts two units";

    const auto pastEnd = displayFor("<a>ä</a>", 1, 12);
    EXPECT_FALSE(pastEnd.utf8) << "the lone 0xB7 forces the narrow path";
    EXPECT_EQ(pastEnd.text, u"<a>Ã¤</a>·");
    EXPECT_EQ(pastEnd.highlightStart.units, 9u);
    EXPECT_EQ(pastEnd.highlightEnd.units, 10u);
}

TEST(ExcerptDisplay, Decoders)
{
    EXPECT_FALSE(kavrin::isUtf8Text(""));
    EXPECT_FALSE(kavrin::isUtf8Text("plain"));
    EXPECT_TRUE(kavrin::isUtf8Text("\xC3\xA4"));
    EXPECT_TRUE(kavrin::isUtf8Text("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"));
    EXPECT_FALSE(kavrin::isUtf8Text("\xC3\xA4\xB7"));
    EXPECT_FALSE(kavrin::isUtf8Text("\xC3"));
    EXPECT_FALSE(kavrin::isUtf8Text("\xF8\x80\x80\x80\x80"));
    EXPECT_TRUE(kavrin::isUtf8Text(std::string_view("\xC3\xA4\0\xFF", 4))) << "the test ends at a NUL";

    EXPECT_EQ(kavrin::utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(kavrin::utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(kavrin::utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(kavrin::utf8ToUtf16("\xE2\x82x"), u"\uFFFDx") << "a cut sequence is one maximal subpart";
    EXPECT_EQ(kavrin::utf8ToUtf16("\xF0\x9F\x8E\xB2"), u"\U0001F3B2");

    EXPECT_EQ(kavrin::windows1252ToUtf16("\x80\x81\x8D\x8F\x90\x9D\x9F\xA4\xFF"),
        u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00A4\u00FF");
    EXPECT_EQ(kavrin::utf16ToUtf8(u"ä\U0001F3B2"), "ä\xF0\x9F\x8E\xB2");
    EXPECT_EQ(kavrin::utf16ToUtf8(u"<kundenNr>ä12\xD800"), "<kundenNr>ä12\xEF\xBF\xBD")
        << "runs of ASCII at any length";
}

TEST(ResultText, TitleMessageAndLineNumbers)
{
    EXPECT_EQ(kavrin::windowTitle("/home/spieler/tipps.tzv"), "Kavrin - tipps.tzv");
    EXPECT_EQ(kavrin::windowTitle("tipps.tzv"), "Kavrin - tipps.tzv");
    EXPECT_EQ(kavrin::windowTitle("C:\\daten\\tipps.tzv"), "Kavrin - C:\\daten\\tipps.tzv");
    EXPECT_EQ(kavrin::windowTitle("\"/tmp/tipps.tzv\""), "Kavrin - tipps.tzv\"");
    EXPECT_EQ(kavrin::windowTitle(""), "Kavrin - ");
    EXPECT_EQ(kavrin::withoutLineFeeds("a\r\nb\nc"), "a\rbc");
    EXPECT_EQ(kavrin::lineNumberText(8, 11), "8\r\n9\r\n10\r\n");
    EXPECT_EQ(kavrin::lineNumberText(3, 3), "");
    // Every numbered line gets a view line, the "..." of a cut mark too.
    EXPECT_EQ(kavrin::lineStartBlocks(u"<a>\nxx\r\nyy\r..."), (std::vector<std::size_t> { 0, 1, 2 }));
    EXPECT_EQ(kavrin::lineStartBlocks(u"<a>\nxx\r\nyy\r...", true), (std::vector<std::size_t> { 0, 1, 2, 3 }));
}

} // namespace

namespace {

// A long line is cut to a window around the mark; the other lines keep their
// beginning, and the mark still covers the same text.
TEST(ExcerptDisplay, LongLinesAreWindowedAroundTheMark)
{
    const std::u16string longLine(300, u'x');
    const struct {
        const char* what;
        std::u16string text;
        std::size_t from, to;
        std::u16string shown;
    } rows[] = {
        { "short lines stay", u"ab\r\ncd", 4, 5, u"ab\r\ncd" },
        { "mark late in a long line", longLine + u"46" + longLine, 300, 302,
            u"\u2026" + std::u16string(10, u'x') + u"46" + std::u16string(8, u'x') + u"\u2026" },
        { "a long line before the mark's", longLine + u"\r\n46", 302, 304, std::u16string(20, u'x') + u"\u2026\r\n46" },
        { "mark over the break ending a long line", longLine + u"\nz", 300, 301,
            u"\u2026" + std::u16string(10, u'x') + u"\nz" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        kavrin::excerptDisplay display;
        display.text = row.text;
        display.highlightStart.units = row.from;
        display.highlightEnd.units = row.to;
        const kavrin::excerptDisplay shown = kavrin::windowedDisplay(display, 20, 10);
        EXPECT_EQ(kavrin::utf16ToUtf8(shown.text), kavrin::utf16ToUtf8(row.shown));
        EXPECT_EQ(shown.text.substr(shown.highlightStart.units, shown.highlightEnd.units - shown.highlightStart.units),
            row.text.substr(row.from, row.to - row.from));
    }
}

} // namespace

namespace {

// One Windows-1252 table serves the excerpt and the reasons: the five
// unassigned bytes show as the C1 controls of their value and are never
// offered as the letter a byte stood for. Two of a byte, as a text written
// in Windows-1252 has them; one alone is named as a stray byte.
TEST(WindowsCodePage, ExcerptAndReasonAgree)
{
    const struct {
        unsigned char byte;
        const char* shown;
        const char* hint;
    } rows[] = {
        { 0x80, "\xE2\x82\xAC", "für „\xE2\x82\xAC“" },
        { 0x81, "\xC2\x81", nullptr },
        { 0x9D, "\xC2\x9D", nullptr },
        { 0x9F, "\xC5\xB8", "für „\xC5\xB8“" },
        { 0xFC, "\xC3\xBC", "für „\xC3\xBC“" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.byte));
        const std::string line = std::string("<a>") + char(row.byte) + char(row.byte);
        EXPECT_EQ(kavrin::utf16ToUtf8(kavrin::windows1252ToUtf16(line)), std::string("<a>") + row.shown + row.shown);
        tzvParser parser;
        parser.checkBytes(line);
        EXPECT_EQ(parser.code, "invalid-utf8");
        EXPECT_EQ(parser.reason.find(row.hint ? row.hint : "Windows-1252") != std::string::npos, row.hint != nullptr)
            << parser.reason;
    }
}

} // namespace
