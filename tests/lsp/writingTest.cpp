#include "writing.h"
#include "formatter.h"
#include "kavrin.h"
#include "outline.h"
#include "protocol.h"
#include "tagScan.h"
#include "textVersion.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using kavrin::lsp::positionEncoding;
using kavrin::lsp::textVersion;
using nlohmann::json;

namespace {

constexpr std::uint64_t nowhere = UINT64_MAX;

std::vector<std::filesystem::path> sampleFiles()
{
    std::vector<std::filesystem::path> files;
    for (const char* folder : { "examples", "tests/data", "tests/repair/files" })
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / folder))
            if (entry.path().extension() == ".tzv")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::uint64_t firstFault(std::string_view bytes)
{
    const kavrin::result checked = kavrin::check(kavrin::source::bytes(bytes));
    return checked.valid() ? nowhere : checked.violations.front().line == 0 ? 0 : checked.violations.front().offset;
}

// A snippet as the editor inserts it with its placeholders left as they are.
std::string withPlaceholders(const json& item)
{
    const std::string text = item["textEdit"]["newText"];
    if (item["insertTextFormat"] != 2)
        return text;
    return std::regex_replace(
        std::regex_replace(text, std::regex(R"(\$\{\d+:([^}]*)\})"), "$1"), std::regex(R"(\\(.))"), "$1");
}

// The text with an item's edit made.
std::string inserted(const textVersion& text, const json& item, std::size_t& from, std::size_t& to)
{
    const json& range = item["textEdit"]["range"];
    from = text.lines().offsetOf(kavrin::lsp::protocol::positionFrom(range["start"]));
    to = text.lines().offsetOf(kavrin::lsp::protocol::positionFrom(range["end"]));
    return std::string(text.text().substr(0, from)) + withPlaceholders(item) + std::string(text.text().substr(to));
}

// At every place of every sample file, each item offered, inserted, lets the
// check fail no earlier than before.
TEST(Completion, NeverMakesTheCheckFailEarlier)
{
    std::size_t offered = 0;
    for (const auto& path : sampleFiles()) {
        const textVersion text(bytesOf(path), positionEncoding::utf16);
        const std::uint64_t before = firstFault(text.text());
        for (std::size_t offset = 0; offset <= text.text().size(); ++offset) {
            if (kavrin::lsp::characterStart(text.text(), offset) != offset)
                continue;
            const json items = kavrin::lsp::completionAt(text, text.lines().positionOf(offset), true);
            for (const json& item : items) {
                std::size_t from = 0, to = 0;
                const std::string after = inserted(text, item, from, to);
                const std::size_t added = after.size() - (text.text().size() - (to - from));
                std::uint64_t fault = firstFault(after);
                if (fault != nowhere && fault >= from)
                    fault = fault >= from + added ? fault - added + (to - from) : from;
                ASSERT_GE(fault, before) << path.filename() << " at " << offset << ": " << item["label"];
                ++offered;
            }
        }
    }
    EXPECT_GT(offered, 1000U) << "completion offers something at many places";
}

