#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

// pelmora-cli render FILE.PMB -o OUT.png [--format one|quad|fold-around|fold-out|four]
//                    [--position 1..4] [--scale 1|0.5] [--dpi N]
// Paints one face of the file's label into a PNG exactly the size of the face, as the
// window shows it. Needs a QGuiApplication. Returns the exit code; throws UsageError /
// InputError.
int runRender(const std::vector<std::string>& args, std::ostream& out);

} // namespace pelmora::cli
