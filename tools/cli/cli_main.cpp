// pelmora-cli: the label catalog without a window, for scripts and checks.

#include "platform/core/message.h"
#include "tools/cli/alignment_command.h"
#include "tools/cli/arguments.h"
#include "tools/cli/dump_command.h"
#include "tools/cli/dump_template_command.h"
#include "tools/cli/print_command.h"
#include "tools/cli/render_command.h"
#include "tools/cli/scan_command.h"

#include <QGuiApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

constexpr const char* kUsage =
    "usage: pelmora-cli scan FOLDER [--levels 0|1|2|3|4|all] [--dirs-only]\n"
    "                   [--dirinfo none|entries|size] [--archives]\n"
    "                   [--exclude PAT]... [--include PAT]...\n"
    "                   [--sort name|ext|size] [--descending]\n"
    "                   [-o OUT.PMB] [--use-template]\n"
    "       pelmora-cli dump FILE.PMB\n"
    "       pelmora-cli dump-template FILE.PMT\n"
    "       pelmora-cli render FILE.PMB -o OUT.png [--format one|quad|fold-around|fold-out|four]\n"
    "                   [--position 1..4] [--scale 1|0.5] [--dpi N]\n"
    "       pelmora-cli print FILE.PMB -o OUT.pdf [--format one|quad|fold-around|fold-out|four]\n"
    "                   [--crop-marks] [--border 0..5] [--separate] [--at X,Y]\n"
    "                   [--copies 1..99] [--paper a4|letter] [--fit]\n"
    "                   [--offset DX,DY] [--scale SX,SY]\n"
    "       pelmora-cli alignment-sheet -o OUT.pdf [--paper a4|letter]\n"
    "       pelmora-cli [COMMAND] --help\n";

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
    if (args.empty() || pelmora::cli::isHelpOption(args[0])) {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 1 : 0;
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
        throw pelmora::cli::UsageError("unknown command \"" + command + "\"");
    } catch (const pelmora::cli::HelpRequested&) {
        std::fputs(kUsage, stdout);
        return 0;
    } catch (const pelmora::cli::UsageError& e) {
        std::fprintf(stderr, "pelmora-cli: %s\n%s", e.what(), kUsage);
        return 1;
    } catch (const pelmora::cli::InputError& e) {
        std::fprintf(stderr, "pelmora-cli: %s\n", e.what());
        return 2;
    }
}
