#include "setup/process_start.h"

#include <QProcess>
#include <QStringList>
#include <utility>

namespace pelmora {

namespace {

ProcessStarter& installedStarter() {
    static ProcessStarter starter;
    return starter;
}

} // namespace

bool startDetached(const ProcessRequest& request) {
    if (installedStarter()) {
        return installedStarter()(request);
    }
    QStringList arguments;
    for (const std::string& argument : request.arguments) {
        arguments << QString::fromStdString(argument);
    }
    return QProcess::startDetached(QString::fromStdString(request.program), arguments,
                                   QString::fromStdString(request.workingFolder));
}

ProcessStarter setProcessStarter(ProcessStarter starter) {
    return std::exchange(installedStarter(), std::move(starter));
}

} // namespace pelmora
