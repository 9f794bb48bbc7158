#include "ticketData.h"
#include "checkFiles.h"
#include "codes.h"
#include "format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

using namespace kavrin::testing;

namespace {

using kavrin::ticketFile;
namespace format = kavrin::format;

const format::gameRules& rulesOf(std::uint32_t gameType)
{
    return *format::rulesOf(static_cast<kavrin::game>(gameType));
}

// Random data that keeps every rule, its limits taken from the table.
class dataMaker {
public:
    explicit dataMaker(unsigned seed)
        : random(seed)
    {
    }

    std::uint32_t between(std::uint32_t low, std::uint32_t high)
    {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }
    char oneOf(std::string_view symbols) { return symbols[between(0, std::uint32_t(symbols.size() - 1))]; }

    std::vector<std::uint32_t> numbers(std::string_view element)
    {
        const format::element& row = format::row(element);
        std::vector<std::uint32_t> all(row.maximum);
        for (std::uint32_t i = 0; i < row.maximum; ++i)
            all[i] = i + 1;
        std::shuffle(all.begin(), all.end(), random);
        all.resize(row.count);
        std::sort(all.begin(), all.end());
        return all;
    }

    std::string poolRow()
    {
        const format::element& row = format::row("fenuTipp");
        std::string symbols;
        for (std::uint32_t i = 0; i < row.count; ++i)
            symbols += i < row.minimum ? oneOf("12X") : '-';
        // The dashes of the last fields trade places with the others there.
        for (std::uint32_t i = row.minimum; i < row.count - row.maximum; ++i)
            symbols[i] = oneOf("12X");
        std::shuffle(symbols.begin() + row.minimum, symbols.end(), random);
        return symbols;
    }

    kavrin::ticket ticket(std::uint32_t gameType)
    {
        kavrin::ticket made;
        const format::element& tip = format::row(rulesOf(gameType).tip);
        const std::uint32_t tips = between(tip.minOccurs, tip.maxOccurs);
        for (std::uint32_t i = 0; i < tips; ++i) {
            if (gameType == 47)
                made.numberTips.push_back({ numbers("ziroTipp"), {} });
            else if (gameType == 34)
                made.numberTips.push_back({ numbers("vexTippZahl"), numbers("vexTippStern") });
            else
                made.poolRows.push_back(poolRow());
        }
        if (gameType == 28 && chance(0.5))
            for (std::uint32_t i = 0; i < format::row("brakelTipp").count; ++i)
                made.goalScoreTip.push_back({ oneOf("012+"), oneOf("012+") });
        return made;
    }

