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
    std::vector<reasonCase> table = {
        { "", "no-file-name", { "Dateiname" }, true },
        { "brief.TZV", "wrong-file-name", { "„brief.TZV“", "„.tzv“" }, true },
        { (folder / "fehlt.tzv").string(), "cannot-open", { "gibt es nicht" }, true },
        { (folder / "folder.tzv").string(), "cannot-open", { "Ordner" }, true },
        { (folder / "fifo.tzv").string(), "cannot-open", { "keine gewöhnliche Datei" }, true },
        { std::string(4194305, ' '), "file-too-large", { "4.194.305 Bytes", "4.194.304 Bytes" } },
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
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>48</wsArt>", "unknown-game-type", { "„48“", "47 (6 aus 45), 34" } },
        { document47(good, "<filter>AB1</filter>"), "bad-filter", { "„AB1“", "4" } },
        { document47(good, "<filter>AAAA" + repeated(",AAAA", 20) + "</filter>"), "too-many-filter-codes",
            { "20", "„,AAAA“" } },
        { document28("<ziroPlus>1</ziroPlus>"), "ziroplus-needs-version-4", { "<ziroPlus>", "3.0", "4.x" } },
        { document47("<schein></schein>"), "no-tips", { "47", "<ziroTipp>", "</schein>" } },
        { document47("<schein>" + repeated("<ziroTipp>01,02,03,04,05,06</ziroTipp>", 13) + "</schein>"),
            "too-many-tips", { "Spielart 47 (6 aus 45)", "12 <ziroTipp>" } },
        { document47(ticket("01,02,03,04,05")), "bad-number-list", { "5 Zahlen", "6" } },
        { document47(ticket("01,02,03,04,5X,06")), "bad-number-list", { "„5X“", "01 bis 45" } },
        { document47(ticket("01,02,03,04,05,46")), "number-out-of-range", { "46", "01 und 45" } },
        { document47(ticket("01,02,03,04,41,33")), "numbers-not-ascending", { "33 steht nach 41" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1"), "bad-pool-row", { "33 Zeichen", "18" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,Y,-,1,2"), "bad-pool-symbol", { "15.", "„Y“", "1, 2, X und -" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,1,X,-,1,2"), "wrong-dash-count", { "fünf", "diese hat 4" } },
        { pool("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2", "10,23,00,+1,21"), "bad-brakel-tip",
            { "2. Paar", "„3“", "0, 1, 2 und +" } },
    };
    // Each class of reason that once misled: what it must say now.
    const std::string ticket34 = "<schein><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl>"
                                 "<vexTippStern>01,02</vexTippStern></tipp></schein>";
    const std::vector<reasonCase> classes = {
        { ".tzv", "wrong-file-name", { "Vor „.tzv“ fehlt der Name" }, true },
        { "\"\"", "wrong-file-name", { "Dateiname ist leer" }, true },
        { "brief.Tzv", "wrong-file-name", { "„.Tzv“", "klein „.tzv“" }, true },
        { std::string(300, 'x') + ".tzv", "cannot-open", { "zu lang" }, true },
        { "<uvra>\n<versionsNr>4.0</versionsNr>\n<wsArt>47</wsArt>\n<sch\x1A" + std::string(50, ' '), "unclosed-tag",
            { "0x1A (Strg+Z) in Zeile 4, Spalte 5", "vor 50 weiteren Bytes", "löschen" } },
        { "\n<?xml version=\"1.0\"?><uvra>", "unexpected-element", { "ganz am Anfang" } },
        { "<?XML version=\"1.0\"?><uvra>", "unexpected-element", { "klein zu schreiben" } },
        { "<?xmlversion=\"1.0\"?><uvra>", "unexpected-element", { "„<?xml“", "Leerzeichen" } },
        { "<?xml version=\"1.0\" encodin=\"UTF-8\"?>", "bad-declaration", { "Erwartet wird „encoding=“" } },
        { pool("-,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2"), "bad-pool-symbol", { "Feldern 1 bis 5", "1, 2 und X" } },
        { pool("1,X,2,1,1,-,-,-,-,-,Y,1,2,1,X,1,1,2"), "bad-pool-symbol", { "„Y“", "schon" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><kundenNr>1</kundenNr>", "unexpected-element",
            { "<kundenNr> steht an falscher Stelle", "versionsNr, kundenNr, spielID, wsArt" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><tips>", "unexpected-element",
            { "<tnDauer>, <filter>, <wimbel>, <ziroPlus> oder <schein>", "„<tips>“" } },
        { document47(good, "<filter><!-- Codes -->AB12</filter>"), "text-outside-element", { "Kommentar", "„AB12“" } },
        { "<uvra><versionsNr>x4</versionsNr><wsArt>34</wsArt>", "version-mismatch",
            { "„x4“ ist keine Versionsnummer", "Spielart 34 (5 aus 50 plus 2 aus 12)", "4.x" } },
        { "<uvra><versionsNr></versionsNr><wsArt>47</wsArt>", "version-mismatch", { "<versionsNr> ist leer" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02", "bad-number-list",
            { "nur 2 Zahlen", "Die Datei endet in Zeile 1, Spalte 75" } },
        { document47(ticket("01,02,03,\n04,05,06")), "bad-number-list", { "Zeilenumbruch", "„04“" } },
        { document47("<schein><ziroTipp\n>01,02,03,04,05,06</ziroTipp></schein>"), "no-tips",
            { "<ziroTipp> enthält Leerraum" } },
        { "<uvra>\xE4", "invalid-utf8", { "endet in Zeile 1, Spalte 7", "Windows-1252", "„ä“" } },
        { std::string("<\0u\0v\0", 7), "nul-byte", { "UTF-16" } },
        { std::string("\0<\0u", 4), "wrong-first-bytes", { "UTF-16 ohne BOM" } },
        { "\n\n   \n", "unexpected-end", { "nur Leerzeichen und Leerzeilen" } },
    };
    table.insert(table.end(), classes.begin(), classes.end());
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
    EXPECT_NE(parser.reason.find("„4[Byte 0x01]777"), std::string::npos) << parser.reason;
    EXPECT_NE(parser.reason.find("…“"), std::string::npos) << parser.reason;
    EXPECT_LT(parser.reason.size(), 150u);
}

// A reason is one line a player reads: at most 140 characters, and no
// programmer's escape for a line break.
TEST(Reasons, FitOnALine)
{
    for (const char* folder : { "tests/data", "examples", "fuzz/regressions" }) {
        for (const auto& entry :
            std::filesystem::directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            tzvParser parser;
            parser.checkBytes(bytes);
            std::size_t characters = 0;
            for (const char c : parser.reason)
                characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            EXPECT_LE(characters, 140U) << entry.path() << ": " << parser.reason;
            EXPECT_EQ(parser.reason.find("\\n"), std::string::npos) << entry.path() << ": " << parser.reason;
        }
    }
}

} // namespace
