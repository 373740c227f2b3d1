#pragma once
// One run of Uninstall. A running program cannot be removed cleanly with its folder, so
// Uninstall runs twice: the first run (any command line but "killemall") asks, removes the
// menu entries and the record, and starts a temporary copy of itself with "killemall"; that
// second run deletes the installed files, the folder and the ini file, and has its own copy
// removed once it has ended.

#include <functional>
#include <string>

namespace pelmora {

// Exit codes: 0 done, or declined by the user; 1 nothing could be done or something stayed.
constexpr int kUninstallSucceeded = 0;
constexpr int kUninstallFailed = 1;

// How long the second run waits for the first run's "Uninstal" to go: `attempts` tries with
// `pause` between them (60 times 500 ms).
struct UninstallWait {
    int attempts = 60;
    std::function<void()> pause;
};

// `commandLine` is the program's arguments joined with single blanks; `ownPath` the file of
// the running program.
int runUninstall(const std::string& productName, const std::string& commandLine,
                 const std::string& ownPath, const UninstallWait& wait = {});

} // namespace pelmora
