#pragma once
// Waiting for a disk read that runs on a worker thread: the window keeps painting, the status
// bar shows the running counts, Esc cancels the read, and every other input is held back, so
// nothing can change the labels until the read is over. Commands posted meanwhile run after it.

#include "catalog/scanner.h"

#include <functional>

namespace pelmora {

class MainWindow;

// Returns once `finished()` is true; sets progress.cancel when Esc is pressed.
void waitForScan(MainWindow& window, char drive, ScanProgress& progress,
                 const std::function<bool()>& finished);

} // namespace pelmora
