#pragma once
// What pelmora-cli says about itself: one table of its commands, from which --help, the usage
// lines of a usage error, the manual page pelmora-cli(1) and the bash completion are all
// made (the last two by pelmora_make_manuals at build time), so they cannot disagree. A new
// command is one more entry in the table.

#include <string>
#include <vector>

namespace pelmora::cli {

// What the shell completes for an option's value or a command's operand.
enum class Completion { Nothing, Files, Folders, LabelFiles, TemplateFiles };

struct OptionHelp {
    const char* name;        // "--levels"
    const char* value;       // "0|1|2|3|4|all" (fixed values), "PAT" (free), "" (no value)
    const char* text;        // what it does, one sentence or a few
    bool required = false;   // shown without brackets ("-o OUT.png")
    bool repeatable = false; // shown as "[--exclude PAT]..."
    Completion completes = Completion::Nothing; // for a value without fixed choices
};

struct ExampleHelp {
    const char* commandLine; // without the program name
    const char* text;
};

struct CommandHelp {
    const char* name;    // "scan"
    const char* operand; // "FOLDER", "FILE.PMB"
    Completion operandCompletes;
    const char* text; // what the command does
    std::vector<OptionHelp> options;
    std::vector<ExampleHelp> examples;
};

struct ExitCodeHelp {
    int code;
    const char* text;
};

// One paragraph: what pelmora-cli is for.
const char* description();
// Every command, in the order the usage lists them.
const std::vector<CommandHelp>& commands();
const std::vector<ExitCodeHelp>& exitCodes();
// The command named `name`, or nullptr.
const CommandHelp* findCommand(const std::string& name);

// The synopsis words of one command after "pelmora-cli" ("scan", "FOLDER", "[--dirs-only]",
// "[--exclude PAT]...", "-o OUT.png").
std::vector<std::string> synopsisWords(const CommandHelp& command);
// The fixed values of an option ("0|1|2|3|4|all" gives six), empty for a free value.
std::vector<std::string> optionChoices(const OptionHelp& option);

// "usage: pelmora-cli scan FOLDER ..." and a line per command, wrapped to 79 columns: what a
// usage error prints after its message.
std::string usageText();
// The usage lines followed by every command's description and options, the exit codes and
// the examples: what --help prints.
std::string helpText();
// "Pelmora 4.1\n": what --version prints.
std::string versionText();

} // namespace pelmora::cli
