#include "storage/program_settings.h"

#include <algorithm>

namespace pelmora {

ProgramSettings theProgramSettings;

void AddRecentFile(ProgramSettings& settings, std::string_view path) {
    char stored[kRecentFileCapacity];
    copyTruncatedUtf8(stored, sizeof stored, path.data(), path.size());
    std::array<std::string, kRecentFileCount>& recent = settings.recentFiles;
    auto found = std::find(recent.begin(), recent.end(), std::string_view(stored));
    // The entries above the path's old place (or all but the oldest) move down by one.
    auto last = found != recent.end() ? found : recent.end() - 1;
    std::move_backward(recent.begin(), last, last + 1);
    recent.front() = stored;
}

} // namespace pelmora
