// pelmora_make_manuals: writes the manual pages pelmora(1) and pelmora-cli(1) and the bash
// completion of pelmora-cli from the tables the programs' --help texts are printed from.
// Run by the build:
//   pelmora_make_manuals --program OUT.1 --cli OUT.1 --completion OUT

#include "pelmora/version.h"
#include "shell/program_usage.h"
#include "tools/cli/usage.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using pelmora::cli::CommandHelp;
using pelmora::cli::Completion;
using pelmora::cli::OptionHelp;

// Text as roff reads it literally: backslashes and hyphens escaped, and a line that would
// start with a control character guarded.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

// A synopsis word: options bold, placeholders (FOLDER, OUT.png) italic, brackets and fixed
// values plain ("[--levels 0|1|2|3|4|all]" -> "[\fB\-\-levels\fR 0|1|2|3|4|all]").
std::string synopsisWord(const std::string& word) {
    std::string out;
    std::size_t i = 0;
    while (i < word.size()) {
        const char c = word[i];
        if (c == ' ') {
            out += "\\ "; // an option stays on one line with its value
            ++i;
            continue;
        }
        if (c == '[' || c == ']' || c == '.' || c == '|') {
            out += c;
            ++i;
            continue;
        }
        std::size_t end = word.find_first_of("[] ", i);
        if (end == std::string::npos) {
            end = word.size();
        }
        const std::string part = word.substr(i, end - i);
        if (part.starts_with("-")) {
            out += "\\fB" + roff(part) + "\\fR";
        } else if (part[0] >= 'A' && part[0] <= 'Z') {
            out += "\\fI" + roff(part) + "\\fR";
        } else {
            out += roff(part);
        }
        i = end;
    }
    return out;
}

std::string optionLine(const char* name, const char* value) {
    std::string line = "\\fB" + roff(name) + "\\fR";
    if (*value != '\0') {
        line += " " + synopsisWord(value);
    }
    return line;
}

