#include "shell/about_dialog.h"

#include "pelmora/version.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "resources/menus.h"
#include "resources/toolbar.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <utility>

namespace pelmora {

namespace {

constexpr int kProgramIconSize = 32;

QLabel* textLine(const QString& text, const char* name, const QRect& rect, QWidget* parent) {
    auto* line = new QLabel(text, parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setTextFormat(Qt::PlainText);
    line->setGeometry(rect);
    return line;
}

} // namespace

AboutDialog::AboutDialog(QWidget* owner, const std::string& webSite, WebOpener open)
    : QDialog(owner), open_(std::move(open)) {
    const std::string program(kProgramName);
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QString::fromStdString(insertName("About %s", program)));
    setFixedSize(ui::dluSize(192, 126));

    // Child widgets belong to the dialog (Qt parent ownership).
    textLine(QString::fromStdString(program + " " + kReleaseVersion), "programVersion",
             ui::dluRect(7, 15, 68, 8), this);
    textLine(QStringLiteral("Released June 2025"), "releaseLine", ui::dluRect(7, 25, 68, 8), this);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setPixmap(QPixmap::fromImage(iconImage(IconKind::Program, kProgramIconSize)));
    icon->setGeometry(ui::dluToPixelsX(85), ui::dluToPixelsY(10), kProgramIconSize,
                      kProgramIconSize);

    textLine(QStringLiteral("Latest Version Available At:"), "latestVersionLine",
             ui::dluRect(7, 54, 178, 8), this);
    auto* site = new QPushButton(QString::fromStdString(webSite), this);
    site->setObjectName(QStringLiteral("webSiteButton"));
    site->setAutoDefault(false);
    site->setGeometry(ui::dluRect(7, 64, 178, 13));
    textLine(QStringLiteral("Copyright \u00a9 1998-2025 the %1 authors")
                 .arg(QString::fromStdString(program)),
             "copyrightLine", ui::dluRect(7, 83, 178, 8), this);
    textLine(QStringLiteral("Contact: support@pelmora.example.org"), "contactLine",
             ui::dluRect(7, 92, 178, 8), this);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(70, 105, 50, 14));

    connect(site, &QPushButton::clicked, this, [this, webSite] {
        if (open_) {
            open_(webSite);
        }
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

int ShowAbout(QWidget* owner, const std::string& webSite, WebOpener open, POINT& remembered) {
    AboutDialog dialog(owner, webSite, std::move(open));
    return ui::runPlacedDialog(dialog, remembered);
}

} // namespace pelmora
