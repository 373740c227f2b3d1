// pelmora-cli: the label catalog without a window, for scripts and checks.

#include "platform/core/message.h"
#include "tools/cli/alignment_command.h"
#include "tools/cli/arguments.h"
#include "tools/cli/dump_command.h"
#include "tools/cli/dump_template_command.h"
#include "tools/cli/library_command.h"
#include "tools/cli/print_command.h"
#include "tools/cli/render_command.h"
#include "tools/cli/scan_command.h"
#include "tools/cli/usage.h"

#include <QGuiApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

// Fonts and painting need a GUI application; no window is ever shown.
std::unique_ptr<QGuiApplication> startGuiApplication(char* program) {
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Qt's own chatter (such as a missing runtime folder) is no error of this tool.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "pelmora-cli: %s\n", text.toLocal8Bit().constData());
        }
    });
    static int qtArgc = 1;
    static char* qtArgv[] = {program, nullptr};
    return std::make_unique<QGuiApplication>(qtArgc, qtArgv);
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    pelmora::setMessageHandler([](const pelmora::Message& m) {
        std::fprintf(stderr, "pelmora-cli: %s: %s\n", m.caption.c_str(), m.text.c_str());
        return static_cast<int>(pelmora::IDOK);
    });
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(pelmora::cli::usageText().c_str(), stderr);
        return 1;
    }
    if (pelmora::cli::isHelpOption(args[0])) {
        std::fputs(pelmora::cli::helpText().c_str(), stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::fputs(pelmora::cli::versionText().c_str(), stdout);
        return 0;
    }
    std::string command = args[0];
    args.erase(args.begin());
    try {
        if (command == "scan") {
            // A label file stores the line heights of its fonts, measured through Qt.
            const bool writesFile = std::find(args.begin(), args.end(), "-o") != args.end();
            auto app = writesFile ? startGuiApplication(argv[0]) : nullptr;
            return pelmora::cli::runScan(args, std::cout);
        }
        if (command == "dump") {
            return pelmora::cli::runDump(args, std::cout);
        }
        if (command == "dump-template") {
            return pelmora::cli::runDumpTemplate(args, std::cout);
        }
        if (command == "render") {
            auto app = startGuiApplication(argv[0]);
            return pelmora::cli::runRender(args, std::cout);
        }
        if (command == "print") {
            auto app = startGuiApplication(argv[0]);
            return pelmora::cli::runPrint(args, std::cout);
        }
        if (command == "alignment-sheet") {
            auto app = startGuiApplication(argv[0]);
            return pelmora::cli::runAlignmentSheet(args, std::cout);
        }
        if (command == "library" || command == "find" || command == "duplicates") {
            return command == "library" ? pelmora::cli::runLibrary(args, std::cout, std::cerr)
                   : command == "find"  ? pelmora::cli::runFind(args, std::cout, std::cerr)
                                        : pelmora::cli::runDuplicates(args, std::cout, std::cerr);
        }
        throw pelmora::cli::UsageError("unknown command \"" + command + "\"");
    } catch (const pelmora::cli::HelpRequested&) {
        std::fputs(pelmora::cli::helpText().c_str(), stdout);
        return 0;
    } catch (const pelmora::cli::UsageError& e) {
        std::fprintf(stderr, "pelmora-cli: %s\n%s", e.what(), pelmora::cli::usageText().c_str());
        return 1;
    } catch (const pelmora::cli::InputError& e) {
        std::fprintf(stderr, "pelmora-cli: %s\n", e.what());
        return 2;
    }
}
