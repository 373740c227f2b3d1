// The label program's entry: the application object, the handlers that turn core messages
// into message boxes and busy work into the wait cursor, the main window and the event loop.
// --help and --version are answered first, with no display and no settings.

#include "platform/ui/dialogs.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/program_usage.h"

#include <QApplication>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    switch (pelmora::earlyRequestOf(argc, argv)) {
    case pelmora::EarlyRequest::Help:
        std::fputs(
            pelmora::programHelpText(std::filesystem::path(argv[0]).filename().string()).c_str(),
            stdout);
        return 0;
    case pelmora::EarlyRequest::Version:
        std::fputs(pelmora::programVersionText().c_str(), stdout);
        return 0;
    case pelmora::EarlyRequest::None:
        break;
    }
    QApplication application(argc, argv);
    // Qt sets the C locale from the environment; numbers in files always use '.'.
    std::setlocale(LC_NUMERIC, "C");
    pelmora::ui::installProgramHandlers();

    // Labels with their catalogs are large: the program state lives on the heap.
    auto app = std::make_unique<pelmora::App>();
    app->shell.commandLine = pelmora::commandLineOf(argc, argv);
    pelmora::MainWindow window(*app);
    return application.exec();
}
