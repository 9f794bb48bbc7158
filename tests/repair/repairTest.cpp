#include "repair.h"
#include "checkFiles.h"
#include "codes.h"
#include "format.h"
#include "repairPromises.h"
#include "repairSteps.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

using namespace kavrin::testing;
namespace codes = kavrin::codes;

namespace {

std::set<std::string> violationCodes(std::string_view bytes)
{
    tzvParser parser;
    parser.maxViolations = tzvParser::defaultMaxViolations;
    parser.checkBytes(bytes);
    std::set<std::string> found;
    for (const kavrin::violation& v : parser.violations)
        found.insert(std::string(v.code));
    return found;
}

struct repairCase {
    std::string broken;
    std::string repaired; // empty: left as it is
    std::vector<std::string_view> codes; // of the changes, in order
};

std::string ziro(std::string_view list)
{
    return document47("<schein><ziroTipp>" + std::string(list) + "</ziroTipp></schein>");
}

std::string pool(std::string_view row, std::string_view goals = "10,2+,00,+1,21")
{
    return document28("<schein><fenuTipp>" + std::string(row) + "</fenuTipp><brakelTipp>" + std::string(goals)
        + "</brakelTipp></schein>")
        .replace(18, 3, "3.0");
}

std::string utf16(std::string_view ascii, bool mark, bool little = true)
{
    std::string out = !mark ? "" : little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : ascii)
        out += little ? std::string { c, '\0' } : std::string { '\0', c };
    return out;
}

std::string utf16le(std::string_view ascii, bool mark) { return utf16(ascii, mark); }

