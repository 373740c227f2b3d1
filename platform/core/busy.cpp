#include "platform/core/busy.h"

namespace pelmora {
namespace {
BusyHandler& handler() {
    static BusyHandler h;
    return h;
}
} // namespace

BusyHandler setBusyHandler(BusyHandler newHandler) {
    BusyHandler previous = std::move(handler());
    handler() = std::move(newHandler);
    return previous;
}

WaitCursor::WaitCursor() {
    if (handler()) {
        handler()(true);
    }
}

WaitCursor::~WaitCursor() {
    if (handler()) {
        handler()(false);
    }
}

} // namespace pelmora
