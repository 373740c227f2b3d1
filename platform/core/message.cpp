#include "message.h"

#include <cstdio>
#include <cstdlib>

namespace pelmora {
namespace {

struct MessageState {
    MessageHandler handler;
    FatalExitHandler fatalExit;
    WindowHandle mainWindow = nullptr;
};

MessageState& state() {
    static MessageState s;
    return s;
}

int writeToStandardError(const Message& message) {
    std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
    // Questions answered without a user take the first (affirmative) button.
    return (message.flags & 0x7u) == MB_YESNO || (message.flags & 0x7u) == MB_YESNOCANCEL ? IDYES
                                                                                          : IDOK;
}

} // namespace

int reportMessage(WindowHandle owner, const std::string& text, const std::string& caption,
                  unsigned flags) {
    Message message{owner, text, caption, flags};
    const MessageHandler& handler = state().handler;
    return handler ? handler(message) : writeToStandardError(message);
}

void reportBadStuff(const std::string& text) {
    reportMessage(mainWindowHandle(), text, "BAD STUFF", MB_OK | MB_ICONERROR);
}

MessageHandler setMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(state().handler);
    state().handler = std::move(handler);
    return previous;
}

void fatalAllocationFailure(const std::string& text) {
    reportMessage(nullptr, text, "Fatal Error", MB_OK | MB_ICONERROR);
    if (state().fatalExit) {
        state().fatalExit();
    }
    std::exit(0);
}

FatalExitHandler setFatalExitHandler(FatalExitHandler handler) {
    FatalExitHandler previous = std::move(state().fatalExit);
    state().fatalExit = std::move(handler);
    return previous;
}

WindowHandle mainWindowHandle() {
    return state().mainWindow;
}
void setMainWindowHandle(WindowHandle window) {
    state().mainWindow = window;
}

} // namespace pelmora