std::string stars(std::string_view list)
{
    return document34("<schein><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl><vexTippStern>" + std::string(list)
        + "</vexTippStern></tipp></schein>");
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::string declared = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string good = ziro("01,02,03,04,05,06");

TEST(Repair, EachFixOnce)
{
    const std::vector<repairCase> table = {
        { ziro("06,01,02,03,04,05"), good, { codes::numbersNotAscending } },
        { ziro("1,02,03,04,05,06"), good, { codes::badNumberList } },
        { ziro(" 01,02,03,04,05,06\r\n"), good, { codes::badNumberList } },
        { ziro("01, 02 ,03,04,05,06"), good, { codes::badNumberList } },
        { ziro("6,5,4,3,2,1"), good, { codes::badNumberList } },
        { ziro("01,02,03,04,05,06,"), good, { codes::badNumberList } },
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?x>" + ziro("02,01,03,04,05,06"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?x>" + good, { codes::numbersNotAscending } },
        { ziro("01,02,03,04,05,"), "", {} },
        { document47("<schein><ZiroTipp>01,02,03,04,05,06</ZiroTipp></schein>"), good,
            { codes::noTips, codes::noTips } },
        { document47("<schein><ziroTipp>01,02,03,04,05,06</ZIROTIPP></schein>"), good, { codes::missingEndTag } },
        { "<uvra><versionsNr>4.0</versionsNr><WSART>47</WSART><schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein></"
          "uvra>",
            good, { codes::unexpectedElement, codes::unexpectedElement } },
        { pool("1,x,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2"), pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2"),
            { codes::badPoolSymbol } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2", "10, 2+,00,+1,21"), pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2"),
            { codes::badBrakelTip } },
        { document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>", "<filter>ab12,</filter>"),
            document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>", "<filter>AB12</filter>"),
            { codes::badFilter } },
        { "<uvra><versionsNr>4.0</versionsNr><kundenNr>\n12\n</kundenNr><wsArt> 47 "
          "</wsArt><schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein></uvra>",
            "<uvra><versionsNr>4.0</versionsNr><kundenNr>12</kundenNr><wsArt>47</"
            "wsArt><schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein></uvra>",
            { codes::notANumber, codes::unknownGameType } },
        { "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + good, declared + good, { codes::unsupportedEncoding } },
        { "<?xml version=\"1.0\" encoding=\"windows-1252\"?><!-- Gr\xFC\xDF"
          "e -->"
                + good,
            declared + "<!-- Grüße -->" + good, { codes::invalidUtf8, codes::unsupportedEncoding } },
        { utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + good, true), declared + good,
            { codes::wrongFirstBytes, codes::unsupportedEncoding } },
        { utf16le(good, false), good, { codes::nulByte } },
        { ziro("02,01,03,04,05,06") + "\r\n\x1A\xFF garbage", good + "\r\n", { codes::numbersNotAscending, "" } },
        // A comma that separates nothing goes as a step of its own, with
        // all else done at the place in one change.
        { ziro(",11,19,27,38,45,03"), ziro("03,11,19,27,38,45"), { codes::badNumberList } },
        { stars(",06,05"), stars("05,06"), { codes::badNumberList } },
        { ziro("01,02,03,\n 4,05,06"), good, { codes::badNumberList } },
        { utf16(good, false, false), good, { codes::wrongFirstBytes } },
        { "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"latin1\"?>" + good, "\xEF\xBB\xBF" + declared + good,
            { codes::unsupportedEncoding } },
        { "<?xml version=\"1.0\" encoding=\"latin1\"?>" + good + "\x1A\xFC", declared + good,
            { codes::unsupportedEncoding, "" } },
        { "<!-- Gr\xFC\xDF"
          "e -->"
                + good + "\x1A\x81",
            "<!-- Grüße -->" + good, { codes::invalidUtf8, "" } },
        // Nothing that needs a choice.
        { good + "\x1A\xFF", "", {} },
        { ziro("01,02,03,04,05,46"), "", {} },
        { ziro("01,01,03,04,05,06"), "", {} },
        { ziro("06,01,02,03,04"), "", {} },
        { ziro("0,01,02,03,04,05"), "", {} },
        { document47("<schein></schein>"), "", {} },
        { document47("<schein><ziroTip>01,02,03,04,05,06</ziroTip></schein>"), "", {} },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>48</wsArt></uvra>", "", {} },
        { good.substr(0, 60), "", {} },
        { "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!-- Grüße -->" + good, "", {} },
        { "<!-- Gr\xFC\xDF"
          "e und Grüße -->"
                + good,
            "", {} },
        { "<!-- \x81 -->" + good, "", {} },
        { ziro("02,01,03,04,05,06").insert(50, "\x1A"), "", {} },
        { ziro(",01,02,03,04,05"), "", {} },
        // Not UTF-16 without the evidence of markup.
        { std::string(1, '\0') + good, "", {} },
        { good.substr(0, 1) + std::string(1, '\0') + good.substr(1), "", {} },
        { utf16("Tipps " + good, true), "", {} },
        { utf16("<!-- \x1A -->" + good, false), "", {} },
        { "Tipps f\xFCr Samstag " + good, "", {} },
        { "<!--" + std::string(40, '\xE4') + "-->" + good, "", {} },
    };
    for (const repairCase& row : table) {
        SCOPED_TRACE(row.broken);
        const kavrin::repairResult result = kavrin::repairBytes(row.broken);
        EXPECT_EQ(result.bytes, row.repaired.empty() ? row.broken : row.repaired);
        std::vector<std::string_view> changed;
        for (const kavrin::repairChange& change : result.changes)
            changed.push_back(change.code);
        EXPECT_EQ(changed, row.codes);
        if (!row.repaired.empty()) {
            EXPECT_EQ(violationCodes(result.bytes), std::set<std::string> {});
        }
        EXPECT_EQ(kavrin::fuzzing::brokenPromise(row.broken, result), "");
        for (const kavrin::repairChange& change : result.changes)
            EXPECT_TRUE(change.code.empty() || kavrin::mayBeRepairable(change.code)) << change.code;
    }
}

TEST(Repair, ChangesSayWhereInTheInput)
{
    // A value broken over lines is joined; the later fixes still name the
    // input's lines.
    const std::string input = "<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt>\n<schein><ziroTipp>\n01,02,03,"
                              "04,05,06\n</ziroTipp>\n<ZiroTipp>02,01,03,04,05,06</ZiroTipp></schein></uvra>";
    const kavrin::repairResult result = kavrin::repairBytes(input);
    ASSERT_EQ(result.changes.size(), 4u);
    for (const kavrin::repairChange& change : result.changes)
        EXPECT_EQ(input.substr(change.offset, change.length), change.before);
    EXPECT_EQ(std::make_pair(result.changes[3].line, result.changes[3].column), std::make_pair(6u, 30u));
}

