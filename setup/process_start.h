#pragma once
// Starting another program without waiting for it (the label program, the read-me viewer, the
// uninstaller's second run, the remover of its temporary copy). Tests install a starter that
// records the requests instead.

#include <functional>
#include <string>
#include <vector>

namespace pelmora {

struct ProcessRequest {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingFolder; // empty: the current one
};

using ProcessStarter = std::function<bool(const ProcessRequest&)>;

// Starts the program detached (through the installed starter, if any); false when it could
// not be started.
bool startDetached(const ProcessRequest& request);

// Installs a starter and returns the previous one; an empty one starts real processes.
ProcessStarter setProcessStarter(ProcessStarter starter);

} // namespace pelmora
