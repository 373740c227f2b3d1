#pragma once
// The one way core code reports something to the user. The program installs a handler that
// shows a message box, the CLI one that writes to standard error, a test one that records
// (and answers) the messages. Without a handler messages go to standard error.

#include <functional>
#include <string>

namespace pelmora {

// Opaque owner window; null means "no owner".
using WindowHandle = void*;

// Icon and button flags keep the message-box values the callers are written against.
enum MessageFlags : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

// Button results.
enum MessageResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct Message {
    WindowHandle owner = nullptr;
    std::string text;
    std::string caption;
    unsigned flags = MB_OK;
};

using MessageHandler = std::function<int(const Message&)>;

// Shows a message through the installed handler and returns the button chosen.
int reportMessage(WindowHandle owner, const std::string& text, const std::string& caption,
                  unsigned flags);

// Consistency failure of a routine: caption "BAD STUFF", error icon; execution continues.
void reportBadStuff(const std::string& text);

// Installs a handler and returns the previous one.
MessageHandler setMessageHandler(MessageHandler handler);

// Allocation failure: "Fatal Error" message without owner, then the program ends with exit
// code 0. Tests may replace the ending (see setFatalExitHandler) to observe it.
[[noreturn]] void fatalAllocationFailure(const std::string& text);

// Replaces what happens after the fatal message; the handler must not return normally
// (a test throws). Returns the previous handler.
using FatalExitHandler = std::function<void()>;
FatalExitHandler setFatalExitHandler(FatalExitHandler handler);

// The main window, owner of messages that core code shows "owned by the main window".
WindowHandle mainWindowHandle();
void setMainWindowHandle(WindowHandle window);

} // namespace pelmora
