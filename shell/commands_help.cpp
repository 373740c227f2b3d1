// The Help menu: the help book (HTML pages installed next to the program and opened in the
// browser), the web site, and the switch for every hint dialog at once.

#include "platform/core/message.h"
#include "platform/core/profile.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/web_page.h"

#include <QCoreApplication>
#include <QUrl>
#include <utility>

namespace pelmora {
namespace {

constexpr const char* kHelpFolder = "help";

UrlOpener& installedOpener() {
    static UrlOpener opener;
    return opener;
}

// The desktop's opener; when it fails, the command of the default web browser itself.
bool openWithDesktop(const std::string& url) {
    const std::string address =
        QUrl::fromUserInput(QString::fromStdString(url)).toString().toStdString();
    return openWithDesktopOpener(address) || openWithBrowserCommand(address);
}

// The installation folder Setup recorded, else the program's own folder; with a trailing '/'.
std::string installFolder() {
    std::string folder =
        GetPrivateProfileString("Install", "InstallPath", "error", 256, profilePath("Pelmora.ini"));
    if (folder == "error") {
        folder = QCoreApplication::applicationDirPath().toStdString();
    }
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

void openHelpPage(const std::string& path) {
    openUrl(QUrl::fromLocalFile(QString::fromStdString(path)).toString().toStdString());
}

} // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    return std::exchange(installedOpener(), std::move(opener));
}

bool openUrl(const std::string& url) {
    const bool opened = installedOpener() ? installedOpener()(url) : openWithDesktop(url);
    if (!opened) {
        // Neither the desktop nor a browser command took the page: the address is shown, in
        // selectable text, so that it can be copied into a browser by hand.
        reportMessage(mainWindowHandle(),
                      "No web browser could be started to show this page. Its address is:\n\n" +
                          url,
                      "Web Page", MB_OK | MB_ICONINFORMATION);
    }
    return opened;
}

std::string helpContentsPath() {
    return installFolder() + kHelpFolder + "/index.html";
}

std::string helpTopicsPath() {
    return installFolder() + kHelpFolder + "/topics.html";
}

void cmdHelpContents(App&, MainWindow& window, int) {
    openHelpPage(helpContentsPath());
    window.invalidateLabelArea();
}

void cmdHelpSearch(App&, MainWindow& window, int) {
    openHelpPage(helpTopicsPath());
    window.invalidateLabelArea();
}

void cmdCheckNewVersion(App&, MainWindow& window, int) {
    openUrl(kUpdatePageUrl);
    window.invalidateLabelArea();
}

void cmdWebSite(App&, MainWindow& window, int) {
    openUrl(kWebSiteUrl);
    window.invalidateLabelArea();
}

void cmdHideAllHints(App& app, MainWindow& window, int) {
    app.settings.hiddenHints.fill(1);
    window.invalidateLabelArea();
}

void cmdShowAllHints(App& app, MainWindow& window, int) {
    app.settings.hiddenHints.fill(0);
    window.invalidateLabelArea();
}

} // namespace pelmora
