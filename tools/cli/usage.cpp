#include "tools/cli/usage.h"

#include "pelmora/version.h"

#include <sstream>

namespace pelmora::cli {
namespace {

constexpr std::size_t kWidth = 79;
constexpr const char* kProgram = "pelmora-cli";

const OptionHelp kFormatOption{
    "--format", "one|quad|fold-around|fold-out|four",
    "The label format: one label, one quad-length label, two fold-around labels, two "
    "fold-out labels or four labels (default one)."};

const OptionHelp kLibraryOption{
    "--library", "LIBRARY.sqlite",
    "The library file to use instead of $PELMORA_LIBRARY or "
    "${XDG_DATA_HOME:-~/.local/share}/pelmora/library.sqlite.",
    false, false, Completion::Files};

const std::vector<CommandHelp> kCommands = {
    {"scan",
     "FOLDER",
     Completion::Folders,
     "Catalogs FOLDER as if it were a disk and prints the tree, one name and size a line "
     "(folders' contents indented), then the volume name, the space figures, the counts and "
     "the expanded comment.",
     {
         {"--levels", "0|1|2|3|4|all",
          "How many folder levels below FOLDER are read (default all)."},
         {"--dirs-only", "", "Reads folder names only, no files."},
         {"--dirinfo", "none|entries|size",
          "What a folder shows beside its name: nothing, the number of its entries, or the "
          "size of its files (default none)."},
         {"--archives", "", "Lists the members of .ZIP and .ARJ archives as folders."},
         {"--exclude", "PAT",
          "Leaves out the files that match PAT (such as *.bak); may be given more than once.",
          false, true},
         {"--include", "PAT",
          "Takes only the files that match PAT; may be given more than once, and not together "
          "with --exclude.",
          false, true},
         {"--sort", "name|ext|size", "The order of the names (default name)."},
         {"--descending", "", "Sorts in descending order."},
         {"-o", "OUT.PMB",
          "Also writes the label into the label file OUT.PMB (.PMB is added to a name "
          "without an extension).",
          false, false, Completion::LabelFiles},
         {"--use-template", "",
          "Applies the hidden template file Pelmora.PMT in FOLDER to the label."},
     },
     {{"scan /media/disk --levels 2 --archives -o disk.PMB",
       "Catalogs two folder levels of a mounted disk, archives included, into disk.PMB."}}},
    {"dump",
     "FILE.PMB",
     Completion::LabelFiles,
     "Shows the label of a label file as JSON: its texts, options, styles, catalog tree and "
     "placed objects (images by their header, not their pixels). A damaged file is shown as "
     "far as it could be read, with a warning, and exits with 2.",
     {},
     {}},
    {"dump-template",
     "FILE.PMT",
     Completion::TemplateFiles,
     "Shows a template file as JSON: its version, the folder states, the placed objects and "
     "the label's formatting.",
     {},
     {}},
    {"render",
     "FILE.PMB",
     Completion::LabelFiles,
     "Paints one face of the label in a label file into a PNG image exactly the size of the "
     "face, as the window shows it.",
     {
         {"-o", "OUT.png", "The PNG file to write.", true, false, Completion::Files},
         kFormatOption,
         {"--position", "1|2|3|4", "The face to paint (default 1)."},
         {"--scale", "1|0.5", "1 paints at true size, 0.5 as the half-size overview (default 1)."},
         {"--dpi", "N", "Pixels per inch, 1 to 2400 (default 96)."},
     },
     {{"render disk.PMB -o disk.png --dpi 300", "Paints the front face at 300 dots per inch."}}},
    {"print",
     "FILE.PMB",
     Completion::LabelFiles,
     "Prints the label of a label file into every label the format uses, as one sheet at "
     "true size, into a PDF file. The PDF appears only when the whole job succeeded.",
     {
         {"-o", "OUT.pdf", "The PDF file to write.", true, false, Completion::Files},
         kFormatOption,
         {"--crop-marks", "", "Draws crop marks at the corners of every label."},
         {"--border", "0|1|2|3|4|5", "The border style drawn around the labels (default 0)."},
         {"--separate", "",
          "Leaves a little space between the labels of the two- and four-label formats."},
         {"--at", "X,Y",
          "Places the sheet X and Y inches from the top-left corner of the printable area "
          "instead of the format's own place."},
         {"--copies", "N", "Prints N sheets, 1 to 99 (default 1)."},
         {"--paper", "a4|letter", "The paper size (default a4)."},
         {"--fit", "",
          "Lowers the file and folder font heights, never below 5 points, to the largest "
          "height at which every catalog line fits; when even that is not enough, says how "
          "many lines would still be left out and prints nothing (exit 2)."},
         {"--offset", "DX,DY",
          "Moves everything printed DX and DY inches, to correct the printer's shift "
          "(default: the calibration stored for PDF files)."},
         {"--scale", "SX,SY",
          "Sizes everything printed by SX and SY percent, 90 to 110, to correct the "
          "printer's scale (default: the stored calibration)."},
     },
     {{"print disk.PMB -o disk.pdf --format four --crop-marks",
       "Prints four copies of the label on one sheet, with crop marks."}}},
    {"alignment-sheet",
     "",
     Completion::Nothing,
     "Prints one page with rulers along the top and left edges of the printable area, the "
     "outline of the one-label format at its default place and an instruction line: print "
     "it, measure where the outline landed, and type the correction into Calibrate.",
     {
         {"-o", "OUT.pdf", "The PDF file to write.", true, false, Completion::Files},
         {"--paper", "a4|letter", "The paper size (default a4)."},
     },
     {}},
    {"library",
     "add|refresh|remove|list|rebuild",
     Completion::LabelFiles,
     "Keeps the label library, the index of every cataloged disk that find and duplicates "
     "search. add PATH... adds label files, and every .PMB file below a folder; refresh "
     "re-reads the labels that changed and drops those whose file is gone; remove PATH... "
     "takes labels out; list shows one line per label (volume, entries, scan date, file); "
     "rebuild moves an unusable library aside and makes a new one. Unchanged labels are "
     "skipped; a damaged label is indexed as far as it could be read.",
     {kLibraryOption},
     {{"library add ~/labels", "Adds every label file below ~/labels."}}},
    {"find",
     "PATTERN",
     Completion::Nothing,
     "Finds files and folders on every cataloged disk whose name holds PATTERN (letter case "
     "ignored; * and ? are wildcards), and prints each as VOLUME, its path on the disk, its "
     "size and the label file; the number of hits goes to standard error. Exits with 1 when "
     "nothing matched.",
     {
         {"--regex", "", "PATTERN is a regular expression."},
         {"--ext", "EXT", "Only names with the extension EXT."},
         {"--min-size", "N", "Only entries of at least N bytes."},
         {"--max-size", "N", "Only entries of at most N bytes."},
         {"--files", "", "Only files."},
         {"--folders", "", "Only folders."},
         {"--label", "GLOB", "Only labels whose file name matches GLOB."},
         {"--limit", "N", "Prints at most N hits."},
         {"--json", "", "Prints the hits as JSON."},
         kLibraryOption,
     },
     {{"find holiday --ext jpg", "Finds the JPEG files with holiday in their name."}}},
    {"duplicates",
     "",
     Completion::Nothing,
     "Lists the files with the same name and size on more than one disk, biggest first.",
     {
         {"--min-size", "N", "Only files of at least N bytes (default 1)."},
         kLibraryOption,
     },
     {}},
};

const std::vector<ExitCodeHelp> kExitCodes = {
    {0, "Success, and after --help or --version."},
    {1, "The command line could not be understood; the usage follows the message."},
    {2, "The input could not be used: a folder or file that cannot be read, a damaged file, a "
        "value out of range, an output that cannot be written."},
};

// Appends `words` to `out` as lines of at most kWidth columns; every line after the first
// starts with `indent` spaces.
void appendWrapped(std::string& out, const std::vector<std::string>& words, std::size_t column,
                   std::size_t indent) {
    bool first = true;
    for (const std::string& word : words) {
        if (!first && column + 1 + word.size() > kWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        first = false;
    }
    out += '\n';
}

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// `text` as a paragraph indented by `indent`.
void appendParagraph(std::string& out, const std::string& text, std::size_t indent) {
    out += std::string(indent, ' ');
    appendWrapped(out, wordsOf(text), indent, indent);
}

std::string optionWords(const OptionHelp& option) {
    std::string words = option.name;
    if (*option.value != '\0') {
        words += std::string(" ") + option.value;
    }
    return words;
}

} // namespace

const char* description() {
    return "pelmora-cli catalogs folders as Pelmora catalogs disks, shows, paints and prints "
           "label files, and finds files on every cataloged disk through the label library, "
           "without a window: for scripts and checks. Each command reads "
           "its arguments, writes its result to standard output or to the file given with -o, "
           "and reports problems on standard error.";
}

const std::vector<CommandHelp>& commands() {
    return kCommands;
}

const std::vector<ExitCodeHelp>& exitCodes() {
    return kExitCodes;
}

const CommandHelp* findCommand(const std::string& name) {
    for (const CommandHelp& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

std::vector<std::string> synopsisWords(const CommandHelp& command) {
    std::vector<std::string> words{command.name};
    if (*command.operand != '\0') {
        words.push_back(command.operand);
    }
    for (const OptionHelp& option : command.options) {
        words.push_back(option.required
                            ? optionWords(option)
                            : "[" + optionWords(option) + "]" + (option.repeatable ? "..." : ""));
    }
    return words;
}

std::vector<std::string> optionChoices(const OptionHelp& option) {
    const std::string value = option.value;
    if (value.find('|') == std::string::npos) {
        return {};
    }
    std::vector<std::string> choices;
    std::size_t start = 0;
    for (std::size_t bar = value.find('|'); bar != std::string::npos;
         start = bar + 1, bar = value.find('|', start)) {
        choices.push_back(value.substr(start, bar - start));
    }
    choices.push_back(value.substr(start));
    return choices;
}

std::string usageText() {
    const std::string lead = std::string(kProgram) + " ";
    std::string out;
    bool first = true;
    for (const CommandHelp& command : kCommands) {
        const std::string start = (first ? "usage: " : "       ") + lead;
        out += start;
        appendWrapped(out, synopsisWords(command), start.size(), start.size());
        first = false;
    }
    out += "       " + lead + "[COMMAND] --help\n";
    out += "       " + lead + "--version\n";
    return out;
}

std::string helpText() {
    std::string out = usageText();
    for (const CommandHelp& command : kCommands) {
        out += std::string("\n") + command.name +
               (*command.operand != '\0' ? std::string(" ") + command.operand : "") + "\n";
        appendParagraph(out, command.text, 2);
        for (const OptionHelp& option : command.options) {
            out += "  " + optionWords(option) + "\n";
            appendParagraph(out, option.text, 6);
        }
    }
    out += "\nExit codes:\n";
    for (const ExitCodeHelp& exit : kExitCodes) {
        out += "  " + std::to_string(exit.code) + "\n";
        appendParagraph(out, exit.text, 6);
    }
    out += "\nExamples:\n";
    for (const CommandHelp& command : kCommands) {
        for (const ExampleHelp& example : command.examples) {
            out += "  " + std::string(kProgram) + " " + example.commandLine + "\n";
            appendParagraph(out, example.text, 6);
        }
    }
    return out;
}

std::string versionText() {
    return std::string("Pelmora ") + kReleaseVersion + "\n";
}

} // namespace pelmora::cli
