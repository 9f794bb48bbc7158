#include "ticketFiles.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string_view>

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

    // The same lines with each tip changed.
    std::vector<std::string> eachTip(
        std::vector<std::string> lines, const std::function<std::string(const std::string&, std::size_t)>& change)
    {
        constexpr std::string_view tipStart = "    <ziroTipp>";
        std::size_t tip = 0;
        for (std::string& line : lines)
            if (line.rfind(tipStart, 0) == 0)
                line = change(line, tip++);
        return lines;
    }

    // "    <ziroTipp>02,01,…": the first two numbers swapped.
    std::string unsorted(const std::string& line, std::size_t)
    {
        std::string out = line;
        std::swap_ranges(out.begin() + 14, out.begin() + 16, out.begin() + 17);
        return out;
    }

    // One of the 255 spellings of ziroTipp that are not it, in turn.
    std::string respelled(const std::string& line, std::size_t tip)
    {
        constexpr std::string_view right = "ziroTipp";
        std::string name;
        for (std::size_t variant = tip % 255 + 1;; ++variant) {
            name = "zirotipp";
            for (std::size_t bit = 0; bit < name.size(); ++bit)
                if ((variant >> bit) & 1)
                    name[bit] = static_cast<char>(name[bit] - 'a' + 'A');
            if (name != right)
                break;
        }
        std::string out = line;
        out.replace(out.find(right), right.size(), name);
        out.replace(out.rfind(right), right.size(), name);
        return out;
    }

    // " 1,02,03,\n04,05,06 ": blanks, a line break and no leading zero.
    std::string overLines(const std::string& line, std::size_t)
    {
        const std::size_t end = line.find("</");
        const std::string first = line[14] == '0' ? line.substr(15, 1) : line.substr(14, 2);
        return line.substr(0, 14) + " " + first + line.substr(16, 7) + "\n" + line.substr(23, end - 23) + " "
            + line.substr(end);
    }

    std::string everything(const std::string& line, std::size_t tip)
    {
        return overLines(unsorted(respelled(line, tip), tip), tip);
    }

    std::string utf16WithMark(std::string_view text)
    {
        std::string out = "\xFF\xFE";
        for (const char c : text)
            out += std::string { c, '\0' };
        return out;
    }

} // namespace

std::vector<ticketFile> repairFiles()
{
    numbers random;
    const std::vector<std::string> ziro = ziroLines(random);
    std::string windows1252 = padded(eachTip(ziro, unsorted), maximumFileSize);
    for (std::size_t at = 0; (at = windows1252.find("fuer", at)) != std::string::npos;)
        windows1252.replace(at, 4, "f\xFCr");
    const auto first255
        = [](const std::string& line, std::size_t tip) { return tip < 255 ? respelled(line, tip) : line; };
    return {
        { "repair-255-spellings-4mib.tzv", padded(eachTip(ziro, first255), maximumFileSize) },
        { "repair-unsorted-4mib.tzv", padded(eachTip(ziro, unsorted), maximumFileSize) },
        { "repair-spellings-4mib.tzv", padded(eachTip(ziro, respelled), maximumFileSize) },
        { "repair-over-lines-4mib.tzv", padded(eachTip(ziro, overLines), maximumFileSize) },
        { "repair-everything-4mib.tzv", padded(eachTip(ziro, everything), maximumFileSize) },
        { "repair-windows-1252-4mib.tzv", windows1252 },
        { "repair-utf16-4mib.tzv", utf16WithMark(padded(eachTip(ziro, unsorted), maximumFileSize / 2 - 1)) },
    };
}

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
    std::vector<ticketFile> files = ticketFiles();
    for (ticketFile& file : repairFiles())
        files.push_back(std::move(file));
    for (const ticketFile& file : files) {
        std::ofstream out(folder / file.name, std::ios::binary | std::ios::trunc);
        out << file.content;
    }
}

} // namespace kavrin::bench