TEST(Repair, ChangesSayWhatWent)
{
    struct describedCase {
        std::string broken;
        std::vector<std::string> changes;
    };
    const std::string tipAtLine4 = "<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt>\n<schein>\n  <ziroTipp>";
    const std::vector<describedCase> table = {
        { tipAtLine4 + "02,01,03,04,05,06</ziroTipp></schein></uvra>",
            { "Zeile 4, Spalte 13: Aufsteigend sortiert: „02,01,03,04,05,06“ → „01,02,03,04,05,06“ "
              "[numbers-not-ascending]" } },
        { tipAtLine4 + ",06,\r\n05,04,03,02,01</ziroTipp></schein></uvra>",
            { "Zeile 4, Spalte 13: Zeilen der Liste zusammengeführt, Komma am Anfang entfernt, aufsteigend sortiert: "
              "„,06,“, dann ein Zeilenumbruch, dann „05,04,03,02,01“ → „01,02,03,04,05,06“ [bad-number-list]" } },
        { tipAtLine4 + " 07,14,21,28,35,42 </ziroTipp></schein></uvra>",
            { "Zeile 4, Spalte 13: Leerraum entfernt: ein Leerzeichen, dann „07,14,21,28,35,42“, dann ein "
              "Leerzeichen → „07,14,21,28,35,42“ [bad-number-list]" } },
        { ziro("02,01,03,04,05,06") + "\x1A" + ziro("07,08,09,10,11,12"),
            { "Zeile 1, Spalte 70: Aufsteigend sortiert: „02,01,03,04,05,06“ → „01,02,03,04,05,06“ "
              "[numbers-not-ascending]",
                "Zeile 1, Spalte 114: Zweites Dokument hinter 0x1A entfernt (114 Bytes, 1 <schein>): "
                "„[Byte 0x1A]<uvra><versionsNr>4.0</versions…“ → nichts" } },
        { ziro("02,01,03,04,05,06") + "\x1A",
            { "",
                "Zeile 1, Spalte 114: Byte 0x1A (Strg+Z) und alles danach am "
                "Dateiende entfernt (1 Byte): „[Byte 0x1A]“ → nichts" } },
    };
    for (const describedCase& row : table) {
        SCOPED_TRACE(row.broken);
        const kavrin::repairResult result = kavrin::repairBytes(row.broken);
        ASSERT_EQ(result.changes.size(), row.changes.size());
        for (std::size_t i = 0; i < row.changes.size(); ++i) {
            if (!row.changes[i].empty()) {
                EXPECT_EQ(kavrin::changeText(result.changes[i]), row.changes[i]);
            }
        }
    }
    EXPECT_EQ(kavrin::repairedName("/tmp/alt.TZV"), "/tmp/alt-korrigiert.tzv");
    EXPECT_EQ(kavrin::repairedName("tipps"), "tipps-korrigiert.tzv");
}

TEST(Repair, SummarySaysWhatIsLeft)
{
    struct summaryCase {
        std::size_t changes;
        std::size_t left;
        std::size_t leftOut;
        std::string_view text;
        bool moreLeft = false;
    };
    const summaryCase table[] = {
        { 0, 0, 0, "Nichts zu korrigieren." },
        { 0, 2, 0, "Nichts ließ sich sicher korrigieren." },
        { 1, 0, 0, "1 Korrektur; die korrigierte Fassung ist korrekt." },
        { 3, 1, 0, "3 Korrekturen; in der korrigierten Fassung bleibt 1 Verstoß." },
        { 5, 2, 1,
            "5 Korrekturen; 1 Korrektur ausgelassen, weil die korrigierte Fassung sonst größer als 4 MiB würde; in der "
            "korrigierten Fassung bleiben 2 Verstöße." },
        { 0, 1, 2,
            "Nichts korrigiert; 2 Korrekturen ausgelassen, weil die korrigierte Fassung sonst größer als 4 MiB "
            "würde." },
        { 12000, 1000, 0, "12000 Korrekturen; in der korrigierten Fassung bleiben mindestens 1000 Verstöße.", true },
    };
    for (const summaryCase& row : table)
        EXPECT_EQ(kavrin::repairSummaryText(row.changes, row.left, row.leftOut, row.moreLeft), row.text);
}

// A check goes on after these and reads the whole file; after any other it
// stops, and what follows was never looked at.
bool readToTheEnd(const std::set<std::string>& found)
{
    const std::set<std::string_view> goesOn = { codes::notANumber, codes::valueOutOfRange, codes::unknownGameType,
        codes::badFilter, codes::tooManyFilterCodes, codes::badNumberList, codes::numberOutOfRange,
        codes::numbersNotAscending, codes::badPoolRow, codes::badPoolSymbol, codes::wrongDashCount, codes::badBrakelTip,
        codes::versionMismatch, codes::tooManyTips, codes::ziroPlusNeedsVersion4 };
    return std::all_of(found.begin(), found.end(), [&](const std::string& code) { return goesOn.count(code) != 0; });
}

