#include "format.h"
#include "checkFiles.h"
#include "codes.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

using namespace kavrin::testing;

namespace {

// Where the order of the elements is broken, the reason says what to move,
// delete or add, from the format's order; it never offers what cannot help.
TEST(FormatOrder, ReasonsSayWhatToMoveDeleteOrAdd)
{
    const std::string tip = "<ziroTipp>01,02,03,04,05,06</ziroTipp>";
    const struct {
        const char* what;
        std::string input;
        const char* code;
        std::string said;
        std::string notSaid;
    } rows[] = {
        { "a duplicate", "<uvra><versionsNr>4.0</versionsNr><kundenNr>1</kundenNr><kundenNr>2</kundenNr>",
            "unexpected-element", "<kundenNr> steht doppelt; bitte eine löschen.", "falscher Stelle" },
        { "a required element missing", "<uvra><versionsNr>4.0</versionsNr><tnDauer>1</tnDauer>", "unexpected-element",
            "Nach <versionsNr> fehlt <wsArt>.", "falscher Stelle" },
        { "one out of order", document47("<schein>" + tip + "</schein>", "<kundenNr>1</kundenNr>"),
            "unexpected-element", "<kundenNr> steht an falscher Stelle: Es gehört vor <wsArt>.", "fehlt" },
        { "out of order before the first one read after it",
            "<uvra><versionsNr>4.0</versionsNr><spielID>1</spielID><wsArt>47</wsArt><kundenNr>1</kundenNr>",
            "unexpected-element", "Es gehört vor <spielID>.", "<wsArt>" },
        { "a second goal-score tip",
            document28("<schein><fenuTipp>1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2</fenuTipp><brakelTipp>10,2+,00,+1,21"
                       "</brakelTipp><brakelTipp>10,2+,00,+1,21</brakelTipp></schein>"),
            "unexpected-element", "<brakelTipp> steht doppelt", "erwartet <brakelTipp>" },
        { "an end tag forgotten", document47("<schein>" + tip + "<schein>" + tip + "</schein>"), "unexpected-element",
            "Vor „<schein>“ fehlt </schein>.", "Erwartet" },
        { "the optional one after a group's first",
            document47("<schein>" + tip + "</schein>", "<wimbel><anzahlWimbelProSchein>1</anzahlWimbelProSchein><x>"),
            "unexpected-element", "<maximaleWimbelAnzahl> oder </wimbel>", "" },
        { "the end names what is open", "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein>" + tip,
            "unexpected-end", "Es fehlen </schein> und </uvra>.", "etwas" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        tzvParser parser;
        parser.checkBytes(row.input);
        EXPECT_EQ(parser.code, row.code);
        EXPECT_NE(parser.reason.find(row.said), std::string::npos) << parser.reason;
        if (!row.notSaid.empty()) {
            EXPECT_EQ(parser.reason.find(row.notSaid), std::string::npos) << parser.reason;
        }
    }
}

// The table is whole: every element says what it is, stands after its
// parent, and a value shows a correct example; every game's tip is one of
// its elements.
TEST(FormatTable, EveryElementIsDescribedAndPlaced)
{
    namespace format = kavrin::format;
    std::set<std::string_view> before;
    for (const format::element& e : format::elements) {
        SCOPED_TRACE(std::string(e.name));
        EXPECT_FALSE(e.description.empty());
        EXPECT_TRUE(e.parent.empty() || before.count(e.parent) == 1) << "its parent comes first";
        EXPECT_LE(e.minOccurs, e.maxOccurs);
        EXPECT_GE(e.maxOccurs, 1u);
        EXPECT_EQ(e.value == format::valueKind::none, e.example.empty());
        before.insert(e.name);
    }
    for (const format::gameRules& game : format::gameTable) {
        const format::element* tip = format::find(game.tip);
        ASSERT_NE(tip, nullptr);
        EXPECT_TRUE(format::belongsTo(*tip, game.id));
    }
}

// Every code is described once, and the code table of the documentation
// says of each what the program does: whether the check goes on after it.
TEST(FormatTable, EveryCodeHasItsPlaceAndTheDocumentationAgrees)
{
    std::set<std::string_view> codes;
    for (const kavrin::codes::codeInfo& info : kavrin::codes::all)
        EXPECT_TRUE(codes.insert(info.code).second) << info.code;
    std::ifstream doc(std::string(KAVRIN_SOURCE_DIR) + "/docs/codes.md");
    const std::regex row(R"(^\| `([a-z0-9-]+)` \|.*\| (ja|nein) \|$)");
    std::set<std::string> documented;
    for (std::string line; std::getline(doc, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, row))
            continue;
        const std::string code = match[1];
        documented.insert(code);
        const kavrin::codes::codeInfo* info = kavrin::codes::infoOf(code);
        ASSERT_NE(info, nullptr) << code;
        EXPECT_EQ(info->continues, match[2] == "ja") << code;
    }
    EXPECT_EQ(documented.size(), codes.size());
}

} // namespace