// What is offered at a place, marked '|'.
TEST(Completion, OffersWhatTheFormatAllowsThereInOrder)
{
    const std::string v4 = "<uvra>\n  <versionsNr>4.0</versionsNr>\n";
    const std::string ticket = "  <schein>\n    <ziroTipp>03,11,19,27,38,45</ziroTipp>\n  </schein>\n";
    const std::string pool = "<uvra><versionsNr>3.0</versionsNr><wsArt>28</wsArt><schein>"
                             "<fenuTipp>1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2</fenuTipp>";
    const struct {
        std::string text;
        std::vector<std::string> labels;
    } rows[] = {
        { "|", { "<uvra> (6 aus 45)", "<uvra> (5 aus 50 plus 2 aus 12)", "<uvra> (Ergebniswette)" } },
        { v4 + "  <wsArt>47</wsArt>\n  |\n" + ticket + "</uvra>\n",
            { "<tnDauer>", "<filter>", "<wimbel>", "<ziroPlus>", "<schein>" } },
        { v4 + "  |\n  <wsArt>47</wsArt>\n" + ticket + "</uvra>\n", { "<kundenNr>", "<spielID>" } },
        { v4 + "  <wsArt>|</wsArt>\n" + ticket + "</uvra>\n", { "47", "34" } },
        { v4 + "  <wsArt>4|7</wsArt>\n" + ticket + "</uvra>\n", { "47" } },
        { "<uvra><versionsNr>3.0</versionsNr><wsArt>|</wsArt></uvra>", { "28" } },
        { pool + "|</schein></uvra>", { "<fenuTipp>", "<brakelTipp>" } },
        { pool + "<brakelTipp>10,2+,00,+1,21</brakelTipp>|</schein></uvra>", {} },
        { "<uvra><versionsNr>3.0</versionsNr><wsArt>28</wsArt>|<schein></schein></uvra>",
            { "<tnDauer>", "<filter>", "<wimbel>", "<schein>" } },
        { v4 + "  <wsArt>47</wsArt>\n" + ticket + "  <!-- | -->\n</uvra>\n", {} },
        { v4 + "  <wsArt>47</wsArt>\n  <schein>\n    <zi|\n  </schein>\n</uvra>\n", { "<ziroTipp>" } },
        { v4 + "  <wsArt>47</wsArt>\n" + ticket + "<ziroTipp>|01</ziroTipp></uvra>\n", {} },
        // A '<' just typed, at the end of the text or right before a tag.
        { "<|", { "<uvra> (6 aus 45)", "<uvra> (5 aus 50 plus 2 aus 12)", "<uvra> (Ergebniswette)" } },
        { v4 + "  <wsArt>47</wsArt>\n" + ticket + "<|</uvra>\n", { "<schein>" } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const std::size_t at = row.text.find('|');
        const textVersion text(row.text.substr(0, at) + row.text.substr(at + 1), positionEncoding::utf16);
        const json items = kavrin::lsp::completionAt(text, text.lines().positionOf(at), true);
        std::vector<std::string> labels;
        for (const json& item : items)
            labels.push_back(item["label"]);
        EXPECT_EQ(labels, row.labels);
    }
}

// A <schein> comes with one tip of the file's game, in the layout, a
// placeholder for each value; a tag half typed is replaced.
TEST(Completion, SnippetsHoldWhatTheElementNeeds)
{
    const std::string text = "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>34</wsArt>\n  <schein>\n    <tipp>"
                             "<vexTippZahl>01,02,03,04,05</vexTippZahl><vexTippStern>01,02</vexTippStern></tipp>\n"
                             "  </schein>\n  <sch\n</uvra>\n";
    const textVersion version(text, positionEncoding::utf16);
    const json items = kavrin::lsp::completionAt(version, { 6, 6 }, true);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0]["textEdit"]["newText"],
        "<schein>\n    <tipp>\n      <vexTippZahl>${1:04,17,23,38,50}</vexTippZahl>\n"
        "      <vexTippStern>${2:03,11}</vexTippStern>\n    </tipp>\n  </schein>");
    EXPECT_EQ(items[0]["textEdit"]["range"]["start"], json::parse(R"({"line":6,"character":2})"));
    EXPECT_EQ(items[0]["detail"], "Ein Schein mit den Tipps der Spielart der Datei.");
    EXPECT_EQ(kavrin::lsp::completionAt(version, { 6, 6 }, false)[0]["textEdit"]["newText"],
        "<schein>\n    <tipp>\n      <vexTippZahl>04,17,23,38,50</vexTippZahl>\n"
        "      <vexTippStern>03,11</vexTippStern>\n    </tipp>\n  </schein>");
}

// Every element of the table has a hover text made from its row.
TEST(Completion, EveryElementIsExplained)
{
    for (const kavrin::format::element& e : kavrin::format::elements) {
        const std::string help = kavrin::lsp::elementHelp(e);
        EXPECT_NE(help.find(e.description), std::string::npos) << e.name;
        EXPECT_NE(help.find(e.example), std::string::npos) << e.name;
        EXPECT_GT(help.size(), e.description.size() + 20) << e.name << ": its rule is said";
    }
}

// What the check finds, with its places left out.
std::vector<std::string_view> codesOf(std::string_view bytes)
{
    std::vector<std::string_view> codes;
    for (const kavrin::violation& found :
        kavrin::check(kavrin::source::bytes(bytes), { kavrin::defaultMaxViolations }).violations)
        codes.push_back(found.code);
    return codes;
}

