#include "checkFiles.h"
#include "codes.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace kavrin::testing;

namespace {

struct place {
    std::string code;
    std::uint32_t line, column;
    bool operator==(const place&) const = default;
};

std::ostream& operator<<(std::ostream& out, const place& p)
{
    return out << p.code << '@' << p.line << ':' << p.column;
}

std::vector<place> placesOf(const std::string& bytes, std::size_t limit = tzvParser::defaultMaxViolations)
{
    tzvParser parser;
    parser.maxViolations = limit;
    parser.checkBytes(bytes);
    std::vector<place> found;
    for (const kavrin::violation& v : parser.violations)
        found.push_back({ std::string(v.code), v.line, v.column });
    return found;
}

std::string tip(std::string_view numbers) { return "<ziroTipp>" + std::string(numbers) + "</ziroTipp>"; }

// Each row: a file with several violations inside values and tips, and every
// one of them in file order; the check goes on after each.
TEST(AllViolations, EveryValueViolationInFileOrder)
{
    const std::string ok = tip("01,02,03,04,05,06");
    const struct {
        const char* what;
        std::string bytes;
        std::vector<place> expected;
    } rows[] = {
        { "two tips", document47("<schein>" + tip("01,02,03,04,05,46") + ok + tip("01,02,03,04,41,33") + "</schein>"),
            { { "number-out-of-range", 1, 85 }, { "numbers-not-ascending", 1, 161 } } },
        { "header values and a tip",
            "<uvra><versionsNr>4.0</versionsNr><kundenNr>0</kundenNr><wsArt>47</wsArt><tnDauer>99</tnDauer>"
            "<schein>"
                + tip("1,02,03,04,05,06") + "</schein></uvra>",
            { { "value-out-of-range", 1, 45 }, { "value-out-of-range", 1, 83 }, { "bad-number-list", 1, 113 } } },
        { "version before a value of the header",
            "<uvra><versionsNr>3.0</versionsNr><kundenNr>x</kundenNr><wsArt>47</wsArt><schein>" + ok
                + "</schein></uvra>",
            { { "not-a-number", 1, 45 }, { "version-mismatch", 1, 19 } } },
        { "too many tips, then the next ticket",
            document47("<schein>" +
                [&] {
                    std::string many;
                    for (int i = 0; i < 14; ++i)
                        many += ok;
                    return many;
                }()
                + "</schein><schein>" + tip("01,01,03,04,05,06") + "</schein>"),
            { { "too-many-tips", 1, 516 }, { "numbers-not-ascending", 1, 622 } } },
        { "a markup violation ends it", document47("<schein>" + tip("01,02,03,04,05,46") + "<ziroTipp>01</schein>"),
            { { "number-out-of-range", 1, 85 }, { "bad-number-list", 1, 110 }, { "missing-end-tag", 1, 110 } } },
        { "an unknown game ends it: no tip is read on a guess",
            "<uvra><versionsNr>4.0</versionsNr><kundenNr>x</kundenNr><wsArt>48</wsArt><schein>"
                + tip("01,02,03,04,05,46") + "</schein></uvra>",
            { { "not-a-number", 1, 45 }, { "unknown-game-type", 1, 64 } } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(placesOf(row.bytes), row.expected);
    }
}

TEST(AllViolations, TheLimitHoldsAndSaysSo)
{
    std::string tickets;
    for (int i = 0; i < 5; ++i)
        tickets += "<schein>" + tip("01,02,03,04,05,46") + "</schein>";
    tzvParser parser;
    parser.maxViolations = 3;
    parser.checkBytes(document47(tickets));
    EXPECT_EQ(parser.violations.size(), 3U);
    EXPECT_TRUE(parser.violationsCut);
    parser.maxViolations = 5;
    parser.checkBytes(document47(tickets));
    EXPECT_EQ(parser.violations.size(), 5U);
    EXPECT_FALSE(parser.violationsCut);
}

// Asking for all changes nothing of the first: on every file of the tree the
// first entry is what the first-only check reports, a violation after which
// the check stops comes last, and a correct file's summary counts what it
// holds.
TEST(AllViolations, FirstIsTodaysOutcomeAndCorrectFilesAreCounted)
{
    for (const char* folder : { "tests/data", "examples", "fuzz/regressions" }) {
        for (const auto& entry :
            std::filesystem::directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / folder)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            tzvParser first;
            first.checkBytes(bytes);
            tzvParser all;
            all.maxViolations = tzvParser::defaultMaxViolations;
            all.checkBytes(bytes);
            EXPECT_EQ(std::tie(all.message, all.errorLine, all.errorColumn, all.code, all.reason),
                std::tie(first.message, first.errorLine, first.errorColumn, first.code, first.reason));
            if (first.message.empty()) {
                EXPECT_TRUE(all.violations.empty());
                EXPECT_TRUE(first.summary.tickets > 0 && first.summary.tips > 0 && first.summary.gameType != 0);
            } else
                EXPECT_EQ(all.violations.front().reason, first.reason);
            for (std::size_t i = 0; i + 1 < all.violations.size(); ++i)
                EXPECT_TRUE(kavrin::codes::continuesAfter(all.violations[i].code)) << all.violations[i].code;
        }
    }
    tzvParser parser;
    parser.checkBytes(document28("<schein><fenuTipp>1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2</fenuTipp><brakelTipp>10,2+,00,"
                                 "+1,21</brakelTipp></schein>",
        "<tnDauer>2</tnDauer>"));
    EXPECT_EQ(parser.message, "");
    EXPECT_EQ(parser.summary.gameType, 28U);
    EXPECT_EQ(parser.summary.version, "3.0");
    EXPECT_EQ(std::tie(parser.summary.tickets, parser.summary.tips, parser.summary.goalScoreTips),
        std::make_tuple(1U, 1U, 1U));
    EXPECT_TRUE(parser.summary.duration);
    EXPECT_FALSE(parser.summary.filter);
}

} // namespace
