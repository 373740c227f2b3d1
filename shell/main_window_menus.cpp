// The menu bar, the popups, toolbar and status bar, and keeping their check marks and enabled
// states in step with the program state.

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/toolbar.h"
#include "shell/app.h"
#include "shell/main_window.h"

#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace pelmora {

namespace {

constexpr int kRecentItems[] = {CMD_RECENT_1, CMD_RECENT_2, CMD_RECENT_3, CMD_RECENT_4,
                                CMD_RECENT_5};

// What a recent-file item shows: the file name, the whole entry when it has no folder, or
// "(None)" for an unused place. An '&' in a file name is doubled so that it shows instead of
// becoming a mnemonic.
QString recentItemText(const std::string& path) {
    if (path.empty()) {
        return QStringLiteral("(None)");
    }
    std::size_t slash = path.find_last_of("\\/");
    QString name =
        QString::fromStdString(slash == std::string::npos ? path : path.substr(slash + 1));
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QMenu* MainWindow::buildMenu(const MenuItem& item, QWidget* parent) {
    auto* menu = new QMenu(QString::fromStdString(item.text), parent);
    for (const MenuItem& child : item.children) {
        if (child.separator) {
            menu->addSeparator();
        } else if (child.isSubmenu()) {
            menu->addMenu(buildMenu(child, menu));
        } else {
            QAction* action = menu->addAction(QString::fromStdString(child.displayText()));
            action->setCheckable(child.checkable);
            const int id = child.id;
            connect(action, &QAction::triggered, this, [this, id] { sendCommand(id); });
            connect(action, &QAction::hovered, this, [this, id] {
                setStatusText(std::string(menuHint(id).substr(0, kMaxHintLength)));
            });
            actions_.emplace(id, action);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { updateMenuState(); });
    return menu;
}

void MainWindow::BuildMenuBar() {
    QMenuBar* bar = menuBar();
    bar->clear();
    std::vector<MenuItem> menus = pelmora::menuBar();
    for (std::size_t i = 0; i < menus.size(); ++i) {
        QMenu* menu = buildMenu(menus[i], bar);
        bar->addMenu(menu);
        if (i == 0) {
            fileMenu_ = menu;
        } else if (i == 3) {
            imageMenu_ = menu;
        } else if (i == 4) {
            stringMenu_ = menu;
        }
    }
    popups_[kPopupBody] = buildMenu(popupMenu(kPopupBody), this);
    popups_[kPopupSpine] = buildMenu(popupMenu(kPopupSpine), this);
    rebuildRecentMenu();
}

void MainWindow::CreateBars() {
    if (toolBar_) {
        removeToolBar(toolBar_);
        toolBar_->deleteLater();
        toolBar_ = nullptr;
        toolActions_.clear();
    }
    toolBar_ = new QToolBar(this);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    // Small, tightly packed buttons: all fourteen fit the width of the label window.
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setStyleSheet(QStringLiteral("QToolBar { spacing: 1px; padding: 1px; }"
                                           "QToolButton { padding: 2px; margin: 0px; }"));
    for (const ToolbarEntry& entry : toolbarEntries()) {
        if (entry.isSeparator()) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = toolBar_->addAction(
            QIcon(QPixmap::fromImage(toolbarImage(entry.image))),
            QString::fromUtf8(entry.name.data(), static_cast<qsizetype>(entry.name.size())));
        action->setCheckable(entry.style == ButtonStyle::Check);
        std::string_view tip = tooltipText(entry.command, app_.view.format == ONE_LABEL);
        action->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
        const int id = entry.command;
        connect(action, &QAction::triggered, this, [this, id] { sendCommand(id); });
        toolActions_[id] = action;
        if (QWidget* button = toolBar_->widgetForAction(action)) {
            button->setFixedSize(22, 22);
        }
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);

    // A new status bar replaces (and deletes) the old one.
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    QString previous = statusLabel_ ? statusLabel_->text() : QString();
    statusLabel_ = new QLabel(previous, status);
    status->addWidget(statusLabel_, 1);
    const QString leftOut = leftOutLabel_ ? leftOutLabel_->text() : QString();
    leftOutLabel_ = new QLabel(leftOut, status);
    leftOutLabel_->setObjectName(QStringLiteral("leftOutStatus"));
    status->addPermanentWidget(leftOutLabel_);
    setStatusBar(status);

    // The bars' real places are known once Qt has laid them out; until then their hints
    // stand in, and the band follows the toolbar when it moves (eventFilter).
    toolBar_->installEventFilter(this);
    layoutBand(menuBar()->sizeHint().height() + toolBar_->sizeHint().height());
    updateMenuState();
    invalidateLabelArea(true);
}

void MainWindow::layoutBand(int top) {
    const int statusHeight = statusBar()->sizeHint().height();
    // At the small window scales the label is narrower than the menu bar and the toolbar: the
    // window is then as wide as they are, so that every menu and button stays in view (the
    // band beside the label is empty).
    const int width = std::max({baseSize_.width(), menuBar()->sizeHint().width(),
                                toolBar_ ? toolBar_->sizeHint().width() : 0});
    const QSize wanted(width, top + baseSize_.height() + statusHeight);
    if (size() != wanted || minimumSize() != wanted || maximumSize() != wanted) {
        setFixedSize(wanted);
    }
    labelArea_ = QRect(0, top, width, baseSize_.height());

    // The label is painted below the menu bar and the toolbar: move the view origin down by
    // their height in label units.
    auto display = gdi::createInformationContext(gdi::displayCaps());
    SetLabelMapping(*display);
    POINT offset{0, -top};
    display->DPtoLP(&offset, 1);
    app_.view.viewOriginY = kViewOriginTop - offset.y;
    update();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == toolBar_ && toolBar_->isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        const int top = toolBar_->geometry().bottom() + 1;
        if (top != labelArea_.top()) {
            layoutBand(top);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::checkCommand(int id, bool checked) {
    auto [first, last] = actions_.equal_range(id);
    for (auto it = first; it != last; ++it) {
        it->second->setCheckable(true);
        it->second->setChecked(checked);
    }
}

void MainWindow::enableCommand(int id, bool enabled) {
    auto [first, last] = actions_.equal_range(id);
    for (auto it = first; it != last; ++it) {
        it->second->setEnabled(enabled);
    }
}

void MainWindow::checkIn(QMenu* menu, int id, bool checked) {
    if (!menu) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (action->menu()) {
            checkIn(action->menu(), id, checked);
            continue;
        }
        auto [first, last] = actions_.equal_range(id);
        for (auto it = first; it != last; ++it) {
            if (it->second == action) {
                action->setCheckable(true);
                action->setChecked(checked);
            }
        }
    }
}

void MainWindow::checkBodyItems(QMenu* menu) {
    const VAROINFO& label = app_.currentLabel();
    checkIn(menu, CMD_SHOW_SIZES, label.showSize != 0);
    checkIn(menu, CMD_SHOW_EXTENSIONS, label.showExt != 0);
    checkIn(menu, CMD_SHOW_COMMENT, label.showComment != 0);
    checkIn(menu, CMD_COLUMNS_NONE, label.columns == 0);
    checkIn(menu, CMD_COLUMNS_1, label.columns == 1);
    checkIn(menu, CMD_COLUMNS_2, label.columns == 2);
    checkIn(menu, CMD_COLUMNS_3, label.columns == 3);
    checkIn(menu, CMD_COLUMNS_4, label.columns == 4);
    checkIn(menu, CMD_COLUMNS_5, label.columns == 5);
    checkIn(menu, CMD_LINED, label.lined != 0);
    checkIn(menu, CMD_SORT_NAME, label.sortMode == 1);
    checkIn(menu, CMD_SORT_EXTENSION, label.sortMode == 2);
    checkIn(menu, CMD_SORT_SIZE, label.sortMode == 3);
    checkIn(menu, CMD_SORT_ASCENDING, label.direction > 0);
    checkIn(menu, CMD_SORT_DESCENDING, label.direction < 0);
    checkIn(menu, CMD_ZOOM, app_.view.zoomed == 1);
    if (menu) {
        for (QAction* action : menu->actions()) {
            auto [first, last] = actions_.equal_range(CMD_ZOOM);
            for (auto it = first; it != last; ++it) {
                if (it->second == action) {
                    action->setEnabled(app_.view.format != ONE_LABEL);
                }
            }
        }
    }
}

void MainWindow::checkSpineItems(QMenu* menu) {
    const VAROINFO& label = app_.currentLabel();
    checkIn(menu, CMD_COLOR_LOGO, label.colorLogo != 0);
    checkIn(menu, CMD_SPINE_ALIGN_LEFT, label.spineAlign == 0);
    checkIn(menu, CMD_SPINE_ALIGN_CENTER, label.spineAlign == 1);
    checkIn(menu, CMD_SPINE_ALIGN_RIGHT, label.spineAlign == 2);
    checkIn(menu, CMD_SHOW_LOGO, label.showLogo != 0);
}

void MainWindow::enableObjectMenu(QMenu* menu, bool enabled) {
    if (!menu) {
        return;
    }
    QList<QAction*> items = menu->actions();
    for (qsizetype i = 1; i < items.size(); ++i) {
        items[i]->setEnabled(enabled);
    }
}

void MainWindow::CheckPopupItems() {
    checkBodyItems(popup(kPopupBody));
    checkSpineItems(popup(kPopupSpine));
}

void MainWindow::CheckStringItems() {
    const VAROINFO& label = app_.currentLabel();
    if (label.objects.empty()) {
        return;
    }
    const PlacedObject& object = label.objects[0];
    checkCommand(CMD_STRING_BACK_TRANSPARENT, object.opaque == 0);
    checkCommand(CMD_STRING_BACK_SOLID, object.opaque == 1);
    checkCommand(CMD_STRING_AUTO_SIZE, object.autoSize != 0);
    checkCommand(CMD_ORIENTATION_0, object.orientation == 0);
    checkCommand(CMD_ORIENTATION_90, object.orientation == 90);
    checkCommand(CMD_ORIENTATION_180, object.orientation == 180);
    checkCommand(CMD_ORIENTATION_270, object.orientation == 270);
    checkCommand(CMD_STRING_ALIGN_LEFT, object.hAlign == 0);
    checkCommand(CMD_STRING_ALIGN_HCENTER, object.hAlign == 1);
    checkCommand(CMD_STRING_ALIGN_RIGHT, object.hAlign == 2);
    checkCommand(CMD_STRING_ALIGN_TOP, object.vAlign == 0);
    checkCommand(CMD_STRING_ALIGN_VCENTER, object.vAlign == 1);
    checkCommand(CMD_STRING_ALIGN_BOTTOM, object.vAlign == 2);
}

void MainWindow::updateMenuState() {
    const VAROINFO& label = app_.currentLabel();
    const LabelFormat format = app_.view.format;
    const int scale = static_cast<int>(std::trunc(app_.view.windowScale * 100.0));
    if (fileMenu_) {
        checkCommand(CMD_WINDOW_SCALE_50, scale == 50);
        checkCommand(CMD_WINDOW_SCALE_75, scale == 75);
        checkCommand(CMD_WINDOW_SCALE_100, scale == 100);
        checkCommand(CMD_WINDOW_SCALE_125, scale == 125);
        checkCommand(CMD_WINDOW_SCALE_150, scale == 150);
        checkCommand(CMD_FORMAT_ONE, format == ONE_LABEL);
        checkCommand(CMD_FORMAT_QUAD, format == QUAD_LABEL);
        checkCommand(CMD_FORMAT_TWO_FOLD_OUT, format == TWO_FOLD_OUT);
        checkCommand(CMD_FORMAT_TWO_FOLD_AROUND, format == TWO_FOLD_AROUND);
        checkCommand(CMD_FORMAT_FOUR, format == FOUR_LABELS);

        const int levels = std::abs(app_.catalog.scanLevels);
        checkCommand(CMD_LEVELS_ROOT, levels == 0);
        checkCommand(CMD_LEVELS_1, levels == 1);
        checkCommand(CMD_LEVELS_2, levels == 2);
        checkCommand(CMD_LEVELS_3, levels == 3);
        checkCommand(CMD_LEVELS_4, levels == 4);
        checkCommand(CMD_LEVELS_ALL, levels == kAllLevels);
        checkCommand(CMD_SCAN_DIRECTORIES_ONLY, app_.catalog.scanLevels < 0);
        checkCommand(CMD_DIRINFO_KILOBYTES, app_.catalog.dirInfoMode == 2);
        checkCommand(CMD_DIRINFO_FILES, app_.catalog.dirInfoMode == 1);
        checkCommand(CMD_DIRINFO_NONE, app_.catalog.dirInfoMode == 0);
        checkCommand(CMD_USE_TEMPLATE_FILES, app_.catalog.useTemplateFiles != 0);
        checkCommand(CMD_SCAN_ARCHIVES, app_.catalog.scanArchives != 0);
    }
    // Body and spine items of the menu bar and the popups alike.
    for (QMenu* menu : menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        checkBodyItems(menu);
        checkSpineItems(menu);
    }
    CheckPopupItems();

    const int kind = app_.shell.selectedKind;
    enableObjectMenu(imageMenu_, kind == SELECTED_IMAGE);
    enableObjectMenu(stringMenu_, kind == SELECTED_STRING);
    if ((kind == SELECTED_IMAGE || kind == SELECTED_STRING) && !label.objects.empty()) {
        const int layer = label.objects[0].layer;
        checkCommand(CMD_LAYER_ABOVE, layer == LAYER_ABOVE);
        checkCommand(CMD_LAYER_ON, layer == LAYER_ON);
        checkCommand(CMD_LAYER_BELOW, layer == LAYER_BELOW);
        if (kind == SELECTED_STRING) {
            CheckStringItems();
        }
    }

    if (toolBar_) {
        auto tool = [this](int id) {
            auto it = toolActions_.find(id);
            return it == toolActions_.end() ? nullptr : it->second;
        };
        if (QAction* zoom = tool(CMD_ZOOM)) {
            zoom->setEnabled(format != ONE_LABEL);
            zoom->setChecked(app_.view.zoomed == 1 || format == ONE_LABEL);
            std::string_view tip = tooltipText(CMD_ZOOM, format == ONE_LABEL);
            zoom->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
        }
        if (QAction* ext = tool(CMD_SHOW_EXTENSIONS)) {
            ext->setChecked(label.showExt != 0);
        }
        if (QAction* sizes = tool(CMD_SHOW_SIZES)) {
            sizes->setChecked(label.showSize != 0);
        }
        if (QAction* fewer = tool(CMD_FEWER_COLUMNS)) {
            fewer->setEnabled(label.columns > 0);
        }
        if (QAction* more = tool(CMD_MORE_COLUMNS)) {
            more->setEnabled(label.columns < 5);
        }
    }
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    for (std::size_t k = 0; k < std::size(kRecentItems); ++k) {
        QString text = recentItemText(app_.settings.recentFiles[k]);
        auto [first, last] = actions_.equal_range(kRecentItems[k]);
        for (auto it = first; it != last; ++it) {
            it->second->setText(text);
        }
    }
}

void MainWindow::ShowPopup(int resource, QPoint globalPos) {
    lastPopup_ = resource;
    QMenu* menu = popup(resource);
    if (menu && popupsShown_) {
        menu->popup(globalPos);
    }
}

QMenu* MainWindow::popup(int resource) const {
    auto it = popups_.find(resource);
    return it == popups_.end() ? nullptr : it->second;
}

QAction* MainWindow::commandAction(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

} // namespace pelmora