    ticketFile file()
    {
        ticketFile data;
        const format::gameRules& game = format::gameTable[between(0, std::size(format::gameTable) - 1)];
        data.gameType = kavrin::numberOf(game.id);
        const std::string major = std::to_string(game.majorVersion);
        const std::string versions[] = { kavrin::versionFor(data.gameType), major, major + ".7", major + ".1.2" };
        data.version = versions[between(0, 3)];
        const auto maybe = [&](std::string_view element) -> std::optional<std::uint32_t> {
            const format::element& row = format::row(element);
            if (!chance(0.5))
                return std::nullopt;
            return between(row.minimum, row.value == format::valueKind::duration ? game.durationLimit : row.maximum);
        };
        data.customerNumber = maybe("kundenNr");
        data.gameId = maybe("spielID");
        data.duration = maybe("tnDauer");
        if (chance(0.5)) {
            const format::element& row = format::row("filter");
            data.filter.emplace();
            for (std::uint32_t i = between(0, row.maximum); i > 0; --i) {
                std::string code;
                for (std::uint32_t c = 0; c < row.count; ++c)
                    code += oneOf("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
                data.filter->push_back(code);
            }
        }
        if (chance(0.5)) {
            const format::element& perTicket = format::row("anzahlWimbelProSchein");
            data.wimbel
                = kavrin::wimbelData { between(perTicket.minimum, perTicket.maximum), maybe("maximaleWimbelAnzahl") };
        }
        if (format::row("ziroPlus").sinceVersion <= game.majorVersion)
            data.ziroPlus = maybe("ziroPlus");
        const std::uint32_t tickets = chance(0.01) ? between(1, format::row("schein").maxOccurs) : between(1, 8);
        for (std::uint32_t i = 0; i < tickets; ++i)
            data.tickets.push_back(ticket(data.gameType));
        return data;
    }

    std::mt19937 random;
};

// One fault of the data, by rule: what breaks it, and the code it gives.
struct fault {
    const char* what;
    std::function<void(ticketFile&)> breakIt;
    std::string_view code;
    std::size_t ticket = 0;
    std::size_t tip = 0;
};

kavrin::numberTip& firstTip(ticketFile& data) { return data.tickets.front().numberTips.front(); }

// Faults of any file.
const std::vector<fault>& headerFaults()
{
    namespace codes = kavrin::codes;
    static const std::vector<fault> rows = {
        { "unknown game", [](ticketFile& d) { d.gameType = 17; }, codes::unknownGameType },
        { "version of no game", [](ticketFile& d) { d.version = "5.0"; }, codes::versionMismatch },
        { "version with a markup character", [](ticketFile& d) { d.version += "<"; }, {} },
        { "customer number zero", [](ticketFile& d) { d.customerNumber = 0; }, codes::valueOutOfRange },
        { "game id too large", [](ticketFile& d) { d.gameId = 1000000; }, codes::valueOutOfRange },
        { "duration over every game's limit", [](ticketFile& d) { d.duration = 11; }, codes::valueOutOfRange },
        { "filter code too short", [](ticketFile& d) { d.filter = { { "AB1" } }; }, codes::badFilter },
        { "filter code empty", [](ticketFile& d) { d.filter = { { "" } }; }, codes::badFilter },
        { "filter code with a comma", [](ticketFile& d) { d.filter = { { "A,12" } }; }, codes::badFilter },
        { "filter code in small letters", [](ticketFile& d) { d.filter = { { "ab12" } }; }, codes::badFilter },
        { "21 filter codes", [](ticketFile& d) { d.filter = std::vector<std::string>(21, "AB12"); },
            codes::tooManyFilterCodes },
        { "wimbel count zero",
            [](ticketFile& d) {
                d.wimbel = kavrin::wimbelData { 0, {} };
            },
            codes::valueOutOfRange },
        { "wimbel maximum too large",
            [](ticketFile& d) {
                d.wimbel = kavrin::wimbelData { 1, 10001 };
            },
            codes::valueOutOfRange },
        { "no ticket", [](ticketFile& d) { d.tickets.clear(); }, codes::unexpectedElement },
        { "1001 tickets", [](ticketFile& d) { d.tickets.resize(1001, d.tickets.front()); }, codes::tooManyTickets },
        { "a ticket without tips", [](ticketFile& d) { d.tickets.front() = {}; }, codes::noTips, 1 },
    };
    return rows;
}

// Faults of a file of a number game.
const std::vector<fault>& numberFaults()
{
    namespace codes = kavrin::codes;
    static const std::vector<fault> rows = {
        { "ziroPlus 2", [](ticketFile& d) { d.ziroPlus = 2; }, codes::valueOutOfRange },
        { "a number too large", [](ticketFile& d) { firstTip(d).numbers.back() = 99; }, codes::numberOutOfRange, 1, 1 },
        { "a number zero", [](ticketFile& d) { firstTip(d).numbers.front() = 0; }, codes::numberOutOfRange, 1, 1 },
        { "a number of three digits", [](ticketFile& d) { firstTip(d).numbers.back() = 100; }, codes::numberOutOfRange,
            1, 1 },
        { "a number twice",
            [](ticketFile& d) {
                auto& n = firstTip(d).numbers;
                n[1] = n[0];
            },
            codes::numbersNotAscending, 1, 1 },
        { "a number missing", [](ticketFile& d) { firstTip(d).numbers.pop_back(); }, codes::badNumberList, 1, 1 },
        { "no numbers", [](ticketFile& d) { firstTip(d).numbers.clear(); }, codes::badNumberList, 1, 1 },
        { "a pool row in a number game", [](ticketFile& d) { d.tickets.front().poolRows = { "1X2" }; },
            codes::unexpectedElement, 1 },
        { "a goal-score tip in a number game", [](ticketFile& d) { d.tickets.front().goalScoreTip = { "10" }; },
            codes::unexpectedElement, 1 },
    };
    return rows;
}

const std::vector<fault>& gameFaults(std::uint32_t gameType)
{
    namespace codes = kavrin::codes;
    static const std::vector<fault> ziro = {
        { "13 tips", [](ticketFile& d) { d.tickets.front().numberTips.resize(13, firstTip(d)); }, codes::tooManyTips,
            1 },
        { "stars in 6 aus 45",
            [](ticketFile& d) {
                firstTip(d).stars = { 1, 2 };
            },
            codes::unexpectedElement, 1, 1 },
    };
    static const std::vector<fault> vex = {
        { "a star too large",
            [](ticketFile& d) {
                firstTip(d).stars = { 1, 13 };
            },
            codes::numberOutOfRange, 1, 1 },
        { "one star", [](ticketFile& d) { firstTip(d).stars = { 1 }; }, codes::badNumberList, 1, 1 },
        { "11 tips", [](ticketFile& d) { d.tickets.front().numberTips.resize(11, firstTip(d)); }, codes::tooManyTips,
            1 },
    };
    static const std::vector<fault> pool = {
        { "ziroPlus in version 3", [](ticketFile& d) { d.ziroPlus = 1; }, codes::ziroPlusNeedsVersion4 },
        { "duration over the pool's limit", [](ticketFile& d) { d.duration = 5; }, codes::valueOutOfRange },
        { "a dash among the first five", [](ticketFile& d) { d.tickets.front().poolRows.front()[0] = '-'; },
            codes::badPoolSymbol, 1, 1 },
        { "four dashes",
            [](ticketFile& d) {
                std::string& row = d.tickets.front().poolRows.front();
                row[row.find('-')] = '1';
            },
            codes::wrongDashCount, 1, 1 },
        { "a small x", [](ticketFile& d) { d.tickets.front().poolRows.front()[1] = 'x'; }, codes::badPoolSymbol, 1, 1 },
        { "17 fields", [](ticketFile& d) { d.tickets.front().poolRows.front().pop_back(); }, codes::badPoolRow, 1, 1 },
        { "14 rows", [](ticketFile& d) { d.tickets.front().poolRows.resize(14, d.tickets.front().poolRows[0]); },
            codes::tooManyTips, 1 },
        { "number tips in the pool game", [](ticketFile& d) { d.tickets.front().numberTips = { {} }; },
            codes::unexpectedElement, 1 },
        { "a goal-score pair of 3",
            [](ticketFile& d) {
                d.tickets.front().goalScoreTip = { "10", "3+", "00", "+1", "21" };
            },
            codes::badBrakelTip, 1 },
        { "four goal-score pairs",
            [](ticketFile& d) {
                d.tickets.front().goalScoreTip = { "10", "2+", "00", "+1" };
            },
            codes::badBrakelTip, 1 },
        { "a goal-score pair of one symbol",
            [](ticketFile& d) {
                d.tickets.front().goalScoreTip = { "10", "2", "00", "+1", "21" };
            },
            codes::badBrakelTip, 1 },
    };
    return gameType == 47 ? ziro : gameType == 34 ? vex : pool;
}

// What read() gives back for data: its numbers in ascending order.
ticketFile sorted(ticketFile data)
{
    for (kavrin::ticket& each : data.tickets)
        for (kavrin::numberTip& tip : each.numberTips) {
            std::sort(tip.numbers.begin(), tip.numbers.end());
            std::sort(tip.stars.begin(), tip.stars.end());
        }
    return data;
}

// Written, the data checks correct and reads back as it was, in both line
// ends and with a comment.
void expectRoundTrip(const ticketFile& data)
{
    for (const kavrin::writeOptions& how : { kavrin::writeOptions {}, kavrin::writeOptions { true, "von Hand, ä" } }) {
        const kavrin::written file = kavrin::write(data, how);
        ASSERT_FALSE(file.fault) << file.fault->reason;
        const kavrin::reading again = kavrin::read(file.bytes);
        ASSERT_TRUE(again.checked.valid()) << again.checked.first()->reason << '\n' << file.bytes;
        ASSERT_EQ(*again.data, sorted(data)) << file.bytes;
        EXPECT_EQ(kavrin::write(*again.data, how).bytes, file.bytes);
    }
}

TEST(TicketData, EveryCorrectFileOfTheTreeReadsAndWritesBackTheSameData)
{
    std::size_t correct = 0;
    const std::filesystem::path tree = KAVRIN_SOURCE_DIR;
    for (auto at = std::filesystem::recursive_directory_iterator(tree); at != decltype(at)(); ++at) {
        const std::string name = at->path().filename().string();
        if (at->is_directory() && (name.rfind("build", 0) == 0 || name.front() == '.'))
            at.disable_recursion_pending();
        if (at->path().extension() != ".tzv")
            continue;
        SCOPED_TRACE(at->path().string());
        const kavrin::reading found = kavrin::read(kavrin::source::file(at->path().string()));
        EXPECT_EQ(found.data.has_value(), found.checked.valid());
        if (!found.data)
            continue;
        ++correct;
        EXPECT_EQ(found.data->tickets.size(), found.checked.summary.tickets);
        expectRoundTrip(*found.data);
    }
    EXPECT_GE(correct, 11u);
}

TEST(TicketData, RandomDataIsWrittenCorrectOrRefusedForItsFault)
{
    dataMaker maker(20260134);
    std::size_t refused = 0;
    for (int round = 0; round < 10000; ++round) {
        ticketFile data = maker.file();
        SCOPED_TRACE(round);
        // Numbers in any order mean the same tip.
        if (data.gameType != 28 && maker.chance(0.1))
            std::shuffle(firstTip(data).numbers.begin(), firstTip(data).numbers.end(), maker.random);
        const std::vector<fault>* lists[]
            = { &headerFaults(), &gameFaults(data.gameType), data.gameType == 28 ? &headerFaults() : &numberFaults() };
        const std::vector<fault>* faults = lists[maker.between(0, 2)];
        if (!maker.chance(0.2)) {
            expectRoundTrip(data);
            continue;
        }
        const fault& chosen = (*faults)[maker.between(0, std::uint32_t(faults->size() - 1))];
        SCOPED_TRACE(chosen.what);
        chosen.breakIt(data);
        const kavrin::written file = kavrin::write(data);
        ASSERT_TRUE(file.fault) << file.bytes;
        EXPECT_EQ(file.fault->code, chosen.code) << file.fault->reason;
        EXPECT_TRUE(file.bytes.empty());
        ++refused;
    }
    EXPECT_GT(refused, 1000u);
}

// Each fault names its rule, and where it lies in the data.
TEST(TicketData, EachFaultSaysWhereInTheData)
{
    for (const std::uint32_t gameType : { 47u, 34u, 28u }) {
        std::vector<fault> rows = gameFaults(gameType);
        rows.insert(rows.end(), headerFaults().begin(), headerFaults().end());
        if (gameType != 28)
            rows.insert(rows.end(), numberFaults().begin(), numberFaults().end());
        for (const fault& row : rows) {
            SCOPED_TRACE(std::to_string(gameType) + ": " + row.what);
            dataMaker maker(gameType);
            ticketFile data;
            do
                data = maker.file();
            while (data.gameType != gameType);
            data.tickets.resize(1);
            row.breakIt(data);
            const kavrin::written file = kavrin::write(data);
            ASSERT_TRUE(file.fault);
            EXPECT_EQ(file.fault->code, row.code);
            EXPECT_EQ(file.fault->ticket, row.ticket);
            EXPECT_EQ(file.fault->tip, row.tip);
            const std::string place = row.tip > 0 ? "Schein 1, Tipp 1: " : row.ticket > 0 ? "Schein 1: " : "";
            EXPECT_EQ(file.fault->reason.rfind(place, 0), 0u) << file.fault->reason;
            EXPECT_GT(file.fault->reason.size(), place.size() + 20) << file.fault->reason;
        }
    }
}

TEST(TicketData, WritesTheCanonicalLayout)
{
    ticketFile data;
    data.gameType = 34;
    data.version = kavrin::versionFor(34);
    data.customerNumber = 4711;
    data.filter = std::vector<std::string> {};
    data.wimbel = kavrin::wimbelData { 2, {} };
    data.tickets.push_back({ { { { 50, 7, 13, 22, 41 }, { 11, 2 } } }, {}, {} });
    EXPECT_EQ(kavrin::write(data, { true, "Tipps der Runde" }).bytes,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<!-- Tipps der Runde -->\r\n"
        "<uvra>\r\n"
        "  <versionsNr>4.0</versionsNr>\r\n"
        "  <kundenNr>4711</kundenNr>\r\n"
        "  <wsArt>34</wsArt>\r\n"
        "  <filter></filter>\r\n"
        "  <wimbel>\r\n"
        "    <anzahlWimbelProSchein>2</anzahlWimbelProSchein>\r\n"
        "  </wimbel>\r\n"
        "  <schein>\r\n"
        "    <tipp>\r\n"
        "      <vexTippZahl>07,13,22,41,50</vexTippZahl>\r\n"
        "      <vexTippStern>02,11</vexTippStern>\r\n"
        "    </tipp>\r\n"
        "  </schein>\r\n"
        "</uvra>\r\n");
}

// A comment that would end early, break its line or hide text is refused.
TEST(TicketData, CommentsStayOnTheirLine)
{
    ticketFile data = dataMaker(1).file();
    for (const char* comment : { "a--b", "ende-", "zwei\nZeilen", "\x1B[31m", "\xC3" }) {
        SCOPED_TRACE(comment);
        const kavrin::written file = kavrin::write(data, { false, comment });
        ASSERT_TRUE(file.fault);
        EXPECT_EQ(file.fault->code, "");
    }
}

TEST(TicketData, AFileThatIsNotCorrectGivesTheCheckAndNoData)
{
    const std::string bytes = document47("<schein><ziroTipp>01,02,03,04,05,46</ziroTipp></schein>");
    const kavrin::reading found = kavrin::read(bytes);
    EXPECT_FALSE(found.data);
    ASSERT_FALSE(found.checked.valid());
    EXPECT_EQ(found.checked.first()->code, kavrin::codes::numberOutOfRange);
    kavrin::options every;
    every.maxViolations = 10;
    EXPECT_FALSE(kavrin::read(kavrin::source::bytes(bytes), every).data);
}

} // namespace
