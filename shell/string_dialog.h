#pragma once
// The String Entry and Modification dialog: the text of a placed string, its alignment,
// font, colours, orientation and sizing. It edits element 0 of a label in place, so Apply
// shows every change on the label at once; Cancel puts the record back as it was.

#include "catalog/placed_object.h"
#include "catalog/records.h"
#include "storage/program_settings.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;

namespace pelmora {

// The edited text as stored: line breaks become CR LF, the text is cut to what the record
// holds, trailing and leading line breaks are dropped, and nothing at all becomes " ".
std::string storedStringText(const QString& edited);

// Widgets (objectName): "stringText", "horizontalAlign", "verticalAlign", "fontButton",
// "colorButton", "backgroundButton", "orientation", "autoSize", "okButton", "cancelButton",
// "applyButton", "defaultButton"; the captions "horizontalCaption" and "verticalCaption".
class StringEntryDialog : public QDialog {
public:
    // `label` must hold at least one object; element 0 is edited. `applied` runs after every
    // change the label should show at once (Apply, a chooser's Apply, a chosen colour or font,
    // Default): the main window re-sizes the string and repaints.
    StringEntryDialog(QWidget* owner, VAROINFO& label, ProgramSettings& settings,
                      std::function<void()> applied);

    // Reads the controls into the record.
    void accept() override;
    // Puts back the record as it was when the dialog opened.
    void reject() override;

private:
    PlacedObject& object() { return label_.objects.front(); }
    void showStyle();
    void readControls();
    void apply();
    void chooseTextColor();
    void chooseBackground();
    void chooseFont();
    void restoreDefaults();
    void rememberPosition();

    VAROINFO& label_;
    ProgramSettings& settings_;
    std::function<void()> applied_;
    const PlacedObject original_;

    QPlainTextEdit* text_;
    QComboBox* horizontal_;
    QComboBox* vertical_;
    QComboBox* orientation_;
    QCheckBox* autoSize_;
};

// Runs the dialog on element 0 of `label` at the remembered "StringWindow" position (updated
// when it closes). Returns 1 for OK, 0 for Cancel (or a label without objects).
int StringEntry(QWidget* owner, VAROINFO& label, ProgramSettings& settings,
                const std::function<void()>& applied);

} // namespace pelmora
