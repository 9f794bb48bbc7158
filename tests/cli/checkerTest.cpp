#include "checkFiles.h"
#include "safeText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kavrin::testing;

namespace {

struct runResult {
    std::string out;
    std::string err;
    int status = -1;
};

std::string drain(int fd)
{
    std::string text;
    char chunk[4096];
    ssize_t got;
    while ((got = ::read(fd, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<std::size_t>(got));
    ::close(fd);
    return text;
}

// Runs kavrin-check; with onTerminal its output goes to a pseudo-terminal,
// with stdoutFile to that file. stdinFile becomes its standard input.
runResult run(std::vector<std::string> args, bool onTerminal = false, const char* noColor = nullptr,
    const char* term = "xterm", const char* stdinFile = nullptr, const char* stdoutFile = nullptr)
{
    args.insert(args.begin(), KAVRIN_CHECK);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int outPipe[2], errPipe[2];
    EXPECT_EQ(::pipe(errPipe), 0);
    int master = -1;
    pid_t child;
    if (onTerminal) {
        child = ::forkpty(&master, nullptr, nullptr, nullptr);
    } else {
        EXPECT_EQ(::pipe(outPipe), 0);
        child = ::fork();
    }
    if (child == 0) {
        if (stdoutFile)
            ::dup2(::open(stdoutFile, O_WRONLY), STDOUT_FILENO);
        else if (!onTerminal)
            ::dup2(outPipe[1], STDOUT_FILENO);
        if (stdinFile)
            ::dup2(::open(stdinFile, O_RDONLY), STDIN_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::setenv("TERM", term, 1);
        if (noColor)
            ::setenv("NO_COLOR", noColor, 1);
        else
            ::unsetenv("NO_COLOR");
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(errPipe[1]);
    if (!onTerminal)
        ::close(outPipe[1]);
    runResult result;
    result.out = drain(onTerminal ? master : outPipe[0]);
    result.err = drain(errPipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

const std::string valid = document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>");
const std::string broken = "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n  <schein>\n"
                           "    <ziroTipp>05,12,18,33,41,46</ziroTipp>\n  </schein>\n</uvra>\n";
// What a correct file of one ticket with one tip holds.
const std::string summaryLine = "  1 Schein, 1 Tipp, Spielart 47 (6 aus 45), Version 4.0\n";
const std::string brokenMessage = "Die Datei enthält in der Zeile 5, Spalte 30 Inhalte, die nicht der aktuellen "
                                  "XML-Schnittstellenbeschreibung entsprechen.";

TEST(Checker, HumanOutputForms)
{
    const std::string good = writeTicketFile(valid, "good.tzv").string();
    const std::string bad = writeTicketFile(broken, "bad.tzv").string();
    const std::string missing = (scratchFolder() / "missing.tzv").string();

    const runResult correct = run({ good });
    EXPECT_EQ(correct.out, good + ": Datei korrekt. Tipps nun spielbar.\n" + summaryLine);
    EXPECT_EQ(correct.status, 0);

    const runResult positionless = run({ missing });
    EXPECT_EQ(positionless.out,
        missing + ": Konnte Datei nicht öffnen.\n  Grund: Die Datei gibt es nicht. Bitte Ordner und Namen prüfen.\n");
    EXPECT_EQ(positionless.status, 2) << "a file that cannot be read is trouble";

    const runResult positioned = run({ "--color=never", bad });
    EXPECT_EQ(positioned.out,
        bad + ":5:30: " + brokenMessage
            + "\n"
              "  Grund: 46 ist zu groß: Die Zahlen in <ziroTipp> liegen zwischen 01 und 45.\n"
              "2 |   <versionsNr>4.0</versionsNr>\n"
              "3 |   <wsArt>47</wsArt>\n"
              "4 |   <schein>\n"
              "5 |     <ziroTipp>05,12,18,33,41,46</ziroTipp>\n"
              "  |                              ^^\n"
              "6 |   </schein>\n"
              "7 | </uvra>\n");
    EXPECT_EQ(positioned.status, 1);

    const runResult several = run({ good, bad, good });
    EXPECT_EQ(several.status, 1);
    EXPECT_EQ(several.out.find(good + ": Datei korrekt."), 0u);
    EXPECT_NE(several.out.rfind("\n" + good + ": Datei korrekt."), std::string::npos);
}

TEST(Checker, ColourOnlyWhereWanted)
{
    const std::string bad = writeTicketFile(broken, "colour.tzv").string();
    const std::string red = "\x1b[1;31m46\x1b[0m";
    EXPECT_EQ(run({ bad }).out.find('\x1b'), std::string::npos) << "a pipe gets no colour";
    EXPECT_NE(run({ "--color=always", bad }).out.find(red), std::string::npos);
    EXPECT_NE(run({ "--color=always", bad }, false, "1").out.find(red), std::string::npos);
    EXPECT_NE(run({ bad }, true).out.find(red), std::string::npos) << "a terminal gets colour";
    EXPECT_EQ(run({ bad }, true, "1").out.find('\x1b'), std::string::npos) << "never with NO_COLOR";
    EXPECT_EQ(run({ "--color=never", bad }, true).out.find('\x1b'), std::string::npos);
}

TEST(Checker, JsonLines)
{
    const std::string good = writeTicketFile(valid, "j\"good.tzv").string();
    const std::string bad = writeTicketFile(broken, "jbad.tzv").string();
    const runResult result = run({ "--json", good, bad, "" });
    std::string goodJson = good;
    goodJson.replace(goodJson.find('"'), 1, "\\\"");
    EXPECT_EQ(result.out,
        "{\"file\":\"" + goodJson
            + "\",\"valid\":true,\"message\":\"Datei korrekt. Tipps nun spielbar.\",\"line\":0,\"column\":0,"
              "\"code\":null,\"reason\":null,\"excerpt\":null,\"summary\":{\"gameType\":47,\"game\":\"Spielart 47 (6 "
              "aus "
              "45)\",\"version\":\"4.0\",\"tickets\":1,\"tips\":1,\"goalScoreTips\":0,\"kundenNr\":false,\"spielID\":"
              "false,"
              "\"tnDauer\":false,\"filter\":false,\"wimbel\":false,\"ziroPlus\":false}}\n"
              "{\"file\":\""
            + bad + "\",\"valid\":false,\"message\":\"" + brokenMessage
            + "\",\"line\":5,\"column\":30,\"code\":\"number-out-of-range\",\"reason\":\"46 ist zu groß: Die "
              "Zahlen in <ziroTipp> liegen zwischen 01 und 45.\",\"excerpt\":{\"text\":\"  "
              "<versionsNr>4.0</versionsNr>\\r\\n  "
              "<wsArt>47</wsArt>\\r\\n  <schein>\\r\\n    <ziroTipp>05,12,18,33,41,46</ziroTipp>\\r\\n  "
              "</schein>\\r\\n</uvra>\\r\\n\",\"highlight\":[94,96],\"firstLine\":2,\"endLine\":8}}\n"
              "{\"file\":\"\",\"valid\":false,\"message\":\"Keine Datei angegeben.\",\"line\":0,\"column\":0,"
              "\"code\":\"no-file-name\",\"reason\":\"Es wurde kein Dateiname angegeben: Bitte eine .tzv-Datei "
              "wählen.\",\"excerpt\":null}\n");
    EXPECT_EQ(result.status, 1);
}

TEST(Checker, OptionsAndExitStatus)
{
    const std::string good = writeTicketFile(valid, "-dash.tzv").string();
    const runResult quiet = run({ "--quiet", good, "nope.tzv" });
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.status, 2);
    // The exit status as grep has it: 2 for trouble, also beside violations.
    const std::string bad = writeTicketFile(broken, "exit-bad.tzv").string();
    const std::string folder = (scratchFolder() / "ordner.tzv").string();
    std::filesystem::create_directories(folder);
    const struct {
        std::vector<std::string> arguments;
        int status;
    } exits[] = {
        { { "-q", good }, 0 },
        { { "-q", bad }, 1 },
        { { "-q", "wrong.xml" }, 1 },
        { { "-q", "missing.tzv" }, 2 },
        { { "-q", folder }, 2 },
        { { "-q", bad, "missing.tzv", good }, 2 },
        { { "--json=1", good }, 2 },
    };
    for (const auto& row : exits)
        EXPECT_EQ(run(row.arguments).status, row.status) << row.arguments.back();
    EXPECT_EQ(run({ "--json=1", good }).err, "kavrin-check: --json nimmt keinen Wert (Hilfe: kavrin-check --help)\n");
    EXPECT_EQ(run({ good, "--max-violations" }).err,
        "kavrin-check: --max-violations braucht einen Wert (Hilfe: kavrin-check --help)\n");
    EXPECT_EQ(run({ "--color=\x1b[31m", good }).err.find('\x1b'), std::string::npos);

    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(scratchFolder());
    const runResult dashed = run({ "--", "-dash.tzv" });
    std::filesystem::current_path(previous);
    EXPECT_EQ(dashed.out, "-dash.tzv: Datei korrekt. Tipps nun spielbar.\n" + summaryLine);
    EXPECT_EQ(dashed.status, 0);

    for (const std::vector<std::string>& wrong :
        { std::vector<std::string> {}, { "--bogus", good }, { "--color=rot", good }, { "--quiet" } }) {
        const runResult usage = run(wrong);
        EXPECT_EQ(usage.status, 2);
        EXPECT_EQ(usage.out, "");
        EXPECT_EQ(std::count(usage.err.begin(), usage.err.end(), '\n'), 1) << usage.err;
    }
    EXPECT_EQ(run({ "--help" }).status, 0);
    EXPECT_NE(run({ "--help" }).out.find("--json"), std::string::npos);
    EXPECT_EQ(run({ "--version" }).out,
        std::string("kavrin-check ") + KAVRIN_VERSION + "\nCopyright (c) 2026 The Kavrin authors. Lizenz: MIT.\n");
}

// GNU conventions: optional and separate option values, abbreviations,
// grouped short options; TERM=dumb has no colour; a failed write is an error.
TEST(Checker, CommandLineConventions)
{
    const std::string bad = writeTicketFile(broken, "conventions.tzv").string();
    const std::string red = "\x1b[1;31m46";
    EXPECT_NE(run({ "--color", bad }).out.find(red), std::string::npos);
    EXPECT_NE(run({ "--color", "always", bad }).out.find(red), std::string::npos);
    EXPECT_NE(run({ "--col=always", bad }).out.find(red), std::string::npos);
    EXPECT_EQ(run({ "--js", bad }).out.rfind("{\"file\":", 0), 0u);
    EXPECT_NE(run({ "-qh" }).out.find("Aufruf"), std::string::npos);
    EXPECT_EQ(run({ bad }, true, nullptr, "dumb").out.find('\x1b'), std::string::npos);

    const runResult full = run({ bad }, false, nullptr, "xterm", nullptr, "/dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("kavrin-check:"), std::string::npos);
}

// Standard input gives the records of the file; names and long lines reach a
// terminal tamed.
TEST(Checker, StandardInputNamesAndLongLines)
{
    const std::string bad = writeTicketFile(broken, "stdin.tzv").string();
    const runResult fromInput = run({ "--json", "-" }, false, nullptr, "xterm", bad.c_str());
    const std::string fromFile = run({ "--json", bad }).out;
    const std::size_t name = fromFile.find(bad);
    EXPECT_EQ(fromInput.out, std::string(fromFile, 0, name).append("-").append(fromFile, name + bad.size()));
    EXPECT_EQ(run({ "-" }, false, nullptr, "xterm", bad.c_str()).out.rfind("<stdin>:5:30: ", 0), 0u);

    const std::string hostile = writeTicketFile(broken, "a\x1b[31mb\x07.tzv").string();
    const std::string shown = run({ hostile }).out;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_NE(shown.find("a\\x1B[31mb\\x07.tzv:5:30: "), std::string::npos);

    const std::string oneLine = "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><!--" + std::string(4000000, 'x')
        + "--><schein><ziroTipp>01,02,03,04,05,46</ziroTipp></schein></uvra>";
    const std::string longOut = run({ writeTicketFile(oneLine, "line.tzv").string() }).out;
    EXPECT_LT(longOut.size(), 2000u);
    const std::size_t text = longOut.find("1 | …");
    const std::size_t carets = longOut.find("  |  ", text);
    ASSERT_NE(text, std::string::npos);
    ASSERT_NE(carets, std::string::npos);
    // The carets stand under the 46: same column, counted in characters.
    const auto columnOf = [&longOut](std::size_t from, std::string_view what) {
        const std::string line = longOut.substr(from, longOut.find(what, from) - from);
        return std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; });
    };
    EXPECT_EQ(columnOf(text, "46</ziroTipp>"), columnOf(carets, "^^"));
}

// Whatever a file holds, or its name, kavrin-check prints valid UTF-8 and
// names or replaces every character that would reorder, hide or fake text:
// the files of the tree, then hostile values at a place that is quoted.
TEST(Checker, PrintsOnlySafeText)
{
    std::vector<std::string> files;
    for (const char* folder : { "tests/data", "examples", "fuzz/regressions" })
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / folder))
            files.push_back(entry.path().string());
    const struct {
        const char* value;
        const char* named;
    } hostile[] = {
        { "\xED\xA0\x80", "[Byte 0xED][Byte 0xA0]" },
        { "\xE0\x80\x80", "[Byte 0xE0][Byte 0x80]" },
        { "\xF0\x80\x80\x80", "[Byte 0xF0][Byte 0x80]" },
        { "\xF4\x90\x80\x80", "[Byte 0xF4][Byte 0x90]" },
        { "\xE2\x80\xAE", "[U+202E (Schreibrichtungszeichen)]" },
        { "\xE2\x81\xA6", "[U+2066 (Schreibrichtungszeichen)]" },
        { "\xE2\x80\x8F", "[U+200F (Schreibrichtungszeichen)]" },
        { "\xD8\x9C", "[U+061C (Schreibrichtungszeichen)]" },
        { "\xC2\x85", "[U+0085 (Steuerzeichen)]" },
        { "\xE2\x80\xA8", "[U+2028 (Zeilentrenner)]" },
        { "\xC2\xA0", "[U+00A0 (geschütztes Leerzeichen)]" },
        { "\xE2\x80\x8B", "[U+200B (unsichtbares Leerzeichen)]" },
        { "\xEF\xBB\xBF", "[U+FEFF (unsichtbares BOM-Zeichen)]" },
        { "\xE2\x81\xA0", "[U+2060 (unsichtbares Zeichen)]" },
        { "\xEF\xBC\x91", "[U+FF11 (breite Ziffer)]" },
    };
    for (const auto& row : hostile) {
        const std::string name = "wert-" + std::to_string(files.size()) + "-\xE2\x80\xAE.tzv";
        const std::string value = std::string("4") + row.value + "6";
        files.push_back(writeTicketFile("<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02,"
                + value + ",04,05,06</ziroTipp></schein></uvra>\n",
            name)
                            .string());
        const runResult human = run({ files.back() });
        EXPECT_NE(human.out.find(row.named), std::string::npos) << human.out;
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const runResult json = run({ "--json", file });
        EXPECT_TRUE(isShownSafely(json.out, true, true)) << json.out;
        const runResult human = run({ "--color=never", file });
        EXPECT_TRUE(isShownSafely(human.out, true, true)) << human.out;
        const std::size_t reason = human.out.find("\n  Grund: ");
        if (reason != std::string::npos) {
            EXPECT_TRUE(isShownSafely(human.out.substr(reason + 1, human.out.find('\n', reason + 1) - reason - 1)));
        }
    }
}

} // namespace

namespace {

// Wide characters take two columns and the carets follow them; a short
// neighbouring line of a windowed excerpt shows its text; COLUMNS sets the
// width off a terminal too; a backslash in a name is doubled.
TEST(Checker, TerminalFormStaysLevel)
{
    const std::string wide
        = writeTicketFile("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>\n<schein><!--日本語-->"
                          "<ziroTipp>01,02,03,04,05,46</ziroTipp></schein></uvra>\n",
            "breit.tzv")
              .string();
    const std::string out = run({ wide }).out;
    EXPECT_NE(out.find("\n  |" + std::string(1 + 12 + 6 + 28, ' ') + "^^\n"), std::string::npos) << out;

    const std::string longLine = writeTicketFile("<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><!--"
            + std::string(120, 'x') + "--><ziroTipp>01,02,03,04,05,46</ziroTipp></schein></uvra>\n",
        "lang.tzv")
                                     .string();
    const std::string windowed = run({ longLine }).out;
    EXPECT_NE(windowed.find("1 | <uvra>\n"), std::string::npos) << windowed;

    ::setenv("COLUMNS", "60", 1);
    const std::string narrow = run({ longLine }).out;
    ::unsetenv("COLUMNS");
    EXPECT_LE(narrow.substr(narrow.find("2 | ")).find('\n'), 70U) << narrow;

    // In a window a TAB is blanks to its stop, in the text and under it; a
    // combining mark beyond the BMP is shown as itself.
    const std::string tabbed
        = writeTicketFile("<uvra>\n<versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><!--" + std::string(120, 'x')
                + "\t--><ziroTipp>01,02,03,04,05,46</ziroTipp><!--e\xF0\x9D\x85\xA7 --></schein></uvra>\n",
            "tab.tzv")
              .string();
    const std::string inWindow = run({ tabbed }).out;
    const std::size_t textLine = inWindow.find("2 | ");
    const std::string text = inWindow.substr(textLine, inWindow.find('\n', textLine) - textLine);
    const std::string marks = inWindow.substr(textLine + text.size() + 1, text.size());
    EXPECT_EQ(text.find('\t'), std::string::npos) << inWindow;
    EXPECT_NE(text.find("e\xF0\x9D\x85\xA7 "), std::string::npos) << inWindow;
    EXPECT_EQ(marks.find('^'), text.find("46<") - 2) << inWindow; // "…" is three bytes, one column

    // A place of no width still gets its caret, whole or in a window; a
    // neighbouring line that fits the window is shown whole.
    const std::string invisible = writeTicketFile("<uvra>\n<versionsNr>4.0</versionsNr>\n<!--" + std::string(20, 'x')
            + "--><kundenNr>\xE2\x80\x8B</kundenNr>\n<wsArt>47</wsArt></uvra>\n",
        "unsichtbar.tzv")
                                      .string();
    EXPECT_NE(run({ invisible }).out.find("\n  |" + std::string(38, ' ') + "^\n"), std::string::npos)
        << run({ invisible }).out;
    ::setenv("COLUMNS", "40", 1);
    const std::string narrowInvisible = run({ invisible }).out;
    ::unsetenv("COLUMNS");
    EXPECT_NE(narrowInvisible.find("^\n"), std::string::npos) << narrowInvisible;
    EXPECT_NE(narrowInvisible.find("\n2 | <versionsNr>4.0</versionsNr>\n"), std::string::npos) << narrowInvisible;

    const std::string backslash = writeTicketFile(valid, "back\\x1B.tzv").string();
    EXPECT_NE(run({ backslash }).out.find("back\\\\x1B.tzv:"), std::string::npos);
}

} // namespace

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(Checker, RepairWritesACopyOnly)
{
    const std::string sorted = "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>02,01,03,04,05,"
                               "06</ziroTipp></schein></uvra>\n";
    const std::string old = writeTicketFile(sorted, "alt.tzv").string();
    const auto stamp = std::filesystem::last_write_time(old);

    const runResult fixed = run({ "--repair", old });
    EXPECT_EQ(fixed.status, 0);
    EXPECT_EQ(fixed.out,
        "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02,03,04,05,"
        "06</ziroTipp></schein></uvra>\n");
    EXPECT_NE(fixed.err.find(old + ":1:70: korrigiert: Aufsteigend sortiert: „02,01"), std::string::npos) << fixed.err;
    EXPECT_NE(fixed.err.find("1 Korrektur; die korrigierte Fassung ist korrekt.\n"), std::string::npos);
    EXPECT_EQ(readFile(old), sorted);
    EXPECT_EQ(std::filesystem::last_write_time(old), stamp);

    const runResult left = run({ "-r", "--json", writeTicketFile(broken, "rest.tzv").string() });
    EXPECT_EQ(left.status, 1);
    EXPECT_EQ(left.out, broken);
    EXPECT_EQ(left.err.rfind("{\"file\":", 0), 0u);
    EXPECT_NE(left.err.find("\"changes\":[],\"repaired\":{\"file\":\"<korrigierte Fassung>\",\"valid\":false"),
        std::string::npos)
        << left.err;

    const runResult fromInput = run({ "--repair", "-" }, false, nullptr, "xterm", old.c_str());
    EXPECT_EQ(fromInput.out, fixed.out);

    EXPECT_EQ(run({ "--repair", old, old }).status, 2);
    const runResult onTerminal = run({ "--repair", old }, true);
    EXPECT_EQ(onTerminal.status, 2);
    EXPECT_EQ(onTerminal.out, "");
    EXPECT_EQ(run({ "--repair", "--force", old }, true).status, 0);
    // Sent onto itself, the file is refused, not emptied further.
    EXPECT_EQ(run({ "--repair", old }, false, nullptr, "xterm", nullptr, old.c_str()).status, 2);
    EXPECT_EQ(run({ "--repair", (scratchFolder() / "fehlt.tzv").string() }).status, 2);
    // From a file over the limit nothing is read, so nothing is written.
    const std::string huge = writeTicketFile(std::string(4 * 1024 * 1024 + 1, ' '), "gross.tzv").string();
    for (const char* mode : { "--repair", "--format" }) {
        const runResult tooLarge = run({ mode, huge });
        EXPECT_EQ(tooLarge.status, 2) << mode;
        EXPECT_EQ(tooLarge.out, "") << mode;
    }
    // The change list is the report of what was done: lost, the call failed.
    const std::string lost = std::string(KAVRIN_CHECK) + " --repair " + old + " >/dev/null 2>/dev/full";
    EXPECT_EQ(WEXITSTATUS(std::system(lost.c_str())), 2);
}

} // namespace
