#pragma once
// The progress line of a long scan on a terminal: after the first second, standard error shows
// the running counts on one line that is rewritten in place and cleared at the end.

#include "catalog/read_disk.h"

namespace pelmora::cli {

// A waiter for readDisk that draws the line; empty (the scan runs inline and quietly) when
// standard error is not a terminal.
ScanWaiter terminalProgress();

} // namespace pelmora::cli
