#include "checkFiles.h"
#include "dataInput.h"
#include "ticketData.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace kavrin::testing;

extern char** environ;

namespace {

struct runResult {
    std::string out;
    std::string err;
    int status = -1;
};

// Runs a program with the text as its standard input; what it writes is
// caught in files, so that no pipe can fill.
runResult run(const char* program, std::vector<std::string> args, std::string_view input = {})
{
    const std::filesystem::path in = writeTicketFile(input, "eingabe.txt");
    const std::filesystem::path out = scratchFolder() / "stdout.txt";
    const std::filesystem::path err = scratchFolder() / "stderr.txt";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& each : args)
        argv.push_back(each.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    runResult result;
    if (posix_spawn(&child, program, &files, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(child, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&files);
    result.out = bytesOfFile(out);
    result.err = bytesOfFile(err);
    return result;
}

runResult make(std::vector<std::string> args, std::string_view input = {})
{
    return run(KAVRIN_MAKE, std::move(args), input);
}

// The data of a file as --export has it, without the file's name.
std::string dataOf(std::string_view bytes)
{
    const kavrin::reading found = kavrin::read(bytes);
    if (!found.data)
        return "not correct: " + found.checked.first()->reason;
    return kavrin::cli::exportJson("", *found.data);
}

std::string exported(std::string_view members) { return "{\"file\":\"\"," + std::string(members) + "}"; }

// Each form of input, each game: the file written checks correct and holds
// the data given.
TEST(Make, WritesTheDataOfEachFormAndGame)
{
    const struct {
        const char* what;
        std::string input;
        std::string data;
    } rows[] = {
        { "CSV, 6 aus 45, numbers in any order",
            "# Runde "
            "12\nwsArt=47;kundenNr=004711;tnDauer=2\n1;45;3;11;19;27;38\n1;1;2;3;4;5;6\n\n2;\"7\";8;9;10;11;12;;\n",
            exported("\"versionsNr\":\"4.0\",\"kundenNr\":4711,\"wsArt\":47,\"tnDauer\":2,\"schein\":[{\"ziroTipp\":"
                     "[[3,11,19,27,38,45],[1,2,3,4,5,6]]},{\"ziroTipp\":[[7,8,9,10,11,12]]}]") },
        { "CSV with commas, 5 aus 50 plus 2 aus 12, a quoted filter",
            "\xEF\xBB\xBFwsArt=34,\"filter=AB12,7K3Z\",anzahlWimbelProSchein=2,ziroPlus=1\r\n1,7,13,22,41,50,2,11\r\n",
            exported("\"versionsNr\":\"4.0\",\"wsArt\":34,\"filter\":[\"AB12\",\"7K3Z\"],\"wimbel\":{"
                     "\"anzahlWimbelProSchein\":2},\"ziroPlus\":1,\"schein\":[{\"tipp\":[{\"vexTippZahl\":[7,13,22,41,"
                     "50],\"vexTippStern\":[2,11]}]}]") },
        { "CSV, Ergebniswette with a goal-score tip, CR line ends",
            "wsArt=28;versionsNr=3.1\r1;1;X;2;1;1;-;2;X;-;1;1;-;2;-;X;-;1;2\r1;10;2+;00;+1;21\r",
            exported("\"versionsNr\":\"3.1\",\"wsArt\":28,\"schein\":[{\"fenuTipp\":[[\"1\",\"X\",\"2\",\"1\",\"1\","
                     "\"-\",\"2\",\"X\",\"-\",\"1\",\"1\",\"-\",\"2\",\"-\",\"X\",\"-\",\"1\",\"2\"]],\"brakelTipp\":["
                     "\"10\",\"2+\",\"00\",\"+1\",\"21\"]}]") },
        { "JSON as --export writes it, pretty",
            "{\n  \"file\": \"x.tzv\",\n  \"wsArt\": 47,\n  \"filter\": [],\n  \"schein\": [\n    {\"ziroTipp\": "
            "[[6, 5, 4, 3, 2, 1]]}\n  ]\n}\n",
            exported("\"versionsNr\":\"4.0\",\"wsArt\":47,\"filter\":[],\"schein\":[{\"ziroTipp\":[[1,2,3,4,5,6]]}]") },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const runResult made = make({}, row.input);
        EXPECT_EQ(made.status, 0) << made.err;
        EXPECT_EQ(made.err, "");
        EXPECT_EQ(dataOf(made.out), row.data);
    }
}

// Input that makes no correct file: the reason at its line, exit 1.
TEST(Make, BadInputIsSaidAtItsLine)
{
    std::string manyTickets = "wsArt=47\n";
    for (int i = 1; i <= 1001; ++i)
        manyTickets += std::to_string(i) + ";1;2;3;4;5;6\n";
    std::string manyTips = "wsArt=47\n";
    for (int i = 1; i <= 13; ++i)
        manyTips += "1;1;2;3;4;5;6\n";
    const struct {
        std::string input;
        unsigned line;
        const char* said;
    } rows[] = {
        { "{\"wsArt\": 47\n \"schein\": []}", 2,
            "Nach einem Wert folgt ein Komma oder „}“, gefunden „\"schein\": []}“." },
        { "{\"wsArt\": 47,\n \"schein\": [\n", 3, "Die Eingabe endet mitten in einem JSON-Wert." },
        { "{\"wsArt\": \"47\"}", 1, "„wsArt“ ist eine Zahl, hier steht ein Text." },
        { "{\"wsArt\": 47, \"schein\": [{\"ziroTipp\": [[1, 2, 3, 4, 5, -6]]}]}", 1,
            "„ziroTipp“: „-6“ ist keine ganze Zahl" },
        { "{\"wsArt\": 47,\n\"spielart\": 1}", 2,
            "Unbekannter Schlüssel „spielart“ in <uvra>; erlaubt sind versionsNr," },
        { "{\"wsArt\": 47, \"schein\": [{\"fenuTipp\": []}]}", 1, "Unbekannter Schlüssel „fenuTipp“ in <schein>" },
        { "{\"wsArt\": 47}", 1, "In <uvra> fehlt „schein“." },
        { "{\"wsArt\": 34, \"schein\": [{\"tipp\": [{\"vexTippZahl\": [1, 2, 3, 4, 5]}]}]}", 1,
            "In <tipp> fehlt „vexTippStern“." },
        { "{\"wsArt\": 28, \"schein\": [{\"fenuTipp\": [[\"1X\"]]}]}", 1, "Jedes Feld einer Reihe ist ein Zeichen" },
        { "{\"wsArt\": 47, \"wsArt\": 47}", 1, "Der Schlüssel „wsArt“ steht zweimal im selben Objekt." },
        { "{\"wsArt\": 47}\n{\"wsArt\": 34}", 2, "Nach dem JSON-Wert folgt nichts mehr, gefunden „{\"wsArt\": 34}“." },
        { "{\"a\":" + std::string(100000, '['), 1,
            "Die JSON-Werte sind tiefer verschachtelt, als Tippdaten es je sind." },
        { "{\"versionsNr\": \"4\xC3\"}", 1, "Eine Zeichenkette ist kein gültiges UTF-8." },
        { "{\"versionsNr\": \"\\ud800\"}", 1, "Eine Zeichenkette enthält eine ungültige Escape-Folge" },
        { "{\"wsArt\": 047}", 1, "„047“ ist keine JSON-Zahl." },
        { "{\"versionsNr\": \"4\\u0000\", \"wsArt\": 47, \"schein\": [{\"ziroTipp\": [[1, 2, 3, 4, 5, 6]]}]}", 1,
            "<versionsNr> „4[Byte 0x00]“ enthält ein Zeichen, das in keinem Wert stehen kann" },
        { "# nur ein Kommentar\n", 1, "Die Eingabe hat keine Kopfzeile und keine Tipps." },
        { "1;1;2;3;4;5;6\n", 1, "Die Kopfzeile hat Zellen NAME=WERT mit den Namen versionsNr, kundenNr," },
        { "kundenNr=1\n", 1, "Die Kopfzeile nennt die Spielart: wsArt=47, wsArt=34 oder wsArt=28." },
        { "wsArt=47;wsArt=47\n", 1, "„wsArt“ steht zweimal in der Kopfzeile." },
        { "wsArt=47;maximaleWimbelAnzahl=2\n1;1;2;3;4;5;6\n", 1, ":1: In <wimbel> fehlt „anzahlWimbelProSchein“." },
        { "wsArt=17\n", 1, "Erlaubt in <wsArt>: 47 (6 aus 45), 34 (5 aus 50 plus 2 aus 12), 28" },
        { "wsArt=47;tnDauer=zwei\n", 1, "„tnDauer“: „zwei“ ist keine Zahl." },
        { "wsArt=47\n\n1;1;2;3;4;5\n", 3, "hat nach der Nummer des Scheins 6 Felder eines Tipps, diese hat 5." },
        { "wsArt=28\n1;1;2;3\n", 2, "18 Felder eines Tipps oder 5 Paare der Torwette, diese hat 3." },
        { "wsArt=47\nA;1;2;3;4;5;6\n", 2, "In Spalte 1 steht die Nummer des Scheins (1, 2, …), gefunden „A“." },
        { "wsArt=47\n1;1;;3;4;5;6\n", 2, "Spalte 3 ist leer." },
        { "wsArt=47\n1;1;2;3;4;5;sechs\n", 2, "Spalte 7: „sechs“ ist keine Zahl." },
        { "wsArt=47\n1;\"1;2;3;4;5;6\n", 2, "In Spalte 2 fehlt das schließende Anführungszeichen." },
        { "wsArt=28\n1;1;X;2;1;1;-;2;X;-;1;1;-;2;-;X;-;1;2\n1;10;2+;00;+1;21\n1;10;2+;00;+1;21\n", 4,
            "Schein 1 hat schon einen <brakelTipp>." },
        { "wsArt=47\n1;1;2;3;4;5;6\n1;1;2;3;4;5;46\n", 3,
            "Schein 1, Tipp 2: 46 ist zu groß: Die Zahlen in <ziroTipp> liegen zwischen 01 und 45." },
        { "wsArt=47;kundenNr=0\n1;1;2;3;4;5;6\n", 1, "<kundenNr> muss zwischen 1 und 999999 liegen" },
        { "wsArt=28;ziroPlus=1\n1;1;X;2;1;1;-;2;X;-;1;1;-;2;-;X;-;1;2\n", 1, "<ziroPlus> gibt es erst ab" },
        { "wsArt=28\n1;1;X;2;1;1;-;2;X;-;1;1;-;2;-;X;-;1;2\n1;10;3+;00;+1;21\n", 3,
            "Schein 1: Im 2. Paar von <brakelTipp> steht „3“" },
        { "wsArt=28\n1;1;x;2;1;1;-;2;X;-;1;1;-;2;-;X;-;1;2\n", 2, "Schein 1, Tipp 1: Im 2. Feld steht „x“" },
        { manyTips, 14, "Schein 1: Bei Spielart 47 hat ein <schein> höchstens 12 <ziroTipp>" },
        { manyTickets, 1002, "Eine Datei hat höchstens 1000 Scheine, diese Daten haben 1001." },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input.substr(0, 80));
        const runResult made = make({}, row.input);
        EXPECT_EQ(made.status, 1);
        EXPECT_EQ(made.out, "");
        const std::string place = "kavrin-make: <stdin>:" + std::to_string(row.line) + ": ";
        EXPECT_EQ(made.err.rfind(place, 0), 0u) << made.err;
        EXPECT_NE(made.err.find(row.said), std::string::npos) << made.err;
    }
}

// A file is written whole under its name, never over another without
// --force; a wrong call writes nothing.
TEST(Make, WritesFilesOnlyAsAsked)
{
    const std::string csv = "wsArt=47\n1;1;2;3;4;5;6\n";
    const std::string target = (scratchFolder() / "neu.tzv").string();
    const std::string old = "alt";
    const std::filesystem::path there = writeTicketFile(old, "da.tzv");
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* said;
        std::string file;
        std::string holds; // the file's data afterwards; "alt" for its old bytes
    } rows[] = {
        { "a new file", { "-o", target, "--crlf", "--comment=Runde 12" }, 0, "", target,
            exported("\"versionsNr\":\"4.0\",\"wsArt\":47,\"schein\":[{\"ziroTipp\":[[1,2,3,4,5,6]]}]") },
        { "an existing file", { "--output=" + there.string() }, 2, "gibt es schon; --force ersetzt die Datei.",
            there.string(), old },
        { "an existing file, forced", { "--force", "-o", there.string() }, 0, "", there.string(),
            exported("\"versionsNr\":\"4.0\",\"wsArt\":47,\"schein\":[{\"ziroTipp\":[[1,2,3,4,5,6]]}]") },
        { "a name the check refuses", { "-o", (scratchFolder() / "neu.xml").string() }, 2,
            "Ungültiger Dateiname. Die Datei muss mit '.tzv' enden.", (scratchFolder() / "neu.xml").string(), "" },
        { "a comment that would end early", { "--comment=a--b" }, 2, "--comment: Ein Kommentar steht", "", "" },
        { "an input that is not there", { "fehlt.csv" }, 2, "fehlt.csv: ", "", "" },
        { "two inputs", { "a.csv", "b.csv" }, 2, "höchstens eine EINGABE", "", "" },
        { "an unknown option", { "--farbe" }, 2, "unbekannte oder mehrdeutige Option '--farbe'", "", "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const runResult made = make(row.args, csv);
        EXPECT_EQ(made.status, row.status);
        EXPECT_NE(made.err.find(row.said), std::string::npos) << made.err;
        if (!row.file.empty()) {
            EXPECT_EQ(made.out, "");
            const bool exists = std::filesystem::exists(row.file);
            EXPECT_EQ(exists, !row.holds.empty());
            if (exists) {
                EXPECT_EQ(row.holds == old ? bytesOfFile(row.file) : dataOf(bytesOfFile(row.file)), row.holds);
            }
        }
    }
    EXPECT_EQ(
        bytesOfFile(target).substr(0, 65), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- Runde 12 -->\r\n<uvra>");
    // Replaced, a file keeps its permissions; through a link, the file it
    // leads to is replaced.
    namespace fs = std::filesystem;
    const fs::perms private_ = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(there, private_);
    ASSERT_EQ(make({ "--force", "-o", there.string() }, csv).status, 0);
    EXPECT_EQ(fs::status(there).permissions() & fs::perms::all, private_);
    const fs::path link = scratchFolder() / "verweis.tzv";
    fs::create_symlink(there, link);
    ASSERT_EQ(make({ "--force", "-o", link.string() }, csv).status, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratchFolder()), {}), 6) << "a file left behind";
}

// --export gives a correct file's data, one line a file, and a file with a
// violation its diagnostic on standard error; what it gives, kavrin-make
// makes into a file of the same data.
TEST(Make, ExportedDataMakesTheSameFile)
{
    const std::string examples = std::string(KAVRIN_SOURCE_DIR) + "/examples/";
    const runResult exported = run(KAVRIN_CHECK,
        { "--export", examples + "korrekt-47-ziro.tzv", examples + "fehler-zahl-zu-gross.tzv",
            examples + "korrekt-28-pool.tzv", examples + "korrekt-34-vex.tzv" });
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err.rfind(examples + "fehler-zahl-zu-gross.tzv:8:30: Die Datei enthält", 0), 0u);
    std::size_t lines = 0;
    for (std::size_t at = 0; at < exported.out.size(); ++lines) {
        const std::size_t end = exported.out.find('\n', at);
        const std::string line = exported.out.substr(at, end - at);
        at = end + 1;
        const std::string file = line.substr(9, line.find('"', 9) - 9);
        SCOPED_TRACE(file);
        const runResult made = make({}, line);
        ASSERT_EQ(made.status, 0) << made.err;
        EXPECT_EQ(dataOf(made.out), dataOf(bytesOfFile(file)));
    }
    EXPECT_EQ(lines, 3u);
}

} // namespace
