#include "shell/web_page.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <fstream>

namespace pelmora {
namespace {

constexpr const char* kPlaceholders[] = {"%1", "%u", "%U", "%f", "%F"};

// The "Exec=" value of the [Desktop Entry] group of a desktop entry file.
std::optional<std::string> execOf(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
        } else if (inEntry && line.rfind("Exec=", 0) == 0) {
            return line.substr(5);
        }
    }
    return std::nullopt;
}

} // namespace

std::string browserCommandLine(const std::string& command, const std::string& address) {
    std::size_t at = std::string::npos;
    for (const char* placeholder : kPlaceholders) {
        at = std::min(at, command.find(placeholder));
    }
    std::string line = command;
    if (at != std::string::npos) {
        const bool quoted =
            at > 0 && command[at - 1] == '"' && at + 2 < command.size() && command[at + 2] == '"';
        line = command.substr(0, quoted ? at - 1 : at);
    }
    return line + " " + address;
}

std::optional<std::string> defaultBrowserCommand() {
    QProcess query;
    query.start("xdg-mime", {"query", "default", "text/html"});
    if (!query.waitForFinished(5000) || query.exitCode() != 0) {
        return std::nullopt;
    }
    const QString entry = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (entry.isEmpty()) {
        return std::nullopt;
    }
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return execOf(path.toStdString());
}

bool openWithDesktopOpener(const std::string& address) {
    // Parented to the application, so that an opener still running (a browser it waits for)
    // outlives this call; it deletes itself once it ends.
    auto* opener = new QProcess(QCoreApplication::instance());
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start(QStringLiteral("xdg-open"), {QString::fromStdString(address)});
    if (!opener->waitForStarted(5000)) {
        opener->deleteLater();
        return false;
    }
    if (opener->waitForFinished(3000)) {
        // xdg-open ends at once with a non-zero code when no browser can be found.
        return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    }
    return true;
}

bool openWithBrowserCommand(const std::string& address) {
    const std::optional<std::string> command = defaultBrowserCommand();
    if (!command) {
        return false;
    }
    QStringList words =
        QProcess::splitCommand(QString::fromStdString(browserCommandLine(*command, address)));
    if (words.isEmpty()) {
        return false;
    }
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

} // namespace pelmora