// Over every sample file: a correct file comes back as it is, every
// promise holds, and where the check read the whole file, a repaired copy
// breaks no rule the original did not break.
TEST(Repair, NeverFurtherFromCorrect)
{
    for (const char* folder : { "/tests/data", "/examples", "/fuzz/regressions", "/tests/repair/files" }) {
        const std::filesystem::path dir = std::filesystem::path(KAVRIN_SOURCE_DIR) / (folder + 1);
        if (!std::filesystem::exists(dir))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
            if (!entry.is_regular_file())
                continue;
            SCOPED_TRACE(entry.path().string());
            const std::string bytes = readFile(entry.path());
            const std::set<std::string> before = violationCodes(bytes);
            const kavrin::repairResult result = kavrin::repairBytes(bytes);
            EXPECT_EQ(kavrin::fuzzing::brokenPromise(bytes, result), "");
            for (const std::string& code : violationCodes(result.bytes))
                EXPECT_TRUE(before.count(code) != 0 || !readToTheEnd(before)) << code;
        }
    }
}

// The files made to break a repair, each with what a repair must do to it.
TEST(Repair, AdversarialFiles)
{
    struct fileCase {
        std::string_view file;
        std::size_t changes;
        std::size_t left;
    };
    const fileCase table[] = {
        { "nul-first-byte.tzv", 0, 1 },
        { "nul-second-byte.tzv", 0, 1 },
        { "utf16-be-no-mark.tzv", 2, 0 },
        { "utf16-le-mark-not-markup.tzv", 0, 1 },
        { "utf16-le-with-ctrl-z.tzv", 0, 1 },
        { "windows-1252-not-markup.tzv", 0, 1 },
        { "windows-1252-tail-unassigned.tzv", 3, 0 },
        { "leading-comma-ziro.tzv", 1, 0 },
        { "leading-comma-stars.tzv", 1, 0 },
        { "leading-comma-too-few.tzv", 0, 1 },
        { "list-over-lines-unsorted.tzv", 1, 0 },
        { "two-lists-in-one-tip.tzv", 2, 0 },
        { "second-document-after-ctrl-z.tzv", 2, 0 },
        { "value-over-lines.tzv", 1, 0 },
        { "many-spellings.tzv", 510, 0 },
        { "spelling-that-does-not-help.tzv", 0, 1 },
        { "mark-then-ascii-declaration.tzv", 2, 0 },
        { "declaration-tail-not-ascii.tzv", 3, 0 },
        { "lone-cr-line-ends.tzv", 4, 0 },
        { "crlf-line-ends.tzv", 4, 0 },
    };
    const std::filesystem::path folder = std::filesystem::path(KAVRIN_SOURCE_DIR) / "tests/repair/files";
    for (const fileCase& row : table) {
        SCOPED_TRACE(row.file);
        const kavrin::repairResult result = kavrin::repairBytes(readFile(folder / row.file));
        EXPECT_EQ(result.changes.size(), row.changes);
        EXPECT_EQ(result.violationsLeft, row.left);
    }
}

