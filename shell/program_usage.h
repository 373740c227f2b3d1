#pragma once
// What the label program says about itself: its switches, the environment it reads and its
// files. `Pelmora --help` prints it, and pelmora_make_manuals turns the same tables into the
// manual page pelmora(1). No Qt: it is printed before any application object exists.

#include <string>
#include <vector>

namespace pelmora {

struct SwitchHelp {
    const char* name;  // "-label"
    const char* value; // "PATH", or "" for none
    const char* text;
};

struct NamedHelp {
    const char* name; // an environment variable or a file
    const char* text;
};

// The program's switches: the three a document's desktop entry uses, then --help and
// --version.
const std::vector<SwitchHelp>& programSwitches();
const std::vector<NamedHelp>& programEnvironment();
const std::vector<NamedHelp>& programFiles();
// One paragraph: what the program is.
const char* programDescription();

// The usage line, the switches, the environment and the files: what --help prints, with the
// program called `name` (as it was started).
std::string programHelpText(const std::string& name);
// "Pelmora 4.1\n".
std::string programVersionText();

// What the command line asks for before the window starts.
enum class EarlyRequest { None, Help, Version };
// A command line of exactly "--help" or "--version"; anything else starts the
// window, which reads its own switches.
EarlyRequest earlyRequestOf(int argc, const char* const* argv);

} // namespace pelmora
