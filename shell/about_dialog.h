#pragma once
// The About dialog: the program's name and version, where it comes from, and a button that
// opens the program's web site.

#include "platform/core/wintypes.h"

#include <QDialog>
#include <functional>
#include <string>

namespace pelmora {

// Opens a web address; true when a browser took it.
using WebOpener = std::function<bool(const std::string& url)>;

// Widgets (objectName): "programVersion", "programIcon", "releaseLine", "latestVersionLine",
// "webSiteButton", "copyrightLine", "contactLine", "okButton". The web-site button opens
// `webSite` through `open` and leaves the dialog open.
class AboutDialog : public QDialog {
public:
    AboutDialog(QWidget* owner, const std::string& webSite, WebOpener open);

private:
    WebOpener open_;
};

// Runs the dialog at `remembered` (the "AboutWindow" position, updated when it closes).
// Returns 1 for OK, 0 for Esc or the close box.
int ShowAbout(QWidget* owner, const std::string& webSite, WebOpener open, POINT& remembered);

} // namespace pelmora
