// Uninstall: removes the installation recorded in the label program's ini file, in two runs
// (see uninstall_program.h).

#include "platform/ui/dialogs.h"
#include "uninstall/unattended.h"
#include "uninstall/uninstall_config.h"
#include "uninstall/uninstall_program.h"

#include <QApplication>
#include <string>

int main(int argc, char** argv) {
    // A script's uninstall needs no display.
    const bool unattended = pelmora::unattendedRequested();
    if (unattended && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    pelmora::ui::installProgramHandlers();
    if (unattended) {
        pelmora::installUnattendedAnswerer();
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    const std::string productName = pelmora::readUninstallProductName();
    QApplication::setApplicationName(QString::fromStdString("Uninstall " + productName));
    return pelmora::runUninstall(productName, commandLine,
                                 QCoreApplication::applicationFilePath().toStdString());
}
