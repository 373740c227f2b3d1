#pragma once
// The Exclude/Include dialog: the name fragments the scanner leaves out (Exclude) or the only
// ones it takes (Include).

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace pelmora {

// Typed patterns are added through storedPattern (catalog/records.h).
// Widgets (objectName): "excludeButton", "includeButton", "patternList", "patternEdit",
// "addButton", "okButton", "cancelButton", "removeAllButton", "removeButton".
class ExcludeDialog : public QDialog {
public:
    ExcludeDialog(QWidget* owner, CatalogSettings& catalog);

    // Stores the mode and the listed patterns; without patterns the mode is Exclude.
    void accept() override;

private:
    void addPattern();
    void removePattern();
    void removeAllPatterns();

    CatalogSettings& catalog_;
    QRadioButton* exclude_;
    QRadioButton* include_;
    QListWidget* patterns_;
    QLineEdit* edit_;
    QPushButton* remove_;
};

// Runs the dialog at `remembered` (the "ExcludeWindow" position, updated when it closes).
// Returns 1 for OK, 0 for Cancel (nothing changed).
int EditExcludeList(QWidget* owner, CatalogSettings& catalog, POINT& remembered);

} // namespace pelmora
