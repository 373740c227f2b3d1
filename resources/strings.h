#pragma once
// The string table: the status-bar hint of each menu item (shown while the item is highlighted)
// and the tooltips of the toolbar buttons, both by command id.

#include <cstddef>
#include <span>
#include <string_view>

namespace pelmora {

struct CommandText {
    int id;
    std::string_view text;
};

// The longest text the status bar takes from the string table.
constexpr std::size_t kMaxHintLength = 255;

// The hint of a menu item, or "" (the page items have none, and the status bar is then emptied).
std::string_view menuHint(int commandId);

// The tooltip of a toolbar button, or "" for a command without one. The Zoom button's tooltip
// says that it does nothing while the format is the single label.
std::string_view tooltipText(int commandId, bool oneLabelFormat = false);

// Both tables in ascending id order.
std::span<const CommandText> menuHints();
std::span<const CommandText> tooltips();

} // namespace pelmora