// Values made of what repairs act on, thrown at every kind of value: no
// fix may lose its step, meet another or change the data.
TEST(Repair, KeepsItsPromisesOnAnyValue)
{
    constexpr std::string_view alphabet = "0123456789,,, \n\r\txX-+aZ";
    const std::vector<std::pair<std::string_view, std::string (*)(std::string_view)>> places = {
        { "ziroTipp", [](std::string_view v) { return ziro(v); } },
        { "vexTippStern", [](std::string_view v) { return stars(v); } },
        { "vexTippZahl",
            [](std::string_view v) {
                return document34("<schein><tipp><vexTippZahl>" + std::string(v)
                    + "</vexTippZahl><vexTippStern>01,02</vexTippStern></tipp></schein>");
            } },
        { "fenuTipp", [](std::string_view v) { return pool(v); } },
        { "brakelTipp", [](std::string_view v) { return pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2", v); } },
        { "filter",
            [](std::string_view v) {
                return document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>",
                    "<filter>" + std::string(v) + "</filter>");
            } },
        { "wsArt",
            [](std::string_view v) {
                return "<uvra><versionsNr>4.0</versionsNr><wsArt>" + std::string(v)
                    + "</wsArt><schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein></uvra>";
            } },
    };
    std::uint32_t state = 28;
    const auto next = [&state](std::uint32_t bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    for (int i = 0; i < 3000; ++i) {
        std::string value;
        for (std::uint32_t length = next(20); value.size() < length;)
            value.push_back(alphabet[next(static_cast<std::uint32_t>(alphabet.size()))]);
        const auto& [element, place] = places[next(static_cast<std::uint32_t>(places.size()))];
        const std::string input = place(value);
        SCOPED_TRACE(std::string(element) + ": " + value);
        EXPECT_EQ(kavrin::fuzzing::brokenPromise(input, kavrin::repairBytes(input)), "");
    }
}

// A fix that would grow the copy past 4 MiB is left out and counted;
// fixes that shrink it make room first.
TEST(Repair, StaysWithinTheSizeLimit)
{
    struct sizeCase {
        std::size_t shortBy; // bytes the input stays under the limit
        std::string_view shrinking; // a list that loses its blanks
        std::size_t leftOut;
    };
    const sizeCase table[] = { { 0, "", 5 }, { 2, "", 3 }, { 0, "  01,02,03,04,05,06  ", 1 }, { 5, "", 0 } };
    for (const sizeCase& row : table) {
        std::string tickets;
        for (int i = 0; i < 5; ++i)
            tickets += "<schein><ziroTipp>1,02,03,04,05,06</ziroTipp></schein>";
        if (!row.shrinking.empty())
            tickets += "<schein><ziroTipp>" + std::string(row.shrinking) + "</ziroTipp></schein>";
        std::string input = document47(tickets);
        const std::size_t padding = tzvParser::maximumFileSize - row.shortBy - input.size() - 7;
        input.insert(input.rfind("</uvra>"), "<!--" + std::string(padding, 'x') + "-->");
        ASSERT_EQ(input.size(), tzvParser::maximumFileSize - row.shortBy);
        const kavrin::repairResult result = kavrin::repairBytes(input);
        SCOPED_TRACE(row.leftOut);
        EXPECT_EQ(result.leftOut, row.leftOut);
        EXPECT_LE(result.bytes.size(), tzvParser::maximumFileSize);
        EXPECT_EQ(result.violationsLeft, row.leftOut);
        EXPECT_EQ(kavrin::fuzzing::brokenPromise(input, result), "");
    }
}

// The codes a front end may offer the repair for: those it acts on, and
// no rule of the name, the size or the document's shape.
TEST(Repair, TellsWhichCodesMayBeRepaired)
{
    const std::pair<std::string_view, bool> table[] = {
        { codes::invalidUtf8, true },
        { codes::unsupportedEncoding, true },
        { codes::numbersNotAscending, true },
        { codes::noTips, true },
        { codes::wrongFileName, false },
        { codes::fileTooLarge, false },
        { codes::unclosedTag, false },
        { codes::contentAfterRoot, false },
        { codes::tooManyTips, false },
    };
    for (const auto& [code, repairable] : table)
        EXPECT_EQ(kavrin::mayBeRepairable(code), repairable) << code;
}

} // namespace

// The repair changes a value only as the format table allows its element:
// every step it names for any probe value is one the table marks.
TEST(Repair, ChangesOnlyWhatTheFormatTableAllows)
{
    namespace format = kavrin::format;
    using kavrin::repairSteps::bit;
    using kavrin::repairSteps::step;
    const struct {
        format::repair allowed;
        kavrin::repairSteps::steps steps;
    } stepsOf[] = {
        { format::blanks, bit(step::blanks) | bit(step::lines) },
        { format::strayComma, bit(step::leadingComma) | bit(step::trailingComma) },
        { format::leadingZero, bit(step::leadingZero) },
        { format::ascending, bit(step::sorted) },
        { format::capitals, bit(step::capitals) },
    };
    const std::string probes[] = { " 1,02,03,04,05,06 ", ",06,05,04,03,02,01", "x,1,2,X,-,-,-,-,-,1,1,1,1,1,1,1,1,1",
        "ab12,cd34,", " 4.0\n", "02,\n01", "1,2", "10, 2+,00,+1,21" };
    for (const format::element& e : format::elements) {
        kavrin::repairSteps::steps allowed = 0;
        for (const auto& each : stepsOf)
            if ((e.repairs & each.allowed) != 0)
                allowed |= each.steps;
        for (const std::string& probe : probes) {
            if (const auto fixed = kavrin::repairSteps::repairedValue(e.name, probe)) {
                EXPECT_EQ(fixed->done & ~allowed, 0u) << e.name << ": " << probe;
            }
        }
    }
}
