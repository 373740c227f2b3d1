#pragma once
// The label program's menus as plain data: the six menus of the menu bar and the popups,
// addressed by their resource numbers. The main window turns them into Qt menus; the command
// ids are those of command_ids.h and the hint of an item is menuHint(id) (strings.h).
//
// Texts are kept as the resources spell them: "&" marks the mnemonic ("&&" is a literal "&"),
// and "%s" stands for the disk type ("LS-120") or, in "&About %s...", the program name. The
// menus are given as the menu bar shows them once built, so the placeholder items that only
// exist in the raw resources are absent.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Menu resource numbers.
constexpr int kMenuHelp = 178;
constexpr int kMenuImage = 179;
constexpr int kMenuString = 180;
constexpr int kMenuBody = 181;
constexpr int kMenuSpine = 182;
constexpr int kMenuFile = 183;
constexpr int kMenuLabelFormat = 187; // the File menu's "Label &Format" sub-menu
constexpr int kPopupBody = 123;
constexpr int kPopupSpine = 124;
constexpr int kPopupTwoPages = 128;
constexpr int kPopupImage = 133;
constexpr int kPopupString = 138;
constexpr int kPopupFourPages = 163;

// What "%s" becomes in the menus the program shows.
constexpr std::string_view kDiskType = "LS-120";
constexpr std::string_view kProgramName = "Pelmora";

struct MenuItem {
    std::string text;               // shown text; for a menu or popup its title (may be empty)
    int id = 0;                     // command id; 0 for separators, sub-menus and menus
    std::vector<MenuItem> children; // the items of a sub-menu, menu or popup
    bool separator = false;
    bool checkable = false; // the window ticks it from the program state
    // The accelerator shown after the text ("Ctrl+N"), or empty. For display only: the key
    // itself reaches the command through the accelerator table (accelerators.h).
    std::string shortcut;

    bool isSubmenu() const { return !separator && id == 0; }
    // The text with the accelerator after a tab, as a menu shows it ("&New\tCtrl+N").
    std::string displayText() const;
};

// The menu of a resource number with "%s" left in its texts: a menu of the bar, the "Label
// &Format" sub-menu or a popup. Nothing for an unknown number.
std::optional<MenuItem> menuResource(int resource);

// The menu bar as the program shows it: File, Body, Spine, Image, String, Help, with the disk
// type and program name inserted.
std::vector<MenuItem> menuBar();

// A popup as the program shows it (kPopupBody, kPopupSpine, kPopupImage, kPopupString,
// kPopupTwoPages, kPopupFourPages), names inserted. An empty menu for other numbers.
MenuItem popupMenu(int resource);

// `text` with its first "%s" replaced by `name`; unchanged when it has none.
std::string insertName(std::string_view text, std::string_view name);

// Replaces "%s" in every item of `menu`: the program name in "&About %s...", the disk type
// everywhere else.
void insertNames(MenuItem& menu, std::string_view diskType = kDiskType,
                 std::string_view programName = kProgramName);

// The first item with command `id` in `menu` and its sub-menus, depth first; null when absent.
const MenuItem* findItem(const MenuItem& menu, int id);
MenuItem* findItem(MenuItem& menu, int id);

// The command ids of `menu` and its sub-menus in menu order (separators and sub-menus skipped).
std::vector<int> commandIds(const MenuItem& menu);

} // namespace pelmora
