#pragma once
// The element choosers (colour and font of one element, with live Apply) and the Fonts And
// Colors dialog, which styles a label's files, folders, comment, spine and extensions.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>
#include <array>
#include <functional>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace pelmora {

// What every element chooser shares and keeps: the 16 custom colours and the remembered screen
// positions of the colour chooser ("ColorWindow") and the font chooser ("FontWindow").
struct ChooserMemory {
    std::array<COLORREF, 16>& customColors;
    POINT& colorPosition;
    POINT& fontPosition;
};

// The colour chooser on `color`. Its "Apply" stores the chooser's colour into `color` and runs
// `applied` (no Apply button without one); OK keeps the chosen colour; Cancel puts back the
// colour `color` had when the chooser opened, whatever was applied meanwhile. Returns 1 when a
// colour was chosen, 0 when cancelled.
int ChooseElementColor(QWidget* owner, COLORREF& color, const ChooserMemory& memory,
                       const std::function<void()>& applied);

// The font chooser on `font` (shown with `color`), with Apply, OK and Cancel as for the colour.
int ChooseElementFont(QWidget* owner, LOGFONTA& font, COLORREF color, const ChooserMemory& memory,
                      const std::function<void()>& applied);

// Widgets (objectName): "styleList", "extensionEdit", "addButton", "copyFromFilesButton",
// "copyFromFoldersButton", "okButton", "cancelButton", "colorButton", "fontButton",
// "removeButton". The list holds one entry per element ("Files", "Folders", "Comment",
// "Spine"), then one per extension style, each drawn in its own font and colour.
class FontsColorsDialog : public QDialog {
public:
    // The element entries come first in the list; extension styles follow.
    static constexpr int kFilesEntry = 0;
    static constexpr int kFoldersEntry = 1;
    static constexpr int kElementEntries = 4;

    // `labelChanged` runs each time the dialog has written its entries into the label while it
    // is open (the owner measures the line heights again and repaints the label). What the
    // label needs after the dialog closed is the owner's business.
    FontsColorsDialog(QWidget* owner, VAROINFO& label, const ChooserMemory& memory,
                      std::function<void()> labelChanged);

    // Writes the entries into the label.
    void accept() override;
    // Puts back the fonts, colours and extension styles the label had when the dialog opened.
    void reject() override;

    // The entries as the list shows them.
    const std::vector<ExtensionStyle>& entries() const { return entries_; }

private:
    void addExtension();
    void chooseColor();
    void chooseFont();
    void copyFrom(int source);
    void removeEntry();
    // Add is offered while the label has room for another extension style.
    bool hasRoomForExtension() const;
    // The dialog's own Apply: the list re-measured and repainted, the label rewritten.
    void applyCommand();
    void showSelection();
    void sizeEntries();
    int selectedEntry() const;

    VAROINFO& label_;
    const ChooserMemory memory_;
    const std::function<void()> labelChanged_;
    // What the label had when the dialog opened, in the list's shape, for Cancel.
    const std::vector<ExtensionStyle> opening_;
    std::vector<ExtensionStyle> entries_;

    QListWidget* list_;
    QLineEdit* extension_;
    QPushButton* add_;
    QPushButton* color_;
    QPushButton* font_;
    QPushButton* remove_;
};

// Runs Fonts And Colors on `label` at `position` (the "ExtWindow" position, remembered on OK).
// Returns 1 for OK, 0 for Cancel.
int FontsAndColors(QWidget* owner, VAROINFO& label, const ChooserMemory& memory, POINT& position,
                   const std::function<void()>& labelChanged);

} // namespace pelmora
