#pragma once
// Reading the label file a command works on.

#include "catalog/records.h"

#include <string>

namespace pelmora::cli {

// Loads the label file at `path` into `label`. A file that cannot be read or is no label file
// is an InputError; a damaged one is read as far as it goes, and when `reportDamage` is set
// standard error says where it stopped and how many placed objects were left out. Returns
// whether the file was damaged.
bool loadLabelInput(const std::string& path, VAROINFO& label, bool reportDamage = true);

} // namespace pelmora::cli
