// Writes the completions of kavrin-check and kavrin-make for bash, zsh and
// fish from their option tables, at build time: kavrin-completions FOLDER.
#include "makeOptions.h"
#include "options.h"

#include <fstream>
#include <string>
#include <vector>

using namespace kavrin::cli;

namespace {

// What a program's completions need besides its option table.
struct programFacts {
    std::string_view name; // kavrin-check
    std::string_view function; // _kavrin_check
    std::string_view files; // what its operands are called, for zsh
    std::vector<std::string_view> suffixes; // of the files it takes
};

const programFacts checkFacts { "kavrin-check", "_kavrin_check", "Tippscheindatei", { ".tzv" } };
const programFacts makeFacts { "kavrin-make", "_kavrin_make", "Tippdaten", { ".json", ".csv" } };

std::string joinedBy(const std::vector<std::string_view>& parts, std::string_view between)
{
    std::string out;
    for (const std::string_view part : parts)
        out.append(out.empty() ? "" : between).append(part);
    return out;
}

// The values an option takes, each one known: --color's.
std::vector<std::string_view> valuesOf(const optionRow& row)
{
    if (row.id != colourOption)
        return {};
    return { std::begin(colourValues), std::end(colourValues) };
}

std::vector<std::string_view> valuesOf(const make::optionRow&) { return {}; }

// The name of an option's value as --help shows it: DATEI in --output=DATEI.
template <class Row> std::string valueName(const Row& row)
{
    const std::string_view shown = row.shown;
    const std::size_t equals = shown.find('=');
    return equals == std::string::npos ? std::string()
                                       : std::string(shown.substr(equals + 1, shown.find(']') - equals - 1));
}

template <class Row> std::string longOption(const Row& row)
{
    return std::string("--") + row.name + (row.argument == no_argument ? "" : "=");
}

// The first line of an option's help, for the shells that show it.
template <class Row> std::string firstLine(const Row& row)
{
    std::string line(row.help.substr(0, row.help.find('\n')));
    for (char& c : line)
        if (c == '\'' || c == '"')
            c = ' ';
    return line;
}

template <class Row, std::size_t N> void writeBash(std::ofstream& out, const programFacts& facts, const Row (&rows)[N])
{
    std::string options = "--";
    std::string valueCases;
    for (const Row& row : rows) {
        options += " " + longOption(row);
        if (row.id < 256)
            options += std::string(" -") + static_cast<char>(row.id);
        if (const std::vector<std::string_view> values = valuesOf(row); !values.empty())
            valueCases += std::string("    --") + row.name + "=*)\n        COMPREPLY=($(compgen -W \""
                + joinedBy(values, " ") + "\" -- \"${current#--" + row.name + "=}\"))\n        return ;;\n";
    }
    std::string files;
    for (const std::string_view suffix : facts.suffixes)
        files.append("$(compgen -f -X '!*").append(suffix).append("' -- \"$current\") ");
    out << "# bash completion for " << facts.name << "\n"
        << facts.function
        << "()\n{\n"
           "    local current=${COMP_WORDS[COMP_CWORD]}\n"
           "    case $current in\n"
        << valueCases
        << "    -*)\n"
           "        compopt -o nospace 2>/dev/null\n"
           "        COMPREPLY=($(compgen -W \""
        << options
        << "\" -- \"$current\"))\n"
           "        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} != *= ]] && compopt +o nospace 2>/dev/null\n"
           "        return ;;\n"
           "    esac\n"
           "    COMPREPLY=("
        << files
        << "$(compgen -d -- \"$current\"))\n"
           "}\n"
           "complete -o filenames -F "
        << facts.function << " " << facts.name << "\n";
}

template <class Row, std::size_t N> void writeZsh(std::ofstream& out, const programFacts& facts, const Row (&rows)[N])
{
    std::vector<std::string_view> patterns;
    for (const std::string_view suffix : facts.suffixes)
        patterns.push_back(suffix.substr(1));
    out << "#compdef " << facts.name << "\n_arguments -s -S \\\n";
    for (const Row& row : rows) {
        const std::vector<std::string_view> values = valuesOf(row);
        const std::string name = valueName(row);
        const std::string value = !values.empty() ? "::" + name + ":(" + joinedBy(values, " ") + ")"
            : row.argument == required_argument   ? ":" + name + ":" + (name == "DATEI" ? "_files -g \"*.tzv\"" : "")
                                                  : "";
        if (row.id < 256)
            out << "  '(-" << static_cast<char>(row.id) << " --" << row.name << ")'{-" << static_cast<char>(row.id)
                << ",--" << row.name << "}'[" << firstLine(row) << "]" << value << "' \\\n";
        else
            out << "  '" << longOption(row) << "[" << firstLine(row) << "]" << value << "' \\\n";
    }
    out << "  '*:" << facts.files << ":_files -g \"*." << (patterns.size() > 1 ? "(" : "") << joinedBy(patterns, "|")
        << (patterns.size() > 1 ? ")" : "") << "\"'\n";
}

template <class Row, std::size_t N> void writeFish(std::ofstream& out, const programFacts& facts, const Row (&rows)[N])
{
    std::string files;
    for (const std::string_view suffix : facts.suffixes)
        files.append(files.empty() ? "" : " ").append("(__fish_complete_suffix ").append(suffix).append(")");
    out << "# fish completion for " << facts.name << "\n"
        << "complete -c " << facts.name << " -f -a '" << files << "'\n";
    for (const Row& row : rows) {
        out << "complete -c " << facts.name << " -l " << row.name;
        if (row.id < 256)
            out << " -s " << static_cast<char>(row.id);
        if (const std::vector<std::string_view> values = valuesOf(row); !values.empty())
            out << " -a '" << joinedBy(values, " ") << "'";
        else if (row.argument == required_argument)
            out << " -r";
        out << " -d '" << firstLine(row) << "'\n";
    }
}

template <class Row, std::size_t N>
bool writeAll(const std::string& folder, const programFacts& facts, const Row (&rows)[N])
{
    const std::string name(facts.name);
    std::ofstream bash(folder + "/" + name);
    std::ofstream zsh(folder + "/_" + name);
    std::ofstream fish(folder + "/" + name + ".fish");
    writeBash(bash, facts, rows);
    writeZsh(zsh, facts, rows);
    writeFish(fish, facts, rows);
    return bash && zsh && fish;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const bool check = writeAll(argv[1], checkFacts, optionRows);
    const bool make = writeAll(argv[1], makeFacts, make::optionRows);
    return check && make ? 0 : 1;
}
