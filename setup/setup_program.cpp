#include "setup/setup_program.h"

#include "platform/ui/dialogs.h"
#include "setup/install_steps.h"
#include "setup/setup_dialog.h"

namespace pelmora {

int runSetup(const SetupConfig& config, const std::string& sourceFolder) {
    SetupState state = initialSetupState(config, sourceFolder);
    {
        SetupDialog dialog(state, config);
        if (ui::runDialog(dialog) != QDialog::Accepted) {
            return kSetupSucceeded;
        }
    }
    return installProduct(state, config);
}

} // namespace pelmora