// The markup and the values, without the blanks between tags and without
// the declaration formatting may add.
std::string dataOf(std::string_view bytes)
{
    std::string data;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::size_t at = bytes.starts_with("<?xml") ? bytes.find('>') + 1 : 0;
    while (at < bytes.size()) {
        const std::size_t tag = std::min(bytes.find('<', at), bytes.size());
        const std::string_view between = bytes.substr(at, tag - at);
        if (between.find_first_not_of(" \t\r\n") != std::string_view::npos || at == 0)
            data += between;
        const std::size_t end = std::min(bytes.find('>', tag), bytes.size());
        data += bytes.substr(tag, end + 1 - tag);
        at = end + 1;
    }
    return data;
}

// Formatting every sample file keeps what the check finds and every value,
// comment and byte of data, and formatting again changes nothing.
TEST(Formatting, KeepsVerdictAndDataAndIsStable)
{
    for (const auto& path : sampleFiles()) {
        SCOPED_TRACE(path.filename());
        const std::string bytes = bytesOf(path);
        const kavrin::formatResult once = kavrin::formatBytes(bytes);
        EXPECT_TRUE(once.formatted);
        EXPECT_EQ(codesOf(once.bytes), codesOf(bytes));
        EXPECT_EQ(dataOf(once.bytes), dataOf(bytes));
        EXPECT_EQ(kavrin::formatBytes(once.bytes).bytes, once.bytes);
    }
}

TEST(Formatting, GivesTheCanonicalLayout)
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const std::string body = "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n  <!-- Samstag -->\n"
                             "  <schein>\n    <ziroTipp> 01,02,03,04,05,06</ziroTipp>\n  </schein>\n</uvra>\n";
    const std::string oneLine = "<uvra> <versionsNr>4.0</versionsNr><wsArt>47</wsArt><!-- Samstag --><schein>"
                                "<ziroTipp> 01,02,03,04,05,06</ziroTipp></schein></uvra>";
    const auto crLf = [](std::string text) { return std::regex_replace(text, std::regex("\n"), "\r\n"); };
    const struct {
        std::string in, out;
    } rows[] = {
        { oneLine, declaration + "\n" + body },
        { declaration + "\r\n" + oneLine, crLf(declaration + "\n" + body) },
        { "\xEF\xBB\xBF" + oneLine + "\n\n\x1A<rest>", "\xEF\xBB\xBF" + declaration + "\n" + body + "\x1A<rest>" },
        // From an end tag that closes nothing open, the rest stays.
        { "<uvra><versionsNr>4.0</versionsNr></wsArt> <schein>",
            declaration + "\n<uvra>\n  <versionsNr>4.0</versionsNr></wsArt> <schein>" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(kavrin::formatBytes(row.in).bytes, row.out);
    }
}

// kavrin-check --format, textDocument/formatting and the formatter give the
// same bytes; the file is only read.
TEST(Formatting, CommandLineGivesTheSameLayout)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "kavrin-format-test.tzv";
    const std::string oneLine = "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein>"
                                "<ziroTipp>01,02,03,04,05,46</ziroTipp></schein></uvra>";
    std::ofstream(file, std::ios::binary) << oneLine;
    std::FILE* pipe = ::popen((std::string(KAVRIN_CHECK) + " --format -q " + file.string()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string written;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        written.append(chunk, got);
    EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 1) << "the violation stays";
    EXPECT_EQ(written, kavrin::formatBytes(oneLine).bytes);
    EXPECT_EQ(bytesOf(file), oneLine);

    const textVersion text(oneLine, positionEncoding::utf16);
    const json edits = kavrin::lsp::formattingEdits(text).value();
    ASSERT_EQ(edits.size(), 1U);
    std::size_t from = text.lines().offsetOf(kavrin::lsp::protocol::positionFrom(edits[0]["range"]["start"]));
    std::size_t to = text.lines().offsetOf(kavrin::lsp::protocol::positionFrom(edits[0]["range"]["end"]));
    EXPECT_EQ(oneLine.substr(0, from) + edits[0]["newText"].get<std::string>() + oneLine.substr(to), written);
    std::filesystem::remove(file);
}

} // namespace
