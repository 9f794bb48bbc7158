#include "checkFiles.h"
#include "codes.h"
#include "tzvParser.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <vector>

using namespace kavrin::testing;

namespace {

// One row per rule: what breaks it, the code, what its reason must name (the
// value found and the limit or the expected element) and what it must not
// say.
enum class given { bytes, name, laterViolation };
struct reasonCase {
    std::string input; // the file's bytes, or its name
    const char* code;
    std::vector<std::string> named;
    std::vector<std::string> notSaid = {};
    // laterViolation: the last violation found when all are asked for.
    given what = given::bytes;
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

// The first row of each code gives the example of the code table.
std::vector<reasonCase> reasonTable()
{
    const std::filesystem::path folder = scratchFolder();
    std::filesystem::create_directory(folder / "folder.tzv");
    ::mkfifo((folder / "fifo.tzv").c_str(), 0600);
    std::vector<reasonCase> table = {
        { "", "no-file-name", { "Dateiname" }, {}, given::name },
        { "brief.TZV", "wrong-file-name", { "„brief.TZV“", "„.tzv“" }, {}, given::name },
        { (folder / "fehlt.tzv").string(), "cannot-open", { "gibt es nicht" }, {}, given::name },
        { (folder / "folder.tzv").string(), "cannot-open", { "Ordner" }, {}, given::name },
        { (folder / "fifo.tzv").string(), "cannot-open", { "keine gewöhnliche Datei" }, {}, given::name },
        { std::string(4194305, ' '), "file-too-large", { "4.194.305 Bytes", "4.194.304 Bytes" } },
        { document47(repeated(good + "\n", 1001)), "too-many-tickets", { "1000", "1001.", "Zeile 1001" } },
        { "\xFF\xFE<\0u\0", "wrong-first-bytes", { "0xFF 0xFE", "UTF-16" } },
        { "", "wrong-first-bytes", { "leer" } },
        { "<uvra>\n<!-- f\xFCr -->", "invalid-utf8", { "0xFC", "Zeile 2, Spalte 7", "Windows-1252", "„ü“" } },
        { std::string("<uvra><vers\0", 12), "nul-byte", { "NUL", "Zeile 1, Spalte 12" } },
        { "<?xml version=\"1.1\"?><uvra>", "bad-declaration", { "„\"1.1\"“", "„\"1.0\"“" } },
        { "<?xml version=\"1.0\" encoding=\"latin1\"?>", "unsupported-encoding", { "„latin1“", "UTF-8" } },
        { "<uvra><versionsNr>4.0</versionsNr>", "unexpected-end", { "Zeile 1", "</uvra>" } },
        { "<uvra><versionsNr", "unclosed-tag", { "„<versionsNr“", "„>“" } },
        { "<uvra>abc<versionsNr>", "text-outside-element", { "„abc“", "„<“" } },
        { "<uvra><wsart>", "unexpected-element", { "<versionsNr>", "<wsart>" } },
        { "<uvra><versionsNr>4.0</versionNr>", "missing-end-tag", { "</versionsNr>", "</versionNr>" } },
        { document47(good) + "\nx", "content-after-root", { "</uvra>", "„x“" }, { "Leerraum" } },
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
            "too-many-tips", { "Spielart 47", "12 <ziroTipp>" } },
        { document47(ticket("01,02,03,04,5X,06")), "bad-number-list", { "„5X“", "01 bis 45" } },
        { document47(ticket("01,02,03,04,05")), "bad-number-list", { "5 Zahlen", "6" } },
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
        { ".tzv", "wrong-file-name", { "Vor „.tzv“ fehlt der Name" }, {}, given::name },
        { "\"\"", "wrong-file-name", { "Dateiname ist leer" }, {}, given::name },
        { "brief.Tzv", "wrong-file-name", { "„.Tzv“", "klein „.tzv“" }, {}, given::name },
        { std::string(300, 'x') + ".tzv", "cannot-open", { "zu lang" }, {}, given::name },
        { "<uvra>\n<versionsNr>4.0</versionsNr>\n<wsArt>47</wsArt>\n<sch\x1A" + std::string(50, ' '), "unclosed-tag",
            { "0x1A (Strg+Z) in Zeile 4, Spalte 5", "vor 50 weiteren Bytes", "löschen" } },
        { "\n<?xml version=\"1.0\"?><uvra>", "unexpected-element", { "ganz am Anfang" } },
        { "<?XML version=\"1.0\"?><uvra>", "unexpected-element", { "klein zu schreiben" } },
        { "<?xmlversion=\"1.0\"?><uvra>", "unexpected-element", { "„<?xml“", "Leerzeichen" } },
        { "<?xml version=\"1.0\" encodin=\"UTF-8\"?>", "bad-declaration", { "Erwartet wird „encoding=“" } },
        { pool("-,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2"), "bad-pool-symbol", { "Feldern 1 bis 5", "1, 2 und X" } },
        { pool("1,X,2,1,1,-,-,-,-,-,Y,1,2,1,X,1,1,2"), "bad-pool-symbol", { "„Y“", "schon" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><kundenNr>1</kundenNr>", "unexpected-element",
            { "<kundenNr> steht an falscher Stelle", "vor <wsArt>" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><tips>", "unexpected-element",
            { "<tnDauer>, <filter>, <wimbel>, <ziroPlus> oder <schein>", "„<tips>“" } },
        { document47(good, "<filter><!-- Codes -->AB12</filter>"), "text-outside-element",
            { "In <filter> steht ein Kommentar" } },
        { "<uvra><versionsNr>x4</versionsNr><wsArt>34</wsArt>", "version-mismatch",
            { "„x4“ ist keine Versionsnummer", "Spielart 34 (5 aus 50 plus 2 aus 12)", "4.x" } },
        { "<uvra><versionsNr></versionsNr><wsArt>47</wsArt>", "version-mismatch", { "<versionsNr> ist leer" } },
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02", "bad-number-list",
            { "nur 2 Zahlen", "Die Datei endet schon in Zeile 1, Spalte 75" } },
        { document47(ticket("01,02,03,\n04,05,06")), "bad-number-list", { "Zeilenumbruch", "„04“" } },
        { document47("<schein><ziroTipp\n>01,02,03,04,05,06</ziroTipp></schein>"), "no-tips",
            { "Im Tag <ziroTipp> steht ein Zeilenumbruch" }, { "Leerraum" } },
        { "<uvra>\xE4", "invalid-utf8", { "Zeile 1, Spalte 7", "Windows-1252", "„ä“" } },
        { std::string("<\0u\0v\0", 7), "nul-byte", { "UTF-16" } },
        { std::string("\0<\0u", 4), "wrong-first-bytes", { "UTF-16 ohne BOM" } },
        { std::string("\xFF\xFE\0\0<\0\0\0", 8), "wrong-first-bytes", { "BOM von UTF-32" }, { "UTF-16" } },
        { std::string("\0\0\xFE\xFF\0\0\0<", 8), "wrong-first-bytes", { "BOM von UTF-32" }, { "UTF-16" } },
        { "\n\n   \n", "unexpected-end", { "nur Leerzeichen und Leerzeilen" } },
        // A comment inside a value, after a part of it or before all of it.
        { document47(good).insert(34, "<kundenNr>12<!-- Kunde -->34</kundenNr>"), "text-outside-element",
            { "In <kundenNr> steht ein Kommentar; Kommentare sind in Werten nicht erlaubt." }, { "Gefunden" } },
        { document47(good).insert(34, "<kundenNr><!-- Kunde -->34</kundenNr>"), "not-a-number",
            { "In <kundenNr> steht ein Kommentar" }, { "„“" } },
        { document47(ticket("<![CDATA[01,02,03,04,05,06]]>")), "bad-number-list",
            { "In <ziroTipp> steht ein CDATA-Abschnitt" }, { "leer" } },
        { document47(good, "<filter/>"), "unexpected-element", { "Die Kurzform „<filter/>“", "<filter>…</filter>" },
            { "Erwartet" } },
        // Line breaks said in words, and never a character cut in half.
        { "<uvra><versionsNr>4.0</versionsNr><wsArt>\n47</wsArt>", "unknown-game-type",
            { "In <wsArt> steht vor „47“ ein Zeilenumbruch" }, { "„…“", "muss 47" } },
        { "<uvra><versionsNr>\n3.0</versionsNr><wsArt>47</wsArt>", "version-mismatch", { "„3.0“ passt nicht" },
            { "„…“", "keine Versionsnummer" } },
        { "<?xml version=\"1.0\"\n  encoding=\"UTF-8\"?><uvra>", "bad-declaration", { "auf eine Zeile" }, { "„…“" } },
        { "<?xml version=\"1.0\"\xC3\xA4?><uvra>", "bad-declaration", { "„ä?“" }, { "[Byte 0xA4]" } },
        // Encoding faults that saving as UTF-8 does not mend.
        { "<?xml version=\"1.0\" encoding=\"Utf-8\"?><uvra>", "unsupported-encoding",
            { "In der XML-Deklaration muss encoding=\"UTF-8\" stehen, gefunden „Utf-8“" }, { "speichern" } },
        { "<?xml version=\"1.0\" encoding=\"UTF-8?><uvra>", "unsupported-encoding", { "„encoding=\"UTF-8“" } },
        { "\xEF\xBB<uvra>", "wrong-first-bytes", { "0xEF 0xBB", "diese 2 Bytes löschen" }, { "speichern" } },
        { "\xFE<uvra>", "wrong-first-bytes", { "0xFE", "dieses Byte löschen" }, { "speichern", "UTF-16" } },
        { "\xFE\xFF<uvra>", "wrong-first-bytes", { "0xFE 0xFF", "diese 2 Bytes löschen" },
            { "als UTF-16 gespeichert" } },
        { document47(good, "<!-- \xC3\xA4 -->").insert(44, "\xBB"), "invalid-utf8",
            { "Ein einzelnes ungültiges Byte 0xBB; bitte das Zeichen in Zeile 1, Spalte 45 neu eingeben." },
            { "Windows-1252", "speichern" } },
        { "<uvra><!-- \xE2\x82", "invalid-utf8", { "abgeschnitten", "Zeile 1, Spalte 12", "0xE2 0x82" },
            { "Windows-1252" } },
        { "<uvra><!-- \xC3\x1A\xA4 -->", "invalid-utf8",
            { "0x1A (Strg+Z) in Zeile 1, Spalte 13 schneidet die Datei mitten in einem Zeichen ab", "löschen" } },
        // Values whose reason pointed to the wrong fix.
        { document47(ticket("01,040,05,06,07,08")), "bad-number-list",
            { "Zahlen haben genau zwei Ziffern, gefunden „040“" }, { "Komma" } },
        { document47(good, "<filter>AB12;CD34</filter>"), "bad-filter", { "Codes werden mit Komma getrennt", "„;“" },
            { "Großbuchstaben" } },
        { document47(good, "<filter>ÄB12</filter>"), "bad-filter", { "nur A–Z ohne Umlaute und Ziffern", "„ÄB12“" } },
        // After the advice on the version, none to remove what it allows.
        { "<uvra><versionsNr>3.0</versionsNr><wsArt>47</wsArt><ziroPlus>1</ziroPlus>" + good + "</uvra>",
            "ziroplus-needs-version-4", { "4.0" }, { "entfernen" }, given::laterViolation },
        // German: the nominative, nothing empty in quotes, the blanks named.
        { document47(ticket("01,02\n03,04,05,06")), "bad-number-list", { "gefunden: ein Zeilenumbruch" },
            { "einen Zeilenumbruch" } },
        { document47(good, "<filter>AB12,,CD34</filter>"), "bad-filter", { "zwei Kommas hintereinander" },
            { "0 Zeichen", "„“" } },
        { document47("<schein><ziroTipp >01,02,03,04,05,06</ziroTipp></schein>"), "no-tips",
            { "Im Tag <ziroTipp> steht ein Leerzeichen" }, { "Leerraum" } },
        { document47(ticket("01,02,03,04,05,06,07")), "bad-number-list", { "Ein <ziroTipp> hat genau 6 Zahlen" } },
        { document47(good).insert(34, "<kundenNr>12a </kundenNr>"), "not-a-number",
            { "gefunden „12a“, dann ein Leerzeichen" } },
        { std::string("<uvra><vers\0\0\0", 14), "nul-byte", { "3 NUL-Bytes (0x00) ab Zeile 1, Spalte 12" } },
    };
    table.insert(table.end(), classes.begin(), classes.end());
    return table;
}

kavrin::violation violationOf(const reasonCase& row)
{
    tzvParser parser;
    if (row.what == given::name) {
        parser.fileName = row.input;
        parser.check();
    } else {
        parser.maxViolations = row.what == given::laterViolation ? tzvParser::defaultMaxViolations : 1;
        parser.checkBytes(row.input);
    }
    return parser.violations.empty() ? kavrin::violation {} : parser.violations.back();
}

std::string textOf(const std::string& relativePath)
{
    std::ifstream in(std::string(KAVRIN_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> declaredCodes()
{
    const std::string codes = textOf("validator/codes.h");
    std::vector<std::string> declared;
    for (std::size_t at = codes.find("= \""); at != std::string::npos; at = codes.find("= \"", at + 1))
        declared.push_back(codes.substr(at + 3, codes.find('"', at + 3) - at - 3));
    return declared;
}

TEST(Reasons, EveryRuleHasItsCodeAndNamesWhatWasFound)
{
    const std::vector<reasonCase> table = reasonTable();
    // A code added to codes.h without a row here fails this test.
    const std::vector<std::string> declared = declaredCodes();
    for (const std::string& code : declared)
        EXPECT_TRUE(std::any_of(table.begin(), table.end(), [&](const reasonCase& row) { return row.code == code; }))
            << "no row for " << code;
    EXPECT_GT(declared.size(), 30U);
    for (const reasonCase& row : table) {
        SCOPED_TRACE(row.input.substr(0, 120));
        const kavrin::violation shown = violationOf(row);
        EXPECT_EQ(shown.code, row.code) << shown.message;
        for (const std::string& part : row.named)
            EXPECT_NE(shown.reason.find(part), std::string::npos) << shown.reason << "\nlacks: " << part;
        for (const std::string& part : row.notSaid)
            EXPECT_EQ(shown.reason.find(part), std::string::npos) << shown.reason << "\nsays: " << part;
    }
}

// The code table of the documentation gives for each code the reason the
// program gives and whether the check goes on after it, and the example of
// --json a current reason.
TEST(Reasons, CodeTableSaysWhatTheProgramSays)
{
    const std::vector<reasonCase> table = reasonTable();
    const std::string documented = textOf("docs/codes.md");
    for (const std::string& code : declaredCodes()) {
        SCOPED_TRACE(code);
        const std::size_t row = documented.find("| `" + code + "` | ");
        ASSERT_NE(row, std::string::npos);
        std::vector<std::string> columns;
        const std::string line = documented.substr(row + 2, documented.find('\n', row) - row - 4);
        for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 3) {
            bar = line.find(" | ", from);
            columns.push_back(line.substr(from, bar - from));
        }
        ASSERT_EQ(columns.size(), 5U) << line;
        const auto first
            = std::find_if(table.begin(), table.end(), [&](const reasonCase& r) { return r.code == code; });
        ASSERT_NE(first, table.end());
        EXPECT_EQ(columns[2], violationOf(*first).reason);
        EXPECT_EQ(columns[4], kavrin::codes::continuesAfter(code) ? "ja" : "nein");
    }
    const std::string cli = textOf("docs/cli.md");
    const std::size_t example = cli.find("\"reason\":\"", cli.find("$ kavrin-check --json examples/"));
    ASSERT_NE(example, std::string::npos);
    const std::string shown = cli.substr(example + 10, cli.find('"', example + 10) - example - 10);
    tzvParser parser;
    parser.checkBytes(textOf("examples/fehler-version-spielart.tzv"));
    EXPECT_EQ(shown, parser.reason);
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

// A reason is one line a player reads: at most 140 characters, nine in ten
// within 100, and no programmer's escape for a line break.
TEST(Reasons, FitOnALine)
{
    std::set<std::string> distinct;
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
            if (!parser.reason.empty())
                distinct.insert(parser.reason);
        }
    }
    const auto withinHundred = std::count_if(distinct.begin(), distinct.end(),
        [](const std::string& reason) { return kavrin::utf8::characters(reason) <= 100; });
    EXPECT_GE(10 * withinHundred, 9 * static_cast<std::ptrdiff_t>(distinct.size()));
}

} // namespace
