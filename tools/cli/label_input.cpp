#include "tools/cli/label_input.h"

#include "storage/label_file.h"
#include "tools/cli/arguments.h"

#include <iostream>

namespace pelmora::cli {

void loadLabelInput(const std::string& path, VAROINFO& label, bool reportDamage) {
    const LabelFileLoad load = loadLabelFile(path, label, WhenRefused::LabelKept);
    if (load.status == LabelFileStatus::CannotOpen) {
        throw InputError("cannot read " + path + ": " + load.problem);
    }
    if (load.status == LabelFileStatus::VersionRefused) {
        throw InputError(path + " is not a label file this program can read (" + load.problem +
                         ")");
    }
    if (reportDamage && !load.complete) {
        // What was read is still used, as the program would load it.
        std::cerr << "pelmora-cli: " << path << ": damaged at byte " << load.problemOffset << " ("
                  << load.problem << "); the rest is not read\n";
    }
}

} // namespace pelmora::cli
