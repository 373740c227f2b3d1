#include "tools/cli/label_input.h"

#include "storage/label_file.h"
#include "tools/cli/arguments.h"

#include <iostream>

namespace pelmora::cli {

bool loadLabelInput(const std::string& path, VAROINFO& label, bool reportDamage) {
    const LabelFileLoad load = loadLabelFile(path, label, WhenRefused::LabelKept);
    if (load.status == LabelFileStatus::CannotOpen) {
        throw InputError("cannot read " + path + ": " + load.problem);
    }
    if (load.status == LabelFileStatus::VersionRefused) {
        throw InputError(path + " is not a label file this program can read (" + load.problem +
                         ")");
    }
    // What was read is still used, as the program would load it.
    if (reportDamage && !load.complete) {
        std::cerr << "pelmora-cli: " << path << ": damaged at byte " << load.problemOffset << " ("
                  << load.problem << "); the rest is not read\n";
    }
    if (reportDamage && load.droppedObjects > 0) {
        std::cerr << "pelmora-cli: " << path << ": " << load.droppedObjects
                  << " placed object(s) could not be read and are left out\n";
    }
    return !load.complete || load.droppedObjects > 0;
}

} // namespace pelmora::cli
