#pragma once
// The label program's one top-level window: creation and the deferred start-up step, the
// picture, keyboard characters, mouse gestures on placed objects, menus, toolbar and status
// bar. Commands go to DispatchCommand; the window offers the services below to the handlers.
//
// Child widgets, menus and actions are created with `new` and a Qt parent, which owns and
// deletes them; nothing else in the shell uses raw new or delete.

#include "platform/core/wintypes.h"

#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QLabel;
class QToolBar;
class QImage;
class QPainter;

namespace pelmora {

struct App;
struct MenuItem;

namespace gdi {
class DeviceContext;
}

// Command run after the window is created, once the message loop turns.
constexpr int kStartupCommand = 40073;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Creates the window hidden: labels numbered and reset, window position restored, bars
    // created, the start-up command posted. `app` must outlive the window.
    explicit MainWindow(App& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    App& app() { return app_; }

    // --- Services for the command handlers -------------------------------------------------

    // Queues command `id`; it runs after the current one has returned.
    void postCommand(int id);
    // Runs command `id` at once (compound commands). Returns what the dispatcher returned.
    bool sendCommand(int id);

    // Repaints the band between toolbar and status bar. `erase` false keeps the background.
    void invalidateLabelArea(bool erase = true);
    // Repaints a rectangle given in label units (face offset included), without erasing.
    void invalidateLabelRect(const RECT& labelRect);

    // The document name and the program name ("Untitled - Pelmora").
    void updateTitle();
    // Makes label `index` and page `position` current (clamped to the format), drops the
    // selection when the label or page changes and sets the title.
    void setCurrentLabel(int index, int position);
    // Sets the window scale (0.5, 0.75, 1.0, 1.25 or 1.5), sizes the window for it and
    // recreates the bars. Without an argument the scale of theView is applied again.
    void applyWindowScale(double scale);
    void applyWindowScale();
    // Rebuilds the recent-file items at the end of the File menu.
    void rebuildRecentMenu();
    // Menu check marks, enabled states and toolbar buttons from the program state.
    void updateMenuState();

    // The status bar's text.
    void setStatusText(const std::string& text);
    std::string statusText() const;
    // The status bar's second part: how many catalog lines the label leaves out.
    void setLeftOutText(const std::string& text);
    std::string leftOutText() const;

    // The band in which the label picture is painted, window pixels.
    QRect labelArea() const { return labelArea_; }
    // An information context for the window's screen in the label mapping, for measuring.
    std::unique_ptr<gdi::DeviceContext> screenContext() const;
    // Converts a point in window pixels to label units (before any face offset).
    POINT windowToLabel(QPoint windowPixels) const;

    // --- For tests -------------------------------------------------------------------------
    QAction* commandAction(int id) const;
    QMenu* popup(int resource) const;
    QToolBar* toolBarWidget() const { return toolBar_; }
    // The popup shown by the last right click (0 for none); showing popups is skipped while
    // `setPopupsShown(false)` (the default in tests is to show nothing).
    int lastPopup() const { return lastPopup_; }
    void setPopupsShown(bool shown) { popupsShown_ = shown; }
    // Renders the window's label area exactly as a paint event would, into an image of the
    // label area's size.
    QImage renderLabelArea();
    // How often the whole label area was invalidated (a click without moving must not).
    int labelAreaInvalidations() const { return labelAreaInvalidations_; }

    // --- Menu building, in main_window_menus.cpp ------------------------------------------
    void BuildMenuBar();
    void CreateBars();
    void UpdateMenuState() { updateMenuState(); }
    void CheckPopupItems();
    void CheckStringItems();
    void ShowPopup(int resource, QPoint globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // No menu of toolbars: the one toolbar is always shown.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void runStartup();
    void layoutBand(int top);
    void paintLabelArea(QPainter& painter);
    void onLeftDown(QPoint pos, Qt::KeyboardModifiers modifiers);
    void onRightDown(QPoint pos);
    void onDragMove(QPoint pos);
    void onLeftUp(QPoint pos);
    void onDoubleClick(QPoint pos, Qt::KeyboardModifiers modifiers);
    bool onCharacter(char c);
    void resolveLabelUnderPointer(POINT label, bool rightButton, int& index, int& position);
    void shutdown();
    QMenu* buildMenu(const MenuItem& item, QWidget* parent);
    void checkCommand(int id, bool checked);
    void enableCommand(int id, bool enabled);
    void checkIn(QMenu* menu, int id, bool checked);
    void checkBodyItems(QMenu* menu);
    void checkSpineItems(QMenu* menu);
    void enableObjectMenu(QMenu* menu, bool enabled);

    App& app_;
    QRect labelArea_;
    QLabel* statusLabel_ = nullptr;
    QLabel* leftOutLabel_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* imageMenu_ = nullptr;
    QMenu* stringMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QSize baseSize_;
    // Every menu action by command id (an id can be in several menus) and the toolbar's.
    std::multimap<int, QAction*> actions_;
    std::map<int, QAction*> toolActions_;
    std::map<int, QMenu*> popups_;
    bool popupsShown_ = true;
    int lastPopup_ = 0;
    bool shutDown_ = false;
    int labelAreaInvalidations_ = 0;
};

} // namespace pelmora
