#include "shell/program_usage.h"

#include "pelmora/version.h"

#include <string_view>

namespace pelmora {
namespace {

const std::vector<SwitchHelp> kSwitches = {
    {"-label", "PATH",
     "Loads the label file PATH into the current label once the window is up. The path is "
     "the rest of the command line after the switch and one blank, taken as it is."},
    {"-template", "PATH",
     "Makes PATH the current file and reads the hidden template file Pelmora.PMT of the "
     "current drive into the current label."},
    {"-printlabel", "PATH",
     "Loads the label file PATH, shows the print dialog, prints it and exits. When the file "
     "cannot be loaded the program says so and stays open."},
    {"--help", "", "Prints this help and exits."},
    {"--version", "", "Prints the program's name and version and exits."},
};

const std::vector<NamedHelp> kEnvironment = {
    {"PELMORA_WINDIR",
     "The folder that holds Pelmora.ini. When unset, $XDG_CONFIG_HOME is used, and when that "
     "is unset too, ~/.config."},
    {"PELMORA_DRIVE_x",
     "The folder that drive letter x (A to Z, upper case) stands for, such as "
     "PELMORA_DRIVE_A=/media/disk. It takes precedence over the [Drives] section of "
     "Pelmora.ini and over the removable media found mounted under /media/$USER, "
     "/run/media/$USER and /mnt, which get free letters from A in mount order; Z is /."},
    {"QT_QPA_PLATFORM",
     "The Qt platform the window opens on; offscreen runs the program without a display."},
};

const std::vector<NamedHelp> kFiles = {
    {"$PELMORA_WINDIR/Pelmora.ini",
     "The settings: section vexo holds every setting, section Drives maps drive letters to "
     "folders (A=/some/folder), section Install names the folder Setup installed into."},
    {"Pelmora.PMT",
     "The hidden template file in the root folder of a cataloged disk, applied when the disk "
     "is read with template files in use."},
    {"*.PMB", "Label files."},
};

constexpr std::size_t kWidth = 79;

void appendParagraph(std::string& out, std::string_view text, std::size_t indent) {
    std::size_t column = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view word = text.substr(start, end - start);
        if (column == 0) {
            out.append(indent, ' ');
            column = indent;
        } else if (column + 1 + word.size() > kWidth) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        start = end + 1;
    }
    out += '\n';
}

} // namespace

const std::vector<SwitchHelp>& programSwitches() {
    return kSwitches;
}

const std::vector<NamedHelp>& programEnvironment() {
    return kEnvironment;
}

const std::vector<NamedHelp>& programFiles() {
    return kFiles;
}

const char* programDescription() {
    return "Pelmora catalogs removable disks and prints labels for them. It reads a disk's "
           "volume name, its free and used space and its directory tree, optionally looking "
           "inside .ZIP and .ARJ archives, lays the names out in columns on a disk label, and "
           "prints the label at true size. Labels are saved as .PMB label files; a disk can "
           "carry its own hidden template that formats its label whenever it is read.";
}

std::string programHelpText(const std::string& name) {
    std::string out = "usage: " + name + " [-label PATH | -template PATH | -printlabel PATH]\n" +
                      "       " + name + " --help | --version\n\n";
    appendParagraph(out, programDescription(), 0);
    out += "\nSwitches:\n";
    for (const SwitchHelp& item : kSwitches) {
        out += std::string("  ") + item.name + (*item.value ? " " : "") + item.value + "\n";
        appendParagraph(out, item.text, 6);
    }
    out += "\nEnvironment:\n";
    for (const NamedHelp& item : kEnvironment) {
        out += std::string("  ") + item.name + "\n";
        appendParagraph(out, item.text, 6);
    }
    out += "\nFiles:\n";
    for (const NamedHelp& item : kFiles) {
        out += std::string("  ") + item.name + "\n";
        appendParagraph(out, item.text, 6);
    }
    return out;
}

std::string programVersionText() {
    return std::string("Pelmora ") + kReleaseVersion + "\n";
}

EarlyRequest earlyRequestOf(int argc, const char* const* argv) {
    if (argc != 2) {
        return EarlyRequest::None;
    }
    const std::string_view arg = argv[1];
    if (arg == "--help") {
        return EarlyRequest::Help;
    }
    if (arg == "--version") {
        return EarlyRequest::Version;
    }
    return EarlyRequest::None;
}

} // namespace pelmora
