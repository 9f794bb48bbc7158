#include "ticketFiles.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>

namespace kavrin::bench {

namespace {

    constexpr int tickets = 1000;

    // A fixed sequence, so every run checks the same bytes.
    struct numbers {
        std::uint32_t state = 12345;
        std::uint32_t next(std::uint32_t bound)
        {
            state = state * 1103515245u + 12345u;
            return (state >> 16) % bound;
        }
        std::string list(int count, int max)
        {
            std::vector<int> chosen;
            while (static_cast<int>(chosen.size()) < count) {
                const int n = static_cast<int>(next(static_cast<std::uint32_t>(max))) + 1;
                if (std::find(chosen.begin(), chosen.end(), n) == chosen.end())
                    chosen.push_back(n);
            }
            std::sort(chosen.begin(), chosen.end());
            std::string text;
            for (const int n : chosen) {
                if (!text.empty())
                    text.push_back(',');
                text.push_back(static_cast<char>('0' + n / 10));
                text.push_back(static_cast<char>('0' + n % 10));
            }
            return text;
        }
        std::string row()
        {
            std::string symbols(18, '1');
            for (char& c : symbols)
                c = "12X"[next(3)];
            for (int dashes = 0; dashes < 5;) {
                const auto at = 5 + next(13);
                if (symbols[at] != '-') {
                    symbols[at] = '-';
                    ++dashes;
                }
            }
            std::string text;
            for (const char c : symbols) {
                if (!text.empty())
                    text.push_back(',');
                text.push_back(c);
            }
            return text;
        }
    };

    const char* const declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

    // Fills the file to exactly `size` bytes with one comment line after each of
    // the marked places.
    std::string padded(const std::vector<std::string>& lines, std::size_t size)
    {
        std::size_t base = 0;
        std::size_t places = 0;
        for (const std::string& line : lines) {
            base += line.size();
            places += line.rfind("    <", 0) == 0 ? 1 : 0;
        }
        constexpr std::size_t overhead = 14; // "    <!-- " and " -->\n"
        const std::size_t free = size - base - places * overhead;
        const std::string words = "Tipps fuer die Ziehung am Samstag, gespielt von der Tippgemeinschaft. ";
        std::string out;
        out.reserve(size);
        std::size_t place = 0;
        for (const std::string& line : lines) {
            out += line;
            if (line.rfind("    <", 0) == 0) {
                const std::size_t length = free / places + (place < free % places ? 1 : 0);
                out += "    <!-- ";
                for (std::size_t i = 0; i < length; ++i)
                    out += words[i % words.size()];
                out += " -->\n";
                ++place;
            }
        }
        return out;
    }

    std::vector<std::string> ziroLines(numbers& random)
    {
        std::vector<std::string> lines
            = { declaration, "<uvra>\n", "  <versionsNr>4.0</versionsNr>\n", "  <wsArt>47</wsArt>\n" };
        for (int t = 0; t < tickets; ++t) {
            lines.push_back("  <schein>\n");
            for (int tip = 0; tip < 12; ++tip)
                lines.push_back("    <ziroTipp>" + random.list(6, 45) + "</ziroTipp>\n");
            lines.push_back("  </schein>\n");
        }
        lines.push_back("</uvra>\n");
        return lines;
    }

} // namespace

std::vector<ticketFile> ticketFiles()
{
    std::vector<ticketFile> files;
    numbers random;

    const std::vector<std::string> ziro = ziroLines(random);
    files.push_back({ "valid-47-4mib.tzv", padded(ziro, maximumFileSize) });

    std::string compact;
    for (const std::string& line : ziro) {
        const std::size_t start = line.find_first_not_of(' ');
        compact += line.substr(start, line.size() - start - 1);
    }
    files.push_back({ "valid-47-single-line.tzv", compact });

    std::vector<std::string> vex
        = { declaration, "<uvra>\n", "  <versionsNr>4.0</versionsNr>\n", "  <wsArt>34</wsArt>\n" };
    for (int t = 0; t < tickets; ++t) {
        vex.push_back("  <schein>\n");
        for (int tip = 0; tip < 10; ++tip)
            vex.push_back("    <tipp><vexTippZahl>" + random.list(5, 50) + "</vexTippZahl><vexTippStern>"
                + random.list(2, 12) + "</vexTippStern></tipp>\n");
        vex.push_back("  </schein>\n");
    }
    vex.push_back("</uvra>\n");
    files.push_back({ "valid-34-4mib.tzv", padded(vex, maximumFileSize) });

    std::vector<std::string> pool
        = { declaration, "<uvra>\n", "  <versionsNr>3.0</versionsNr>\n", "  <wsArt>28</wsArt>\n" };
    for (int t = 0; t < tickets; ++t) {
        pool.push_back("  <schein>\n");
        for (int tip = 0; tip < 13; ++tip)
            pool.push_back("    <fenuTipp>" + random.row() + "</fenuTipp>\n");
        pool.push_back("    <brakelTipp>10,2+,00,+1,21</brakelTipp>\n");
        pool.push_back("  </schein>\n");
    }
    pool.push_back("</uvra>\n");
    files.push_back({ "valid-28-4mib.tzv", padded(pool, maximumFileSize) });

    std::vector<std::string> broken = ziro;
    broken[broken.size() - 3] = "    <ziroTipp>01,02,03,04,05,46</ziroTipp>\n";
    files.push_back({ "broken-last-ticket-4mib.tzv", padded(broken, maximumFileSize) });

    // The window's worst case: everything on one line, the violation in its last byte.
    std::string singleLine = padded(ziro, maximumFileSize - 1);
    std::replace(singleLine.begin(), singleLine.end(), '\n', ' ');
    files.push_back({ "broken-single-line-end-4mib.tzv", singleLine + "x" });

    // Every violation asked for: one in each ticket's last tip, on lines of
    // their own, and the same on one line; and every tip of every ticket
    // broken on one line, more than the list holds.
    std::vector<std::string> many = ziro;
    for (std::size_t i = 0; i + 1 < many.size(); ++i)
        if (many[i + 1] == "  </schein>\n")
            many[i] = "    <ziroTipp>01,02,03,04,05,46</ziroTipp>\n";
    files.push_back({ "many-violations-4mib.tzv", padded(many, maximumFileSize) });
    std::string manyOnOneLine = padded(many, maximumFileSize);
    std::replace(manyOnOneLine.begin(), manyOnOneLine.end(), '\n', ' ');
    files.push_back({ "many-violations-single-line-4mib.tzv", manyOnOneLine });
    std::vector<std::string> everyTip = ziro;
    for (std::string& line : everyTip)
        if (line.rfind("    <ziroTipp>", 0) == 0)
            line = "    <ziroTipp>01,02,03,04,05,46</ziroTipp>\n";
    std::string everyTipOnOneLine = padded(everyTip, maximumFileSize);
    std::replace(everyTipOnOneLine.begin(), everyTipOnOneLine.end(), '\n', ' ');
    files.push_back({ "every-tip-broken-single-line-4mib.tzv", everyTipOnOneLine });

    // A small file, as most are.
    files.push_back({ "small-valid.tzv",
        std::string(declaration)
            + "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n  <schein>\n"
              "    <ziroTipp>03,11,19,27,38,45</ziroTipp>\n  </schein>\n</uvra>\n" });
    return files;
}

void writeTicketFiles(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    for (const ticketFile& file : ticketFiles()) {
        std::ofstream out(folder / file.name, std::ios::binary | std::ios::trunc);
        out << file.content;
    }
}

} // namespace kavrin::bench
