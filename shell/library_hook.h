#pragma once
// Keeping the label library current from the window: every label file the window opens or
// saves is added to the library, or refreshed there when it changed (an unchanged file is
// passed over after a look at its size and time). A library that cannot take it (missing
// permissions, a file from a newer program) never gets in the way of opening or saving: the
// reason goes to standard error and nothing else happens.

#include <string>

namespace pelmora {

void libraryNoteLabelFile(const std::string& path);

} // namespace pelmora
