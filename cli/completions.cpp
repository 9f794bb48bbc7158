// Writes the completions of kavrin-check and kavrin-make for bash, zsh and
// fish from their option tables, at build time: kavrin-completions FOLDER.
#include "makeOptions.h"
#include "options.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

using namespace kavrin::cli;

namespace {

// An option as every shell's completion needs it, from either table.
struct option {
    std::string name;
    char letter = 0; // its short form, or none
    bool hasValue = false; // required or optional
    bool takesValue = false; // required
    std::string valueName; // DATEI in --output=DATEI
    std::vector<std::string_view> values; // all it may be, when known
    bool valueIsFile = false; // a .tzv file to write
    std::string_view help;
};

// What a program's completions need: its options, and the files it reads.
struct program {
    std::string name; // kavrin-check
    std::string function; // _kavrin_check
    std::string filesLabel; // for zsh
    std::vector<std::string_view> suffixes; // of the files it reads
    std::vector<option> options;
};

template <class Row> option optionOf(const Row& row, std::vector<std::string_view> values, bool valueIsFile)
{
    const std::string_view shown = row.shown;
    const std::size_t equals = shown.find('=');
    return { row.name, row.id < 256 ? static_cast<char>(row.id) : '\0', row.argument != no_argument,
        row.argument == required_argument,
        equals == std::string_view::npos ? std::string()
                                         : std::string(shown.substr(equals + 1, shown.find(']') - equals - 1)),
        std::move(values), valueIsFile, row.help };
}

program checkProgram()
{
    program p { "kavrin-check", "_kavrin_check", "Tippscheindatei", { ".tzv" }, {} };
    for (const optionRow& row : optionRows)
        p.options.push_back(optionOf(row,
            row.id == colourOption ? std::vector<std::string_view>(std::begin(colourValues), std::end(colourValues))
                                   : std::vector<std::string_view> {},
            false));
    return p;
}

program makeProgram()
{
    program p { "kavrin-make", "_kavrin_make", "Tippdaten", { ".json", ".csv" }, {} };
    for (const make::optionRow& row : make::optionRows)
        p.options.push_back(optionOf(row, {}, row.id == make::outputOption));
    return p;
}

std::string longOption(const option& o) { return "--" + o.name + (o.hasValue ? "=" : ""); }

std::string listed(const std::vector<std::string_view>& words, std::string_view between = " ")
{
    std::string out;
    for (const std::string_view word : words)
        out.append(out.empty() ? "" : between).append(word);
    return out;
}

// An option's whole help on one line: a word split at a line's end
// ("Standard-" "ausgabe") is joined again.
std::string description(const option& o)
{
    std::string text;
    for (std::size_t start = 0;;) {
        const std::size_t end = o.help.find('\n', start);
        const std::string_view line = o.help.substr(start, end - start);
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
void writeBash(std::ofstream& out, const program& p)
{
    std::string options = "--";
    std::string afterOption; // the case of a value in the next word
    std::string inOption; // the case of a value in the same word
    for (const option& o : p.options) {
        options += " " + longOption(o);
        if (o.letter != 0)
            options += std::string(" -") + o.letter;
        const std::string values = listed(o.values);
        if (!values.empty()) {
            afterOption += "        --" + o.name + ")\n            mapfile -t COMPREPLY < <(compgen -W \"" + values
                + "\" -- \"$current\")\n            return ;;\n";
            inOption += "        --" + o.name + "=*)\n            mapfile -t COMPREPLY < <(compgen -W \"" + values
                + "\" -- \"${current#--" + o.name + "=}\")\n            return ;;\n";
        } else if (o.valueIsFile) {
            afterOption += "        --" + o.name + (o.letter != 0 ? std::string("|-") + o.letter : "")
                + ") suffixes=(.tzv) ;;\n";
            inOption += "        --" + o.name + "=*) current=${current#--" + o.name + "=} suffixes=(.tzv) ;;\n";
        } else if (o.takesValue) {
            afterOption
                += "        --" + o.name + (o.letter != 0 ? std::string("|-") + o.letter : "") + ") return ;;\n";
            inOption += "        --" + o.name + "=*) return ;;\n";
        }
    }
    std::string suffixes;
    for (const std::string_view suffix : p.suffixes)
        suffixes.append(suffixes.empty() ? "" : " ").append(suffix);
    out << "# bash completion for " << p.name << "\n"
        << p.function << "_unquoted()\n{\n"
        << "    local word=$1 c\n"
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
        << p.function << "()\n{\n"
        << "    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]} unquoted i suffix\n"
           "    local suffixes=("
        << suffixes
        << ")\n"
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
        << afterOption
        << "        esac\n"
           "        case $current in\n"
        << inOption
        << "        -*)\n"
           "            compopt -o nospace 2>/dev/null\n"
           "            mapfile -t COMPREPLY < <(compgen -W \""
        << options
        << "\" -- \"$current\")\n"
           "            [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} != *= ]] && compopt +o nospace 2>/dev/null\n"
           "            return ;;\n"
           "        esac\n"
           "    fi\n"
        << "    " << p.function << "_unquoted \"$current\"\n"
        << "    compopt -o filenames 2>/dev/null\n"
           "    mapfile -t COMPREPLY < <(for suffix in \"${suffixes[@]}\"; do\n"
           "        compgen -f -X \"!*$suffix\" -- \"$unquoted\"; done; compgen -d -- \"$unquoted\")\n"
           "}\n"
        << "complete -F " << p.function << " " << p.name << "\n";
}

// The glob of the files a program reads: "*.tzv", "*.(json|csv)".
std::string glob(const program& p)
{
    std::vector<std::string_view> bare;
    for (const std::string_view suffix : p.suffixes)
        bare.push_back(suffix.substr(1));
    return bare.size() == 1 ? "*." + std::string(bare.front()) : "*.(" + listed(bare, "|") + ")";
}

// _arguments takes an option's value in the same word or the next, as the
// programs do; -S: after "--" only file names.
void writeZsh(std::ofstream& out, const program& p)
{
    out << "#compdef " << p.name << "\n_arguments -s -S \\\n";
    for (const option& o : p.options) {
        const std::string value = !o.values.empty() ? ":" + o.valueName + ":(" + listed(o.values) + ")"
            : o.valueIsFile                         ? ":" + o.valueName + ":_files -g \"*.tzv\""
            : o.takesValue                          ? ":" + o.valueName + ": "
                                                    : "";
        const std::string help = escaped(description(o), { { '\'', "'\\''" }, { '[', "\\[" }, { ']', "\\]" } });
        if (o.letter != 0)
            out << "  '(-" << o.letter << " --" << o.name << ")'{-" << o.letter << ",--" << o.name << "}'[" << help
                << "]" << value << "' \\\n";
        else
            out << "  '" << longOption(o) << "[" << help << "]" << value << "' \\\n";
    }
    out << "  '*:" << p.filesLabel << ":_files -g \"" << glob(p) << "\"'\n";
}

// Only the files a program reads and folders, from fish's own file
// completion of the word; an option's value is never one of them.
void writeFish(std::ofstream& out, const program& p)
{
    std::string pattern;
    for (const std::string_view suffix : p.suffixes)
        pattern.append("\\").append(suffix).append("|");
    const std::string files = "__" + p.function.substr(1) + "_files";
    out << "# fish completion for " << p.name << "\n"
        << "function " << files << "\n"
        << "    complete -C \"__fish_command_without_completions -- \"(commandline -ct) \\\n"
           "        | string match -r -- '^[^\\t]*(?:"
        << pattern << "/)(?:\\t.*)?$'\n"
        << "end\n"
        << "complete -c " << p.name << " -f -a '(" << files << ")'\n";
    for (const option& o : p.options) {
        out << "complete -c " << p.name << " -l " << o.name;
        if (o.letter != 0)
            out << " -s " << o.letter;
        if (!o.values.empty())
            out << " -x -a '" << listed(o.values) << "'";
        else if (o.valueIsFile)
            out << " -r -F";
        else if (o.takesValue)
            out << " -x";
        out << " -d '" << escaped(description(o), { { '\'', "\\'" }, { '\\', "\\\\" } }) << "'\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    bool written = true;
    for (const program& p : { checkProgram(), makeProgram() }) {
        std::ofstream bash(folder + "/" + p.name);
        std::ofstream zsh(folder + "/_" + p.name);
        std::ofstream fish(folder + "/" + p.name + ".fish");
        writeBash(bash, p);
        writeZsh(zsh, p);
        writeFish(fish, p);
        written = written && bash && zsh && fish;
    }
    return written ? 0 : 1;
}
