#pragma once
// The wait cursor shown during long synchronous work (scanning, loading, saving, printing).
// The program installs a handler that switches the cursor; elsewhere it does nothing.

#include <functional>

namespace pelmora {

// Called with true when work starts and false when it ends.
using BusyHandler = std::function<void(bool busy)>;
BusyHandler setBusyHandler(BusyHandler handler);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace pelmora
