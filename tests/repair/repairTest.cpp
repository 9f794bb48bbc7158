#include "repair.h"
#include "checkFiles.h"
#include "codes.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

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

std::string utf16le(std::string_view ascii, bool mark)
{
    std::string out = mark ? "\xFF\xFE" : "";
    for (const char c : ascii)
        out += std::string { c, '\0' };
    return out;
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
        tzvParser copy;
        copy.maxViolations = tzvParser::defaultMaxViolations;
        copy.checkBytes(result.bytes);
        EXPECT_EQ(result.violationsLeft, copy.violations.size());
        EXPECT_EQ(kavrin::repairBytes(result.bytes).changes.size(), 0u) << "a repaired copy needs no second repair";
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

TEST(Repair, ChangesSayWhereAndWhat)
{
    const kavrin::repairResult result
        = kavrin::repairBytes("<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt>\n"
                              "<schein>\n  <ziroTipp>02,01,03,04,05,06</ziroTipp></schein></uvra>");
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_EQ(kavrin::changeText(result.changes[0]),
        "Zeile 4, Spalte 13: Aufsteigend sortiert: „02,01,03,04,05,06“ → „01,02,03,04,05,06“ [numbers-not-ascending]");
    EXPECT_EQ(kavrin::repairedName("/tmp/alt.TZV"), "/tmp/alt-korrigiert.tzv");
    EXPECT_EQ(kavrin::repairedName("tipps"), "tipps-korrigiert.tzv");
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

// Over every sample file: a correct file comes back as it is, and where the
// check read the whole file, a repaired copy breaks no rule the original did
// not break.
TEST(Repair, NeverFurtherFromCorrect)
{
    for (const char* folder : { "/tests/data", "/examples", "/fuzz/regressions" }) {
        const std::filesystem::path dir = std::filesystem::path(KAVRIN_SOURCE_DIR) / (folder + 1);
        if (!std::filesystem::exists(dir))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
            if (!entry.is_regular_file())
                continue;
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const std::set<std::string> before = violationCodes(bytes);
            const kavrin::repairResult result = kavrin::repairBytes(bytes);
            if (before.empty()) {
                EXPECT_EQ(result.bytes, bytes);
            }
            for (const std::string& code : violationCodes(result.bytes))
                EXPECT_TRUE(before.count(code) != 0 || !readToTheEnd(before)) << code;
            EXPECT_EQ(kavrin::repairBytes(result.bytes).bytes, result.bytes);
        }
    }
}

} // namespace