std::string header(const std::string& name) {
    std::string upper;
    for (char c : name) {
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return ".TH " + roff(upper) + " 1 " + pelmora::kReleaseIsoDate + " \"Pelmora " +
           pelmora::kReleaseVersion + "\" \"User Commands\"\n";
}

std::string programPage() {
    std::ostringstream out;
    out << header("pelmora") << ".SH NAME\n"
        << "pelmora \\- catalog removable disks and print labels for them\n"
        << ".SH SYNOPSIS\n"
        << ".SY pelmora\n"
        << "[\\fB\\-label\\fR \\fIPATH\\fR | \\fB\\-template\\fR \\fIPATH\\fR | "
           "\\fB\\-printlabel\\fR \\fIPATH\\fR]\n"
        << ".YS\n"
        << ".SY pelmora\n"
        << "\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n"
        << ".YS\n"
        << ".SH DESCRIPTION\n"
        << roff(pelmora::programDescription()) << "\n"
        << ".PP\n"
        << "The program is installed as \\fI/usr/lib/pelmora/Pelmora\\fR, with its help book "
           "beside it, and started as \\fBpelmora\\fR.\n"
        << ".SH OPTIONS\n";
    for (const pelmora::SwitchHelp& item : pelmora::programSwitches()) {
        out << ".TP\n" << optionLine(item.name, item.value) << "\n" << roff(item.text) << "\n";
    }
    out << ".SH ENVIRONMENT\n";
    for (const pelmora::NamedHelp& item : pelmora::programEnvironment()) {
        out << ".TP\n.B " << roff(item.name) << "\n" << roff(item.text) << "\n";
    }
    out << ".SH FILES\n";
    for (const pelmora::NamedHelp& item : pelmora::programFiles()) {
        out << ".TP\n.I " << roff(item.name) << "\n" << roff(item.text) << "\n";
    }
    out << ".SH SEE ALSO\n"
        << ".BR pelmora\\-cli (1)\n";
    return out.str();
}

std::string cliPage() {
    std::ostringstream out;
    out << header("pelmora-cli") << ".SH NAME\n"
        << "pelmora\\-cli \\- catalog folders and show, paint and print Pelmora label files\n"
        << ".SH SYNOPSIS\n";
    for (const CommandHelp& command : pelmora::cli::commands()) {
        out << ".SY pelmora\\-cli\n";
        const std::vector<std::string> words = pelmora::cli::synopsisWords(command);
        out << ".B " << roff(words[0]) << "\n";
        for (std::size_t i = 1; i < words.size(); ++i) {
            out << synopsisWord(words[i]) << "\n";
        }
        out << ".YS\n";
    }
    out << ".SY pelmora\\-cli\n"
        << "[\\fICOMMAND\\fR] \\fB\\-\\-help\\fR\n"
        << ".YS\n"
        << ".SY pelmora\\-cli\n"
        << "\\fB\\-\\-version\\fR\n"
        << ".YS\n"
        << ".SH DESCRIPTION\n"
        << roff(pelmora::cli::description()) << "\n"
        << ".SH COMMANDS\n";
    for (const CommandHelp& command : pelmora::cli::commands()) {
        out << ".SS " << synopsisWord(command.name) << " " << synopsisWord(command.operand) << "\n"
            << roff(command.text) << "\n";
        for (const OptionHelp& option : command.options) {
            out << ".TP\n"
                << optionLine(option.name, option.value) << "\n"
                << roff(option.text) << "\n";
        }
    }
    out << ".SH OPTIONS\n"
        << ".TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\n"
        << "Prints the usage, the commands with their options, the exit codes and examples, "
           "and exits; after a command as well.\n"
        << ".TP\n\\fB\\-\\-version\\fR\n"
        << "Prints the name and version, and exits.\n"
        << ".SH EXIT STATUS\n";
    for (const pelmora::cli::ExitCodeHelp& exit : pelmora::cli::exitCodes()) {
        out << ".TP\n.B " << exit.code << "\n" << roff(exit.text) << "\n";
    }
    out << ".SH EXAMPLES\n";
    for (const CommandHelp& command : pelmora::cli::commands()) {
        for (const pelmora::cli::ExampleHelp& example : command.examples) {
            out << ".TP\n.B pelmora\\-cli " << roff(example.commandLine) << "\n"
                << roff(example.text) << "\n";
        }
    }
    out << ".SH SEE ALSO\n"
        << ".BR pelmora (1)\n";
    return out.str();
}

// The bash words that complete a value of the given kind into COMPREPLY.
std::string completionCall(Completion kind) {
    switch (kind) {
    case Completion::Nothing:
        return "return";
    case Completion::Files:
        return "_pelmora_cli_files \"$cur\"";
    case Completion::Folders:
        return "_pelmora_cli_folders \"$cur\"";
    case Completion::LabelFiles:
        return "_pelmora_cli_files \"$cur\" pmb";
    case Completion::TemplateFiles:
        return "_pelmora_cli_files \"$cur\" pmt";
    }
    return "return";
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) {
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

std::string completionScript() {
    std::ostringstream out;
    out << "# bash completion for pelmora-cli, made by pelmora_make_manuals from the table its\n"
           "# --help is printed from.\n"
           "\n"
           "# Folders, and files (those ending in .EXT in any case when EXT is given).\n"
           "_pelmora_cli_files() {\n"
           "    local cur=$1 ext=${2:-} name\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    while IFS= read -r name; do\n"
           "        if [[ -d $name || -z $ext || ${name,,} == *.\"$ext\" ]]; then\n"
           "            COMPREPLY+=(\"$name\")\n"
           "        fi\n"
           "    done < <(compgen -f -- \"$cur\")\n"
           "}\n"
           "\n"
           "_pelmora_cli_folders() {\n"
           "    local name\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    while IFS= read -r name; do\n"
           "        COMPREPLY+=(\"$name\")\n"
           "    done < <(compgen -d -- \"$1\")\n"
           "}\n"
           "\n"
           "_pelmora_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    COMPREPLY=()\n"
           "    if ((COMP_CWORD == 1)); then\n";
    std::vector<std::string> names;
    for (const CommandHelp& command : pelmora::cli::commands()) {
        names.push_back(command.name);
    }
    out << "        COMPREPLY=($(compgen -W \"" << joined(names)
        << " --help --version\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case ${COMP_WORDS[1]} in\n";
    for (const CommandHelp& command : pelmora::cli::commands()) {
        out << "    " << command.name << ")\n"
            << "        case $prev in\n";
        std::vector<std::string> options;
        for (const OptionHelp& option : command.options) {
            options.push_back(option.name);
            if (*option.value == '\0') {
                continue;
            }
            const std::vector<std::string> choices = pelmora::cli::optionChoices(option);
            out << "        " << option.name << ")\n";
            if (!choices.empty()) {
                out << "            COMPREPLY=($(compgen -W \"" << joined(choices)
                    << "\" -- \"$cur\"))\n"
                    << "            return\n";
            } else {
                out << "            " << completionCall(option.completes) << "\n"
                    << "            return\n";
            }
            out << "            ;;\n";
        }
        options.push_back("--help");
        out << "        esac\n"
            << "        if [[ $cur == -* ]]; then\n"
            << "            COMPREPLY=($(compgen -W \"" << joined(options) << "\" -- \"$cur\"))\n"
            << "        else\n"
            << "            " << completionCall(command.operandCompletes) << "\n"
            << "        fi\n"
            << "        ;;\n";
    }
    out << "    esac\n"
           "}\n"
           "complete -F _pelmora_cli pelmora-cli\n";
    return out.str();
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "pelmora_make_manuals: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    bool ok = true;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--program") {
            ok = writeText(args[i + 1], programPage()) && ok;
        } else if (args[i] == "--cli") {
            ok = writeText(args[i + 1], cliPage()) && ok;
        } else if (args[i] == "--completion") {
            ok = writeText(args[i + 1], completionScript()) && ok;
        } else {
            ok = false;
        }
    }
    if (args.empty() || args.size() % 2 != 0 || !ok) {
        std::cerr << "usage: pelmora_make_manuals [--program OUT.1] [--cli OUT.1] "
                     "[--completion OUT]\n";
        return 1;
    }
    return 0;
}
