#include "checkFiles.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <vector>

using namespace kavrin::testing;

namespace {

// One row per rule: what breaks it, the code, and what its reason must name:
// the value found and the limit or the expected element.
struct reasonCase {
    std::string input; // the file's bytes, or with byName its name
    const char* code;
    std::vector<std::string> named;
    bool byName = false;
};

std::string ticket(std::string_view tip) { return "<schein><ziroTipp>" + std::string(tip) + "</ziroTipp></schein>"; }

std::string repeated(std::string_view piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string pool(std::string_view row, std::string_view brakel = {})
{
    return document28("<schein><fenuTipp>" + std::string(row) + "</fenuTipp>"
        + (brakel.empty() ? "" : "<brakelTipp>" + std::string(brakel) + "</brakelTipp>") + "</schein>");
}

const std::string good = ticket("01,02,03,04,05,06");

TEST(Reasons, EveryRuleHasItsCodeAndNamesWhatWasFound)
{
    const std::filesystem::path folder = scratchFolder();
    std::filesystem::create_directory(folder / "folder.tzv");
    ::mkfifo((folder / "fifo.tzv").c_str(), 0600);
    const std::vector<reasonCase> table = {
        { "", "no-file-name", { "Dateiname" }, true },
        { "brief.TZV", "wrong-file-name", { "„brief.TZV“", "„.tzv“" }, true },
        { (folder / "fehlt.tzv").string(), "cannot-open", { "gibt es nicht" }, true },
        { (folder / "folder.tzv").string(), "cannot-open", { "Ordner" }, true },
        { (folder / "fifo.tzv").string(), "cannot-open", { "keine gewöhnliche Datei" }, true },
        { std::string(4194305, ' '), "file-too-large", { "4 194 305 Bytes", "4 194 304 Bytes" } },
        { document47(repeated(good + "\n", 1001)), "too-many-tickets", { "1000", "1001.", "Zeile 1001" } },
        { "", "wrong-first-bytes", { "leer" } },
        { "\xFF\xFE<\0u\0", "wrong-first-bytes", { "0xFF 0xFE", "UTF-16" } },
        { "<uvra>\n<!-- f\xFCr -->", "invalid-utf8", { "0xFC", "Zeile 2, Spalte 7", "Windows-1252", "„ü“" } },
        { std::string("<uvra><vers\0", 12), "nul-byte", { "NUL", "Zeile 1, Spalte 12" } },
        { "<?xml version=\"1.1\"?><uvra>", "bad-declaration", { "„\"1.1\"“", "„\"1.0\"“" } },
        { "<?xml version=\"1.0\" encoding=\"latin1\"?>", "unsupported-encoding", { "„latin1“", "UTF-8" } },
        { "<uvra><versionsNr>4.0</versionsNr>", "unexpected-end", { "Zeile 1", "</uvra>" } },
        { "<uvra><versionsNr", "unclosed-tag", { "„<versionsNr“", "„>“" } },
        { "<uvra>abc<versionsNr>", "text-outside-element", { "„abc“", "„<“" } },
        { "<uvra><wsart>", "unexpected-element", { "<versionsNr>", "<wsart>" } },
        { "<uvra><versionsNr>4.0</versionNr>", "missing-end-tag", { "</versionsNr>", "</versionNr>" } },
        { document47(good) + "\nx", "content-after-root", { "</uvra>", "„x“" } },
        { "<uvra><versionsNr>3.0</versionsNr><wsArt>47</wsArt>", "version-mismatch", { "3.0", "47", "4.x" } },
        { document47(good).insert(34, "<kundenNr>12a</kundenNr>"), "not-a-number", { "„12a“", "999999" } },
        { document47(good).insert(34, "<kundenNr>1000000</kundenNr>"), "value-out-of-range", { "1000000", "999999" } },
        { document47(good, "<tnDauer>11</tnDauer>"), "value-out-of-range", { "11", "47", "10" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>48</wsArt>", "unknown-game-type", { "„48“", "47, 34 oder 28" } },
        { document47(good, "<filter>AB1</filter>"), "bad-filter", { "„AB1“", "4" } },
        { document47(good, "<filter>AAAA" + repeated(",AAAA", 20) + "</filter>"), "too-many-filter-codes",
            { "20", "„,AAAA“" } },
        { document28("<ziroPlus>1</ziroPlus>"), "ziroplus-needs-version-4", { "<ziroPlus>", "3.0", "4.x" } },
        { document47("<schein></schein>"), "no-tips", { "47", "<ziroTipp>", "</schein>" } },
        { document47("<schein>" + repeated("<ziroTipp>01,02,03,04,05,06</ziroTipp>", 13) + "</schein>"),
            "too-many-tips", { "47", "12 ziroTipp" } },
        { document47(ticket("01,02,03,04,05")), "bad-number-list", { "5 Zahlen", "6" } },
        { document47(ticket("01,02,03,04,5X,06")), "bad-number-list", { "„5X“", "01 bis 45" } },
        { document47(ticket("01,02,03,04,05,46")), "number-out-of-range", { "46", "01 und 45" } },
        { document47(ticket("01,02,03,04,41,33")), "numbers-not-ascending", { "33 steht nach 41" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1"), "bad-pool-row", { "33 Zeichen", "18" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,Y,-,1,2"), "bad-pool-symbol", { "15.", "„Y“", "1, 2, X und -" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,1,X,-,1,2"), "wrong-dash-count", { "fünf", "gefunden 4" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2", "10,23,00,+1,21"), "bad-brakel-tip",
            { "2. Paar", "„3“", "0, 1, 2 und +" } },
    };
    // A code added to codes.h without a row here fails this test.
    std::ifstream codesHeader(std::string(KAVRIN_SOURCE_DIR) + "/validator/codes.h");
    const std::string codes((std::istreambuf_iterator<char>(codesHeader)), std::istreambuf_iterator<char>());
    std::size_t declared = 0;
    for (std::size_t at = codes.find("= \""); at != std::string::npos; at = codes.find("= \"", at + 1), ++declared) {
        const std::string code = codes.substr(at + 3, codes.find('"', at + 3) - at - 3);
        EXPECT_TRUE(std::any_of(table.begin(), table.end(), [&](const reasonCase& row) { return row.code == code; }))
            << "no row for " << code;
    }
    EXPECT_GT(declared, 30U);
    for (const reasonCase& row : table) {
        SCOPED_TRACE(row.input.substr(0, 120));
        tzvParser parser;
        if (row.byName) {
            parser.fileName = row.input;
            parser.check();
        } else {
            parser.checkBytes(row.input);
        }
        EXPECT_EQ(parser.code, row.code) << parser.message;
        for (const std::string& part : row.named)
            EXPECT_NE(parser.reason.find(part), std::string::npos) << parser.reason << "\nlacks: " << part;
    }
}

TEST(Reasons, CorrectFileHasNone)
{
    tzvParser parser;
    parser.checkBytes(document47(good));
    EXPECT_EQ(parser.message + parser.code + parser.reason, "");
}

TEST(Reasons, FoundValuesAreShortenedAndEscaped)
{
    tzvParser parser;
    parser.checkBytes("<uvra><versionsNr>4.0</versionsNr><wsArt>4\x01" + std::string(100, '7') + "</wsArt>");
    EXPECT_NE(parser.reason.find("„4\\x01777"), std::string::npos) << parser.reason;
    EXPECT_NE(parser.reason.find("…“"), std::string::npos) << parser.reason;
    EXPECT_LT(parser.reason.size(), 150u);
}

} // namespace
