#pragma once

#include "resultText.h"

#include <getopt.h>
#include <string>
#include <string_view>
#include <vector>

// What a program makes of its option table: getopt's tables and the lines
// of --help. Ids below 256 are short options too.
namespace kavrin::cli {

template <class Row, std::size_t N> std::vector<::option> getoptTableOf(const Row (&rows)[N])
{
    std::vector<::option> table;
    for (const Row& row : rows)
        table.push_back({ row.name, row.argument, nullptr, row.id });
    table.push_back({ nullptr, 0, nullptr, 0 });
    return table;
}

template <class Row, std::size_t N> std::string shortOptionsOf(const Row (&rows)[N])
{
    std::string letters;
    for (const Row& row : rows)
        if (row.id < 256)
            letters.append(1, static_cast<char>(row.id)).append(row.argument == required_argument ? ":" : "");
    return letters;
}

// Each option on its line, its help in a column from helpColumn on.
template <class Row, std::size_t N> std::string optionHelpOf(const Row (&rows)[N], std::size_t helpColumn)
{
    std::string text;
    for (const Row& row : rows) {
        std::string line = row.id < 256 ? std::string("  -") + char(row.id) + ", " : std::string(6, ' ');
        line += row.shown;
        if (line.size() + 2 > helpColumn)
            line.append("\n").append(helpColumn, ' ');
        else
            line.append(helpColumn - line.size(), ' ');
        for (std::size_t start = 0;;) {
            const std::size_t end = row.help.find('\n', start);
            line.append(row.help.substr(start, end - start)).append("\n");
            if (end == std::string_view::npos)
                break;
            line.append(helpColumn, ' ');
            start = end + 1;
        }
        text += line;
    }
    return text;
}

// Reads one call's options in turn, getopt_long underneath.
template <class Row, std::size_t N> class optionReader {
public:
    optionReader(const Row (&rows)[N], int argc, char** argv)
        : rows(rows)
        , argc(argc)
        , argv(argv)
        , longOptions(getoptTableOf(rows))
        , letters(shortOptionsOf(rows))
    {
        ::opterr = 0;
    }

    // The next option's id, or -1 after the last.
    int next()
    {
        previous = ::optind;
        return ::getopt_long(argc, argv, letters.c_str(), longOptions.data(), nullptr);
    }

    // In words, what is wrong with the option next() refused: a value
    // missing or not taken, or an option it does not know.
    std::string refused() const
    {
        for (const Row& row : rows)
            if (::optopt == row.id)
                return std::string("--") + row.name
                    + (row.argument == required_argument ? " braucht einen Wert" : " nimmt keinen Wert");
        const std::string given = ::optopt > 0 && ::optopt < 256 ? std::string("-") + static_cast<char>(::optopt)
                                                                 : std::string(argv[previous]);
        return "unbekannte oder mehrdeutige Option '" + kavrin::terminalSafe(given) + "'";
    }

private:
    const Row (&rows)[N];
    int argc;
    char** argv;
    std::vector<::option> longOptions;
    std::string letters;
    int previous = 0;
};

} // namespace kavrin::cli
