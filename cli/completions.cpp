// Writes kavrin-check's completions for bash, zsh and fish from its option
// table, at build time: kavrin-completions FOLDER.
#include "options.h"

#include <fstream>
#include <string>

using namespace kavrin::cli;

namespace {

std::string longOption(const optionRow& row)
{
    return std::string("--") + row.name + (row.argument == no_argument ? "" : "=");
}

std::string colourList()
{
    std::string out;
    for (const std::string_view value : colourValues)
        out.append(out.empty() ? "" : " ").append(value);
    return out;
}

// The first line of an option's help, for the shells that show it.
std::string firstLine(const optionRow& row)
{
    std::string line(row.help.substr(0, row.help.find('\n')));
    for (char& c : line)
        if (c == '\'' || c == '"')
            c = ' ';
    return line;
}

void writeBash(std::ofstream& out)
{
    std::string options = "--";
    for (const optionRow& row : optionRows) {
        options += " " + longOption(row);
        if (row.id < 256)
            options += std::string(" -") + static_cast<char>(row.id);
    }
    out << "# bash completion for kavrin-check\n"
           "_kavrin_check()\n{\n"
           "    local current=${COMP_WORDS[COMP_CWORD]}\n"
           "    case $current in\n"
           "    --color=*)\n"
           "        COMPREPLY=($(compgen -W \""
        << colourList()
        << "\" -- \"${current#--color=}\"))\n"
           "        return ;;\n"
           "    -*)\n"
           "        compopt -o nospace 2>/dev/null\n"
           "        COMPREPLY=($(compgen -W \""
        << options
        << "\" -- \"$current\"))\n"
           "        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} != *= ]] && compopt +o nospace 2>/dev/null\n"
           "        return ;;\n"
           "    esac\n"
           "    COMPREPLY=($(compgen -f -X '!*.tzv' -- \"$current\") $(compgen -d -- \"$current\"))\n"
           "}\n"
           "complete -o filenames -F _kavrin_check kavrin-check\n";
}

void writeZsh(std::ofstream& out)
{
    out << "#compdef kavrin-check\n_arguments -s -S \\\n";
    for (const optionRow& row : optionRows) {
        const std::string value = row.id == colourOption ? "::WANN:(" + colourList() + ")"
            : row.argument == required_argument          ? ":N:"
                                                         : "";
        const std::string name = std::string("--") + row.name + (row.argument == no_argument ? "" : "=");
        if (row.id < 256)
            out << "  '(-" << static_cast<char>(row.id) << " --" << row.name << ")'{-" << static_cast<char>(row.id)
                << ",--" << row.name << "}'[" << firstLine(row) << "]" << value << "' \\\n";
        else
            out << "  '" << name << "[" << firstLine(row) << "]" << value << "' \\\n";
    }
    out << "  '*:Tippscheindatei:_files -g \"*.tzv\"'\n";
}

void writeFish(std::ofstream& out)
{
    out << "# fish completion for kavrin-check\n"
           "complete -c kavrin-check -f -a '(__fish_complete_suffix .tzv)'\n";
    for (const optionRow& row : optionRows) {
        out << "complete -c kavrin-check -l " << row.name;
        if (row.id < 256)
            out << " -s " << static_cast<char>(row.id);
        if (row.id == colourOption)
            out << " -a '" << colourList() << "'";
        else if (row.argument == required_argument)
            out << " -r";
        out << " -d '" << firstLine(row) << "'\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    std::ofstream bash(folder + "/kavrin-check");
    std::ofstream zsh(folder + "/_kavrin-check");
    std::ofstream fish(folder + "/kavrin-check.fish");
    writeBash(bash);
    writeZsh(zsh);
    writeFish(fish);
    return bash && zsh && fish ? 0 : 1;
}
