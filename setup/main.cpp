// Setup: installs the label program from the folder this program lies in (the distribution
// folder). A program's current folder on Linux is wherever it was started from, so the
// program's own folder is the source of the copies.

#include "platform/ui/dialogs.h"
#include "setup/setup_config.h"
#include "setup/setup_program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pelmora::ui::installProgramHandlers();
    const pelmora::SetupConfig config = pelmora::readSetupConfig();
    QApplication::setApplicationName(QString::fromStdString(config.productName + " Setup"));
    return pelmora::runSetup(config, QCoreApplication::applicationDirPath().toStdString());
}
