#pragma once
// The modal layer: every message box, file chooser, colour chooser, font chooser and dialog of
// the program runs through these functions. The program shows the real Qt dialogs; a test
// installs an answerer, which is asked first and answers without anything being shown.
//
// An answerer sees each request, may look at and fill in the dialog it carries, and returns the
// answer; returning nullopt lets the real dialog run (which a test without a display must not
// let happen).

#include "platform/core/message.h"
#include "platform/core/wintypes.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QPrinter;
class QWidget;

namespace pelmora::ui {

enum class ModalKind {
    Message,
    OpenFile,
    SaveFile,
    Color,
    Font,
    Dialog,
    Print,
    PrintSetup,
    PrintPreview
};

struct ModalRequest {
    ModalKind kind = ModalKind::Message;
    QWidget* owner = nullptr;
    std::string title;      // caption of a message or chooser
    std::string text;       // message text
    unsigned flags = MB_OK; // message icon and buttons
    // A question with buttons of its own (askChoice): their texts, in order. The answer's
    // result is then the index of the button chosen.
    std::vector<std::string> buttons;
    // File choosers: "Label Files (*.PMB);;All Files (*.*)" style filter, start folder and name.
    std::string filter;
    std::string directory;
    std::string initialName;
    COLORREF color = 0; // colour chooser's and font chooser's colour
    LOGFONTA font{};    // font chooser's font
    // The dialog of runDialog, already set up. For the colour and font choosers, the chooser
    // itself: an answerer may drive it (pick a colour or font, press "Apply") before answering.
    QDialog* dialog = nullptr;
    // Print, print setup and preview: the printer the dialog sets up; an answerer may change
    // it (output file, copies, paper) before answering 1.
    QPrinter* printer = nullptr;
    // Preview: paints the sheet on the printer it is given (the preview's pages, or the
    // printer when the user prints from the preview).
    std::function<void(QPrinter&)> paint;
};

struct ModalAnswer {
    // Message: the button (IDOK, IDYES, ...). Dialog: QDialog::Accepted or Rejected.
    // Choosers: 1 chosen, 0 cancelled.
    int result = 0;
    std::string path;
    COLORREF color = 0;
    LOGFONTA font{};
};

using DialogAnswerer = std::function<std::optional<ModalAnswer>(const ModalRequest&)>;

// Installs an answerer and returns the previous one; an empty one shows real dialogs.
DialogAnswerer setDialogAnswerer(DialogAnswerer answerer);
// Asks the installed answerer, if any; the other dialog adapters of this layer use it.
std::optional<ModalAnswer> askDialogAnswerer(const ModalRequest& request);

// Makes reportMessage (platform/core/message.h) show QMessageBoxes through messageBox, and the
// busy handler (platform/core/busy.h) switch to the wait cursor.
void installProgramHandlers();

// A message box with the message-box flags of message.h; returns the button chosen.
int messageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned flags);

// A question with buttons of its own texts, in order ("&Save", "&Discard", "Cancel"): the first
// is the default button, the last is taken by Escape and by closing the box, the ones between
// are shown as throwing work away. `icon` is one of the MB_ICON flags. Returns the index of the
// button chosen.
int askChoice(QWidget* owner, const std::string& text, const std::string& caption,
              const std::vector<std::string>& buttons, unsigned icon = MB_ICONQUESTION);

// File choosers: the chosen path ('/' separated), or nullopt when cancelled.
std::optional<std::string> askOpenFileName(QWidget* owner, const std::string& title,
                                           const std::string& filter, const std::string& dir,
                                           const std::string& initialName = {});
std::optional<std::string> askSaveFileName(QWidget* owner, const std::string& title,
                                           const std::string& filter, const std::string& dir,
                                           const std::string& initialName = {});

// The colour chooser with the program's 16 custom colours, which it reads and updates.
// `apply`, when given, runs with the chooser's colour each time the user presses its "Apply"
// button; `remembered` is the chooser's screen position ("ColorWindow"), updated on closing.
// Returns the chosen colour, nullopt when cancelled.
std::optional<COLORREF> chooseColor(QWidget* owner, const std::string& title, COLORREF initial,
                                    std::array<COLORREF, 16>& customColors,
                                    const std::function<void(COLORREF)>& apply = {},
                                    POINT* remembered = nullptr);

// The font chooser: face, height (lfHeight in the screen's pixels at 96 dpi, negative for the
// character height), weight, italic, underline and strike-out; the colour is passed through.
// Whatever the user leaves alone keeps the initial record's exact value.
struct FontChoice {
    LOGFONTA font;
    COLORREF color = 0;
};
// `apply` and `remembered` ("FontWindow") as for the colour chooser.
std::optional<FontChoice> chooseFont(QWidget* owner, const std::string& title,
                                     const LOGFONTA& initial, COLORREF initialColor,
                                     const std::function<void(const FontChoice&)>& apply = {},
                                     POINT* remembered = nullptr);

// Runs a set-up dialog modally (the answerer, when installed, decides instead of the user;
// an Accepted answer goes through the dialog's accept(), so its own checks and read-back
// run). Returns QDialog::Accepted or QDialog::Rejected.
int runDialog(QDialog& dialog);

// Runs a dialog at its remembered position (placeDialog), as runDialog does, and remembers
// where it was left: 1 when accepted, 0 otherwise.
int runPlacedDialog(QDialog& dialog, POINT& remembered);

// Places a dialog at its remembered screen position, pulled back to at least 100 pixels inside
// the display's right and bottom edges (the clamped values are stored back). A position with a
// zero coordinate counts as none remembered: the dialog is centred over its parent's window
// (over the display without a parent).
void placeDialog(QWidget& dialog, POINT& remembered);
// Stores the dialog's top-left corner as its remembered position.
void rememberDialogPosition(const QWidget& dialog, POINT& remembered);

} // namespace pelmora::ui
