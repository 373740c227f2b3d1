#pragma once
// Setup's main dialog ("%s Setup"): the release banner, the installation folder with a folder
// browser, the available and required space, and the three options for after installing.

#include "setup/setup_config.h"
#include "setup/setup_state.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace pelmora {

// Widgets (objectName): "banner", "installFolderEdit", "browseButton", "availableSpace",
// "requiredSpace", "addToMenuCheck", "viewReadmeCheck", "startAfterCheck", "installButton",
// "cancelButton".
class SetupDialog : public QDialog {
public:
    SetupDialog(SetupState& state, const SetupConfig& config);

    // Takes the folder and the three options into the state.
    void accept() override;

private:
    void takeFolder();
    void browse();

    SetupState& state_;
    QLineEdit* folderEdit_;
    QLabel* available_;
    QCheckBox* addToMenu_;
    QCheckBox* viewReadme_;
    QCheckBox* startAfter_;
};

} // namespace pelmora
