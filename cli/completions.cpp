// Writes kavrin-check's completions for bash, zsh and fish from its option
// table, at build time: kavrin-completions FOLDER.
#include "options.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <initializer_list>
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

// An option's whole help on one line: a word split at a line's end
// ("Standard-" "ausgabe") is joined again.
std::string description(const optionRow& row)
{
    std::string text;
    for (std::size_t start = 0;;) {
        const std::size_t end = row.help.find('\n', start);
        const std::string_view line = row.help.substr(start, end - start);
        if (!text.empty() && text.back() == '-' && !line.empty() && std::islower(static_cast<unsigned char>(line[0])))
            text.pop_back();
        else if (!text.empty())
            text.push_back(' ');
        text.append(line);
        if (end == std::string_view::npos)
            return text;
        start = end + 1;
    }
}

struct escape {
    char character;
    std::string_view as;
};

// Text for between '…' in a shell script, with the characters the shell or
// the completion function reads as its own written as they want them.
std::string escaped(const std::string& text, std::initializer_list<escape> escapes)
{
    std::string out;
    for (const char c : text) {
        const escape* special = std::find_if(
            escapes.begin(), escapes.end(), [c](const escape& candidate) { return candidate.character == c; });
        out += special == escapes.end() ? std::string(1, c) : std::string(special->as);
    }
    return out;
}

// Completes what the command line has in COMP_WORDS, put together again
// where bash split it at '=' (COMP_WORDBREAKS). A word is unquoted before it
// is compared with file names; -o filenames quotes what is offered.
void writeBash(std::ofstream& out)
{
    std::string options = "--";
    for (const optionRow& row : optionRows) {
        options += " " + longOption(row);
        if (row.id < 256)
            options += std::string(" -") + static_cast<char>(row.id);
    }
    out << "# bash completion for kavrin-check\n"
           "_kavrin_check_unquoted()\n{\n"
           "    local word=$1 c\n"
           "    unquoted=\n"
           "    case $word in\n"
           "    \\'*) word=${word#\\'}; unquoted=${word%\\'}; return ;;\n"
           "    \\\"*) word=${word#\\\"}; word=${word%\\\"} ;;\n"
           "    esac\n"
           "    while [[ -n $word ]]; do\n"
           "        c=${word:0:1} word=${word:1}\n"
           "        if [[ $c == \\\\ && -n $word ]]; then c=${word:0:1} word=${word:1}; fi\n"
           "        unquoted+=$c\n"
           "    done\n"
           "}\n"
           "_kavrin_check()\n{\n"
           "    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]} unquoted i\n"
           "    if [[ $current == = ]]; then\n"
           "        current=$previous= previous=${COMP_WORDS[COMP_CWORD-2]}\n"
           "    elif [[ $previous == = ]]; then\n"
           "        current=${COMP_WORDS[COMP_CWORD-2]}=$current previous=${COMP_WORDS[COMP_CWORD-3]}\n"
           "    fi\n"
           "    local options=yes\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        [[ ${COMP_WORDS[i]} == -- ]] && options=\n"
           "    done\n"
           "    if [[ -n $options ]]; then\n"
           "        case $previous in\n"
           "        --color)\n"
           "            mapfile -t COMPREPLY < <(compgen -W \""
        << colourList()
        << "\" -- \"$current\")\n"
           "            return ;;\n"
           "        --max-violations) return ;;\n"
           "        esac\n"
           "        case $current in\n"
           "        --color=*)\n"
           "            mapfile -t COMPREPLY < <(compgen -W \""
        << colourList()
        << "\" -- \"${current#--color=}\")\n"
           "            return ;;\n"
           "        --max-violations=*) return ;;\n"
           "        -*)\n"
           "            compopt -o nospace 2>/dev/null\n"
           "            mapfile -t COMPREPLY < <(compgen -W \""
        << options
        << "\" -- \"$current\")\n"
           "            [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} != *= ]] && compopt +o nospace 2>/dev/null\n"
           "            return ;;\n"
           "        esac\n"
           "    fi\n"
           "    _kavrin_check_unquoted \"$current\"\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    mapfile -t COMPREPLY < <(compgen -f -X '!*.tzv' -- \"$unquoted\"; compgen -d -- \"$unquoted\")\n"
           "}\n"
           "complete -F _kavrin_check kavrin-check\n";
}

// _arguments takes --color's value in the same word or the next, as the
// program does; -S: after "--" only file names.
void writeZsh(std::ofstream& out)
{
    out << "#compdef kavrin-check\n_arguments -s -S \\\n";
    for (const optionRow& row : optionRows) {
        const std::string value = row.id == colourOption ? ":WANN:(" + colourList() + ")"
            : row.argument == required_argument          ? ":N: "
                                                         : "";
        const std::string help = escaped(description(row), { { '\'', "'\\''" }, { '[', "\\[" }, { ']', "\\]" } });
        if (row.id < 256)
            out << "  '(-" << static_cast<char>(row.id) << " --" << row.name << ")'{-" << static_cast<char>(row.id)
                << ",--" << row.name << "}'[" << help << "]" << value << "' \\\n";
        else
            out << "  '" << longOption(row) << "[" << help << "]" << value << "' \\\n";
    }
    out << "  '*:Tippscheindatei:_files -g \"*.tzv\"'\n";
}

// Only .tzv files and folders, from fish's own file completion of the word;
// an option's value is never a file.
void writeFish(std::ofstream& out)
{
    out << "# fish completion for kavrin-check\n"
           "function __kavrin_check_files\n"
           "    complete -C \"__fish_command_without_completions -- \"(commandline -ct) \\\n"
           "        | string match -r -- '^[^\\t]*(?:\\.tzv|/)(?:\\t.*)?$'\n"
           "end\n"
           "complete -c kavrin-check -f -a '(__kavrin_check_files)'\n";
    for (const optionRow& row : optionRows) {
        out << "complete -c kavrin-check -l " << row.name;
        if (row.id < 256)
            out << " -s " << static_cast<char>(row.id);
        if (row.id == colourOption)
            out << " -x -a '" << colourList() << "'";
        else if (row.argument == required_argument)
            out << " -x";
        out << " -d '" << escaped(description(row), { { '\'', "\\'" }, { '\\', "\\\\" } }) << "'\n";
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
